#pragma once
#include <QColor>
#include <QComboBox>

// The colour box of every tool: the sixteen standard colours under their French names (with
// `etendues`, also the four extended ones), each item holding its QColor. A colour that is not
// in the list (read from the settings) is added as "Personnalisée". Settings keep colours as
// numbers through couleurDeNombre / nombreDeCouleur (SectionReglages.h).
class BoiteCouleurs : public QComboBox
{
    Q_OBJECT
public:
    explicit BoiteCouleurs(QWidget* parent = nullptr, bool etendues = false);

    QColor couleur() const;
    // Shows c without emitting anything: the caller already holds it.
    void setCouleur(const QColor& c);

    struct Nommee
    {
        const char* nom;
        QRgb rgb;
    };
    static const Nommee standard[16];
    static const Nommee etendues[4];
};

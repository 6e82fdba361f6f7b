#pragma once
#include <QColor>
#include <QString>
#include <QVariant>
#include <memory>

class FichierIni;
class QSettings;

// One section of an ini settings file: the only way the program reads or writes settings.
// Reading ignores errors (a missing file or key gives the default); writes reach the file at
// enregistre() or when the section is destroyed, through FichierIni, so a write cut short
// leaves the previous file. Keys may hold "/" to reach a sub-group.
class SectionReglages
{
public:
    // An empty section reaches the keys at the top of the file.
    SectionReglages(const QString& fichier, const QString& section);
    ~SectionReglages();
    SectionReglages(const SectionReglages&) = delete;
    SectionReglages& operator=(const SectionReglages&) = delete;

    // The file exists and could be read.
    bool lisible() const;
    // The section holds at least one key or sub-group.
    bool existe() const;
    bool contient(const QString& cle) const;

    QVariant valeur(const QString& cle, const QVariant& defaut = {}) const;
    bool booleen(const QString& cle, bool defaut) const;
    int entier(const QString& cle, int defaut) const;
    QString texte(const QString& cle, const QString& defaut = {}) const;
    // A real number written as text; the default when absent, unreadable or not finite.
    double reel(const QString& cle, double defaut) const;
    QColor couleur(const QString& cle, const QColor& defaut) const;

    void ecrit(const QString& cle, const QVariant& v);
    // Reals are written with all their digits, so reading gives back the same number.
    void ecritReel(const QString& cle, double v);
    void ecritCouleur(const QString& cle, const QColor& c);

    // Writes what changed to the file; false when it could not be written.
    bool enregistre();

private:
    std::unique_ptr<FichierIni> m_fichier;
    QSettings* m_s;
    QString m_section;
    bool m_modifie = false;
};

// Colours in settings files are the system's colour numbers: red + green * 256 + blue * 65536.
QColor couleurDeNombre(qint64 n);
qint64 nombreDeCouleur(const QColor& c);

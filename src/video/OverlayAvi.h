#pragma once
#include "PointageModel.h"

#include <QColor>
#include <QLine>
#include <QPainter>
#include <optional>

// Marks of the pointing store drawn over the image (image pixel p at p * zoom) or on the
// drawing page (scaled to the page): axes or mobile origins, scale, points and labels.
struct OptionsTrace
{
    bool axes = true;        // "Axes"
    bool points = true;      // "Points"
    bool reticule = false;   // "Réticule"
    bool etiquette = true;   // "Etiquette"
    QColor couleurAxes = Qt::black;
};

class OverlayAvi
{
public:
    // zoom: image surface; page: drawing page of `taille` for an image of largeur x hauteur.
    OverlayAvi(QPainter& p, const PointageModel& m, const OptionsTrace& o, QSize surface, int zoom);
    static OverlayAvi page(QPainter& p, const PointageModel& m, const OptionsTrace& o, QSize taille);

    // Everything; `echelleEnCours`: only the scale start while it is being placed; `bande`:
    // the rubber line of the scale.
    void dessine(bool echelleEnCours = false, std::optional<QLine> bande = {});

    QPoint ecran(QPoint image) const;
    void DessineCroix(QPoint p);
    void DessineReticule(QPoint p);
    void DessineOrigine(int i);
    void DessineAxes();
    void DessineEchelle(bool debutSeul = false);

private:
    void ligne(QPoint a, QPoint b);
    void point(int k, int i, const QString& etiquette);

    QPainter& m_p;
    const PointageModel& m_m;
    OptionsTrace m_o;
    QSize m_surface;
    int m_zoom = 1;
    bool m_page = false;
};

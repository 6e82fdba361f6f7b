#pragma once
#include "PointageModel.h"

#include <QColor>
#include <QLine>
#include <QPen>
#include <QSize>

#include <optional>

class QPainter;
class PointageControleur;

// Font of the labels: "Small Fonts" where it exists, 10 pixels high.
constexpr int kHauteurEtiquette = 10;
// Labels sit this many screen pixels right and below their point.
constexpr int kDecalageEtiquette = 2;
// Radius of the angle arc (capture tool, angle mode).
constexpr int kRayonAngle = 25;

// Drawing options of the check boxes and colour boxes above the image.
struct OptionsDessin
{
    bool axes = true;      // "Axes": axes (or mobile origins) and scale
    QColor couleurAxe = Qt::black;
    bool points = true;    // "Points" / "Croix": marks of the points
    bool reticule = false; // "Réticule": a point is a full-size reticle
    bool etiquette = true; // "Etiquette": row numbers beside the points
};

// Where an image pixel lands: on the image surface (times the zoom) or on the drawing page
// (scaled to the page, halves to even).
class SurfaceDessin
{
public:
    static SurfaceDessin image(int zoom, QSize taille);
    static SurfaceDessin page(QSize page, int largeur, int hauteur);

    QPoint ecran(QPoint imagePx) const;
    QSize taille() const { return m_taille; }
    bool estPage() const { return m_page; }

private:
    QSize m_taille;
    bool m_page = false;
    int m_zoom = 1;
    int m_largeur = 1;
    int m_hauteur = 1;
};

// The overlay of the pointing model: axes or mobile origins, scale, recorded points, labels,
// and the rubber band, on the image or on the drawing page. It only reads the model: the
// window computes the scale (CalculEchelle) when the handles, the length or the axes change.
class DessinPointage
{
public:
    DessinPointage(QPainter& painter, const SurfaceDessin& surface, const PointageModel& modele,
                   const OptionsDessin& options);

    // Redraws every mark (the caller has painted the image, or nothing for the page). The
    // controller, when given, adds the rubber band and the scale being placed.
    void Dessine(const PointageControleur* controleur = nullptr);

    void DessineCroix(QPoint p);
    void DessineReticule(QPoint p);
    void DessineOrigine(int i);
    void DessineAxes();
    void DessineEchelle();
    void DessineBande(QLine l);
    void DessineAngle(int i);
    void DessineEtiquette(QPoint p, const QString& texte);
    QPen PlumeAxes() const;
    QPen PlumePoint(int k) const;

    static QFont policeEtiquette();

private:
    // A line that, like the system's, leaves out its end pixel.
    void ligne(QPoint a, QPoint b);
    void dessinePoint(int k, int i, const QString& etiquette);

    QPainter& m_p;
    SurfaceDessin m_surface;
    const PointageModel& m_modele;
    OptionsDessin m_options;
};

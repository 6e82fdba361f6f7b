#pragma once
#include "Arrondi.h"

#include <QPoint>
#include <QRect>
#include <QString>

// Rectangle as left, top, right, bottom (right and bottom excluded), in picture pixels.
struct RectI
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int largeur() const { return Right - Left; }
    int hauteur() const { return Bottom - Top; }
    bool operator==(const RectI&) const = default;
};

// Where the part of a picture shown in a zoomed view lies, and how view points map to
// picture pixels and back. No widget: the still-image tools drive it from their events.
class VueGeometrie
{
public:
    int Largeur = 0, Hauteur = 0; // picture size
    int W = 0, H = 0;             // client size of the view
    double pasZoom = 1;
    RectI RectVisible;

    // A new picture in a view of w x h: zoom 1, top-left corner shown.
    void init(int largeur, int hauteur, int w, int h);
    bool vide() const { return Largeur <= 0 || Hauteur <= 0; }

    // Whole numbers above 1, inverses of whole numbers below.
    static double normaliseZoom(double z);
    // New zoom keeping the picture pixel under P (view coordinates) where it is.
    void ChangeZoom(double z, QPoint P);
    // Zoom buttons: twice the zoom up to 8, half down to 1/8. False when nothing changes.
    bool zoomAvant(QPoint P);
    bool zoomArriere(QPoint P);
    // "Taille réelle", "Zoom X 3", "Zoom / 4".
    QString texteZoom() const;

    int decaleX() const;
    int decaleY() const;
    // Screen point of the centre of a picture pixel.
    QPoint versEcran(QPoint pixel) const;
    // Picture pixel under a view point.
    QPoint versImage(QPoint ecran) const;
    // Zoomed position without the scroll offset, and back.
    QPoint versZoom(QPoint pixel) const;
    QPoint depuisZoom(QPoint zoom) const;
    // Area of the view covered by the shown part.
    QRect RectLecture() const;

    // Overview: scale of the whole picture fitted into a panel, and the outline of the shown part.
    double pasZoomEntier(int largeurPanel, int hauteurPanel) const;
    QRect RectZoom(double k) const;
    // Outline dragged by (dx, dy) overview pixels and dropped.
    void deplaceDepuisApercu(QPoint delta, double k);

private:
    void limite();
};

#include "VueGeometrie.h"

#include <algorithm>
#include <cmath>

void VueGeometrie::init(int largeur, int hauteur, int w, int h)
{
    Largeur = largeur;
    Hauteur = hauteur;
    W = w;
    H = h;
    pasZoom = 1;
    RectVisible = RectI{0, 0, std::min(w, largeur), std::min(h, hauteur)};
}

double VueGeometrie::normaliseZoom(double z)
{
    if (!(z > 0))
        return 1;
    if (z > 1)
        return std::max(1, arrondi(z));
    if (z < 1)
        return 1.0 / std::max(1, arrondi(1 / z));
    return 1;
}

void VueGeometrie::limite()
{
    const double z = pasZoom;
    auto unAxe = [z](int& debut, int& fin, int taille, int total) {
        debut = std::max(debut, 0);
        fin = std::min(arrondi(taille / z) + debut, total);
        const int marge = taille - arrondi((fin - debut) * z);
        if (marge > 0) {
            debut = std::max(0, debut - arrondi(marge / z));
            fin = std::min(arrondi(taille / z) + debut, total);
        }
    };
    unAxe(RectVisible.Left, RectVisible.Right, W, Largeur);
    unAxe(RectVisible.Top, RectVisible.Bottom, H, Hauteur);
}

void VueGeometrie::ChangeZoom(double z, QPoint P)
{
    z = normaliseZoom(z);
    if (vide())
        return;
    // The pixel under P stays under P (the same rule as a click).
    const QPoint i = versImage(P);
    pasZoom = z;
    RectVisible.Left = i.x() - int(std::floor(P.x() / z));
    RectVisible.Top = i.y() - int(std::floor(P.y() / z));
    limite();
}

bool VueGeometrie::zoomAvant(QPoint P)
{
    if (pasZoom >= 8)
        return false;
    ChangeZoom(2 * pasZoom, P);
    return true;
}

bool VueGeometrie::zoomArriere(QPoint P)
{
    if (pasZoom <= 1.0 / 8)
        return false;
    ChangeZoom(pasZoom / 2, P);
    return true;
}

QString VueGeometrie::texteZoom() const
{
    if (pasZoom > 1.1)
        return QStringLiteral("Zoom X ") + QString::number(arrondi(pasZoom));
    if (pasZoom < 0.9)
        return QStringLiteral("Zoom / ") + QString::number(arrondi(1 / pasZoom));
    return QStringLiteral("Taille réelle");
}

// Rounded down rather than to even: with halves to even an odd Left would shift the whole
// drawing by one pixel at zoom 1.
int VueGeometrie::decaleX() const
{
    return int(std::floor(-RectVisible.Left * pasZoom + pasZoom / 2));
}

int VueGeometrie::decaleY() const
{
    return int(std::floor(-RectVisible.Top * pasZoom + pasZoom / 2));
}

// The screen pixel holding the centre of the picture pixel, the exact inverse of versImage.
QPoint VueGeometrie::versEcran(QPoint p) const
{
    return QPoint(int(std::floor((p.x() - RectVisible.Left) * pasZoom + pasZoom / 2)),
                  int(std::floor((p.y() - RectVisible.Top) * pasZoom + pasZoom / 2)));
}

// The pixel whose square holds the point: a click in any part of a zoomed pixel lands on it.
QPoint VueGeometrie::versImage(QPoint e) const
{
    return QPoint(int(std::floor(e.x() / pasZoom)) + RectVisible.Left,
                  int(std::floor(e.y() / pasZoom)) + RectVisible.Top);
}

QPoint VueGeometrie::versZoom(QPoint p) const
{
    return QPoint(arrondi(p.x() * pasZoom), arrondi(p.y() * pasZoom));
}

QPoint VueGeometrie::depuisZoom(QPoint z) const
{
    return QPoint(arrondi(z.x() / pasZoom), arrondi(z.y() / pasZoom));
}

QRect VueGeometrie::RectLecture() const
{
    return QRect(0, 0, arrondi(RectVisible.largeur() * pasZoom), arrondi(RectVisible.hauteur() * pasZoom));
}

double VueGeometrie::pasZoomEntier(int largeurPanel, int hauteurPanel) const
{
    if (vide())
        return 1;
    return std::min(double(hauteurPanel) / Hauteur, double(largeurPanel) / Largeur);
}

QRect VueGeometrie::RectZoom(double k) const
{
    const int l = arrondi(RectVisible.Left * k), t = arrondi(RectVisible.Top * k);
    const int r = arrondi(RectVisible.Right * k), b = arrondi(RectVisible.Bottom * k);
    return QRect(QPoint(l, t), QPoint(r - 1, b - 1));
}

void VueGeometrie::deplaceDepuisApercu(QPoint delta, double k)
{
    if (vide() || !(k > 0))
        return;
    auto unAxe = [this](int& debut, int& fin, int d, double k, int taille, int total) {
        debut = std::max(0, debut + arrondi(d / k));
        const int vu = arrondi(taille / pasZoom);
        fin = vu + debut;
        if (fin > total) {
            if (total > taille / pasZoom) {
                fin = total;
                debut = total - vu;
            } else {
                debut = 0;
                fin = total;
            }
        }
    };
    unAxe(RectVisible.Left, RectVisible.Right, delta.x(), k, W, Largeur);
    unAxe(RectVisible.Top, RectVisible.Bottom, delta.y(), k, H, Hauteur);
}

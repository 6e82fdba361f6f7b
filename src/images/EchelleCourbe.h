#pragma once
#include <QPoint>
#include <QString>
#include <optional>

// Kind of an axis of a graph picture.
enum Techelle { eLin, eLog, ePolaire };

// What the user typed in the scale dialog for one axis.
struct SaisieAxe
{
    QString origine;    // "Origine"
    QString extremite;  // "Extrémité"
    bool log = false;   // "Echelle log."
};

// Turns image pixels of a graph picture into the values of its axes.
// Log axes are computed in decades so that values from 1e-30 to 1e+30 stay exact.
class EchelleCourbe
{
public:
    double MaxiX = 1, MiniX = 0, MaxiY = 1, MiniY = 0;
    Techelle echelleX = eLin, echelleY = eLin;

    double PenteX = 0, PenteY = 0;   // value units (decades on a log axis) per pixel
    double ZeroX = 0, ZeroY = 0;     // pixel of the origin mark on each axis
    // Rounding step of a linear axis: the precision one pixel gives. Log and polar values are
    // rounded by the step where they stand (pasX, pasY); there these hold the step at the origin.
    double arrondiX = 1, arrondiY = 1;
    bool axeXValide = false, axeYValide = false; // false when the end mark is on the origin's line

    // Reads the dialog's texts, replacing unusable values without a word (end 1, origin 0;
    // on a log axis a non-positive end 1 and a non-positive origin 2; equal values end = origin + 1).
    void regleAxes(const SaisieAxe& x, const SaisieAxe& y, bool polaire);

    // Limits the end marks to the picture, then computes slopes, zeros and rounding steps.
    // Returns false when an end mark lies on the origin's line (that axis reads nothing).
    bool CalculEchelle(QPoint origine, QPoint& finX, QPoint& finY, int largeur, int hauteur);

    // Rounding step of the value at an image pixel: the precision one pixel gives there, so two
    // neighbouring pixels never read alike and no value is off by more than half a pixel.
    double pasX(QPoint p) const;
    double pasY(QPoint p) const;

    // Snapped values of an image pixel; empty when the axis has no usable span.
    std::optional<double> valeurX(QPoint p) const;
    std::optional<double> valeurY(QPoint p) const;
    // The same written for the grid and the export (empty text when unusable).
    QString texteX(QPoint p) const;
    QString texteY(QPoint p) const;

    // Both spans usable (polar values need the two).
    bool valide() const { return axeXValide && axeYValide; }

private:
    double brutX(QPoint p) const;
    double brutY(QPoint p) const;
    double logMiniX = 0, logMiniY = 0; // log10 of the origin values of log axes
};

// The precision of a value whose neighbouring pixel reads `ecart` away: 10^floor(log10 ecart).
double pasPixel(double ecart);

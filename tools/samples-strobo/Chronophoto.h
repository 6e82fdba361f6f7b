#pragma once
// The scene of the sample stroboscopic photograph, shared by its maker and the tests that measure
// it: two balls leave the same height at the same instant, one dropped, one thrown horizontally;
// the first flash comes 0.1 s later (the images would overlap before), then one every 1/25 s,
// eleven in all, in front of a one-metre ruler.
#include <QPointF>

namespace chronophoto {

constexpr int kLargeur = 1000, kHauteur = 940;
constexpr double kPixelsParMetre = 600;
constexpr double kG = 9.81;            // m/s²
constexpr double kIntervalle = 0.04;   // s between flashes
constexpr double kPremierEclair = 0.1; // s after the release
constexpr int kEclairs = 11;
constexpr double kVitesseLancee = 1.6; // m/s, horizontal
constexpr int kRayon = 11;             // pixels
// Graduations 0 and 100 cm of the ruler.
constexpr QPointF kRegleDebut(150, 880), kRegleFin(750, 880);
constexpr double kLongueurRegle = 1.0; // m
// Where both balls are released.
constexpr double kLacherY = 80;
constexpr double kLacherLachee = 150, kLacherLancee = 200;

// Centre of ball `objet` (1 thrown, 2 dropped) at flash i, in image pixels.
inline QPointF position(int objet, int i)
{
    const double t = kPremierEclair + i * kIntervalle;
    const double y = kLacherY + 0.5 * kG * t * t * kPixelsParMetre;
    const double x = objet == 1 ? kLacherLancee + kVitesseLancee * t * kPixelsParMetre : kLacherLachee;
    return QPointF(x, y);
}

} // namespace chronophoto

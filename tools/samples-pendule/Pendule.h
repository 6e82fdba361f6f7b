#pragma once
// Geometry of the sample pendulum, shared by its generator and the tests that measure it.
#include <QPointF>
#include <cmath>

namespace pendule {

constexpr int kLargeur = 640;
constexpr int kHauteur = 480;
constexpr int kImages = 50;
constexpr double kCadence = 25;
constexpr double kPixelsParMetre = 400;
constexpr double kLongueur = 0.75;        // m, pivot to the bob's centre
constexpr double kAmplitude = 30;         // degrees
constexpr double kG = 9.81;
constexpr double kRayonBoule = 18;        // pixels
const QPointF kPivot(320, 50);
// The plumb line's mark, straight below the pivot: the reference direction.
const QPointF kRepere(320, 440);

inline double periode() { return 2 * M_PI * std::sqrt(kLongueur / kG); }

// Angle of image n from the vertical, degrees, positive when the bob is to the right.
inline double angle(int n) { return kAmplitude * std::cos(2 * M_PI * (n / kCadence) / periode()); }

inline QPointF boule(int n)
{
    const double a = angle(n) * M_PI / 180;
    const double l = kLongueur * kPixelsParMetre;
    return kPivot + QPointF(l * std::sin(a), l * std::cos(a));
}

} // namespace pendule

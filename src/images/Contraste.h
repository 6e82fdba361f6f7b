#pragma once
#include <QImage>

// Contrast of the stroboscopic-photo tool: levels spread by k about a reference level, which
// comes out as mid-grey (128).

// k = e^(3·valeur/25): 1 at 0, about 2.61 at 8, about 20.1 at 25.
double facteurContraste(int valeur);

// Every level c of every pixel of `original` becomes clamp(round(k·(c − milieu)) + 128, 0, 255);
// pure black pixels are left alone. The original is not changed; the result is 24-bit RGB.
QImage AppliqueContraste(const QImage& original, double k, int milieu);

#include "Contraste.h"

#include "VueGeometrie.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kPenteContraste = 3.0 / 25.0;
constexpr int kGrisMoyen = 128;
} // namespace

double facteurContraste(int valeur)
{
    return std::exp(kPenteContraste * valeur);
}

QImage AppliqueContraste(const QImage& original, double k, int milieu)
{
    QImage image = original.convertToFormat(QImage::Format_RGB888);
    // One table for the 256 levels: the same for the three channels.
    uchar table[256];
    for (int c = 0; c < 256; ++c)
        table[c] = uchar(std::clamp(arrondi(k * (c - milieu)) + kGrisMoyen, 0, 255));
    const int largeur = image.width() * 3;
    for (int y = 0; y < image.height(); ++y) {
        uchar* ligne = image.scanLine(y);
        for (int x = 0; x < largeur; x += 3) {
            uchar* px = ligne + x;
            if (px[0] == 0 && px[1] == 0 && px[2] == 0)
                continue;
            px[0] = table[px[0]];
            px[1] = table[px[1]];
            px[2] = table[px[2]];
        }
    }
    return image;
}

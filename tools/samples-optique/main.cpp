// Writes the sample of the intensity tool: a photograph of the pattern of a single slit on a
// screen (red laser), with a known distance between dark fringes, a little sensor noise and
// blur, the central peak slightly over-exposed, and a scale bar.
#include "DiffractionFente.h"
#include "AtomicFile.h"

#include <QBuffer>
#include <QDir>
#include <QCoreApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <random>
#include <vector>

using namespace fente;

namespace {

double sinc2(double x)
{
    const double u = std::numbers::pi * x / kInterfrange;
    if (std::abs(u) < 1e-12)
        return 1;
    const double s = std::sin(u) / u;
    return s * s;
}

// Separable Gaussian blur of a W x H plane.
void floute(std::vector<double>& plan)
{
    const int r = int(std::ceil(3 * kFlou));
    std::vector<double> noyau(std::size_t(2 * r + 1));
    double somme = 0;
    for (int k = -r; k <= r; ++k)
        somme += noyau[std::size_t(k + r)] = std::exp(-k * k / (2 * kFlou * kFlou));
    for (double& n : noyau)
        n /= somme;
    std::vector<double> tmp(plan.size());
    for (int y = 0; y < kHauteur; ++y)
        for (int x = 0; x < kLargeur; ++x) {
            double v = 0;
            for (int k = -r; k <= r; ++k)
                v += noyau[std::size_t(k + r)] * plan[std::size_t(y * kLargeur + std::clamp(x + k, 0, kLargeur - 1))];
            tmp[std::size_t(y * kLargeur + x)] = v;
        }
    for (int y = 0; y < kHauteur; ++y)
        for (int x = 0; x < kLargeur; ++x) {
            double v = 0;
            for (int k = -r; k <= r; ++k)
                v += noyau[std::size_t(k + r)] * tmp[std::size_t(std::clamp(y + k, 0, kHauteur - 1) * kLargeur + x)];
            plan[std::size_t(y * kLargeur + x)] = v;
        }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DOSSIER\n", argv[0]);
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);

    std::vector<double> lumiere(std::size_t(kLargeur) * kHauteur);
    for (int y = 0; y < kHauteur; ++y) {
        const double dy = (y - kCentreY) / kHauteurTache;
        const double tache = std::exp(-dy * dy / 2);
        for (int x = 0; x < kLargeur; ++x)
            lumiere[std::size_t(y * kLargeur + x)] = kAmplitude * tache * sinc2(x - kCentreX);
    }
    // The scale bar, lit white, with an end tick at each end.
    std::vector<double> barre(lumiere.size(), 0);
    for (int x = kBarreX1; x <= kBarreX2; ++x)
        for (int y = kBarreY - 1; y <= kBarreY + 1; ++y)
            barre[std::size_t(y * kLargeur + x)] = 230;
    for (int x : {kBarreX1, kBarreX2})
        for (int y = kBarreY - 8; y <= kBarreY + 8; ++y)
            for (int e = -1; e <= 1; ++e)
                barre[std::size_t(y * kLargeur + x + e)] = 230;
    floute(lumiere);
    floute(barre);

    std::mt19937 alea(20261210);
    std::normal_distribution<double> bruit(0, kBruit);
    auto octet = [](double v) { return uchar(std::clamp(std::lround(v), 0L, 255L)); };
    QImage im(kLargeur, kHauteur, QImage::Format_RGB888);
    for (int y = 0; y < kHauteur; ++y) {
        uchar* p = im.scanLine(y);
        for (int x = 0; x < kLargeur; ++x) {
            const double l = lumiere[std::size_t(y * kLargeur + x)];
            const double b = barre[std::size_t(y * kLargeur + x)];
            // A red laser: the green and blue pixels see a little of it.
            p[3 * x] = octet(kFond + l + b + bruit(alea));
            p[3 * x + 1] = octet(kFond + 0.18 * l + b + bruit(alea));
            p[3 * x + 2] = octet(kFond + 0.12 * l + b + bruit(alea));
        }
    }
    // PNG: what the camera saw, without the colour blur of JPEG.
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    if (!im.save(&tampon, "PNG") || !writeFileAtomically(dossier + QChar('/') + QLatin1String(kNom), octets)) {
        std::fprintf(stderr, "cannot write %s\n", kNom);
        return 1;
    }
    return 0;
}

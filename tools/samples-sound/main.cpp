// Writes the sample sounds into the folder given as argument.
#include "AtomicFile.h"
#include "SoundRecorder.h"

#include <QDir>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int frequence = 44100;

QByteArray echantillons(double secondes, const std::function<double(double)>& signal)
{
    const int n = int(secondes * frequence);
    QByteArray b(n * 2, '\0');
    for (int i = 0; i < n; ++i) {
        const double v = std::clamp(signal(double(i) / frequence), -1.0, 1.0);
        qToLittleEndian<qint16>(qint16(std::lround(v * 32000)), b.data() + 2 * i);
    }
    return b;
}

// A 440 Hz fork struck once: a short attack, harmonics that die faster than the fundamental,
// and the "clang" partial near 6.25 times the fundamental that vanishes within a tenth of a second.
double diapason(double t)
{
    const double attaque = std::min(1.0, t / 0.004);
    const double w = 2 * M_PI * 440 * t;
    const double s = 0.80 * std::exp(-t / 1.6) * std::sin(w)
                   + 0.12 * std::exp(-t / 0.5) * std::sin(2 * w + 0.3)
                   + 0.05 * std::exp(-t / 0.3) * std::sin(3 * w + 0.7)
                   + 0.10 * std::exp(-t / 0.03) * std::sin(6.25 * w);
    return attaque * s;
}

// Two equal tones at 440 Hz and 444 Hz: four beats per second.
double battements(double t)
{
    const double fondu = std::min({1.0, t / 0.01, (2.0 - t) / 0.01});
    return fondu * 0.45 * (std::sin(2 * M_PI * 440 * t) + std::sin(2 * M_PI * 444 * t));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);
    const bool ok = writeFileAtomically(dossier + "/diapason.wav",
                                        fichierWavMono(echantillons(3.0, diapason), frequence, 16))
                 && writeFileAtomically(dossier + "/battements.wav",
                                        fichierWavMono(echantillons(2.0, battements), frequence, 16));
    if (!ok)
        std::fprintf(stderr, "cannot write the sample sounds into %s\n", argv[1]);
    return ok ? 0 : 1;
}

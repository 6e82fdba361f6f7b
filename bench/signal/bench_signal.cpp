// Figures of the sound path: reading, spectrum, sonagram, envelope drawing, peak frequency.
#include "Fft.h"
#include "LectureWav.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <numbers>

namespace {
template <typename F>
double meilleurMs(int essais, F f)
{
    double meilleur = 1e300;
    for (int i = 0; i < essais; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        meilleur = std::min(meilleur, t.nsecsElapsed() / 1e6);
    }
    return meilleur;
}

QByteArray signal16(int trames)
{
    QByteArray b(qsizetype(trames) * 2, Qt::Uninitialized);
    auto* p = reinterpret_cast<uchar*>(b.data());
    quint32 alea = 12345;
    for (int i = 0; i < trames; ++i) {
        alea = alea * 1664525u + 1013904223u;
        const double v = 12000 * std::sin(i * 0.0123) + 3000 * std::sin(i * 0.00007) + int(alea >> 22) - 512;
        qToLittleEndian(qint16(v), p + 2 * qsizetype(i));
    }
    return b;
}
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const int trames = 20000000;
    const QByteArray donnees = signal16(trames);

    // 1. Reading a 40 MB WAV.
    const QString chemin = dir.filePath("bench.wav");
    {
        QByteArray h(44, '\0');
        auto* p = reinterpret_cast<uchar*>(h.data());
        memcpy(p, "RIFF", 4);
        qToLittleEndian<quint32>(quint32(36 + donnees.size()), p + 4);
        memcpy(p + 8, "WAVEfmt ", 8);
        qToLittleEndian<quint32>(16, p + 16);
        qToLittleEndian<quint16>(1, p + 20);
        qToLittleEndian<quint16>(1, p + 22);
        qToLittleEndian<quint32>(44100, p + 24);
        qToLittleEndian<quint32>(88200, p + 28);
        qToLittleEndian<quint16>(2, p + 32);
        qToLittleEndian<quint16>(16, p + 34);
        memcpy(p + 36, "data", 4);
        qToLittleEndian<quint32>(quint32(donnees.size()), p + 40);
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(h);
        f.write(donnees);
    }
    const double octetsMs = meilleurMs(5, [&] {
        QFile f(chemin);
        f.open(QIODevice::ReadOnly);
        volatile qsizetype n = f.readAll().size();
        (void)n;
    });
    TvecteurSon son;
    const double lectureMs = meilleurMs(5, [&] { litFichierWav(chemin, son); });
    std::printf("WAV of %lld bytes (%d frames): reader %.1f ms, bare read of the bytes %.1f ms\n",
                (long long)QFileInfo(chemin).size(), son.nombreTrames(), lectureMs, octetsMs);

    // 2. One 2048-point spectrum with its peak correction.
    initFFT();
    TvecteurFFT spectre;
    double maxi = 0;
    const int repetitions = 2000;
    const double fftMs = meilleurMs(3, [&] {
        for (int i = 0; i < repetitions; ++i)
            spectreFFT(i * 1000, i * 1000 + 2048, &son, maxi, spectre);
    });
    std::printf("spectreFFT 2048 points: %.1f us each\n", fftMs * 1000 / repetitions);

    // 3. Sonagram of the 20 million frames (at most 4096 columns).
    auto sonagramme = std::make_unique<Tsonagramme>();
    const double sonaMs = meilleurMs(3, [&] { sonagramme->Calcul(0, trames - 1, &son); });
    std::printf("Sonagram of %d frames: %d columns in %.1f ms\n", trames, sonagramme->NbreSonagramme, sonaMs);

    // 4. Envelope of the 20 million frames in 1600 pixels.
    QImage image(1602, 300, QImage::Format_RGB32);
    for (bool resume : {true, false}) {
        QPainter p(&image);
        TgrapheSon g;
        g.Canvas = &p;
        g.Son = &son;
        g.avecResume = resume;
        g.LimiteCourbe = {2, 0, 1602, 300};
        g.debutS = 0;
        g.finS = son.nombreTrames() - 1;
        const int n = resume ? 200 : 5;
        const double ms = meilleurMs(n, [&] { g.DrawG(); });
        std::printf("TgrapheSon envelope, %d frames in 1600 px, %s: %.3f ms (best of %d)\n", son.nombreTrames(),
                    resume ? "from the summary" : "over every sample", ms, n);
    }
    const double resumeMs = meilleurMs(3, [&] { son.assigne(f16, donnees); });
    std::printf("Building the sample vector and its summary: %.1f ms\n", resumeMs);

    // 5. Peak-frequency error (bins) over offsets -0.5..+0.5 and four phases, 16-bit tones.
    std::printf("Peak frequency, worst error in bins:\n");
    for (int base : {10, 20, 100, 400}) {
        double pire = 0;
        for (int d = -50; d <= 50; ++d)
            for (double phase : {0.0, 0.9, 2.1, 3.7}) {
                const double bin = base + d / 100.0;
                QByteArray b(2 * 2100, '\0');
                for (int i = 0; i < 2100; ++i)
                    qToLittleEndian(qint16(std::lround(15000 * std::sin(2 * std::numbers::pi * bin * i / 2048 + phase))),
                                    reinterpret_cast<uchar*>(b.data()) + 2 * i);
                TvecteurSon t;
                t.assigne(f16, b);
                pire = std::max(pire, std::fabs(*frequencePic(0, 2048, t) - bin));
            }
        std::printf("  bin %3d +/-0.5: %.5f\n", base, pire);
    }
    return 0;
}

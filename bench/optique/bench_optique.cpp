// Intensity profile: the work done at every mouse move while the line is dragged.
#include "ProfilIntensite.h"

#include <QElapsedTimer>
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

using enum ProfilIntensite::TstyleDrag;

namespace {
QImage motif(int w, int h)
{
    QImage im(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* p = im.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const double s = std::sin(0.01 * x) * std::cos(0.013 * y);
            p[3 * x] = uchar(127 + 127 * s);
            p[3 * x + 1] = uchar(x * 7 + y);
            p[3 * x + 2] = uchar(x ^ y);
        }
    }
    return im;
}

double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Best wall time; also prints the median processor time of the thread, which other programs
// running on the machine disturb less.
double meilleurMs(int essais, ProfilIntensite& p, QPoint direction)
{
    double meilleur = 1e300;
    std::vector<double> cpu;
    for (int k = 0; k < essais; ++k) {
        // Each trial moves the direction point by one pixel, as a drag does.
        p.PointRepere[bsDirection] = direction + QPoint(0, k % 2);
        QElapsedTimer t;
        const double c0 = cpuMs();
        t.start();
        p.calcule();
        meilleur = std::min(meilleur, t.nsecsElapsed() / 1e6);
        cpu.push_back(cpuMs() - c0);
    }
    std::sort(cpu.begin(), cpu.end());
    std::printf("    median processor time %.3f ms\n", cpu[cpu.size() / 2]);
    return meilleur;
}
}

int main()
{
    // 4000 samples are left once 128 pixels are taken off each end for the smoothing.
    const int w = 4000 + 2 * 128, h = 600;
    ProfilIntensite p;
    p.setImage(motif(w, h));
    p.pointsParDefaut();
    p.MoyenneSE = 128;
    p.PointRepere[bsOrigine] = QPoint(w / 2, h / 2);
    std::printf("profile of a %d-pixel line, Lissage %d (%d lines):\n", w, p.MoyenneSE, 2 * p.MoyenneSE + 1);
    const double horizontal = meilleurMs(200, p, QPoint(4 * w / 5, h / 2));
    std::printf("  horizontal: best %.3f ms over %d samples\n", horizontal, p.Fin - p.Debut + 1);
    const double penche = meilleurMs(200, p, QPoint(4 * w / 5, h / 2 + 150));
    std::printf("  sloped (Pente %.3f): best %.3f ms over %d samples\n", p.Pente, penche, p.Fin - p.Debut + 1);
    p.Gamma = 2.2;
    const double gamma = meilleurMs(200, p, QPoint(4 * w / 5, h / 2 + 150));
    std::printf("  sloped, gamma 2.2: best %.3f ms\n", gamma);
    std::printf("limit: 5 ms per mouse move\n");
    return 0;
}

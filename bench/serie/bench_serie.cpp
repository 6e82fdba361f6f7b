// Stepping through a series of 12-megapixel phone photos (4000 x 3000 JPEG) in the image-series
// window: the time from the "next image" press to the image painted, with and without the
// read-ahead, beside the time libjpeg-turbo itself needs to decode one photo. Prints figures.
// Run it on a real display (Xvfb) to include the paint into a window of screen size.
#include "ImageLoader.h"
#include "ImagesAnticipees.h"
#include "TestHost.h"
#include "videoBMP.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <vector>

namespace {

constexpr int kLargeur = 4000, kHauteur = 3000, kPhotos = 8;

// A photo-like picture: gradients, shapes and sensor noise, so the JPEG is as large as a
// phone's (noise is what makes them 3-5 MB).
QImage photo(int n)
{
    QImage img(kLargeur, kHauteur, QImage::Format_RGB32);
    QRandomGenerator g(quint32(n + 1));
    for (int y = 0; y < kHauteur; ++y) {
        auto* l = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kLargeur; ++x) {
            const int b = int(g.bounded(24));
            l[x] = qRgb(std::min(255, 80 + x / 40 + b), std::min(255, 90 + y / 30 + b), std::min(255, 140 + b));
        }
    }
    QPainter p(&img);
    p.setBrush(QColor(200, 40, 30));
    p.drawEllipse(QPoint(400 + 300 * n, 1500), 120, 120);
    return img;
}

double mediane(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void imprime(const char* quoi, const std::vector<double>& v)
{
    std::printf("%-52s median %7.1f ms   max %7.1f ms   (n=%zu)\n", quoi, mediane(v),
                v.empty() ? 0 : *std::max_element(v.begin(), v.end()), v.size());
}

// Processor time of the calling (user-interface) thread: what the figure would be on an idle
// machine, whatever the other users of this one are doing.
double cpuFilMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

std::vector<double> g_cpu, g_peinture;

// Press "next image" and wait until the window has painted it.
double pas(TvideoBmpForm& f)
{
    QElapsedTimer t;
    t.start();
    const double c0 = cpuFilMs();
    f.SuivantBtn->click();
    const double p0 = t.nsecsElapsed() / 1e6;
    f.Image->repaint();
    QApplication::sync();
    const double mur = t.nsecsElapsed() / 1e6;
    g_cpu.push_back(cpuFilMs() - c0);
    g_peinture.push_back(mur - p0);
    return mur;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Writing %d photos of %d x %d...\n", kPhotos, kLargeur, kHauteur);
    qint64 octets = 0;
    for (int n = 0; n < kPhotos; ++n) {
        const QString f = dir.filePath(QStringLiteral("IMG_%1.jpg").arg(n + 1));
        sauveJpeg(photo(n), f, nullptr, 92);
        octets += QFileInfo(f).size();
    }
    std::printf("JPEG size: %.1f MB each\n", octets / 1e6 / kPhotos);

    std::vector<double> brut, rgb32;
    for (int n = 0; n < kPhotos; ++n) {
        QElapsedTimer t;
        t.start();
        const QImage i = chargeJpeg(dir.filePath(QStringLiteral("IMG_%1.jpg").arg(n + 1)));
        brut.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        const QImage c = i.convertToFormat(QImage::Format_RGB32);
        rgb32.push_back(t.nsecsElapsed() / 1e6);
    }
    imprime("libjpeg-turbo decode of one photo", brut);
    imprime("conversion to the display format", rgb32);

    TestHost host;
    TvideoBmpForm f(host);
    f.resize(1600, 1000);
    f.show();
    f.setWindowState(Qt::WindowNoState);
    f.resize(1600, 1000);
    QApplication::processEvents();

    for (bool anticipe : {false, true}) {
        f.chargeur.setAnticipation(anticipe ? 3 : 0, anticipe ? 1 : 0);
        f.OuvreSerie(dir.filePath("IMG_1.jpg"));
        f.Image->repaint();
        std::vector<double> temps;
        for (int n = 1; n < kPhotos; ++n) {
            // The user looks at each photo for a moment: the read-ahead has that time.
            QElapsedTimer attente;
            attente.start();
            while (anticipe && !f.chargeur.enCache(n) && attente.elapsed() < 3000)
                QApplication::processEvents(QEventLoop::AllEvents, 5);
            temps.push_back(pas(f));
        }
        imprime(anticipe ? "next image shown, with read-ahead" : "next image shown, without read-ahead", temps);
        imprime("  of which painting", g_peinture);
        imprime("  processor time of the interface thread", g_cpu);
        g_cpu.clear();
        g_peinture.clear();
    }
    // Keys held down: each press comes before the next photo is decoded.
    f.chargeur.setAnticipation(3, 1);
    f.OuvreSerie(dir.filePath("IMG_1.jpg"));
    std::vector<double> rafale;
    for (int n = 1; n < kPhotos; ++n)
        rafale.push_back(pas(f));
    imprime("next image shown, keys pressed back to back", rafale);
    imprime("  processor time of the interface thread", g_cpu);
    return 0;
}

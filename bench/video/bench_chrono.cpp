// Chronophotograph and colour tracking on a 10 s 1080p clip, next to decoding the same images;
// then the memory of the process as one source reopens the clip five times. Prints figures only.
#include "CompositeChrono.h"
#include "SuiviCouleur.h"
#include "VideoSource.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <cstdio>

namespace {

double rssMo()
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // A ball of colour thrown over a busy moving background, 1080p, 25 images/s, 10 s.
    const QString fichier = QDir::temp().filePath(QStringLiteral("kinexo-bench-1080p-balle.mp4"));
    if (!QFileInfo::exists(fichier)) {
        std::printf("Fabrication du clip de test %s...\n", qPrintable(fichier));
        const int r = QProcess::execute(
            "ffmpeg", {"-y", "-v", "error", "-f", "lavfi", "-i", "testsrc2=s=1920x1080:r=25:d=10", "-vf",
                       "drawbox=x='100+t*170':y='800-t*60':w=40:h=40:c=red:t=fill", "-c:v", "libx264", "-preset",
                       "veryfast", "-crf", "20", "-g", "250", "-pix_fmt", "yuv420p", fichier});
        if (r != 0)
            return 1;
    }

    VideoSource v;
    if (!v.open(fichier)) {
        std::printf("%s\n", qPrintable(v.erreur()));
        return 1;
    }
    const int n = v.frameCount();
    QElapsedTimer t;
    t.start();
    v.first();
    for (int i = 1; i < n; ++i)
        v.next();
    const double decodage = t.nsecsElapsed() / 1e6;

    v.open(fichier);
    CompositeChrono c;
    SuiviCouleur s;
    double suivi = 0, composite = 0;
    int trouves = 0;
    QPoint p(120, 820);
    t.restart();
    const QImage premiere = v.first().image;
    c.commence(premiere);
    s.commence(premiere, p);
    for (int i = 1; i < n; ++i) {
        const QImage img = v.next().image;
        QElapsedTimer ts;
        ts.start();
        c.ajoute(img);
        composite += ts.nsecsElapsed() / 1e6;
        ts.restart();
        if (const auto r = s.suit(img, p)) {
            p = r->centre;
            ++trouves;
        }
        suivi += ts.nsecsElapsed() / 1e6;
    }
    const double chrono = t.nsecsElapsed() / 1e6;

    std::printf("Clip : %d images %dx%d\n", n, v.size().width(), v.size().height());
    std::printf("Décodage seul (VideoSource, image suivante)   %8.2f ms/image\n", decodage / n);
    std::printf("Chronophotographie + suivi (décodage compris)  %8.2f ms/image  = %.2f x le décodage seul\n",
                chrono / n, chrono / decodage);
    std::printf("  dont composite                               %8.2f ms/image\n", composite / (n - 1));
    std::printf("  dont suivi de la couleur                     %8.2f ms/image (%d images sur %d suivies)\n",
                suivi / (n - 1), trouves, n - 1);

    std::printf("Mémoire (RSS) au départ des réouvertures : %.0f Mo ; cache limité à %.0f Mo\n", rssMo(),
                v.cacheLimit() / 1048576.0);
    for (int k = 1; k <= 5; ++k) {
        v.open(fichier);
        for (int i = 0; i < n; ++i)
            v.frame(i);
        std::printf("  ouverture %d : RSS %.0f Mo, cache %.0f Mo, réserve %.0f Mo\n", k, rssMo(),
                    v.cacheBytes() / 1048576.0, v.reserveBytes() / 1048576.0);
    }
    v.close();
    std::printf("  après close() : RSS %.0f Mo\n", rssMo());
    return 0;
}

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
#include <ctime>

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

// The machine is shared: processor time of the whole process (all threads) is printed too.
double cpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double cpuThreadMs()
{
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
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
    double c0 = cpuMs();
    v.first();
    for (int i = 1; i < n; ++i)
        v.next();
    const double decodage = t.nsecsElapsed() / 1e6;
    const double decodageCpu = cpuMs() - c0;

    v.open(fichier);
    CompositeChrono c;
    SuiviCouleur s;
    double suivi = 0, composite = 0, suiviCpu = 0, compositeCpu = 0;
    int trouves = 0;
    QPoint p(120, 820);
    t.restart();
    c0 = cpuMs();
    const QImage premiere = v.first().image;
    c.commence(premiere);
    s.commence(premiere, p);
    for (int i = 1; i < n; ++i) {
        const QImage img = v.next().image;
        QElapsedTimer ts;
        ts.start();
        double ct = cpuThreadMs();
        c.ajoute(img);
        composite += ts.nsecsElapsed() / 1e6;
        compositeCpu += cpuThreadMs() - ct;
        ts.restart();
        ct = cpuThreadMs();
        if (const auto r = s.suit(img, p)) {
            p = r->centre;
            ++trouves;
        }
        suivi += ts.nsecsElapsed() / 1e6;
        suiviCpu += cpuThreadMs() - ct;
    }
    const double chrono = t.nsecsElapsed() / 1e6;
    const double chronoCpu = cpuMs() - c0;

    std::printf("Clip : %d images %dx%d\n", n, v.size().width(), v.size().height());
    std::printf("(temps mur, puis temps processeur)\n");
    std::printf("Décodage seul (VideoSource, image suivante)   %8.2f ms/image  (processeur %8.2f)\n", decodage / n,
                decodageCpu / n);
    std::printf("Chronophotographie + suivi (décodage compris)  %8.2f ms/image  (processeur %8.2f) = %.2f x (processeur %.2f x) le décodage seul\n",
                chrono / n, chronoCpu / n, chrono / decodage, chronoCpu / decodageCpu);
    std::printf("  dont composite                               %8.2f ms/image  (processeur %8.2f)\n", composite / (n - 1),
                compositeCpu / (n - 1));
    std::printf("  dont suivi de la couleur                     %8.2f ms/image  (processeur %8.2f) (%d images sur %d suivies)\n",
                suivi / (n - 1), suiviCpu / (n - 1), trouves, n - 1);

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

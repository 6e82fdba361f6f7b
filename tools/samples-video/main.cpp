// Writes balle-lancee.avi: a ball thrown upwards and forwards (g = 9.81 m/s²), filmed at
// 25 images/s in front of a ruler one metre long, 300 pixels per metre. Frames are drawn here
// and encoded by the ffmpeg program (Motion JPEG in AVI: every image stands alone).
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kLargeur = 640;
constexpr int kHauteur = 480;
constexpr int kImages = 30;
constexpr double kCadence = 25;
constexpr double kPixelsParMetre = 300;
constexpr int kSol = 440;            // floor line, pixels
constexpr double kG = 9.81;
constexpr double kX0 = 0.25, kY0 = 0.30; // ball centre at the throw, metres (height above the floor)
constexpr double kVx = 1.0, kVy = 3.5;   // m/s
constexpr double kRayon = 0.04;          // m

QPointF ecran(double x, double y) { return {x * kPixelsParMetre, kSol - y * kPixelsParMetre}; }

QImage image(int n)
{
    QImage img(kLargeur, kHauteur, QImage::Format_ARGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 0, kLargeur, kSol, QColor(214, 222, 232));
    p.fillRect(0, kSol, kLargeur, kHauteur - kSol, QColor(120, 104, 88));

    // The ruler on the floor: 1 m from x = 0.10 m, a tick every centimetre.
    const QPointF debut = ecran(0.10, 0);
    p.fillRect(QRectF(debut.x() - 4, kSol + 6, kPixelsParMetre + 8, 22), QColor(245, 210, 60));
    p.setPen(QPen(Qt::black, 1));
    for (int cm = 0; cm <= 100; ++cm) {
        const double x = debut.x() + cm * kPixelsParMetre / 100;
        const int l = cm % 10 == 0 ? 12 : (cm % 5 == 0 ? 8 : 4);
        p.drawLine(QPointF(x, kSol + 6), QPointF(x, kSol + 6 + l));
    }
    QFont f = p.font();
    f.setPixelSize(10);
    p.setFont(f);
    p.drawText(QPointF(debut.x() - 3, kSol + 27), QStringLiteral("0"));
    p.drawText(QPointF(debut.x() + kPixelsParMetre / 2 - 12, kSol + 27), QStringLiteral("50 cm"));
    p.drawText(QPointF(debut.x() + kPixelsParMetre - 10, kSol + 27), QStringLiteral("1 m"));
    f.setPixelSize(14);
    p.setFont(f);
    p.drawText(QPointF(kLargeur - 250, kHauteur - 12), QStringLiteral("Règle jaune : 1 m — 25 images/s"));

    // The ball: thrown at t = 0, resting where it lands.
    const double t = n / kCadence;
    double x = kX0 + kVx * t;
    double y = kY0 + kVy * t - kG * t * t / 2;
    if (y < kRayon) {
        const double tSol = (kVy + std::sqrt(kVy * kVy + 2 * kG * (kY0 - kRayon))) / kG;
        x = kX0 + kVx * tSol;
        y = kRayon;
    }
    const QPointF c = ecran(x, y);
    const double r = kRayon * kPixelsParMetre;
    QRadialGradient g(c - QPointF(r / 3, r / 3), r * 1.3);
    g.setColorAt(0, QColor(255, 150, 130));
    g.setColorAt(1, QColor(170, 20, 20));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::black);
    p.drawEllipse(c, 1.5, 1.5); // centre mark, to click on
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kx_samples_video sortie.avi\n");
        return 2;
    }
    const QString sortie = QString::fromLocal8Bit(argv[1]);
    const QString temp = sortie + QStringLiteral(".part.avi");
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-y", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-s",
                  QStringLiteral("%1x%2").arg(kLargeur).arg(kHauteur), "-r", QString::number(kCadence), "-i", "-",
                  "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", temp});
    if (!ffmpeg.waitForStarted()) {
        std::fprintf(stderr, "ffmpeg introuvable\n");
        return 1;
    }
    for (int n = 0; n < kImages; ++n) {
        const QImage img = image(n);
        ffmpeg.write(reinterpret_cast<const char*>(img.constBits()), img.sizeInBytes());
        ffmpeg.waitForBytesWritten(-1);
    }
    ffmpeg.closeWriteChannel();
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "%s", ffmpeg.readAllStandardError().constData());
        QFile::remove(temp);
        return 1;
    }
    QFile::remove(sortie);
    return QFile::rename(temp, sortie) ? 0 : 1;
}

// Writes pendule.avi: a pendulum 75 cm long (a rod and a bob) swinging 30 degrees either side
// of a plumb line, filmed at 25 images/s. The angle of every image is known (Pendule.h).
// Frames are drawn here and encoded by the ffmpeg program (Motion JPEG in AVI).
#include "Pendule.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <cstdio>

namespace {

using namespace pendule;

QImage image(int n)
{
    QImage img(kLargeur, kHauteur, QImage::Format_ARGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), QColor(226, 230, 222));

    // Support and plumb line with its mark.
    p.fillRect(QRectF(kPivot.x() - 80, kPivot.y() - 22, 160, 14), QColor(110, 90, 70));
    p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    p.drawLine(kPivot, kRepere);
    p.setPen(QPen(QColor(20, 20, 160), 2));
    p.drawLine(kRepere - QPointF(8, 0), kRepere + QPointF(8, 0));
    p.drawLine(kRepere - QPointF(0, 8), kRepere + QPointF(0, 8));

    QFont f = p.font();
    f.setPixelSize(14);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QPointF(12, kHauteur - 12), QStringLiteral("Pendule : L = 75 cm — 25 images/s"));

    // Rod, bob, and the two points to click: the pivot and the bob's centre.
    const QPointF b = boule(n);
    p.setPen(QPen(QColor(45, 45, 45), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(kPivot, b);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 30, 30));
    p.drawEllipse(b, kRayonBoule, kRayonBoule);
    p.setBrush(Qt::white);
    p.drawEllipse(b, 2.0, 2.0);
    p.setBrush(QColor(240, 200, 40));
    p.drawEllipse(kPivot, 5.0, 5.0);
    p.setBrush(Qt::black);
    p.drawEllipse(kPivot, 1.5, 1.5);
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kx_samples_pendule sortie.avi\n");
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

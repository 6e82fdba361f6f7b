// Writes chariot1.jpg .. chariot16.jpg: a cart let go at rest at the top of a 10° slope, photographed
// every 0.1 s, in front of a horizontal ruler one metre long drawn at 300 pixels per metre.
// The cart slides without friction: its centre mark moves along the slope with a = g sin 10°
// = 1.703 m/s², that is x(t) = a cos10° t²/2 and y(t) = -a sin10° t²/2 from its start.
#include "ImageLoader.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kLargeur = 800;
constexpr int kHauteur = 500;
constexpr int kImages = 16;
constexpr double kIntervalle = 0.1;          // s
constexpr double kPixelsParMetre = 300;
constexpr double kPente = 10 * M_PI / 180;   // rad
constexpr double kG = 9.81;
const QPointF kDepart(90, 110);             // centre mark of the cart at t = 0, pixels

QImage image(int n)
{
    QImage img(kLargeur, kHauteur, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(img.rect(), QColor(226, 230, 236));

    // The slope: a wooden board under the cart's wheels.
    const QPointF dir(std::cos(kPente), std::sin(kPente));
    const QPointF normale(-dir.y(), dir.x());
    const QPointF haut = kDepart + normale * 34 - dir * 80;
    const QPointF bas = haut + dir * 1100;
    QPainterPath planche;
    planche.moveTo(haut);
    planche.lineTo(bas);
    planche.lineTo(bas + normale * 16);
    planche.lineTo(haut + normale * 16);
    planche.closeSubpath();
    p.fillPath(planche, QColor(168, 120, 72));
    p.fillRect(QRectF(haut.x() - 30, haut.y(), 30, kHauteur - haut.y()), QColor(120, 84, 50));

    // The ruler: 1 m, a tick every centimetre.
    const double x0 = 60, yRegle = 440;
    p.fillRect(QRectF(x0 - 6, yRegle, kPixelsParMetre + 12, 26), QColor(245, 210, 60));
    p.setPen(QPen(Qt::black, 1));
    for (int cm = 0; cm <= 100; ++cm) {
        const double x = x0 + cm * kPixelsParMetre / 100;
        const int l = cm % 10 == 0 ? 14 : (cm % 5 == 0 ? 9 : 5);
        p.drawLine(QPointF(x, yRegle), QPointF(x, yRegle + l));
    }
    QFont f = p.font();
    f.setPixelSize(11);
    p.setFont(f);
    p.drawText(QPointF(x0 - 3, yRegle + 24), QStringLiteral("0"));
    p.drawText(QPointF(x0 + kPixelsParMetre / 2 - 14, yRegle + 24), QStringLiteral("50 cm"));
    p.drawText(QPointF(x0 + kPixelsParMetre - 10, yRegle + 24), QStringLiteral("1 m"));
    f.setPixelSize(15);
    p.setFont(f);
    p.drawText(QPointF(kLargeur - 300, kHauteur - 16), QStringLiteral("Règle jaune : 1 m — 10 images/s"));
    p.drawText(QPointF(20, 30), QStringLiteral("Image %1   t = %2 s").arg(n + 1).arg(n * kIntervalle, 0, 'f', 1));

    // The cart, along the slope.
    const double t = n * kIntervalle;
    const double s = kG * std::sin(kPente) * t * t / 2 * kPixelsParMetre;
    const QPointF c = kDepart + dir * s;
    p.save();
    p.translate(c);
    p.rotate(kPente * 180 / M_PI);
    p.setPen(QPen(QColor(40, 40, 80), 2));
    p.setBrush(QColor(60, 110, 200));
    p.drawRoundedRect(QRectF(-45, -22, 90, 40), 6, 6);
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QPointF(-27, 24), 10, 10);
    p.drawEllipse(QPointF(27, 24), 10, 10);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, 0), 7, 7);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(0, 0), 2, 2); // centre mark, to click on
    p.restore();
    return img;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kx_samples_serie dossier\n");
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);
    for (int n = 0; n < kImages; ++n) {
        QString erreur;
        // Named as a camera names them: chariot1 .. chariot16, in natural order only.
        if (!sauveJpeg(image(n), dossier + QStringLiteral("/chariot%1.jpg").arg(n + 1), &erreur, 92)) {
            std::fprintf(stderr, "%s\n", qPrintable(erreur));
            return 1;
        }
    }
    return 0;
}

// Writes the sample stroboscopic photograph: a dark, slightly noisy room, a dropped ball and a
// ball thrown horizontally at the same instant, eleven flashes 1/25 s apart, a one-metre ruler.
#include "Chronophoto.h"
#include "ImageLoader.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <cstdio>
#include <random>

using namespace chronophoto;

namespace {

constexpr int kFond = 22;
constexpr int kBruit = 7;

void bruite(QImage& im)
{
    std::mt19937 gen(25);
    std::uniform_int_distribution<int> bruit(-kBruit, kBruit);
    for (int y = 0; y < im.height(); ++y) {
        uchar* l = im.scanLine(y);
        for (int x = 0; x < im.width() * 3; ++x)
            l[x] = uchar(std::clamp(int(l[x]) + bruit(gen), 1, 255));
    }
}

void balle(QPainter& p, QPointF c, QColor couleur)
{
    QRadialGradient grad(c - QPointF(3, 3), kRayon + 2);
    grad.setColorAt(0, couleur.lighter(130));
    grad.setColorAt(1, couleur.darker(140));
    p.setPen(Qt::NoPen);
    p.setBrush(grad);
    p.drawEllipse(c, kRayon, kRayon);
    // A small dark dot marks the centre for precise pointing.
    p.setBrush(QColor(40, 40, 40));
    p.drawEllipse(c, 1.6, 1.6);
}

void regle(QPainter& p)
{
    const double x0 = kRegleDebut.x(), x1 = kRegleFin.x(), y = kRegleDebut.y();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 200, 60));
    p.drawRect(QRectF(x0 - 20, y, x1 - x0 + 40, 34));
    p.setPen(QPen(QColor(20, 20, 20), 1));
    QFont f = p.font();
    f.setPixelSize(11);
    p.setFont(f);
    for (int cm = 0; cm <= 100; ++cm) {
        const double x = x0 + (x1 - x0) * cm / 100.0;
        const double h = cm % 10 == 0 ? 14 : (cm % 5 == 0 ? 9 : 5);
        p.drawLine(QPointF(x, y), QPointF(x, y + h));
        if (cm % 10 == 0)
            p.drawText(QRectF(x - 15, y + 15, 30, 14), Qt::AlignHCenter, QString::number(cm));
    }
    p.drawText(QRectF(x1 + 4, y + 15, 40, 14), Qt::AlignLeft, QStringLiteral("cm"));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);

    QImage im(kLargeur, kHauteur, QImage::Format_RGB888);
    im.fill(QColor(kFond, kFond, kFond + 4));
    {
        QPainter p(&im);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(190, 190, 190));
        QFont f = p.font();
        f.setPixelSize(16);
        p.setFont(f);
        p.drawText(QPointF(20, 30), QStringLiteral("Chronophotographie : un éclair tous les 1/25 s (0,04 s) — règle de 1 m"));
        p.drawText(QPointF(kLacherLachee - 60, position(2, 0).y() - 25), QStringLiteral("balle lâchée"));
        p.drawText(QPointF(position(1, 0).x() - 20, position(1, 0).y() - 25), QStringLiteral("balle lancée"));
        for (int i = 0; i < kEclairs; ++i) {
            balle(p, position(2, i), QColor(235, 140, 40));
            balle(p, position(1, i), QColor(225, 225, 225));
        }
        regle(p);
    }
    bruite(im);
    const QString chemin = dossier + QStringLiteral("/chronophoto-chute.jpg");
    QString erreur;
    if (!sauveJpeg(im, chemin, &erreur, 92)) {
        std::fprintf(stderr, "%s\n", qPrintable(erreur));
        return 1;
    }
    return 0;
}

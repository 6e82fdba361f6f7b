// Writes the sample graph pictures of the curve digitiser: a linear graph, a log-log graph and
// a polar diagram, each with known curves, so a newcomer can try each kind of axis.
#include "AtomicFile.h"

#include <QBuffer>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int kW = 800, kH = 600;
const QColor kGrille(215, 215, 215);
const QColor kGrilleForte(160, 160, 160);

QImage feuille()
{
    QImage im(kW, kH, QImage::Format_RGB888);
    im.fill(Qt::white);
    return im;
}

void titre(QPainter& p, const QString& t)
{
    QFont f = p.font();
    f.setPointSize(14);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::black);
    p.drawText(QRect(0, 10, kW, 30), Qt::AlignHCenter, t);
    f.setPointSize(10);
    f.setBold(false);
    p.setFont(f);
}

// Curve through the screen points of x in [a, b].
void trace(QPainter& p, double a, double b, const std::function<QPointF(double)>& point, QColor c)
{
    QPainterPath chemin(point(a));
    constexpr int n = 600;
    for (int i = 1; i <= n; ++i)
        chemin.lineTo(point(a + (b - a) * i / n));
    p.setPen(QPen(c, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chemin);
}

// Charging capacitor: u_C = 5(1 - exp(-t/2)) and u_R = 5 exp(-t/2); t 0..10 s, u 0..6 V.
QImage lineaire()
{
    QImage im = feuille();
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing);
    titre(p, QStringLiteral("Charge d'un condensateur (E = 5 V, τ = 2 s)"));
    const double x0 = 100, y0 = 520, px = 60, py = 70; // 60 px per second, 70 px per volt
    for (int t = 0; t <= 10; ++t) {
        p.setPen(t == 0 ? QPen(Qt::black, 2) : QPen(kGrille));
        p.drawLine(QPointF(x0 + t * px, y0), QPointF(x0 + t * px, y0 - 6 * py));
        p.setPen(Qt::black);
        p.drawText(QRectF(x0 + t * px - 20, y0 + 6, 40, 16), Qt::AlignHCenter, QString::number(t));
    }
    for (int u = 0; u <= 6; ++u) {
        p.setPen(u == 0 ? QPen(Qt::black, 2) : QPen(kGrille));
        p.drawLine(QPointF(x0, y0 - u * py), QPointF(x0 + 10 * px, y0 - u * py));
        p.setPen(Qt::black);
        p.drawText(QRectF(x0 - 40, y0 - u * py - 8, 32, 16), Qt::AlignRight, QString::number(u));
    }
    p.drawText(QPointF(x0 + 10 * px + 12, y0 + 4), QStringLiteral("t (s)"));
    p.drawText(QPointF(x0 - 30, y0 - 6 * py - 14), QStringLiteral("u (V)"));
    auto ecran = [&](double t, double u) { return QPointF(x0 + t * px, y0 - u * py); };
    trace(p, 0, 10, [&](double t) { return ecran(t, 5 * (1 - std::exp(-t / 2))); }, QColor(0, 0, 200));
    trace(p, 0, 10, [&](double t) { return ecran(t, 5 * std::exp(-t / 2)); }, QColor(200, 0, 0));
    p.setPen(QColor(0, 0, 200));
    p.drawText(ecran(6.2, 4.6), QStringLiteral("u_C (condensateur)"));
    p.setPen(QColor(200, 0, 0));
    p.drawText(ecran(3.2, 1.6), QStringLiteral("u_R (résistance)"));
    return im;
}

// Low-pass filter: G = 1 / sqrt(1 + (f / 1 kHz)²); f 10 Hz..100 kHz, G 0.001..1, 150 px a decade.
QImage logLog()
{
    QImage im = feuille();
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing);
    titre(p, QStringLiteral("Filtre passe-bas du premier ordre (fc = 1 kHz)"));
    const double x0 = 110, y0 = 520, dec = 150;
    auto X = [&](double f) { return x0 + dec * std::log10(f / 10); };
    auto Y = [&](double g) { return y0 - dec * std::log10(g / 0.001); };
    for (int d = 0; d < 4; ++d)
        for (int k = 1; k <= 9; ++k) {
            const double f = 10 * std::pow(10.0, d) * k;
            p.setPen(k == 1 ? QPen(kGrilleForte) : QPen(kGrille));
            p.drawLine(QPointF(X(f), y0), QPointF(X(f), Y(1)));
        }
    for (int d = 0; d < 3; ++d)
        for (int k = 1; k <= 9; ++k) {
            const double g = 0.001 * std::pow(10.0, d) * k;
            p.setPen(k == 1 ? QPen(kGrilleForte) : QPen(kGrille));
            p.drawLine(QPointF(x0, Y(g)), QPointF(X(100000), Y(g)));
        }
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(QPointF(x0, y0), QPointF(X(100000), y0));
    p.drawLine(QPointF(x0, y0), QPointF(x0, Y(1)));
    const QStringList fs{"10", "100", "1k", "10k", "100k"};
    for (int d = 0; d <= 4; ++d)
        p.drawText(QRectF(X(10 * std::pow(10.0, d)) - 25, y0 + 6, 50, 16), Qt::AlignHCenter, fs[d]);
    const QStringList gs{"0,001", "0,01", "0,1", "1"};
    for (int d = 0; d <= 3; ++d)
        p.drawText(QRectF(x0 - 60, Y(0.001 * std::pow(10.0, d)) - 8, 52, 16), Qt::AlignRight, gs[d]);
    p.drawText(QPointF(X(100000) + 10, y0 + 4), QStringLiteral("f (Hz)"));
    p.drawText(QPointF(x0 - 20, Y(1) - 14), QStringLiteral("G"));
    trace(p, 1, 5, [&](double e) {
        const double f = std::pow(10.0, e);
        return QPointF(X(f), Y(1 / std::sqrt(1 + (f / 1000) * (f / 1000))));
    }, QColor(0, 0, 200));
    return im;
}

// Cardioid microphone: r = 2 (1 + cos θ); circles every unit, 50 px a unit, lines every 30°.
QImage polaire()
{
    QImage im = feuille();
    QPainter p(&im);
    p.setRenderHint(QPainter::Antialiasing);
    titre(p, QStringLiteral("Diagramme polaire d'un micro cardioïde : r = 2(1 + cos θ)"));
    const QPointF c(400, 320);
    const double u = 50;
    p.setBrush(Qt::NoBrush);
    for (int r = 1; r <= 5; ++r) {
        p.setPen(r == 5 ? QPen(kGrilleForte) : QPen(kGrille));
        p.drawEllipse(c, r * u, r * u);
        p.setPen(Qt::darkGray);
        p.drawText(QPointF(c.x() + r * u + 2, c.y() + 14), QString::number(r));
    }
    for (int a = 0; a < 360; a += 30) {
        const double t = a * M_PI / 180;
        const QPointF bout(c.x() + 5 * u * std::cos(t), c.y() - 5 * u * std::sin(t));
        p.setPen(a % 90 == 0 ? QPen(Qt::black, a == 0 || a == 90 ? 2 : 1) : QPen(kGrille));
        p.drawLine(c, bout);
        p.setPen(Qt::black);
        const QPointF lab(c.x() + 5.5 * u * std::cos(t), c.y() - 5.5 * u * std::sin(t));
        p.drawText(QRectF(lab.x() - 20, lab.y() - 8, 40, 16), Qt::AlignCenter, QStringLiteral("%1°").arg(a > 180 ? a - 360 : a));
    }
    trace(p, 0, 2 * M_PI, [&](double t) {
        const double r = 2 * (1 + std::cos(t));
        return QPointF(c.x() + r * u * std::cos(t), c.y() - r * u * std::sin(t));
    }, QColor(0, 0, 200));
    return im;
}

bool ecrit(const QImage& im, const QString& chemin)
{
    QByteArray octets;
    QBuffer buf(&octets);
    buf.open(QIODevice::WriteOnly);
    return im.save(&buf, "PNG") && writeFileAtomically(chemin, octets);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kx_samples_images <dossier>\n");
        return 2;
    }
    const QString dossier = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dossier);
    bool ok = ecrit(lineaire(), dossier + "/courbe-lineaire.png");
    ok = ecrit(logLog(), dossier + "/courbe-loglog.png") && ok;
    ok = ecrit(polaire(), dossier + "/courbe-polaire.png") && ok;
    return ok ? 0 : 1;
}

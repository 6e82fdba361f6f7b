#include "Curseurs.h"

#include <QHash>
#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kTaille = 32;
constexpr int kCentre = 15;

QHash<int, QCursor>& tableCurseurs()
{
    static QHash<int, QCursor> s;
    return s;
}

// A cross with a white halo so it shows on dark and light pictures alike.
void croix(QPainter& p, QColor c, int rayon, bool cercle, bool vide)
{
    for (int passe = 0; passe < 2; ++passe) {
        QPen pen(passe == 0 ? QColor(Qt::white) : c, passe == 0 ? 3 : 1);
        p.setPen(pen);
        const int g = vide ? 3 : 0;
        p.drawLine(kCentre - rayon, kCentre, kCentre - g, kCentre);
        p.drawLine(kCentre + g, kCentre, kCentre + rayon, kCentre);
        p.drawLine(kCentre, kCentre - rayon, kCentre, kCentre - g);
        p.drawLine(kCentre, kCentre + g, kCentre, kCentre + rayon);
        if (cercle)
            p.drawEllipse(QPoint(kCentre, kCentre), rayon / 2, rayon / 2);
    }
}

QCursor dessine(int slot)
{
    QPixmap pm(kTaille, kTaille);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    switch (slot) {
    case crCible1: croix(p, Qt::red, 12, true, true); break;
    case crCible2: croix(p, Qt::blue, 12, true, true); break;
    case crCible3: croix(p, QColor(0, 128, 0), 12, true, true); break;
    case crCible4: croix(p, Qt::magenta, 12, true, true); break;
    case crCible5: croix(p, QColor(200, 120, 0), 12, true, true); break;
    case crCibleNoire: croix(p, Qt::black, 14, false, true); break;
    case crCibleBlanche:
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(kCentre - 14, kCentre, kCentre + 14, kCentre);
        p.drawLine(kCentre, kCentre - 14, kCentre, kCentre + 14);
        break;
    case crCibleNormale: croix(p, Qt::black, 8, false, false); break;
    case crCibleDouble:
        croix(p, Qt::black, 12, true, true);
        p.drawEllipse(QPoint(kCentre, kCentre), 10, 10);
        break;
    case crCibleMove: {
        croix(p, Qt::black, 13, false, false);
        p.setBrush(Qt::black);
        const QPoint c(kCentre, kCentre);
        for (int k = 0; k < 4; ++k) {
            QTransform t;
            t.translate(c.x(), c.y());
            t.rotate(90 * k);
            p.drawPolygon(t.map(QPolygon({QPoint(0, -14), QPoint(-3, -10), QPoint(3, -10)})));
        }
        break;
    }
    case crOrigine:
    case crOrigineTemps: {
        const QColor c = slot == crOrigine ? QColor(Qt::red) : QColor(0, 0, 160);
        croix(p, c, 12, false, false);
        p.setPen(QPen(c, 1));
        p.drawRect(kCentre - 4, kCentre - 4, 8, 8);
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 7, QFont::Bold));
        p.drawText(QRect(kCentre + 3, 0, 14, 12), Qt::AlignCenter,
                   slot == crOrigine ? QStringLiteral("O") : QStringLiteral("t0"));
        break;
    }
    default: break;
    }
    p.end();
    return QCursor(pm, kCentre, kCentre);
}

} // namespace

void chargeCurseurs()
{
    if (!tableCurseurs().isEmpty())
        return;
    for (int s = crCible1; s <= crOrigineTemps; ++s)
        tableCurseurs().insert(s, dessine(s));
}

QCursor curseur(int slot)
{
    chargeCurseurs();
    return tableCurseurs().value(slot, QCursor(Qt::ArrowCursor));
}

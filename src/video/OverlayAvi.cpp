#include "OverlayAvi.h"

#include <cmath>

OverlayAvi::OverlayAvi(QPainter& p, const PointageModel& m, const OptionsTrace& o, QSize surface, int zoom)
    : m_p(p), m_m(m), m_o(o), m_surface(surface), m_zoom(std::max(zoom, 1))
{
}

OverlayAvi OverlayAvi::page(QPainter& p, const PointageModel& m, const OptionsTrace& o, QSize taille)
{
    OverlayAvi r(p, m, o, taille, 1);
    r.m_page = true;
    return r;
}

QPoint OverlayAvi::ecran(QPoint q) const
{
    if (!m_page)
        return q * m_zoom;
    const double sx = double(m_surface.width()) / std::max(m_m.Largeur, 1);
    const double sy = double(m_surface.height()) / std::max(m_m.Hauteur, 1);
    return QPoint(int(arrondiPair(q.x() * sx)), int(arrondiPair(q.y() * sy)));
}

// Line ends are exclusive of the end pixel.
void OverlayAvi::ligne(QPoint a, QPoint b)
{
    if (a == b)
        return;
    const QPointF d = QPointF(b - a);
    const double n = std::max(std::abs(d.x()), std::abs(d.y()));
    m_p.drawLine(QPointF(a), QPointF(b) - d / n);
}

void OverlayAvi::DessineCroix(QPoint q)
{
    const QPoint s = ecran(q);
    ligne(s - QPoint(5, 0), s + QPoint(5, 0));
    ligne(s - QPoint(0, 5), s + QPoint(0, 5));
}

void OverlayAvi::DessineReticule(QPoint q)
{
    const QPoint s = ecran(q);
    ligne(QPoint(0, s.y()), QPoint(m_surface.width(), s.y()));
    ligne(QPoint(s.x(), 0), QPoint(s.x(), m_surface.height()));
}

void OverlayAvi::DessineOrigine(int i)
{
    const QPoint s = ecran(m_m.XY[0][size_t(i)]);
    const int X = s.x(), Y = s.y();
    const int sx = m_m.axeDroite() ? 1 : -1;
    const int sy = m_m.axeHaut() ? -1 : 1;
    ligne({X - 20, Y}, {X + 20, Y});
    ligne({X + 17 * sx, Y - 1}, {X + 10 * sx, Y});
    ligne({X + 17 * sx, Y + 1}, {X + 10 * sx, Y});
    ligne({X, Y - 20}, {X, Y + 20});
    ligne({X - 1, Y + 17 * sy}, {X, Y + 10 * sy});
    ligne({X + 1, Y + 17 * sy}, {X, Y + 10 * sy});
}

void OverlayAvi::DessineAxes()
{
    const QPoint o = ecran(m_m.PointRepere[bsOrigine]);
    const int W = m_surface.width(), H = m_surface.height();
    const int bas = m_page ? H : H - 2, droite = m_page ? W : W - 2;
    ligne({o.x(), 0}, {o.x(), bas});
    ligne({0, o.y()}, {droite, o.y()});
    if (m_m.axeDroite()) {
        ligne({W - 15, o.y() - 3}, {droite, o.y()});
        ligne({W - 15, o.y() + 3}, {droite, o.y()});
    } else {
        ligne({15, o.y() - 3}, {0, o.y()});
        ligne({15, o.y() + 3}, {0, o.y()});
    }
    if (m_m.axeHaut()) {
        ligne({o.x() - 3, 15}, {o.x(), 0});
        ligne({o.x() + 3, 15}, {o.x(), 0});
    } else {
        ligne({o.x() - 3, H - 15}, {o.x(), bas});
        ligne({o.x() + 3, H - 15}, {o.x(), bas});
    }
}

void OverlayAvi::DessineEchelle(bool debutSeul)
{
    const QPoint a = m_m.PointRepere[bsEchelle1];
    const QPoint b = m_m.PointRepere[bsEchelle2];
    if (!debutSeul)
        ligne(ecran(a), ecran(b));
    DessineCroix(a);
    if (!debutSeul)
        DessineCroix(b);
}

void OverlayAvi::point(int k, int i, const QString& etiquette)
{
    const QPoint q = m_m.XY[size_t(k)][size_t(i)];
    m_p.setPen(QPen(m_m.Couleur[size_t(k)], 1));
    if (m_o.reticule)
        DessineReticule(q);
    else
        DessineCroix(q);
    if (m_o.etiquette)
        m_p.drawText(ecran(q) + QPoint(2, 2 + m_p.fontMetrics().ascent()), etiquette);
}

void OverlayAvi::dessine(bool echelleEnCours, std::optional<QLine> bande)
{
    if (!m_m.mediaOuvert)
        return;
    m_p.save();
    m_p.setRenderHint(QPainter::Antialiasing, false);
    QFont f = m_p.font();
    f.setPixelSize(10);
    m_p.setFont(f);
    m_p.setPen(QPen(m_o.couleurAxes, 1));
    if (m_o.axes) {
        if (m_m.origineMobile) {
            for (int i = 0; i < m_m.Nmes; ++i)
                DessineOrigine(i);
            if (m_m.PointCourant > 0 && m_m.Nmes < int(m_m.Temps.size()))
                DessineOrigine(m_m.Nmes);
        } else {
            DessineAxes();
        }
        DessineEchelle(echelleEnCours);
    }
    if (bande && !m_page) {
        m_p.setPen(QPen(m_o.couleurAxes, 1));
        ligne(ecran(bande->p1()), ecran(bande->p2()));
    }
    if (m_o.points) {
        for (int i = 0; i < m_m.Nmes; ++i)
            for (int k = 1; k <= m_m.NbreSE; ++k)
                point(k, i, QString::number(i + 1));
        if (m_m.Nmes < int(m_m.Temps.size()))
            for (int k = 1; k < m_m.PointCourant && k <= m_m.NbreSE; ++k)
                point(k, m_m.Nmes,
                      m_m.NbreSE > 1 ? QStringLiteral("%1-%2").arg(m_m.Nmes + 1).arg(k) : QString::number(m_m.Nmes + 1));
    }
    m_p.restore();
}

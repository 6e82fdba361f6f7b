#include "DessinPointage.h"

#include "PointageControleur.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <cmath>

SurfaceDessin SurfaceDessin::image(int zoom, QSize taille)
{
    SurfaceDessin s;
    s.m_zoom = std::max(1, zoom);
    s.m_taille = taille;
    return s;
}

SurfaceDessin SurfaceDessin::page(QSize page, int largeur, int hauteur)
{
    SurfaceDessin s;
    s.m_page = true;
    s.m_taille = page;
    s.m_largeur = std::max(1, largeur);
    s.m_hauteur = std::max(1, hauteur);
    return s;
}

QPoint SurfaceDessin::ecran(QPoint p) const
{
    if (!m_page)
        return p * m_zoom;
    return QPoint(arrondi(double(p.x()) * m_taille.width() / m_largeur),
                  arrondi(double(p.y()) * m_taille.height() / m_hauteur));
}

DessinPointage::DessinPointage(QPainter& painter, const SurfaceDessin& surface, const PointageModel& modele,
                               const OptionsDessin& options)
    : m_p(painter), m_surface(surface), m_modele(modele), m_options(options)
{
}

QFont DessinPointage::policeEtiquette()
{
    QFont f(QStringLiteral("Small Fonts"));
    f.setPixelSize(kHauteurEtiquette);
    f.setWeight(QFont::Normal);
    return f;
}

QPen DessinPointage::PlumeAxes() const
{
    QPen pen(m_options.couleurAxe, 1, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true);
    return pen;
}

QPen DessinPointage::PlumePoint(int k) const
{
    QPen pen(m_modele.Couleur[k], 1, Qt::SolidLine, Qt::FlatCap);
    pen.setCosmetic(true);
    return pen;
}

void DessinPointage::ligne(QPoint a, QPoint b)
{
    // Flat caps leave out the last pixel, as the system's lines do.
    m_p.drawLine(a, b);
}

void DessinPointage::DessineCroix(QPoint p)
{
    const QPoint e = m_surface.ecran(p);
    const int d = m_modele.regles().demiCroix;
    ligne(e + QPoint(-d, 0), e + QPoint(d, 0));
    ligne(e + QPoint(0, -d), e + QPoint(0, d));
}

void DessinPointage::DessineReticule(QPoint p)
{
    const QPoint e = m_surface.ecran(p);
    const QSize t = m_surface.taille();
    ligne(QPoint(0, e.y()), QPoint(t.width(), e.y()));
    ligne(QPoint(e.x(), 0), QPoint(e.x(), t.height()));
}

void DessinPointage::DessineOrigine(int i)
{
    const ReglesPointage& r = m_modele.regles();
    const QPoint e = m_surface.ecran(m_modele.XY[0][i]);
    const int x = e.x(), y = e.y();
    const int sx = m_modele.axeDroite() ? 1 : -1;
    const int sy = m_modele.axeHaut() ? -1 : 1;
    const int a = r.demiAxe, f0 = r.flecheDepart, f1 = r.flecheArrivee;
    m_p.setPen(PlumeAxes());
    ligne(QPoint(x - a, y), QPoint(x + a, y));
    ligne(QPoint(x + f0 * sx, y - 1), QPoint(x + f1 * sx, y));
    ligne(QPoint(x + f0 * sx, y + 1), QPoint(x + f1 * sx, y));
    ligne(QPoint(x, y - a), QPoint(x, y + a));
    ligne(QPoint(x - 1, y + f0 * sy), QPoint(x, y + f1 * sy));
    ligne(QPoint(x + 1, y + f0 * sy), QPoint(x, y + f1 * sy));
}

void DessinPointage::DessineAxes()
{
    const QPoint o = m_surface.ecran(QPoint(m_modele.OrigineX, m_modele.OrigineY));
    const int x0 = o.x(), y0 = o.y();
    // The page's lines cross it entirely; on the image they stop two pixels short.
    const int bord = m_surface.estPage() ? 0 : 2;
    const int wf = m_surface.taille().width();
    const int hf = m_surface.taille().height();
    const int w = wf - bord;
    const int h = hf - bord;
    const int t = m_modele.regles().teteAxe;
    m_p.setPen(PlumeAxes());
    ligne(QPoint(x0, 0), QPoint(x0, h));
    ligne(QPoint(0, y0), QPoint(w, y0));
    if (m_modele.axeDroite()) {
        ligne(QPoint(wf - t, y0 - 3), QPoint(w, y0));
        ligne(QPoint(wf - t, y0 + 3), QPoint(w, y0));
    } else {
        ligne(QPoint(t, y0 - 3), QPoint(0, y0));
        ligne(QPoint(t, y0 + 3), QPoint(0, y0));
    }
    if (m_modele.axeHaut()) {
        ligne(QPoint(x0 - 3, t), QPoint(x0, 0));
        ligne(QPoint(x0 + 3, t), QPoint(x0, 0));
    } else {
        ligne(QPoint(x0 - 3, hf - t), QPoint(x0, h));
        ligne(QPoint(x0 + 3, hf - t), QPoint(x0, h));
    }
}

void DessinPointage::DessineEchelle()
{
    const QPoint a = m_modele.PointRepere[bsEchelle1];
    const QPoint b = m_modele.PointRepere[bsEchelle2];
    m_p.setPen(PlumeAxes());
    ligne(m_surface.ecran(a), m_surface.ecran(b));
    DessineCroix(a);
    DessineCroix(b);
}

void DessinPointage::DessineBande(QLine l)
{
    m_p.setPen(PlumeAxes());
    ligne(m_surface.ecran(l.p1()), m_surface.ecran(l.p2()));
}

void DessinPointage::DessineEtiquette(QPoint p, const QString& texte)
{
    const QPoint e = m_surface.ecran(p) + QPoint(kDecalageEtiquette, kDecalageEtiquette);
    m_p.setFont(policeEtiquette());
    const QFontMetrics fm(m_p.font());
    // Anchored by the top-left corner of the text, transparent background.
    m_p.setBackgroundMode(Qt::TransparentMode);
    m_p.drawText(e + QPoint(0, fm.ascent()), texte);
}

void DessinPointage::DessineAngle(int i)
{
    const QPoint sommet = m_modele.XY[2][i];
    const QPoint s = m_surface.ecran(sommet);
    m_p.setPen(PlumePoint(0));
    DessineCroix(sommet);
    if (m_options.points) {
        const QPoint u = m_modele.XY[1][i] - sommet;
        const QPoint v = m_modele.XY[3][i] - sommet;
        ligne(s, m_surface.ecran(m_modele.XY[1][i]));
        ligne(s, m_surface.ecran(m_modele.XY[3][i]));
        // Arc from the reference direction, turning by the angle (counter-clockwise positive).
        const double debut = std::atan2(-double(u.y()), double(u.x())) * 180.0 / M_PI;
        const double fin = std::atan2(-double(v.y()), double(v.x())) * 180.0 / M_PI;
        double ecart = fin - debut;
        while (ecart > 180)
            ecart -= 360;
        while (ecart < -180)
            ecart += 360;
        const QRect cercle(s - QPoint(kRayonAngle, kRayonAngle), QSize(2 * kRayonAngle, 2 * kRayonAngle));
        m_p.drawArc(cercle, arrondi(debut * 16), arrondi(ecart * 16));
    }
    if (m_options.etiquette)
        DessineEtiquette(sommet, QString::number(i + 1));
}

void DessinPointage::dessinePoint(int k, int i, const QString& etiquette)
{
    m_p.setPen(PlumePoint(k));
    const QPoint p = m_modele.XY[k][i];
    if (m_options.reticule)
        DessineReticule(p);
    else
        DessineCroix(p);
    if (m_options.etiquette)
        DessineEtiquette(p, etiquette);
}

void DessinPointage::Dessine(const PointageControleur* controleur)
{
    const PointageModel& m = m_modele;
    if (!m.mediaOuvert)
        return;
    m_p.save();
    m_p.setRenderHint(QPainter::Antialiasing, false);
    if (m_surface.estPage())
        m_p.fillRect(QRect(QPoint(0, 0), m_surface.taille()), QApplication::palette().color(QPalette::Window));

    const bool echelleEnCours = controleur && controleur->echelleEnCours();
    if (m_options.axes) {
        if (m.origineMobile) {
            for (int i = 0; i < m.Nmes; ++i)
                DessineOrigine(i);
            if (m.PointCourant > 0)
                DessineOrigine(m.Nmes);
        } else {
            DessineAxes();
        }
        if (!echelleEnCours) {
            DessineEchelle();
        } else if (m.PointRepere[bsEchelle1] != QPoint(0, 0)) {
            // While the scale is being placed only its new start is shown.
            m_p.setPen(PlumeAxes());
            DessineCroix(m.PointRepere[bsEchelle1]);
        }
    }

    for (int i = 0; i < m.Nmes; ++i) {
        if (m.angle) {
            DessineAngle(i);
            continue;
        }
        if (!m_options.points)
            continue;
        for (int k = 1; k <= m.NbreSE; ++k)
            dessinePoint(k, i, QString::number(i + 1));
    }
    // Points already clicked in the row being measured: "4-1", "4-2"...
    if (m.Nmes < int(m.Temps.size())) {
        for (int k = 1; k < m.PointCourant && k <= kPointsMax; ++k) {
            if (m.angle) {
                m_p.setPen(PlumePoint(0));
                DessineCroix(m.XY[k][m.Nmes]);
                continue;
            }
            if (!m_options.points)
                continue;
            QString etiquette = QString::number(m.Nmes + 1);
            if (m.NbreSE > 1)
                etiquette += QStringLiteral("-%1").arg(k);
            dessinePoint(k, m.Nmes, etiquette);
        }
    }

    if (controleur) {
        if (const std::optional<QLine> b = controleur->bande())
            DessineBande(*b);
    }
    m_p.restore();
}

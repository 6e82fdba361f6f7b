#include "SuiviCouleur.h"

#include <algorithm>

namespace {

inline QRgb px(const QImage& i, int x, int y) { return reinterpret_cast<const QRgb*>(i.constScanLine(y))[x]; }

} // namespace

QRgb SuiviCouleur::couleurMoyenne(const QImage& brute, QPoint p)
{
    const QImage image = imageRgb32(brute);
    int r = 0, g = 0, b = 0;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QRgb c = px(image, std::clamp(p.x() + dx, 0, image.width() - 1),
                              std::clamp(p.y() + dy, 0, image.height() - 1));
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    return qRgb(r / 9, g / 9, b / 9);
}

void SuiviCouleur::commence(const QImage& premiere, QPoint cible, std::optional<QRgb> objet)
{
    m_fond = imageRgb32(premiere);
    m_couleur = m_fond.isNull() ? 0 : couleurMoyenne(m_fond, cible);
    m_objet = objet;
}

std::optional<SuiviCouleur::Trouve> SuiviCouleur::suit(const QImage& brute, QPoint p) const
{
    if (!enCours() || brute.size() != m_fond.size())
        return std::nullopt;
    const QImage image = imageRgb32(brute);
    const int w = image.width(), h = image.height();
    auto change = [&](int x, int y, QRgb c) {
        return differenceCouleurs(px(m_fond, x, y), c) > kSeuilChangement
               && (!m_objet || differenceCouleurs(*m_objet, c) < kDistanceObjetMax);
    };

    // Pixels strictly inside the window of a fifth around the previous position.
    const int fx = w / kFractionFenetre, fy = h / kFractionFenetre;
    const int x0 = std::max(0, p.x() - fx + 1), x1 = std::min(w - 1, p.x() + fx - 1);
    const int y0 = std::max(0, p.y() - fy + 1), y1 = std::min(h - 1, p.y() + fy - 1);
    std::optional<QPoint> meilleur;
    int best = 0;
    for (int t = kToleranceDebut; t < kToleranceFin && !meilleur; t += kPasTolerance) {
        best = t;
        for (int y = y0; y <= y1; ++y) {
            const QRgb* l = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = x0; x <= x1; ++x) {
                if (!change(x, y, l[x]))
                    continue;
                const int r = differenceCouleurs(l[x], m_couleur);
                if (r < best) {
                    best = r;
                    meilleur = QPoint(x, y);
                }
            }
        }
    }
    if (!meilleur)
        return std::nullopt;

    // Extent of the target around the best pixel.
    const int tolerance = best + kPasTolerance;
    const int bx = w / kFractionBoite, by = h / kFractionBoite;
    const int bx0 = std::max(0, meilleur->x() - bx), bx1 = std::min(w - 1, meilleur->x() + bx);
    const int by0 = std::max(0, meilleur->y() - by), by1 = std::min(h - 1, meilleur->y() + by);
    int xmin = bx1, xmax = bx0, ymin = by1, ymax = by0;
    for (int y = by0; y <= by1; ++y) {
        const QRgb* l = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = bx0; x <= bx1; ++x) {
            if (!change(x, y, l[x]) || differenceCouleurs(l[x], m_couleur) >= tolerance)
                continue;
            xmin = std::min(xmin, x);
            xmax = std::max(xmax, x);
            ymin = std::min(ymin, y);
            ymax = std::max(ymax, y);
        }
    }
    Trouve t;
    t.meilleur = *meilleur;
    t.distance = best;
    // The best pixel itself always qualifies, so the box is never empty.
    t.centre = QPoint((xmin + xmax) / 2, (ymin + ymax) / 2);
    return t;
}

#include "ProfilIntensite.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

int manhattan(QPoint a, QPoint b)
{
    return std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
}

// Puts `mobile` on the vertical of `fixe` when the pair is steeper than 45°, else on its
// horizontal; a pair already on one vertical stays as it is.
void aligne(const QPoint& fixe, QPoint& mobile)
{
    const int dx = mobile.x() - fixe.x();
    const int dy = mobile.y() - fixe.y();
    if (dx == 0)
        return;
    if (std::abs(double(dy) / double(dx)) > 1)
        mobile.setX(fixe.x());
    else
        mobile.setY(fixe.y());
}

void croix(std::vector<QLine>& l, QPoint p, int d)
{
    l.emplace_back(p.x() - d, p.y(), p.x() + d, p.y());
    l.emplace_back(p.x(), p.y() - d, p.x(), p.y() + d);
}

} // namespace

ProfilIntensite::ProfilIntensite() : m_sature(std::size_t(indiceMax - indiceMin + 1), 0)
{
    vide();
}

void ProfilIntensite::setImage(const QImage& image)
{
    m_image = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    LargeurI = m_image.width();
    HauteurI = m_image.height();
}

void ProfilIntensite::pointsParDefaut()
{
    const int w = LargeurI, h = HauteurI;
    PointRepere[bsNone] = QPoint();
    PointRepere[bsOrigine] = QPoint(w / 2, h / 2);
    PointRepere[bsDirection] = QPoint(4 * w / 5, h / 2);
    PointRepere[bsEchelle1] = QPoint(w / 5, 3 * h / 4);
    PointRepere[bsEchelle2] = QPoint(4 * w / 5, 3 * h / 4);
}

void ProfilIntensite::vide()
{
    Debut = Fin = 0;
    for (Tvecteur* v : {&ValeurY, &rougeY, &vertY, &bleuY})
        for (int i = indiceMin; i <= indiceMax; ++i)
            (*v)[i] = 0;
    for (int i = indiceMin; i <= indiceMax; ++i)
        Position[i] = i;
    std::fill(m_sature.begin(), m_sature.end(), 0);
    m_satures = 0;
}

ProfilIntensite::TstyleDrag ProfilIntensite::repereSous(QPoint p) const
{
    const int dernier = dimension == teEchelle ? bsEchelle2 : bsDirection;
    for (int r = bsOrigine; r <= dernier; ++r)
        if (manhattan(PointRepere[std::size_t(r)], p) < kMarge)
            return TstyleDrag(r);
    return bsNone;
}

bool ProfilIntensite::deplace(TstyleDrag repere, QPoint p, bool avecAlignement)
{
    if (!aImage() || repere == bsNone)
        return false;
    const int x = p.x(), y = p.y();
    QPoint& o = PointRepere[bsOrigine];
    QPoint& d = PointRepere[bsDirection];
    switch (repere) {
    case bsOrigine:
    case bsDirection:
        if (x < kMarge || x > LargeurI - kMarge || y < kMarge || y > HauteurI - kMarge)
            return false;
        break;
    default:
        if (x < 0 || x >= LargeurI || y < 0 || y >= HauteurI)
            return false;
    }
    switch (repere) {
    case bsOrigine: {
        d += p - o;
        o = p;
        if (d.x() > LargeurI)
            d.setX(LargeurI - kMarge);
        d.setX(std::max(d.x(), kMarge));
        if (d.y() > HauteurI - kMarge)
            d.setY(HauteurI - kMarge);
        d.setY(std::max(d.y(), kMarge));
        if (avecAlignement)
            aligne(o, d);
        return true;
    }
    case bsDirection:
        if (manhattan(p, o) <= kMarge)
            return false;
        d = p;
        if (avecAlignement)
            aligne(d, o);
        return true;
    case bsEchelle1:
    case bsEchelle2: {
        QPoint& autre = PointRepere[repere == bsEchelle1 ? bsEchelle2 : bsEchelle1];
        if (manhattan(p, autre) <= kMarge)
            return false;
        PointRepere[repere] = p;
        if (avecAlignement)
            aligne(p, autre);
        return true;
    }
    case bsNone:
        break;
    }
    return false;
}

QLine ProfilIntensite::ligneCoupee() const
{
    const QPoint o = PointRepere[bsOrigine], d = PointRepere[bsDirection];
    if (d.x() == o.x())
        return QLine(o.x(), 0, o.x(), HauteurI);
    if (d.y() == o.y())
        return QLine(0, o.y(), LargeurI, o.y());
    const double ux = d.x() - o.x(), uy = d.y() - o.y();
    double tmin = -std::numeric_limits<double>::infinity(), tmax = std::numeric_limits<double>::infinity();
    auto borne = [&](double depart, double u, double limite) {
        const double t1 = -depart / u, t2 = (limite - depart) / u;
        tmin = std::max(tmin, std::min(t1, t2));
        tmax = std::min(tmax, std::max(t1, t2));
    };
    borne(o.x(), ux, LargeurI);
    borne(o.y(), uy, HauteurI);
    return QLine(arrondi(o.x() + tmin * ux), arrondi(o.y() + tmin * uy), arrondi(o.x() + tmax * ux),
                 arrondi(o.y() + tmax * uy));
}

DessinProfil ProfilIntensite::dessin() const
{
    DessinProfil r;
    croix(r.lignes, PointRepere[bsOrigine], kMarge);
    const QPoint d = PointRepere[bsDirection];
    r.cercle = QRect(d.x() - kMarge, d.y() - kMarge, 2 * kMarge, 2 * kMarge);
    r.lignes.push_back(ligneCoupee());
    if (dimension != teEchelle)
        return r;
    const QPoint e1 = PointRepere[bsEchelle1], e2 = PointRepere[bsEchelle2];
    croix(r.lignes, e1, kMarge);
    croix(r.lignes, e2, kMarge);
    r.lignesFines.emplace_back(e1, e2);
    // Nine ticks across the segment, at each tenth.
    const double dx = (e2.x() - e1.x()) / 10.0, dy = (e2.y() - e1.y()) / 10.0;
    for (int k = 1; k <= 9; ++k) {
        const int x = arrondi(e1.x() + k * dx), y = arrondi(e1.y() + k * dy);
        if (std::abs(dx) > std::abs(dy)) {
            const int h = arrondi(-8 * dy / dx);
            r.lignes.emplace_back(x + h, y + 8, x - h, y - 8);
        } else {
            const int f = arrondi(-8 * dx / dy);
            r.lignes.emplace_back(x + 8, y + f, x - 8, y - f);
        }
    }
    return r;
}

void ProfilIntensite::calcule()
{
    if (!aImage())
        return;
    if (!rouge && !vert && !bleu)
        vert = true;
    IntMax = kSature * (int(rouge) + int(vert) + int(bleu));
    for (Tvecteur* v : {&ValeurY, &rougeY, &vertY, &bleuY})
        for (int i = indiceMin; i <= indiceMax; ++i)
            (*v)[i] = 0;
    std::fill(m_sature.begin(), m_sature.end(), 0);

    const QPoint o = PointRepere[bsOrigine], d = PointRepere[bsDirection];
    droit = true;
    if (d.x() == o.x()) {
        selonX = false;
    } else if (d.y() == o.y()) {
        selonX = true;
    } else {
        Pente = double(o.y() - d.y()) / double(o.x() - d.x());
        selonX = std::abs(Pente) <= 1;
        droit = false;
    }

    double s = 1;
    if (dimension == teEchelle) {
        const QPoint e = PointRepere[bsEchelle2] - PointRepere[bsEchelle1];
        s = longueurEchelle / std::hypot(double(e.x()), double(e.y()));
    } else if (dimension == tePixel) {
        s = dimPixel;
    }
    if (selonX) {
        Debut = -o.x();
        Fin = LargeurI - o.x();
        if (!droit)
            s *= std::sqrt(Pente * Pente + 1);
    } else {
        Debut = -o.y();
        Fin = HauteurI - o.y();
        if (!droit)
            s *= std::sqrt(1 / (Pente * Pente) + 1);
    }
    Debut = std::max(Debut + MoyenneSE, indiceMin);
    Fin = std::min(Fin - MoyenneSE, indiceMax);

    // Every parallel line shares the main line's steps: only its start moves.
    const int n = std::max(0, Fin - Debut + 1);
    m_dx.resize(std::size_t(n));
    m_dy.resize(std::size_t(n));
    for (int j = 0; j < n; ++j) {
        const int i = Debut + j;
        if (selonX) {
            m_dx[std::size_t(j)] = i;
            m_dy[std::size_t(j)] = droit ? 0 : arrondi(i * Pente);
        } else {
            m_dx[std::size_t(j)] = droit ? 0 : int(i / Pente);
            m_dy[std::size_t(j)] = i;
        }
    }

    const uchar* bits = m_image.constBits();
    const qsizetype bpl = m_image.bytesPerLine();
    const unsigned w = unsigned(LargeurI), h = unsigned(HauteurI);
    // A channel not selected never counts as saturated (no byte reaches 256).
    const int satR = rouge ? kSature : 256, satG = vert ? kSature : 256, satB = bleu ? kSature : 256;
    // Lines are taken in the order 0, +1, -1, +2, -2...: a line off the picture wipes what the
    // earlier ones added at that sample. Sample by sample, the parallel lines' pixels lie close
    // together (one column, or one row), which keeps them in the cache.
    const int M = MoyenneSE;
    const qsizetype pasLigne = selonX ? bpl : 3;  // bytes from one parallel line to the next
    const unsigned travers = selonX ? h : w;
    const unsigned long_ = selonX ? w : h;
    for (int j = 0; j < n; ++j) {
        const int i = Debut + j;
        const int x = o.x() + m_dx[std::size_t(j)], y = o.y() + m_dy[std::size_t(j)];
        const int c = selonX ? y : x;  // across, for the main line
        int r = 0, g = 0, b = 0;
        int maxR = 0, maxG = 0, maxB = 0;
        auto ajoute = [&](const uchar* p) {
            r += p[0];
            g += p[1];
            b += p[2];
            maxR = std::max(maxR, int(p[0]));
            maxG = std::max(maxG, int(p[1]));
            maxB = std::max(maxB, int(p[2]));
        };
        if (unsigned(selonX ? x : y) < long_) {
            const qsizetype base = qsizetype(y) * bpl + 3 * qsizetype(x);
            if (c - M >= 0 && unsigned(c + M) < travers) {
                // Every line inside: the order does not matter.
                const uchar* p = bits + base - M * pasLigne;
                for (int a = -M; a <= M; ++a, p += pasLigne)
                    ajoute(p);
            } else {
                for (int k = 0; k <= 2 * M; ++k) {
                    const int a = k == 0 ? 0 : (k % 2 ? (k + 1) / 2 : -(k / 2));
                    if (unsigned(c + a) >= travers) {
                        r = g = b = 0;
                        maxR = maxG = maxB = 0;
                        continue;
                    }
                    ajoute(bits + base + a * pasLigne);
                }
            }
        }
        rougeY[i] = r;
        vertY[i] = g;
        bleuY[i] = b;
        ValeurY[i] = (rouge ? r : 0) + (vert ? g : 0) + (bleu ? b : 0);
        m_sature[std::size_t(i - indiceMin)] = maxR == satR || maxG == satG || maxB == satB;
        Position[i] = i * s;
    }

    while (Debut < 0 && ValeurY[Debut] == 0)
        ++Debut;
    while (Fin >= 1 && ValeurY[Fin] == 0)
        --Fin;

    const double lignes = 2 * MoyenneSE + 1;
    m_satures = 0;
    for (int i = Debut; i <= Fin; ++i) {
        ValeurY[i] = std::pow(ValeurY[i] / IntMax / lignes, Gamma);
        rougeY[i] = std::pow(rougeY[i] / kSature / lignes, Gamma);
        vertY[i] = std::pow(vertY[i] / kSature / lignes, Gamma);
        bleuY[i] = std::pow(bleuY[i] / kSature / lignes, Gamma);
        m_satures += sature(i);
    }
}

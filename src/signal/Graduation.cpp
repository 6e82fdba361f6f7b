#include "Graduation.h"

#include "Arrondi.h"
#include "NumberText.h"

#include <QFontMetrics>
#include <QPainter>
#include <cmath>
#include <optional>

double pasGraduation(double etendue, int nombre)
{
    if (!(etendue > 0) || nombre < 1)
        return 0;
    const double brut = etendue / nombre;
    const double p = std::pow(10.0, std::floor(std::log10(brut)));
    for (double f : {1.0, 2.0, 5.0})
        if (f * p >= brut * (1 - 1e-9))
            return f * p;
    return 10 * p;
}

namespace {
// Values k*pas inside [mini, maxi].
std::vector<double> valeurs(double mini, double maxi, double pas)
{
    std::vector<double> v;
    if (!(pas > 0))
        return v;
    for (double k = std::ceil(mini / pas - 1e-9); k * pas <= maxi + pas * 1e-9 && v.size() < 1000; ++k)
        v.push_back(k * pas == 0 ? 0.0 : k * pas);
    return v;
}
}

std::vector<Tgraduation> graduationsTemps(const TgrapheSon& g, quint32 freqEch, int origine, int nombre)
{
    std::vector<Tgraduation> r;
    if (freqEch == 0 || g.finS <= g.debutS)
        return r;
    const double t0 = double(g.debutS - origine) / freqEch, t1 = double(g.finS - origine) / freqEch;
    const double pas = pasGraduation(t1 - t0, nombre);
    // Milliseconds for views shorter than a second.
    const bool ms = t1 - t0 < 1;
    for (double t : valeurs(t0, t1, pas)) {
        const double v = ms ? t * 1000 : t;
        r.push_back({g.Xecran(t * freqEch + origine), TexteNombre(std::fabs(v) < 1e-9 ? 0 : v) + (ms ? " ms" : " s")});
    }
    return r;
}

std::vector<Tgraduation> graduationsAmplitude(const TgrapheSon& g, TformatWave format, int nombre)
{
    std::vector<Tgraduation> r;
    // Exported value = (shown value - decalage) / echelle.
    double maxi = 32768, decalage = 0, echelle = 1;
    if (est8Bits(format)) {
        maxi = 128;
        decalage = 128;
    } else if (est24Bits(format)) {
        maxi = 1;
        echelle = 32768;
    }
    const double pas = pasGraduation(2 * maxi, nombre);
    for (double v : valeurs(-maxi, maxi, pas)) {
        int x, y;
        g.WindowXY(0, v * echelle + decalage, x, y);
        r.push_back({y, TexteNombre(v)});
    }
    return r;
}

std::vector<Tgraduation> graduationsFrequence(int hauteur, quint32 freqEch, int bins, int nombre)
{
    std::vector<Tgraduation> r;
    if (freqEch == 0 || bins <= 0 || hauteur <= 0)
        return r;
    const double fMax = double(bins) * freqEch / 512;
    const double pas = pasGraduation(fMax, nombre);
    for (double f : valeurs(pas, fMax, pas)) {
        const double bin = f * 512 / freqEch;
        r.push_back({hauteur - arrondi(bin * hauteur / bins), TexteNombre(f) + QStringLiteral(" Hz")});
    }
    return r;
}

void peintGraduationsX(QPainter& p, const QRect& vue, const std::vector<Tgraduation>& g, const QColor& couleur)
{
    p.save();
    p.setPen(couleur);
    const QFontMetrics fm(p.font());
    const int bas = vue.bottom();
    for (const auto& m : g) {
        p.drawLine(m.position, bas - 4, m.position, bas);
        const int l = fm.horizontalAdvance(m.texte);
        const int x = std::clamp(m.position - l / 2, vue.left() + 2, vue.right() - l - 2);
        p.drawText(QPoint(x, bas - 6), m.texte);
    }
    p.restore();
}

void peintGraduationsY(QPainter& p, const QRect& vue, const std::vector<Tgraduation>& g, const QColor& couleur)
{
    p.save();
    p.setPen(couleur);
    const QFontMetrics fm(p.font());
    std::optional<int> dernier;   // the last label drawn
    for (const auto& m : g) {
        p.drawLine(vue.left(), m.position, vue.left() + 4, m.position);
        // A label that would cover the previous one or the time labels below is left out.
        const int y = m.position + fm.ascent() / 2 - 1;
        if (y - fm.ascent() < vue.top() || y > vue.bottom() - fm.height() - 4
            || (dernier && std::abs(y - *dernier) < fm.height()))
            continue;
        p.drawText(QPoint(vue.left() + 6, y), m.texte);
        dernier = y;
    }
    p.restore();
}

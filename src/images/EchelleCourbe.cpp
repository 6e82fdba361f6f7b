#include "EchelleCourbe.h"

#include "Arrondi.h"
#include "NumberText.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kDegresParRadian = 57.29577951308232;

void regleUnAxe(const SaisieAxe& s, Techelle kind, double& maxi, double& mini)
{
    maxi = LitNombre(s.extremite).value_or(1.0);
    if (!std::isfinite(maxi) || (kind == eLog && maxi <= 0))
        maxi = 1;
    mini = LitNombre(s.origine).value_or(0.0);
    if (!std::isfinite(mini))
        mini = 0;
    if (kind == eLog && mini <= 0)
        mini = 2;
    if (maxi == mini)
        maxi = mini + 1;
}

// On a log axis the pixel below value v reads v·10^-|pente|: that gap sets the precision.
double pasLog(double v, double pente)
{
    return pasPixel(std::fabs(v) * -std::expm1(-std::fabs(pente) * std::log(10.0)));
}

// Slope, rounding step and log of the origin value of one axis over a span of d pixels.
bool calculeAxe(Techelle kind, double maxi, double mini, int d, double& pente, double& arrondi,
                double& logMini)
{
    if (d == 0) {
        pente = 0;
        arrondi = 1;
        return false;
    }
    if (kind == eLog) {
        logMini = std::log10(mini);
        pente = (std::log10(maxi) - logMini) / d;
        arrondi = pasLog(mini, pente);
    } else {
        pente = (maxi - mini) / d;
        arrondi = pasPixel(std::fabs(pente));
        // A pixel worth exactly one step from an origin off that step's grid puts every value on
        // a half step, and halves to even would read two neighbours alike: keep one more digit.
        if (std::fabs(std::fabs(pente) / arrondi - 1) < 1e-9 && std::fabs(arrondiAuPas(mini, arrondi) - mini) > 1e-9 * arrondi)
            arrondi /= 10;
    }
    return std::isfinite(pente) && pente != 0;
}

} // namespace

double pasPixel(double ecart)
{
    if (!std::isfinite(ecart) || ecart <= 0)
        return 1;
    return std::pow(10.0, std::floor(std::log10(ecart)));
}

void EchelleCourbe::regleAxes(const SaisieAxe& x, const SaisieAxe& y, bool polaire)
{
    echelleX = echelleY = eLin;
    if (x.log && !polaire)
        echelleX = eLog;
    if (y.log && !polaire)
        echelleY = eLog;
    if (polaire)
        echelleX = echelleY = ePolaire;
    regleUnAxe(x, echelleX, MaxiX, MiniX);
    regleUnAxe(y, echelleY, MaxiY, MiniY);
}

bool EchelleCourbe::CalculEchelle(QPoint origine, QPoint& finX, QPoint& finY, int largeur, int hauteur)
{
    finY.setY(std::clamp(finY.y(), 0, std::max(0, hauteur)));
    finX.setX(std::clamp(finX.x(), 0, std::max(0, largeur)));
    const int dX = finX.x() - origine.x();
    const int dY = finY.y() - origine.y();
    ZeroX = origine.x();
    ZeroY = origine.y();
    axeXValide = calculeAxe(echelleX, MaxiX, MiniX, dX, PenteX, arrondiX, logMiniX);
    axeYValide = calculeAxe(echelleY, MaxiY, MiniY, dY, PenteY, arrondiY, logMiniY);
    return valide();
}

double EchelleCourbe::brutX(QPoint p) const
{
    const double u = (p.x() - ZeroX) * PenteX;
    switch (echelleX) {
    case eLog: return std::pow(10.0, logMiniX + u);
    // + 0.0 turns -0 into 0: a point left of the origin reads 180, not -180.
    case ePolaire: return std::atan2((p.y() - ZeroY) * PenteY + 0.0, u + 0.0) * kDegresParRadian;
    default: return MiniX + u;
    }
}

double EchelleCourbe::brutY(QPoint p) const
{
    const double v = (p.y() - ZeroY) * PenteY;
    switch (echelleY) {
    case eLog: return std::pow(10.0, logMiniY + v);
    case ePolaire: return std::hypot((p.x() - ZeroX) * PenteX, v);
    default: return MiniY + v;
    }
}

// In polar mode one pixel's move splits between angle and radius: each is rounded to half of
// its largest one-pixel change, so a neighbour always changes at least one of the two texts.
double EchelleCourbe::pasX(QPoint p) const
{
    switch (echelleX) {
    case eLog: return pasLog(brutX(p), PenteX);
    case ePolaire: {
        // Angular size of a pixel at this radius, in degrees.
        const double u = (p.x() - ZeroX) * PenteX, v = (p.y() - ZeroY) * PenteY;
        const double r2 = u * u + v * v;
        if (r2 == 0)
            return 1;
        return pasPixel(kDegresParRadian * std::hypot(v * PenteX, u * PenteY) / r2 / 2);
    }
    default: return arrondiX;
    }
}

double EchelleCourbe::pasY(QPoint p) const
{
    switch (echelleY) {
    case eLog: return pasLog(brutY(p), PenteY);
    case ePolaire: {
        const double u = (p.x() - ZeroX) * PenteX, v = (p.y() - ZeroY) * PenteY;
        const double r = std::hypot(u, v);
        const double ecart = r == 0 ? std::max(std::fabs(PenteX), std::fabs(PenteY))
                                    : std::hypot(u * PenteX, v * PenteY) / r;
        return pasPixel(ecart / 2);
    }
    default: return arrondiY;
    }
}

std::optional<double> EchelleCourbe::valeurX(QPoint p) const
{
    if (echelleX == ePolaire ? !valide() : !axeXValide)
        return std::nullopt;
    return arrondiAuPas(brutX(p), pasX(p));
}

std::optional<double> EchelleCourbe::valeurY(QPoint p) const
{
    if (echelleY == ePolaire ? !valide() : !axeYValide)
        return std::nullopt;
    return arrondiAuPas(brutY(p), pasY(p));
}

QString EchelleCourbe::texteX(QPoint p) const
{
    const auto v = valeurX(p);
    return v ? TexteNombre(*v) : QString();
}

QString EchelleCourbe::texteY(QPoint p) const
{
    const auto v = valeurY(p);
    return v ? TexteNombre(*v) : QString();
}

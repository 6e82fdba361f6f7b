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
        arrondi = std::pow(10.0, std::floor(std::log10(std::min(maxi, mini))) - 1);
    } else {
        pente = (maxi - mini) / d;
        arrondi = std::pow(10.0, std::floor(std::log10(std::fabs(pente))));
    }
    return std::isfinite(pente) && pente != 0;
}

} // namespace

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

std::optional<double> EchelleCourbe::valeurX(QPoint p) const
{
    if (echelleX == ePolaire ? !valide() : !axeXValide)
        return std::nullopt;
    return arrondiAuPas(brutX(p), arrondiX);
}

std::optional<double> EchelleCourbe::valeurY(QPoint p) const
{
    if (echelleY == ePolaire ? !valide() : !axeYValide)
        return std::nullopt;
    return arrondiAuPas(brutY(p), arrondiY);
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

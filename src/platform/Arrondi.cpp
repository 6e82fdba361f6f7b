#include "Arrondi.h"

#include <cmath>
#include <limits>

double arrondiPair(double v)
{
    // The default floating-point rounding mode rounds halves to even.
    return std::nearbyint(v);
}

double arrondiAuPas(double v, double pas)
{
    if (!std::isfinite(v) || !std::isfinite(pas) || !(pas > 0))
        return v;
    const double q = v / pas;
    if (!std::isfinite(q) || std::fabs(q) >= 9007199254740992.0)
        return v;
    return pas * arrondiPair(q);
}

int arrondi(double v)
{
    const double r = arrondiPair(v);
    if (!(r > double(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    if (r > double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

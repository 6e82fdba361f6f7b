#include "SeriesPoints.h"

#include <algorithm>

SeriesPoints::SeriesPoints(int nbreSeries) : m_nbreSeries(std::clamp(nbreSeries, 1, kMaxSeries))
{
    for (int s = 1; s <= m_nbreSeries; ++s)
        m_xy[s].reserve(kMaxPoints);
}

int SeriesPoints::maxPoints(int n) const
{
    int m = 0;
    for (int s = 1; s <= std::min(n, m_nbreSeries); ++s)
        m = std::max(m, NbrePoints(s));
    return m;
}

int SeriesPoints::total(int n) const
{
    int t = 0;
    for (int s = 1; s <= std::min(n, m_nbreSeries); ++s)
        t += NbrePoints(s);
    return t;
}

bool SeriesPoints::ajoute(int s, QPoint p)
{
    if (s < 1 || s > m_nbreSeries || NbrePoints(s) >= kMaxPoints)
        return false;
    m_xy[s].push_back(p);
    return true;
}

void SeriesPoints::deplace(int s, int i, QPoint p)
{
    if (s >= 1 && s <= m_nbreSeries && i >= 0 && i < NbrePoints(s))
        m_xy[s][i] = p;
}

void SeriesPoints::supprime(int s, int i)
{
    if (s >= 1 && s <= m_nbreSeries && i >= 0 && i < NbrePoints(s))
        m_xy[s].erase(m_xy[s].begin() + i);
}

bool SeriesPoints::supprimeDernier(int s)
{
    if (s < 1 || s > m_nbreSeries || m_xy[s].empty())
        return false;
    m_xy[s].pop_back();
    return true;
}

void SeriesPoints::vide()
{
    for (auto& v : m_xy)
        v.clear();
}

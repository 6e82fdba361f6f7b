#pragma once
#include <QPoint>
#include <array>
#include <vector>

// The clicked points of a still-image tool: series numbered from 1, each holding up to
// kMaxPoints image-pixel points. Room is reserved up front so recording allocates nothing.
class SeriesPoints
{
public:
    static constexpr int kMaxPoints = 8193;
    static constexpr int kMaxSeries = 6;

    explicit SeriesPoints(int nbreSeries = kMaxSeries);

    int nbreSeries() const { return m_nbreSeries; }
    int NbrePoints(int s) const { return s >= 0 && s <= kMaxSeries ? int(m_xy[s].size()) : 0; }
    QPoint point(int s, int i) const { return i >= 0 && i < NbrePoints(s) ? m_xy[s][i] : QPoint(); }
    // Largest count over series 1..n.
    int maxPoints(int n) const;
    // Sum of the counts over series 1..n.
    int total(int n) const;

    // False when the series is full.
    bool ajoute(int s, QPoint p);
    void deplace(int s, int i, QPoint p);
    void supprime(int s, int i);
    bool supprimeDernier(int s);
    void vide();

private:
    int m_nbreSeries;
    std::array<std::vector<QPoint>, kMaxSeries + 1> m_xy;
};

#pragma once
// Scales of the sound views: round values along an axis and where they fall in the view.

#include "Grapheu.h"

#include <QString>
#include <vector>

class QPainter;

struct Tgraduation
{
    int position;   // x (time axes) or y (amplitude, frequency) in the view
    QString texte;
};

// A round step (1, 2 or 5 times a power of ten) giving at most about `nombre` marks over `etendue`.
double pasGraduation(double etendue, int nombre);

// Time marks of a sound view: from `origine` (a frame index, time zero) over the frames shown.
// Labels in ms when the frames shown last less than a second, else in s.
std::vector<Tgraduation> graduationsTemps(const TgrapheSon& g, quint32 freqEch, int origine, int nombre);
// Amplitude marks, in the values the exports write (8-bit centred on 0, 24-bit from -1 to 1).
std::vector<Tgraduation> graduationsAmplitude(const TgrapheSon& g, TformatWave format, int nombre);
// Frequency marks of the sonagram, whose `bins` rows of 512-point bins fill `hauteur` pixels.
std::vector<Tgraduation> graduationsFrequence(int hauteur, quint32 freqEch, int bins, int nombre);

// Ticks along the bottom edge of `vue`, their labels just above.
void peintGraduationsX(QPainter& p, const QRect& vue, const std::vector<Tgraduation>& g, const QColor& couleur);
// Ticks along the left edge, labels beside them.
void peintGraduationsY(QPainter& p, const QRect& vue, const std::vector<Tgraduation>& g, const QColor& couleur);

#pragma once
// Spectrum of the sound around the playing position, sonagram of the selection, and their views.

#include "Grapheu.h"

#include <QImage>
#include <QPalette>
#include <array>
#include <optional>
#include <vector>

using TvecteurFFT = std::array<double, 2049>;

// Builds the 2048-point tables once (also done on first use).
void initFFT();

// sin(x)/x, and 1 at 0.
double sinc(double x);

// Amplitudes of bins 0..1024 of the 2048 frames debut+1..debut+2048 (frames past fin or past the
// data count as 0); the other entries are 0.
void spectreAmplitudes(int debut, int fin, const TvecteurSon& son, TvecteurFFT& spectre);

// Turns each peak above 2 % of the largest into one bar, corrected for the rectangular window,
// and returns the display maximum.
double corrigePics(TvecteurFFT& spectre);

// Both of the above.
void spectreFFT(int debut, int fin, const TvecteurSon* son, double& maxi, TvecteurFFT& spectre);

// Frequency of the strongest tone of the same 2048 frames, in bins (multiply by the sampling
// frequency / 2048 for hertz), to about 0.01 bin for a clean tone from bin 10 up. Hann window
// and the exact three-bin ratio of its main lobe. Empty for silence.
std::optional<double> frequencePic(int debut, int fin, const TvecteurSon& son);
// The same in hertz.
std::optional<double> frequencePicHz(int debut, int fin, const TvecteurSon& son, double freqEch);

// The sonagram: 512-point Hamming-windowed transforms of consecutive slices of the selection.
class Tsonagramme
{
public:
    static constexpr int colonnesMax = 4096;
    static constexpr int bins = 257;

    Tsonagramme();

    std::array<int, 2049> tbi{};
    std::array<double, 2049> wr{}, wi{}, kf{};
    int NbreSonagramme = 0;
    int decadedB = 2;

    double pasT() const { return FpasT; }
    void SetPasT(double v) { FpasT = v; }
    double freqEch() const { return FfreqEch; }
    void SetFreqEch(double v) { FfreqEch = v; }

    // Normalised amplitude of bin b (0..256) in time column c (0..4096).
    float MatriceSon(int c, int b) const { return m_matrice[std::size_t(c) * bins + std::size_t(b)]; }

    void Calcul(int debut, int fin, PvecteurSon son);
    void inverserIndices();

private:
    double FpasT = 0;
    double FfreqEch = 0;
    std::vector<float> m_matrice;
};

// Colour of a normalised amplitude: blue, cyan, green, yellow, red; black below 1/128.
// decadedB 0 is linear, 2 or 3 the decades of decibels shown.
QRgb couleurSonagramme(double v, int decadedB);

// The "FFT" view: bar graph of the spectrum with a frequency grid.
class TvueFFT
{
public:
    // First frame of the transform for a playing position in seconds.
    static int debutFenetre(double freqEch, double secondes, int NbrePoints);
    // Bins shown: all up to 20 kHz sampling, else those up to 10 kHz.
    static int binsAffiches(quint32 freqEch);
    // Spacing of the grid lines in hertz.
    static int pasGrille(quint32 freqEch);

    static void peint(QPainter& p, const QRect& vue, const TvecteurFFT& spectre, double maxi, quint32 freqEch,
                      const QPalette& palette);
    // While nothing plays: the outline and the invitation to play.
    static void peintInvite(QPainter& p, const QRect& vue, const QPalette& palette);
};

// The "Sonagramme" view, lined up with the selection view above it.
class TvueSonagramme
{
public:
    static int binsAffiches(quint32 freqEch);
    void peint(QPainter& p, const QRect& vue, const Tsonagramme& s, quint32 freqEch, const TgrapheSon& grapheZoom,
               const QPalette& palette);

private:
    QImage m_image;  // reused from one paint to the next
};

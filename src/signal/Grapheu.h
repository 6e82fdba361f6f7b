#pragma once
// Plotting kit shared by the light-intensity and sound tools, and the sound sample vector.

#include <QByteArray>
#include <QColor>
#include <QRect>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

class QPainter;

// Round to nearest, halves to even (the default floating-point rounding), saturated to int.
inline int arrondi(double v)
{
    const double r = std::nearbyint(v);
    if (!(r > double(std::numeric_limits<int>::min())))
        return std::numeric_limits<int>::min();
    if (r > double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

// Sample layouts; the order is relied on by every switch over the format.
enum TformatWave : std::uint8_t { f8, f16, f16stereo, f8stereo, f24, f24stereo };

// Bytes per frame of a format (a stereo frame counts once).
int tailleTrame(TformatWave f);
bool estStereo(TformatWave f);
bool est24Bits(TformatWave f);
bool est8Bits(TformatWave f);

// At most this many bytes of samples are kept from a file.
constexpr qint64 tailleMaxSon = 41943040;

// Signed 16-bit value of the 24-bit sample at byte p (high and middle bytes).
inline int valeur24bits(const std::uint8_t* p)
{
    return int(std::int16_t(std::uint16_t(p[2]) << 8 | p[1]));
}
// Whole signed 24-bit sample at byte p, scaled to -1 <= v < 1.
inline double valeur24(const std::uint8_t* p)
{
    const std::int32_t v = std::int32_t(std::uint32_t(p[2]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[0]) << 8) >> 8;
    return v / 8388608.0;
}

// The sound samples as they lie in the WAV data chunk, sized to the data, with a min/max
// summary of the left channel so that the envelope of millions of frames draws in a few steps.
class TvecteurSon
{
public:
    TformatWave formatWave = f8;

    // Takes the samples (at most tailleMaxSon bytes are kept) and builds the summary.
    void assigne(TformatWave format, QByteArray donnees);
    void vide();

    const std::uint8_t* octets() const { return reinterpret_cast<const std::uint8_t*>(m_donnees.constData()); }
    qint64 taille() const { return m_donnees.size(); }
    const QByteArray& donnees() const { return m_donnees; }
    // Whole frames held.
    int nombreTrames() const { return m_trames; }

    // Display value of frame i: left channel for stereo, unsigned byte for 8 bits,
    // high 16 bits for 24 bits. No bound check.
    int gauche(int i) const
    {
        const std::uint8_t* p = octets();
        switch (formatWave) {
        case f8: return p[i];
        case f16: return lit16(p + 2 * qsizetype(i));
        case f16stereo: return lit16(p + 4 * qsizetype(i));
        case f8stereo: return p[2 * qsizetype(i)];
        case f24: return valeur24bits(p + 3 * qsizetype(i));
        case f24stereo: return valeur24bits(p + 6 * qsizetype(i));
        }
        return 0;
    }
    // Right channel of frame i (the same as gauche for mono formats).
    int droite(int i) const;
    // Value used by the transforms: 8-bit centred on 0, stereo channels added.
    int valeurAnalyse(int i) const;
    // Byte offset of frame i, for valeur24.
    qsizetype decalage(int i) const { return qsizetype(i) * tailleTrame(formatWave); }

    // Smallest and largest left values over frames debut..fin (inclusive, in range, debut <= fin).
    void minMaxGauche(int debut, int fin, int& mini, int& maxi) const;

    // Keeps the even frames (sampling frequency halved) and rebuilds the summary.
    void diviseParDeux();

private:
    static int lit16(const std::uint8_t* p) { return int(std::int16_t(std::uint16_t(p[1]) << 8 | p[0])); }
    void construitResume();

    QByteArray m_donnees;
    int m_trames = 0;
    // Level k (k >= niveauMin) holds (min, max) of each whole block of 2^k frames.
    static constexpr int niveauMin = 4;
    std::vector<std::vector<std::int16_t>> m_resume;
};
using PvecteurSon = const TvecteurSon*;

// Curve vectors indexed -8192..8192.
using IndiceVecteur = int;
constexpr int indiceMin = -8192;
constexpr int indiceMax = 8192;
class Tvecteur
{
public:
    Tvecteur() : m_v(indiceMax - indiceMin + 1, 0.0) {}
    double& operator[](int i) { return m_v[std::size_t(i - indiceMin)]; }
    double operator[](int i) const { return m_v[std::size_t(i - indiceMin)]; }
private:
    std::vector<double> m_v;
};

// Orientation of a measuring axis (curve digitiser, stroboscopic-photo tool).
enum Taxe { aVertical, aHorizontal, aOblique, aVertHoriz };

// A world coordinate equal to this is never drawn.
constexpr double valeurManquante = 1e-27;

// One axis: screen = a * world + b.
struct Tmonde
{
    double mini = 0, maxi = 1, a = 1, b = 0;
    void create() { mini = 0; maxi = 1; a = 1; b = 0; }
    void SetMinMax(double min, double max) { mini = min; maxi = max; }
};

// Plotting rectangle in surface pixels; Right and Bottom lie just outside it.
struct Trectangle
{
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    static Trectangle depuis(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    QRect rect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
};

// Up to four curves on a common abscissa.
class Tgraphe
{
public:
    QPainter* Canvas = nullptr;
    Tmonde mondeX, mondeY;
    int debutG = 0, finG = 0;
    int pasG = 1;
    Trectangle LimiteCourbe;
    Tvecteur ValeurY, vertY, rougeY, bleuY, ValeurX;
    bool avecLigne = true;
    bool withBlue = false, withRed = false, withGreen = false;

    void DrawG();
    void WindowXY(double xr, double yr, int& xi, int& yi) const;
    int Yecran(double yr) const;
    void MondeXY(int xi, int yi, double& xr, double& yr) const;

private:
    void coefficients();
    void dessineCourbe(const Tvecteur& y, const QColor& couleur);
};

// A sound signal between two sample indices.
class TgrapheSon
{
public:
    QPainter* Canvas = nullptr;
    Tmonde mondeX, mondeY;
    int debutS = 0, finS = 0;
    int pasS = 1;
    Trectangle LimiteCourbe;
    PvecteurSon Son = nullptr;
    bool Enveloppe = false;
    // Envelope columns from the summary (false: from every sample, for checking).
    bool avecResume = true;

    void DrawG();
    void WindowXY(double xr, double yr, int& xi, int& yi) const;
    void MondeXY(int xi, int yi, double& xr, double& yr) const;
    int Xecran(double xr) const;
    int indice(int xe) const;
    int valeur24bits(int j) const { return ::valeur24bits(Son->octets() + j); }
    double valeur24(int j) const { return ::valeur24(Son->octets() + j); }

    // Sets the coefficients and Enveloppe as DrawG does (debutS < finS).
    void coefficients();
    // Envelope columns drawn for the current coefficients: x, and the left-value range shown.
    struct Colonne { int x, mini, maxi; };
    std::vector<Colonne> colonnesEnveloppe() const;
};

#include "Fft.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int N = 2048;
constexpr int limitePics = 1020;

struct Tables2048
{
    std::array<int, N + 1> tbi2048{};
    std::array<double, N> wr2048{}, wi2048{};
};

int inverseBits(int i, int bits)
{
    int r = 0;
    for (int b = 0; b < bits; ++b)
        if (i & (1 << b))
            r |= 1 << (bits - 1 - b);
    return r;
}

const Tables2048& tables()
{
    static const Tables2048 t = [] {
        Tables2048 t;
        for (int i = 0; i < N; ++i) {
            t.tbi2048[std::size_t(i)] = inverseBits(i, 11);
            const double angle = 2 * std::numbers::pi * i / N;
            t.wr2048[std::size_t(i)] = std::cos(angle);
            t.wi2048[std::size_t(i)] = -std::sin(angle);
        }
        t.tbi2048[N] = 0;
        return t;
    }();
    return t;
}

// In-place radix-2 decimation in time on bit-reversed input; no scaling.
void transforme(double* re, double* im, int n, const double* wr, const double* wi)
{
    for (int span = 2; span <= n; span *= 2) {
        const int demi = span / 2;
        const int pas = n / span;
        for (int g0 = 0; g0 < n; g0 += span)
            for (int p = 0; p < demi; ++p) {
                const int w = p * pas;
                const int g = g0 + p, h = g + demi;
                const double tr = re[h] * wr[w] - im[h] * wi[w];
                const double ti = re[h] * wi[w] + im[h] * wr[w];
                re[h] = re[g] - tr;
                im[h] = im[g] - ti;
                re[g] += tr;
                im[g] += ti;
            }
    }
}

// x[0..2048] of the frames debut..debut+2048, zero past fin and past the data.
std::array<double, N + 1> fenetre(int debut, int fin, const TvecteurSon& son)
{
    std::array<double, N + 1> x{};
    const int m = std::min(fin, debut + N) - debut;
    const int n = son.nombreTrames();
    for (int i = 0; i <= m && i <= N; ++i) {
        const int k = debut + i;
        if (k >= 0 && k < n)
            x[std::size_t(i)] = son.valeurAnalyse(k);
    }
    return x;
}
}

void initFFT()
{
    tables();
}

double sinc(double x)
{
    if (x == 0)
        return 1;
    return std::sin(x) / x;
}

void spectreAmplitudes(int debut, int fin, const TvecteurSon& son, TvecteurFFT& spectre)
{
    const Tables2048& t = tables();
    const auto x = fenetre(debut, fin, son);
    std::array<double, N> re{}, im{};
    // The 2049th value goes to position 0 over the first one: the transform sees frames
    // debut+1..debut+2048 turned circularly, which leaves the amplitudes as they are.
    for (int i = 0; i <= N; ++i)
        re[std::size_t(t.tbi2048[std::size_t(i)])] = x[std::size_t(i)];
    transforme(re.data(), im.data(), N, t.wr2048.data(), t.wi2048.data());
    spectre.fill(0);
    for (int k = 0; k <= N / 2; ++k)
        spectre[std::size_t(k)] = std::sqrt(re[std::size_t(k)] * re[std::size_t(k)] + im[std::size_t(k)] * im[std::size_t(k)]);
}

double corrigePics(TvecteurFFT& s)
{
    const int L = limitePics;
    // Skip the slope of the zero-frequency lobe.
    int k = 1;
    while (k <= L && !(s[std::size_t(k)] > s[std::size_t(k - 1)]))
        ++k;
    double maxi = 0;
    for (int i = k; i <= L; ++i)
        maxi = std::max(maxi, s[std::size_t(i)]);
    const double seuil = maxi / 50;
    while (true) {
        while (k <= L && !(s[std::size_t(k)] > s[std::size_t(k + 1)] && s[std::size_t(k)] > seuil))
            ++k;
        if (k > L)
            break;
        const double pic = s[std::size_t(k)];
        const int m = s[std::size_t(k - 1)] > s[std::size_t(k + 1)] ? k - 1 : k + 1;
        const double delta = 1 - pic / (pic + s[std::size_t(m)]);
        const double corrige = pic / sinc(std::numbers::pi * delta);
        int e = k - 1;
        while (e > 0 && !(s[std::size_t(e)] < s[std::size_t(e - 1)]))
            --e;
        int r = k + 1;
        while (r <= L && s[std::size_t(r)] >= s[std::size_t(r + 1)])
            ++r;
        for (int i = e; i <= r; ++i)
            s[std::size_t(i)] = 0;
        s[std::size_t(k)] = corrige;
        maxi = std::max(maxi, corrige);
        k = r;
    }
    maxi *= 1.05;
    return maxi == 0 ? 1 : maxi;
}

void spectreFFT(int debut, int fin, const TvecteurSon* son, double& maxi, TvecteurFFT& spectre)
{
    if (!son) {
        spectre.fill(0);
        maxi = 1;
        return;
    }
    spectreAmplitudes(debut, fin, *son, spectre);
    maxi = corrigePics(spectre);
}

std::optional<double> frequencePic(int debut, int fin, const TvecteurSon& son)
{
    const Tables2048& t = tables();
    const auto x = fenetre(debut, fin, son);
    std::array<double, N> re{}, im{};
    for (int i = 0; i < N; ++i) {
        // Frames debut+1..debut+2048 in their order, under a periodic Hann window.
        const double w = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / N);
        re[std::size_t(t.tbi2048[std::size_t(i)])] = x[std::size_t(i + 1)] * w;
    }
    transforme(re.data(), im.data(), N, t.wr2048.data(), t.wi2048.data());
    auto amplitude = [&](int k) { return std::hypot(re[std::size_t(k)], im[std::size_t(k)]); };
    int k = 2;
    double beta = 0;
    for (int i = 2; i <= N / 2 - 2; ++i)
        if (amplitude(i) > beta) {
            beta = amplitude(i);
            k = i;
        }
    if (beta <= 0)
        return std::nullopt;
    const double alpha = amplitude(k - 1), gamma = amplitude(k + 1);
    // Hann main lobe: |X(k+1)|/|X(k)| = (1+d)/(2-d) for a tone at k+d.
    const double d = gamma >= alpha ? (2 * gamma - beta) / (beta + gamma) : -(2 * alpha - beta) / (alpha + beta);
    return k + d;
}

std::optional<double> frequencePicHz(int debut, int fin, const TvecteurSon& son, double freqEch)
{
    const auto bin = frequencePic(debut, fin, son);
    if (!bin)
        return std::nullopt;
    return *bin * freqEch / N;
}

// ---- Tsonagramme ----

Tsonagramme::Tsonagramme() : m_matrice(std::size_t(colonnesMax + 1) * bins, 0.0f)
{
    decadedB = 2;
    inverserIndices();
}

void Tsonagramme::inverserIndices()
{
    for (int i = 0; i < 512; ++i) {
        tbi[std::size_t(i)] = inverseBits(i, 9);
        const double angle = 2 * std::numbers::pi * i / 512;
        wr[std::size_t(i)] = std::cos(angle);
        wi[std::size_t(i)] = -std::sin(angle);
        kf[std::size_t(i)] = 0.54 - 0.46 * std::cos(angle);
    }
}

void Tsonagramme::Calcul(int debut, int fin, PvecteurSon son)
{
    NbreSonagramme = std::min((fin - debut) / 512 - 1, colonnesMax);
    std::fill(m_matrice.begin(), m_matrice.end(), 0.0f);
    if (!son)
        NbreSonagramme = std::min(NbreSonagramme, 0);
    // Slices must lie inside the data.
    if (son && NbreSonagramme > 0)
        NbreSonagramme = std::min(NbreSonagramme, std::max(0, (son->nombreTrames() - debut) / 512));
    double maximum = 0;
    std::array<double, 512> re, im;
    for (int c = 0; c < NbreSonagramme; ++c) {
        re.fill(0);
        im.fill(0);
        const int d = debut + 512 * c;
        for (int i = 0; i < 512; ++i)
            re[std::size_t(tbi[std::size_t(i)])] = son->valeurAnalyse(d + i) * kf[std::size_t(i)];
        transforme(re.data(), im.data(), 512, wr.data(), wi.data());
        float* ligne = &m_matrice[std::size_t(c) * bins];
        for (int b = 2; b <= 255; ++b) {
            const double a = std::sqrt(re[std::size_t(b)] * re[std::size_t(b)] + im[std::size_t(b)] * im[std::size_t(b)]);
            ligne[b] = float(a);
            maximum = std::max(maximum, a);
        }
    }
    if (maximum > 0)
        for (int c = 0; c < NbreSonagramme; ++c)
            for (int b = 2; b <= 255; ++b)
                m_matrice[std::size_t(c) * bins + std::size_t(b)] =
                    float(m_matrice[std::size_t(c) * bins + std::size_t(b)] / maximum);
}

QRgb couleurSonagramme(double v, int decadedB)
{
    if (decadedB > 0) {
        v = v > 0 ? std::log10(v) / decadedB + 1 : 0;
        if (!(v >= 0))
            v = 0;
    }
    v = std::clamp(v, 0.0, 1.0);
    if (v < 1.0 / 128)
        return qRgb(0, 0, 0);
    const double b = 4 * v;
    auto composante = [](double terme) { return std::clamp(arrondi(255 * terme), 0, 255); };
    return qRgb(composante(b - 2), composante(v < 0.5 ? b : 4 - b), composante(2 - b));
}

// ---- Views ----

int TvueFFT::debutFenetre(double freqEch, double secondes, int NbrePoints)
{
    int debut = std::max(0, arrondi(freqEch * secondes) - 1024);
    if (debut + 2048 >= NbrePoints)
        debut = std::max(0, NbrePoints - 2049);
    return debut;
}

int TvueFFT::binsAffiches(quint32 freqEch)
{
    if (freqEch <= 20000)
        return 1024;
    return int(20480000u / freqEch);
}

int TvueFFT::pasGrille(quint32 freqEch)
{
    const int q = std::max(1, freqEch <= 20000 ? int(freqEch / 20) : 1000);
    const int p = int(std::pow(10.0, std::trunc(std::log10(double(q)))));
    for (int f : {1, 2, 5, 10})
        if (f * p >= q)
            return f * p;
    return 10 * p;
}

void TvueFFT::peint(QPainter& p, const QRect& vue, const TvecteurFFT& spectre, double maxi, quint32 freqEch,
                    const QPalette& palette)
{
    const int largeur = vue.width(), hauteur = vue.height();
    if (largeur <= 0 || hauteur <= 0 || freqEch == 0)
        return;
    p.save();
    p.translate(vue.topLeft());
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(0, 0, largeur, hauteur), palette.color(QPalette::Base));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(palette.color(QPalette::Highlight), 1));
    p.drawRect(0, 0, largeur - 1, hauteur - 1);
    const int B = std::min(binsAffiches(freqEch), 1025);
    const double echelleY = hauteur / (maxi > 0 ? maxi : 1);
    QVector<QLine> barres;
    for (int k = 0; k < B; ++k) {
        const int x = arrondi(double(k) * largeur / B);
        const int haut = hauteur - arrondi(echelleY * spectre[std::size_t(k)]);
        if (haut < hauteur)
            barres.append(QLine(x, hauteur, x, haut));
    }
    p.drawLines(barres);

    const int pas = pasGrille(freqEch);
    const double pixelsParHertz = freqEch <= 20000 ? 2.0 * largeur / freqEch : 2.0 * largeur / 20000;
    p.setPen(QPen(palette.color(QPalette::Link), 1, Qt::DotLine));
    const QFontMetrics fm(p.font());
    for (int j = 1;; ++j) {
        const int x = arrondi(double(j) * pas * pixelsParHertz);
        if (x > largeur)
            break;
        p.drawLine(x, 0, x, hauteur);
        p.drawText(QPoint(x - 16, hauteur / 10 + fm.ascent()), QString::number(j * pas) + QStringLiteral(" Hz"));
    }
    p.restore();
}

void TvueFFT::peintInvite(QPainter& p, const QRect& vue, const QPalette& palette)
{
    p.save();
    p.fillRect(vue, palette.color(QPalette::Base));
    p.setPen(QPen(palette.color(QPalette::Highlight), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(vue.adjusted(0, 0, -1, -1));
    QFont f = p.font();
    f.setPointSize(10);
    p.setFont(f);
    p.setPen(QColor(255, 0, 0));
    p.drawText(QPoint(vue.left() + vue.width() / 3, vue.top() + vue.height() / 2),
               QStringLiteral("Cliquer sur \"Jouer\""));
    p.restore();
}

int TvueSonagramme::binsAffiches(quint32 freqEch)
{
    if (freqEch <= 20000)
        return 256;
    return int(5120000u / freqEch);
}

void TvueSonagramme::peint(QPainter& p, const QRect& vue, const Tsonagramme& s, quint32 freqEch,
                           const TgrapheSon& grapheZoom, const QPalette& palette)
{
    const int largeur = vue.width(), hauteur = vue.height();
    if (largeur <= 0 || hauteur <= 0)
        return;
    if (s.NbreSonagramme <= 0 || freqEch == 0) {
        p.fillRect(vue, palette.color(QPalette::Base));
        return;
    }
    if (m_image.size() != vue.size())
        m_image = QImage(vue.size(), QImage::Format_RGB32);
    m_image.fill(Qt::black);
    const int C = std::min(binsAffiches(freqEch), 256);
    const int d = std::max(1, int(std::floor(double(s.NbreSonagramme) / (largeur - 1))));
    // Where each shown column ends, from the selection view's mapping.
    std::vector<int> fins;
    std::vector<int> colonnes;
    for (int c = 0; c < s.NbreSonagramme; c += d) {
        colonnes.push_back(c);
        fins.push_back(std::min(largeur - 1, arrondi(grapheZoom.mondeX.a * c * 512.0 + grapheZoom.mondeX.b)));
    }
    const double hauteurBin = double(hauteur) / C;
    for (int y = 0; y < hauteur; ++y) {
        const int bin = std::clamp(arrondi((hauteur - y) / hauteurBin), 0, Tsonagramme::bins - 1);
        auto* ligne = reinterpret_cast<QRgb*>(m_image.scanLine(y));
        int x0 = 0;
        for (std::size_t i = 0; i < colonnes.size(); ++i) {
            const int x1 = fins[i];
            if (x1 >= x0) {
                const QRgb c = couleurSonagramme(s.MatriceSon(colonnes[i], bin), s.decadedB);
                for (int x = std::max(x0, 0); x <= x1; ++x)
                    ligne[x] = c;
            }
            x0 = std::max(x0, x1 + 1);
        }
    }
    p.drawImage(vue.topLeft(), m_image);
}

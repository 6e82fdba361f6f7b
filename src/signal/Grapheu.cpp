#include "Grapheu.h"

#include <QLine>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cstring>

int tailleTrame(TformatWave f)
{
    switch (f) {
    case f8: return 1;
    case f16: return 2;
    case f16stereo: return 4;
    case f8stereo: return 2;
    case f24: return 3;
    case f24stereo: return 6;
    }
    return 1;
}

bool estStereo(TformatWave f) { return f == f16stereo || f == f8stereo || f == f24stereo; }
bool est24Bits(TformatWave f) { return f == f24 || f == f24stereo; }
bool est8Bits(TformatWave f) { return f == f8 || f == f8stereo; }

void TvecteurSon::assigne(TformatWave format, QByteArray donnees)
{
    if (donnees.size() > tailleMaxSon)
        donnees.truncate(tailleMaxSon);
    formatWave = format;
    m_donnees = std::move(donnees);
    m_trames = int(m_donnees.size() / tailleTrame(format));
    construitResume();
}

void TvecteurSon::vide()
{
    m_donnees.clear();
    m_trames = 0;
    m_resume.clear();
}

int TvecteurSon::droite(int i) const
{
    const std::uint8_t* p = octets();
    switch (formatWave) {
    case f16stereo: return lit16(p + 4 * qsizetype(i) + 2);
    case f8stereo: return p[2 * qsizetype(i) + 1];
    case f24stereo: return ::valeur24bits(p + 6 * qsizetype(i) + 3);
    default: return gauche(i);
    }
}

int TvecteurSon::valeurAnalyse(int i) const
{
    switch (formatWave) {
    case f8: return gauche(i) - 128;
    case f16: case f24: return gauche(i);
    case f16stereo: case f24stereo: return gauche(i) + droite(i);
    case f8stereo: return gauche(i) + droite(i) - 256;
    }
    return 0;
}

namespace {
template <typename Acces>
void premierNiveau(std::vector<std::int16_t>& niveau, int blocs, int taille, Acces valeur)
{
    niveau.resize(std::size_t(blocs) * 2);
    for (int b = 0; b < blocs; ++b) {
        const int debut = b * taille;
        int lo = valeur(debut), hi = lo;
        for (int i = debut + 1; i < debut + taille; ++i) {
            const int v = valeur(i);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        niveau[2 * std::size_t(b)] = std::int16_t(lo);
        niveau[2 * std::size_t(b) + 1] = std::int16_t(hi);
    }
}
}

void TvecteurSon::construitResume()
{
    m_resume.clear();
    const int taille = 1 << niveauMin;
    const int blocs = m_trames >> niveauMin;
    if (blocs == 0)
        return;
    m_resume.resize(niveauMin + 1);
    auto& n0 = m_resume[niveauMin];
    const std::uint8_t* p = octets();
    // One loop per format: the summary of 20 million frames is built at load time.
    switch (formatWave) {
    case f8: premierNiveau(n0, blocs, taille, [p](int i) { return int(p[i]); }); break;
    case f8stereo: premierNiveau(n0, blocs, taille, [p](int i) { return int(p[2 * qsizetype(i)]); }); break;
    case f16: premierNiveau(n0, blocs, taille, [p](int i) { return lit16(p + 2 * qsizetype(i)); }); break;
    case f16stereo: premierNiveau(n0, blocs, taille, [p](int i) { return lit16(p + 4 * qsizetype(i)); }); break;
    case f24: premierNiveau(n0, blocs, taille, [p](int i) { return ::valeur24bits(p + 3 * qsizetype(i)); }); break;
    case f24stereo: premierNiveau(n0, blocs, taille, [p](int i) { return ::valeur24bits(p + 6 * qsizetype(i)); }); break;
    }
    for (int k = niveauMin + 1; (m_trames >> k) > 0; ++k) {
        const auto& bas = m_resume[std::size_t(k - 1)];
        std::vector<std::int16_t> haut(std::size_t(m_trames >> k) * 2);
        for (std::size_t b = 0; b < haut.size() / 2; ++b) {
            haut[2 * b] = std::min(bas[4 * b], bas[4 * b + 2]);
            haut[2 * b + 1] = std::max(bas[4 * b + 1], bas[4 * b + 3]);
        }
        m_resume.push_back(std::move(haut));
    }
}

void TvecteurSon::minMaxGauche(int debut, int fin, int& mini, int& maxi) const
{
    int lo = gauche(debut), hi = lo;
    qint64 pos = debut + 1;
    const qint64 fini = qint64(fin) + 1;
    const int niveaux = int(m_resume.size());
    while (pos < fini) {
        const qint64 bloc0 = qint64(1) << niveauMin;
        if ((pos & (bloc0 - 1)) != 0 || pos + bloc0 > fini || niveaux <= niveauMin) {
            const int v = gauche(int(pos));
            lo = std::min(lo, v);
            hi = std::max(hi, v);
            ++pos;
            continue;
        }
        // Largest whole aligned block starting at pos inside the range.
        int k = niveauMin;
        while (k + 1 < niveaux && (pos & ((qint64(2) << k) - 1)) == 0 && pos + (qint64(2) << k) <= fini)
            ++k;
        const auto& n = m_resume[std::size_t(k)];
        const std::size_t b = std::size_t(pos >> k);
        lo = std::min(lo, int(n[2 * b]));
        hi = std::max(hi, int(n[2 * b + 1]));
        pos += qint64(1) << k;
    }
    mini = lo;
    maxi = hi;
}

void TvecteurSon::diviseParDeux()
{
    const int t = tailleTrame(formatWave);
    const int nouveau = m_trames / 2;
    char* p = m_donnees.data();
    for (int k = 0; k < nouveau; ++k)
        std::memmove(p + qsizetype(k) * t, p + qsizetype(2 * k) * t, std::size_t(t));
    m_donnees.truncate(qsizetype(nouveau) * t);
    m_trames = nouveau;
    construitResume();
}

// ---- Tgraphe ----

void Tgraphe::coefficients()
{
    mondeX.a = (LimiteCourbe.Right - LimiteCourbe.Left) / (mondeX.maxi - mondeX.mini);
    mondeX.b = LimiteCourbe.Left - mondeX.mini * mondeX.a;
    mondeY.a = (LimiteCourbe.Top - LimiteCourbe.Bottom) / (mondeY.maxi - mondeY.mini);
    mondeY.b = LimiteCourbe.Bottom - mondeY.mini * mondeY.a;
}

void Tgraphe::WindowXY(double xr, double yr, int& xi, int& yi) const
{
    if (xr == valeurManquante || yr == valeurManquante) {
        xi = -1;
        yi = -1;
        return;
    }
    xi = arrondi(mondeX.a * xr + mondeX.b);
    yi = arrondi(mondeY.a * yr + mondeY.b);
}

int Tgraphe::Yecran(double yr) const
{
    if (yr == valeurManquante)
        return -1;
    return arrondi(mondeY.a * yr + mondeY.b);
}

void Tgraphe::MondeXY(int xi, int yi, double& xr, double& yr) const
{
    xr = (xi - mondeX.b) / mondeX.a;
    yr = (yi - mondeY.b) / mondeY.a;
}

void Tgraphe::DrawG()
{
    if (!Canvas)
        return;
    Canvas->setRenderHint(QPainter::Antialiasing, false);
    Canvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Canvas->setPen(QPen(Qt::black, 1));
    const QRect r = LimiteCourbe.rect();
    Canvas->drawRect(r.adjusted(0, 0, -1, -1));
    finG = std::min(finG, indiceMax);
    debutG = std::max(debutG, indiceMin);
    coefficients();
    dessineCourbe(ValeurY, Qt::black);
    if (withRed)
        dessineCourbe(rougeY, QColor(255, 0, 0));
    if (withBlue)
        dessineCourbe(bleuY, QColor(0, 0, 255));
    if (withGreen)
        dessineCourbe(vertY, QColor(0, 128, 0));
}

void Tgraphe::dessineCourbe(const Tvecteur& y, const QColor& couleur)
{
    if (debutG >= finG)
        return;
    // Points off the surface or missing are skipped; the line goes on from the last drawn one.
    QPolygon points;
    points.reserve(finG - debutG + 1);
    for (int i = debutG; i <= finG; ++i) {
        int xi, yi;
        WindowXY(ValeurX[i], y[i], xi, yi);
        if (xi > 0 && yi > 0)
            points.append(QPoint(xi, yi));
    }
    Canvas->setPen(QPen(couleur, 1));
    if (avecLigne) {
        if (points.size() == 1)
            Canvas->drawPoint(points.first());
        else
            Canvas->drawPolyline(points);
    } else {
        Canvas->drawPoints(points);
    }
}

// ---- TgrapheSon ----

void TgrapheSon::coefficients()
{
    mondeX.a = double(LimiteCourbe.Right - LimiteCourbe.Left) / double(finS - debutS);
    mondeX.b = LimiteCourbe.Left;
    Enveloppe = mondeX.a < 0.2;
    if (Son && est8Bits(Son->formatWave)) {
        mondeY.a = (LimiteCourbe.Top - LimiteCourbe.Bottom) / 256.0;
        mondeY.b = LimiteCourbe.Bottom;
    } else {
        mondeY.a = (LimiteCourbe.Top - LimiteCourbe.Bottom) / 65536.0;
        mondeY.b = LimiteCourbe.Bottom + 32768 * mondeY.a;
    }
}

void TgrapheSon::WindowXY(double xr, double yr, int& xi, int& yi) const
{
    xi = arrondi(mondeX.a * xr + mondeX.b);
    yi = arrondi(mondeY.a * yr + mondeY.b);
}

void TgrapheSon::MondeXY(int xi, int yi, double& xr, double& yr) const
{
    xr = (xi - mondeX.b) / mondeX.a;
    yr = (yi - mondeY.b) / mondeY.a;
}

int TgrapheSon::Xecran(double xr) const
{
    return arrondi((xr - debutS) * mondeX.a + mondeX.b);
}

int TgrapheSon::indice(int xe) const
{
    return arrondi((xe - mondeX.b) / mondeX.a + debutS);
}

std::vector<TgrapheSon::Colonne> TgrapheSon::colonnesEnveloppe() const
{
    std::vector<Colonne> colonnes;
    if (!Son || Son->nombreTrames() == 0 || debutS >= finS)
        return colonnes;
    const int dernier = std::min(finS, Son->nombreTrames() - 1);
    const qint64 n = std::max(1, arrondi(1.0 / mondeX.a));
    colonnes.reserve(std::size_t(std::max(0, LimiteCourbe.Right - LimiteCourbe.Left)));
    for (int x = LimiteCourbe.Left; x < LimiteCourbe.Right; ++x) {
        // Columns count from the rectangle's left edge, as Xecran and indice do.
        const qint64 debut = debutS + n * (x - LimiteCourbe.Left);
        if (debut < 0)
            continue;
        if (debut > dernier)
            break;
        const int fin = int(std::min<qint64>(debut + n - 1, dernier));
        int lo, hi;
        if (avecResume) {
            Son->minMaxGauche(int(debut), fin, lo, hi);
        } else {
            lo = hi = Son->gauche(int(debut));
            for (int i = int(debut) + 1; i <= fin; ++i) {
                const int v = Son->gauche(i);
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        colonnes.push_back({x, lo, hi});
    }
    return colonnes;
}

void TgrapheSon::DrawG()
{
    if (!Canvas)
        return;
    Canvas->setRenderHint(QPainter::Antialiasing, false);
    Canvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
    Canvas->fillRect(LimiteCourbe.rect(), Qt::white);
    Canvas->setBrush(QBrush(Qt::white, Qt::SolidPattern));
    Canvas->setPen(QPen(QColor(0, 0, 255), 1));
    if (debutS >= finS || !Son || Son->nombreTrames() == 0)
        return;
    coefficients();
    if (!Enveloppe) {
        const int pas = std::max(1, pasS);
        const int dernier = std::min(finS, Son->nombreTrames() - 1);
        QPolygon points;
        points.reserve((dernier - debutS) / pas + 1);
        for (int i = std::max(debutS, 0); i <= dernier; i += pas) {
            int xi, yi;
            WindowXY(i - debutS, Son->gauche(i), xi, yi);
            points.append(QPoint(xi, yi));
        }
        if (points.size() == 1)
            Canvas->drawPoint(points.first());
        else if (!points.isEmpty())
            Canvas->drawPolyline(points);
        return;
    }
    const auto colonnes = colonnesEnveloppe();
    QVector<QLine> lignes;
    lignes.reserve(qsizetype(colonnes.size()));
    for (const Colonne& c : colonnes) {
        int x, yMin, yMax;
        WindowXY(0, c.mini, x, yMin);
        WindowXY(0, c.maxi, x, yMax);
        lignes.append(QLine(c.x, yMin, c.x, yMax));
    }
    Canvas->drawLines(lignes);
}

#include "PointageModel.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>

ReglesPointage ReglesPointage::lecteur() { return ReglesPointage{}; }

ReglesPointage ReglesPointage::capture(int magnet)
{
    ReglesPointage r;
    r.capacite = kLignesCapture;
    r.baseTemps = btTrames;
    r.lignesPourTransfert = 1;
    r.exportArrondi = true;
    r.grapheSelonEtendue = true;
    r.poigneesSeules = true;
    r.ecartEchelleMin = kEcartEchelleMin;
    r.setMagnet(magnet);
    return r;
}

ReglesPointage ReglesPointage::serie()
{
    ReglesPointage r;
    r.baseTemps = btIntervalle;
    r.origineTemps = false;
    r.sectionIncert = false;
    r.sectionFichier = false;
    r.grapheSelonEtendue = true;
    r.colonnesSelonEtendue = true;
    r.ecartEchelleMin = kEcartEchelleMin;
    r.clicDansImage = true;
    r.poigneesActives = false;
    return r;
}

void ReglesPointage::setMagnet(int magnet)
{
    magnet = std::max(2, magnet);
    distancePoignee = magnet;
    demiCroix = magnet;
    demiAxe = 4 * magnet;
    flecheDepart = int(3.5 * magnet);
    flecheArrivee = 2 * magnet;
    teteAxe = 3 * magnet;
}

int bornesIncertitude(int pixels) { return std::clamp(pixels, kIncertitudeMin, kIncertitudeMax); }

PointageModel::PointageModel(const ReglesPointage& regles) : m_regles(regles)
{
    const int n = std::max(2, regles.capacite);
    for (auto& rangee : XY)
        rangee.assign(n, QPoint());
    Temps.assign(n, 0.0);
    NumFrame.assign(n, -1);
    Couleur.fill(QColor(Qt::black));
    PlaceReperesDefaut();
}

void PointageModel::setAxes(bool haut, bool droite)
{
    sensAxes = haut ? (droite ? aHautDroite : aHautGauche) : (droite ? aBasDroite : aBasGauche);
}

void PointageModel::PlaceReperesDefaut()
{
    PointRepere[bsOrigine] = QPoint(Largeur / 2, Hauteur / 2);
    PointRepere[bsEchelle1] = QPoint(Largeur / 4, Hauteur / 4);
    PointRepere[bsEchelle2] = QPoint(Largeur / 2, Hauteur / 4);
    PointRepere[bsCible] = QPoint(Largeur / 2, Hauteur / 2);
}

void PointageModel::CalculEchelle()
{
    if (!mediaOuvert)
        return;
    if (!origineMobile) {
        // The origin of the previous call: a moved origin reaches the rows at the next one.
        const QPoint o(OrigineX, OrigineY);
        std::fill(XY[0].begin(), XY[0].end(), o);
    }
    const QPoint d = PointRepere[bsEchelle1] - PointRepere[bsEchelle2];
    const double distance = std::sqrt(double(d.x()) * d.x() + double(d.y()) * d.y());
    // Equal ends would divide by zero: the last usable scale stays in force.
    if (distance > 0 && std::isfinite(LongueurEchelle / distance))
        m_echelleValide = LongueurEchelle / distance;
    EchelleX = m_echelleValide;
    if (!axeDroite())
        EchelleX = -EchelleX;
    OrigineX = PointRepere[bsOrigine].x();
    OrigineY = PointRepere[bsOrigine].y();
    Arrondi = std::pow(10.0, std::floor(std::log10(std::fabs(EchelleX))));
    EchelleY = (sensAxes == aHautDroite || sensAxes == aBasGauche) ? -EchelleX : EchelleX;
}

double PointageModel::CoordX(int k, int i) const
{
    return (XY[k][i].x() - XY[0][i].x()) * EchelleX;
}

double PointageModel::CoordY(int k, int i) const
{
    return (XY[k][i].y() - XY[0][i].y()) * EchelleY;
}

double PointageModel::arrondiAffiche(double v) const
{
    // A zero length gives no rounding step: the value is shown as it is.
    return arrondiAuPas(v, Arrondi);
}

QString PointageModel::ValeurX(int k, int i) const { return TexteNombre(arrondiAffiche(CoordX(k, i))); }

QString PointageModel::ValeurY(int k, int i) const { return TexteNombre(arrondiAffiche(CoordY(k, i))); }

double PointageModel::Angle(int i) const
{
    const float ux = float(XY[1][i].x() - XY[2][i].x());
    const float uy = float(XY[1][i].y() - XY[2][i].y());
    const float vx = float(XY[3][i].x() - XY[2][i].x());
    const float vy = float(XY[3][i].y() - XY[2][i].y());
    // A straight angle is +180 whichever way it is drawn (a zero cross product may come out
    // as -0, which atan2 would turn into -180).
    const float croix = uy * vx - ux * vy + 0.0f;
    const float a = std::atan2(croix, ux * vx + uy * vy) * 180.0f / float(M_PI);
    return double(a);
}

QString PointageModel::ValeurAngle(int i) const { return TexteNombre(arrondiAffiche(Angle(i))); }

double PointageModel::TempsMesure(int i) const
{
    switch (m_regles.baseTemps) {
    case btIntervalle:
        return i * deltat;
    case btTrames:
        return arrondiPair((Temps[i] - torigine) * EchelleT / 0.001) * 0.001;
    case btMedia:
        break;
    }
    return Temps[i] - torigine;
}

QString PointageModel::TexteTemps(int i) const { return TexteNombre(TempsMesure(i)); }

double PointageModel::tempsLecteur(int i, double tempsCourant, double dureeImage)
{
    return tempsCourant > 0 ? tempsCourant : i * dureeImage;
}

void PointageModel::DebutMesures()
{
    if (angle)
        NbreSE = 3;
    Nmes = 0;
    PointCourant = premierPoint();
}

PointageModel::Enregistrement PointageModel::EnregistrePoint(double temps, int numFrame)
{
    const int i = Nmes;
    const int k = PointCourant;
    if (i < 0 || i >= int(Temps.size()) || k < 0 || k > kPointsMax)
        return Enregistrement::Refuse;
    if (i == 0)
        PixelsInit[k] = Pixels;
    XY[k][i] = PointRepere[bsMesure];
    Temps[i] = temps;
    NumFrame[i] = numFrame;
    PointCourant = k + 1;
    if (PointCourant <= NbreSE)
        return Enregistrement::Point;
    Nmes = i + 1;
    PointCourant = premierPoint();
    return Enregistrement::LigneComplete;
}

bool PointageModel::Defaire()
{
    const bool retire = Nmes > 0;
    if (retire)
        --Nmes;
    PointCourant = premierPoint();
    return retire;
}

void PointageModel::Raz()
{
    Nmes = 0;
    PointCourant = premierPoint();
}

void PointageModel::decalePoints(int de, int vers, int nombre)
{
    // Moving every row's slots [de, de + nombre) to [vers, vers + nombre), in an order that
    // does not overwrite a slot before it is read.
    if (vers > de) {
        for (int j = nombre - 1; j >= 0; --j)
            XY[vers + j] = XY[de + j];
    } else {
        for (int j = 0; j < nombre; ++j)
            XY[vers + j] = XY[de + j];
    }
}

bool PointageModel::ChoisitOrigineMobile(bool mobile)
{
    if (mobile == origineMobile)
        return false;
    bool deplace = false;
    if (Nmes >= m_regles.lignesPourTransfert && !angle) {
        if (!mobile && NbreSE < kPointsMax) {
            // The clicked origins become point 1, the points move up one.
            ++NbreSE;
            decalePoints(0, 1, NbreSE);
            deplace = true;
        } else if (mobile && NbreSE > 1) {
            // Point 1 becomes the row's origin.
            --NbreSE;
            decalePoints(1, 0, NbreSE + 1);
            deplace = true;
        }
    }
    origineMobile = mobile;
    PointCourant = premierPoint();
    return deplace;
}

std::optional<int> PointageModel::LigneProche(QPoint p) const
{
    std::optional<int> meilleure;
    double dmin = std::numeric_limits<double>::infinity();
    for (int i = 0; i < Nmes; ++i) {
        const double dx = p.x() - XY[1][i].x();
        const double dy = p.y() - XY[1][i].y();
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < dmin) {
            dmin = d;
            meilleure = i;
        }
    }
    if (meilleure && dmin < kDistanceOrigineTemps)
        return meilleure;
    return std::nullopt;
}

bool PointageModel::ChoisitOrigineTemps(QPoint p)
{
    const std::optional<int> i = LigneProche(p);
    if (!i)
        return false;
    torigine = Temps[*i];
    return true;
}

void PointageModel::OrigineTempsLigne(int i)
{
    if (i >= 0 && i < Nmes)
        torigine = Temps[i];
}

double PointageModel::IncertitudeTemps() const
{
    // The first time step needs two rows; a stale second time would give a wrong value.
    if (Nmes < 2)
        return 0;
    const double pas = m_regles.baseTemps == btIntervalle ? deltat : Temps[1] - Temps[0];
    const double facteur = m_regles.baseTemps == btTrames ? EchelleT : 1.0;
    return pas / 100 * facteur;
}

QStringList PointageModel::EntetesGrille() const
{
    QStringList h{QStringLiteral("t(s)")};
    if (angle) {
        h << QStringLiteral("α(°)");
        return h;
    }
    for (int k = 1; k <= NbreSE; ++k) {
        if (NbreSE == 1)
            h << QStringLiteral("x(m)") << QStringLiteral("y(m)");
        else
            h << QStringLiteral("x%1(m)").arg(k) << QStringLiteral("y%1(m)").arg(k);
    }
    return h;
}

QString PointageModel::TexteCellule(int col, int i) const
{
    if (i < 0 || col < 0 || col >= ColonnesGrille())
        return {};
    const bool complete = i < Nmes;
    const bool enCours = i == Nmes && i < int(Temps.size());
    if (angle) {
        if (!complete)
            return {};
        return col == 0 ? TexteTemps(i) : ValeurAngle(i);
    }
    if (col == 0) {
        if (complete || (enCours && PointCourant > 1))
            return TexteTemps(i);
        return {};
    }
    const int k = (col + 1) / 2;
    if (!(complete || (enCours && k < PointCourant)))
        return {};
    return col % 2 ? ValeurX(k, i) : ValeurY(k, i);
}

Etendue PointageModel::etendue() const
{
    int xmin = Largeur, xmax = 0, ymin = Hauteur, ymax = 0;
    for (int i = 0; i < Nmes; ++i) {
        for (int k = 1; k <= NbreSE; ++k) {
            const QPoint p = XY[k][i];
            xmin = std::min(xmin, p.x());
            xmax = std::max(xmax, p.x());
            ymin = std::min(ymin, p.y());
            ymax = std::max(ymax, p.y());
        }
    }
    return Etendue{xmax - xmin > Largeur / 32, ymax - ymin > Hauteur / 32};
}

void PointageModel::AjouteTable(ExchangeText& t, Etendue colonnes, const QString& uniteTemps) const
{
    QStringList noms{QStringLiteral("t")};
    QStringList unites{uniteTemps};
    if (angle) {
        noms << QStringLiteral("α");
        unites << QStringLiteral("°");
    } else {
        for (int k = 1; k <= NbreSE; ++k) {
            const QString n = NbreSE == 1 ? QString() : QString::number(k);
            if (colonnes.x) {
                noms << QStringLiteral("x") + n;
                unites << QStringLiteral("m");
            }
            if (colonnes.y) {
                noms << QStringLiteral("y") + n;
                unites << QStringLiteral("m");
            }
        }
    }
    t.addFields(noms);
    t.addFields(unites);
    const bool arrondis = m_regles.exportArrondi;
    for (int i = 0; i < Nmes; ++i) {
        QStringList ligne{TexteTemps(i)};
        if (angle) {
            ligne << TexteNombre(arrondis ? arrondiAffiche(Angle(i)) : Angle(i));
        } else {
            for (int k = 1; k <= NbreSE; ++k) {
                if (colonnes.x)
                    ligne << TexteNombre(arrondis ? arrondiAffiche(CoordX(k, i)) : CoordX(k, i));
                if (colonnes.y)
                    ligne << TexteNombre(arrondis ? arrondiAffiche(CoordY(k, i)) : CoordY(k, i));
            }
        }
        t.addFields(ligne);
    }
}

QStringList PointageModel::nomsX(Etendue e) const
{
    QStringList noms;
    const QString lettre = e.x ? QStringLiteral("x") : QStringLiteral("y");
    for (int k = 1; k <= NbreSE; ++k)
        noms << (NbreSE == 1 ? lettre : lettre + QString::number(k));
    return noms;
}

void PointageModel::AjouteSections(ExchangeText& t, bool nouveauFichier, int incertitude,
                                   const QString& fichierMedia, Etendue graphe) const
{
    if (m_regles.sectionIncert && incertitude > 0) {
        QStringList ligne{TexteNombre(IncertitudeTemps())};
        const double ix = incertitude * std::fabs(EchelleX);
        const double iy = incertitude * std::fabs(EchelleY);
        if (angle) {
            ligne << TexteNombre(ix);
        } else {
            for (int k = 1; k <= NbreSE; ++k)
                ligne << TexteNombre(ix) << TexteNombre(iy);
        }
        t.addLine(QStringLiteral("&%1 INCERT").arg(Nmes));
        for (int i = 0; i < Nmes; ++i)
            t.addFields(ligne);
    }
    if (!nouveauFichier)
        return;
    if (!m_regles.grapheSelonEtendue)
        graphe = Etendue{};
    if (angle) {
        t.addSection(QStringLiteral("NOMX"), {QStringLiteral("t")});
        t.addSection(QStringLiteral("NOMY"), {QStringLiteral("α")});
    } else if (graphe.x && graphe.y) {
        t.addSection(QStringLiteral("NOMX"), nomsX(Etendue{true, false}));
        t.addSection(QStringLiteral("NOMY"), nomsX(Etendue{false, true}));
        t.addSection(QStringLiteral("ORTHO"), {QStringLiteral("1")});
    } else {
        QStringList temps;
        for (int k = 1; k <= NbreSE; ++k)
            temps << QStringLiteral("t");
        t.addSection(QStringLiteral("NOMX"), temps);
        t.addSection(QStringLiteral("NOMY"), nomsX(graphe));
    }
    if (m_regles.sectionFichier)
        t.addSection(QStringLiteral("FICHIER"), {fichierMedia});
}

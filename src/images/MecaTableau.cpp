#include "MecaTableau.h"

#include "Arrondi.h"
#include "EchelleCourbe.h"
#include "NumberText.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
constexpr int kFractionEtendue = 32;
constexpr int kChiffresDistance = 4;
} // namespace

bool EchelleMeca::CalculEchelle(QPoint debut, QPoint fin, QPoint origine)
{
    OrigineX = origine.x();
    OrigineY = origine.y();
    const double dx = fin.x() - debut.x(), dy = fin.y() - debut.y();
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d == 0)
        return false;
    Echelle = Longueur / d;
    arrondi = Echelle == 0 ? 0 : std::pow(10.0, std::floor(std::log10(std::fabs(Echelle))));
    return true;
}

double EchelleMeca::x(QPoint p) const
{
    return arrondiAuPas((p.x() - OrigineX) * Echelle, arrondi);
}

double EchelleMeca::y(QPoint p) const
{
    return arrondiAuPas(signeY * Echelle * (p.y() - OrigineY), arrondi);
}

int choixSerie(const SeriesPoints& points, int NbreObjet)
{
    int choix = NbreObjet, mini = INT_MAX;
    for (int s = NbreObjet; s >= 1; --s) {
        if (points.NbrePoints(s) <= mini) {
            mini = points.NbrePoints(s);
            choix = s;
        }
    }
    return std::max(1, choix);
}

int CouleurLisible(int couleur)
{
    switch (couleur & 0xFFFFFF) {
    case 0x000000: // black
    case 0x000080: // maroon
    case 0x008000: // green
    case 0x008080: // olive
    case 0x800000: // navy
    case 0x800080: // purple
    case 0x808000: // teal
    case 0x808080: // grey
    case 0x0000FF: // red
    case 0xFF0000: // blue
    case 0xFF00FF: // fuchsia
        return couleur & 0xFFFFFF;
    case 0x00FF00: // lime
    case 0xC0DCC0: // money green
        return 0x008000;
    case 0xFFFF00: // aqua
    case 0xF0CAA6: // sky blue
        return 0xFF0000;
    case 0xA4A0A0: // medium grey
        return 0x808080;
    default: // yellow, silver, cream, white and every other colour
        return 0x000000;
    }
}

EtendueMesures etendue(const SeriesPoints& points, int NbreObjet, int Largeur, int Hauteur)
{
    int minX = INT_MAX, maxX = INT_MIN, minY = INT_MAX, maxY = INT_MIN;
    for (int s = 1; s <= NbreObjet; ++s) {
        for (int i = 0; i < points.NbrePoints(s); ++i) {
            const QPoint p = points.point(s, i);
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    EtendueMesures e;
    if (minX <= maxX) {
        e.wideX = maxX - minX > Largeur / kFractionEtendue;
        e.wideY = maxY - minY > Hauteur / kFractionEtendue;
    }
    return e;
}

QString MecaTableau::ValeurX(int s, int i) const
{
    if (i < 0 || i >= points.NbrePoints(s))
        return QString();
    return TexteNombre(echelle.x(points.point(s, i)));
}

QString MecaTableau::ValeurY(int s, int i) const
{
    if (i < 0 || i >= points.NbrePoints(s))
        return QString();
    return TexteNombre(echelle.y(points.point(s, i)));
}

QString MecaTableau::Temps(int i) const
{
    return TexteNombre(i * (AvecT ? deltaT : 1.0));
}

QStringList MecaTableau::entetesGrille(int colonnesSeries) const
{
    QStringList l{nomT + QLatin1Char('(') + UniteT + QLatin1Char(')')};
    for (int s = 1; s <= colonnesSeries; ++s) {
        l << NomX + QString::number(s) + QLatin1Char('(') + UniteEdit + QLatin1Char(')');
        l << NomY + QString::number(s) + QLatin1Char('(') + UniteEdit + QLatin1Char(')');
    }
    return l;
}

QString MecaTableau::nomX(int s) const
{
    return NbreObjet == 1 ? NomX : NomX + QString::number(s);
}

QString MecaTableau::nomY(int s) const
{
    return NbreObjet == 1 ? NomY : NomY + QString::number(s);
}

bool MecaTableau::exportable(EtendueMesures e) const
{
    return int(AvecT) + int(e.wideX) + int(e.wideY) >= 2;
}

void MecaTableau::table(ExchangeText& texte) const
{
    QStringList noms, unites;
    if (AvecT) {
        noms << nomT;
        unites << UniteT;
    }
    for (int s = 1; s <= NbreObjet; ++s) {
        noms << nomX(s) << nomY(s);
        unites << UniteEdit << UniteEdit;
    }
    // Every field, the last too, ends with a tab.
    texte.addFields(noms << QString());
    texte.addFields(unites << QString());
    for (int i = 0; i < points.NbrePoints(1); ++i) {
        QStringList ligne;
        if (AvecT)
            ligne << TexteNombre(i * deltaT);
        for (int s = 1; s <= NbreObjet; ++s)
            ligne << ValeurX(s, i) << ValeurY(s, i);
        texte.addFields(ligne << QString());
    }
}

ExchangeText MecaTableau::CopieDonnees(const QString& commentaire) const
{
    ExchangeText t;
    t.addLine(commentaire);
    table(t);
    return t;
}

void MecaTableau::AjouteOptions(ExchangeText& texte, EtendueMesures e, const QString& NomFichier) const
{
    QStringList temps, nx, ny, uns;
    for (int s = 1; s <= NbreObjet; ++s) {
        temps << nomT;
        nx << nomX(s);
        ny << nomY(s);
        uns << QStringLiteral("1");
    }
    if (e.wideX && e.wideY) {
        texte.addSection(QStringLiteral("NOMX"), nx);
        texte.addSection(QStringLiteral("NOMY"), ny);
        texte.addSection(QStringLiteral("ORTHO"), uns);
    } else {
        texte.addSection(QStringLiteral("NOMX"), temps);
        texte.addSection(QStringLiteral("NOMY"), e.wideX ? nx : ny);
    }
    texte.addSection(QStringLiteral("FICHIER"), {NomFichier});
}

QString texteDistance(double d, const QString& unite)
{
    return QStringLiteral("distance=") + TexteNombreChiffres(d, kChiffresDistance) + unite;
}

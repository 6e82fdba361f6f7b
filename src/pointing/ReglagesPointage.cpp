#include "ReglagesPointage.h"

#include "Curseurs.h"
#include "PointageControleur.h"

QCursor curseurDe(int slot)
{
    if (slot == crDefaut)
        return QCursor(Qt::ArrowCursor);
    if (slot >= crCible1 && slot <= crOrigineTemps)
        return curseur(slot);
    return QCursor(Qt::CrossCursor);
}

int curseurPointageLu(int cible, bool cibleDouble)
{
    if (cible == crCibleNoire || cible == crCibleBlanche || cible == crCibleNormale)
        return cible;
    if (cibleDouble && cible == crCibleDouble)
        return cible;
    return crCroix;
}

ReglagesPointage litReglagesPointage(const SectionReglages& s, PointageModel& m, bool cleAxes)
{
    ReglagesPointage r;
    r.filtre = s.entier(QStringLiteral("FilterIndex"), 1);
    r.dessin.axes = s.booleen(QStringLiteral("TraceEchelle"), true);
    r.dessin.points = s.booleen(QStringLiteral("TracePoints"), true);
    r.dessin.reticule = s.booleen(QStringLiteral("Grille"), false);
    r.dessin.etiquette = s.booleen(QStringLiteral("Etiquette"), true);
    // The capture tool has one choice "Réticule" / "Croix" / "Sans": the reticle wins.
    if (cleAxes && r.dessin.reticule)
        r.dessin.points = true;
    r.dessin.couleurAxe = s.couleur(QStringLiteral("CouleurEchelle"), Qt::black);
    // Key 0 is written but never read: that colour belongs to no drawn point.
    for (int k = 1; k <= kPointsMax; ++k)
        m.Couleur[k] = s.couleur(QStringLiteral("Couleur%1").arg(k), Qt::black);
    r.cible = curseurPointageLu(s.entier(QStringLiteral("Cible"), 8), cleAxes);
    r.incertitude = bornesIncertitude(s.entier(QStringLiteral("PixelIncert"), 0));
    if (cleAxes) {
        const int a = s.entier(QStringLiteral("Axes"), 0);
        m.sensAxes = TsensAxes(std::clamp(a, 0, 3));
    } else {
        m.setAxes(s.booleen(QStringLiteral("Altitude"), true), s.booleen(QStringLiteral("Droite"), true));
    }
    return r;
}

void ecritReglagesPointage(SectionReglages& s, const ReglagesPointage& r, const PointageModel& m, bool cleAxes)
{
    s.ecrit(QStringLiteral("FilterIndex"), r.filtre);
    s.ecrit(QStringLiteral("TraceEchelle"), r.dessin.axes);
    s.ecrit(QStringLiteral("TracePoints"), r.dessin.points && !(cleAxes && r.dessin.reticule));
    s.ecrit(QStringLiteral("Grille"), r.dessin.reticule);
    s.ecrit(QStringLiteral("Etiquette"), r.dessin.etiquette);
    s.ecritCouleur(QStringLiteral("CouleurEchelle"), r.dessin.couleurAxe);
    for (int k = 0; k <= kPointsMax; ++k)
        s.ecritCouleur(QStringLiteral("Couleur%1").arg(k), m.Couleur[k]);
    s.ecrit(QStringLiteral("Cible"), r.cible);
    s.ecrit(QStringLiteral("PixelIncert"), r.incertitude);
    if (cleAxes) {
        s.ecrit(QStringLiteral("Axes"), int(m.sensAxes));
    } else {
        s.ecrit(QStringLiteral("Altitude"), m.axeHaut());
        s.ecrit(QStringLiteral("Droite"), m.axeDroite());
    }
}

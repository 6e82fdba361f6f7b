#include "ReglagesPointage.h"

#include "Curseurs.h"
#include "PointageControleur.h"

#include <QSettings>

QColor couleurDeNombre(qint64 n)
{
    return QColor(int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF));
}

qint64 nombreDeCouleur(const QColor& c)
{
    return qint64(c.red()) | (qint64(c.green()) << 8) | (qint64(c.blue()) << 16);
}

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

ReglagesPointage litReglagesPointage(QSettings& s, PointageModel& m, bool cleAxes)
{
    ReglagesPointage r;
    r.filtre = s.value(QStringLiteral("FilterIndex"), 1).toInt();
    r.dessin.axes = s.value(QStringLiteral("TraceEchelle"), true).toBool();
    r.dessin.points = s.value(QStringLiteral("TracePoints"), true).toBool();
    r.dessin.reticule = s.value(QStringLiteral("Grille"), false).toBool();
    r.dessin.etiquette = s.value(QStringLiteral("Etiquette"), true).toBool();
    // The capture tool has one choice "Réticule" / "Croix" / "Sans": the reticle wins.
    if (cleAxes && r.dessin.reticule)
        r.dessin.points = true;
    r.dessin.couleurAxe = couleurDeNombre(s.value(QStringLiteral("CouleurEchelle"), 0).toLongLong());
    // Key 0 is written but never read: that colour belongs to no drawn point.
    for (int k = 1; k <= kPointsMax; ++k)
        m.Couleur[k] = couleurDeNombre(s.value(QStringLiteral("Couleur%1").arg(k), 0).toLongLong());
    r.cible = curseurPointageLu(s.value(QStringLiteral("Cible"), 8).toInt(), cleAxes);
    r.incertitude = bornesIncertitude(s.value(QStringLiteral("PixelIncert"), 0).toInt());
    if (cleAxes) {
        const int a = s.value(QStringLiteral("Axes"), 0).toInt();
        m.sensAxes = TsensAxes(std::clamp(a, 0, 3));
    } else {
        m.setAxes(s.value(QStringLiteral("Altitude"), true).toBool(), s.value(QStringLiteral("Droite"), true).toBool());
    }
    return r;
}

void ecritReglagesPointage(QSettings& s, const ReglagesPointage& r, const PointageModel& m, bool cleAxes)
{
    s.setValue(QStringLiteral("FilterIndex"), r.filtre);
    s.setValue(QStringLiteral("TraceEchelle"), r.dessin.axes);
    s.setValue(QStringLiteral("TracePoints"), r.dessin.points && !(cleAxes && r.dessin.reticule));
    s.setValue(QStringLiteral("Grille"), r.dessin.points && r.dessin.reticule);
    s.setValue(QStringLiteral("Etiquette"), r.dessin.etiquette);
    s.setValue(QStringLiteral("CouleurEchelle"), nombreDeCouleur(r.dessin.couleurAxe));
    for (int k = 0; k <= kPointsMax; ++k)
        s.setValue(QStringLiteral("Couleur%1").arg(k), nombreDeCouleur(m.Couleur[k]));
    s.setValue(QStringLiteral("Cible"), r.cible);
    s.setValue(QStringLiteral("PixelIncert"), r.incertitude);
    if (cleAxes) {
        s.setValue(QStringLiteral("Axes"), int(m.sensAxes));
    } else {
        s.setValue(QStringLiteral("Altitude"), m.axeHaut());
        s.setValue(QStringLiteral("Droite"), m.axeDroite());
    }
}

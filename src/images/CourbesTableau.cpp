#include "CourbesTableau.h"

QString CourbesTableau::ValeurX(int c, int i) const
{
    if (i < 0 || i >= points.NbrePoints(c))
        return QString();
    return echelle.texteX(points.point(c, i));
}

QString CourbesTableau::ValeurY(int c, int i) const
{
    if (i < 0 || i >= points.NbrePoints(c))
        return QString();
    return echelle.texteY(points.point(c, i));
}

QStringList CourbesTableau::entetesGrille() const
{
    QStringList l;
    for (int c = 1; c <= NbreObjet; ++c) {
        l << NomX + QString::number(c) + QLatin1Char('(') + UniteX + QLatin1Char(')');
        l << NomY + QString::number(c) + QLatin1Char('(') + UniteY + QLatin1Char(')');
    }
    return l;
}

QString CourbesTableau::nomX(int c) const
{
    return NbreObjet == 1 ? NomX : NomX + QString::number(c);
}

QString CourbesTableau::nomY(int c) const
{
    return NbreObjet == 1 ? NomY : NomY + QString::number(c);
}

void CourbesTableau::table(ExchangeText& texte) const
{
    QStringList noms{QStringLiteral("index")}, unites{QString()}, sens{QStringLiteral("index")};
    for (int c = 1; c <= NbreObjet; ++c) {
        noms << nomX(c) << nomY(c);
        unites << UniteX << UniteY;
        sens << Signif[c] << Signif[c];
    }
    texte.addFields(noms);
    texte.addFields(unites);
    texte.addFields(sens);
    const int m = points.maxPoints(NbreObjet);
    for (int i = 0; i < m; ++i) {
        QStringList ligne{QString::number(i + 1)};
        for (int c = 1; c <= NbreObjet; ++c)
            ligne << ValeurX(c, i) << ValeurY(c, i);
        texte.addFields(ligne);
    }
}

ExchangeText CourbesTableau::CopieDonnees(const QString& commentaire) const
{
    ExchangeText t;
    t.addLine(commentaire);
    table(t);
    return t;
}

void CourbesTableau::AjouteOptions(ExchangeText& texte, const QString& NomFichier) const
{
    QStringList nx, ny, uns;
    for (int c = 1; c <= NbreObjet; ++c) {
        nx << nomX(c);
        ny << nomY(c);
        uns << QStringLiteral("1");
    }
    texte.addSection(QStringLiteral("NOMX"), nx);
    if (echelle.echelleX == eLog)
        texte.addSection(QStringLiteral("LOGX"), {QStringLiteral("1")});
    texte.addSection(QStringLiteral("NOMY"), ny);
    if (echelle.echelleY == eLog)
        texte.addSection(QStringLiteral("LOGY"), uns);
    texte.addSection(QStringLiteral("FICHIER"), {NomFichier});
}

QString etiquettePoint(int i, int c, int NbreObjet)
{
    QString s = QString::number(i);
    if (NbreObjet > 1)
        s += QLatin1Char('(') + QString::number(c) + QLatin1Char(')');
    return s;
}

ReglesBoutons reglesBoutons(const SeriesPoints& points, int NbreObjet, int objetCourant)
{
    ReglesBoutons r;
    r.defaire = points.NbrePoints(objetCourant) > 0;
    const int total = points.total(NbreObjet);
    r.raz = total > 1;
    r.transfert = total > 3;
    return r;
}

#include "ExportOptique.h"

#include "NumberText.h"
#include "ProfilIntensite.h"

namespace {

// Selected channels, in the order of the columns: blue, red, green.
QStringList canaux(const ProfilIntensite& p)
{
    QStringList l;
    if (p.bleu)
        l << QStringLiteral("bleu");
    if (p.rouge)
        l << QStringLiteral("rouge");
    if (p.vert)
        l << QStringLiteral("vert");
    return l;
}

QStringList vides(qsizetype n)
{
    return QStringList(n, QString());
}

QStringList sens(const ProfilIntensite& p)
{
    return QStringList{p.dimension == teIndex ? QStringLiteral("Numéro pixel") : QStringLiteral("Distance"),
                       QStringLiteral("Intensité relative")}
           + canaux(p);
}

QStringList unites(const ProfilIntensite& p)
{
    return QStringList{p.dimension == teIndex ? QString() : QStringLiteral("m"), QString()} + vides(canaux(p).size());
}

void lignes(const ProfilIntensite& p, ExchangeText& texte)
{
    for (int i = p.Debut; i <= p.Fin; ++i) {
        QStringList l{TexteNombre(p.Position[i]), TexteNombre(p.ValeurY[i])};
        if (p.bleu)
            l << TexteNombre(p.bleuY[i]);
        if (p.rouge)
            l << TexteNombre(p.rougeY[i]);
        if (p.vert)
            l << TexteNombre(p.vertY[i]);
        texte.addFields(l);
    }
}

} // namespace

void tableOptique(const ProfilIntensite& p, ExchangeText& texte)
{
    texte.addFields({QStringLiteral("x"), QStringLiteral("I")});
    texte.addFields(unites(p));
    texte.addFields(sens(p));
    lignes(p, texte);
}

ExchangeText fichierOptique(const ProfilIntensite& p)
{
    ExchangeText texte;
    texte.addFields(QStringList{QStringLiteral("x"), QStringLiteral("I")} + vides(canaux(p).size()));
    // The pixel number is no distance: its column says so, as in the transfer.
    texte.addFields({p.dimension == teIndex ? QString() : QStringLiteral("m"), QString()});
    texte.addFields(sens(p));
    lignes(p, texte);
    return texte;
}

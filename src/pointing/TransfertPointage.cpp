#include "TransfertPointage.h"

TableSource sourcePointage(PointageModel& modele, std::function<void()> avant, int incertitude,
                           const QString& fichierMedia, bool fichier, const QString& uniteTemps)
{
    TableSource s;
    s.avant = [&modele, avant]() {
        if (avant)
            avant();
        modele.CalculEchelle();
    };
    s.table = [&modele, fichier, uniteTemps](ExchangeText& t) {
        const bool selon = modele.regles().colonnesSelonEtendue && !fichier;
        modele.AjouteTable(t, selon ? modele.etendue() : Etendue{}, uniteTemps);
    };
    s.sections = [&modele, incertitude, fichierMedia](ExchangeText& t, bool nouveauFichier) {
        modele.AjouteSections(t, nouveauFichier, incertitude, fichierMedia, modele.etendue());
    };
    return s;
}

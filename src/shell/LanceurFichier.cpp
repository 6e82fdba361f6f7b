// The launcher's side of files given from outside: which tool, then that tool opens it.
#include "ImageMain.h"
#include "OuvertureFichier.h"
#include "OutilOuvrant.h"

#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

Tmode TImageFormMain::choisitOutilParDefaut(QWidget* parent, const QString& fichier, const std::vector<Tmode>& outils)
{
    QStringList noms;
    for (Tmode m : outils)
        noms << nomOutil(m);
    bool ok = false;
    const QString choix = QInputDialog::getItem(parent, QStringLiteral("Ouvrir avec"),
                                                QStringLiteral("Outil pour ") + QFileInfo(fichier).fileName() + " :",
                                                noms, 0, false, &ok);
    const qsizetype i = noms.indexOf(choix);
    return ok && i >= 0 ? outils[size_t(i)] : mNone;
}

void TImageFormMain::ouvreFichier(const QString& chemin)
{
    if (!QFileInfo(chemin).isFile()) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Fichier introuvable : ") + chemin);
        return;
    }
    std::vector<Tmode> outils;
    for (Tmode m : outilsPourFichier(chemin))
        if (fabriques_.count(m) && fabriques_.at(m))
            outils.push_back(m);
    const QString nom = QFileInfo(chemin).fileName();
    if (outils.empty()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("Kinexo ne sait pas ouvrir ce type de fichier : ") + nom
                                 + QStringLiteral("\nVidéos, sons (WAV, MP3...) et images (BMP, JPEG, PNG, GIF) sont lus."));
        return;
    }
    const Tmode m = outils.size() == 1 ? outils.front() : choisitOutil(this, chemin, outils);
    if (m == mNone)
        return;
    ouvreOutil(m);
    if (auto* outil = dynamic_cast<OutilOuvrant*>(fenetreOutil(m)))
        outil->ouvreFichierExterne(chemin);
}

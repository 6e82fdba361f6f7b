// Stand-in for the analysis program: holds the "Tabulo" lock while it runs, serves the
// conversation "Tabulo"/"ServeurDDE", and reads the clipboard on CLIP|LOAD (new file) and
// CLIP|ADD (new page). KINEXO_TABULO_DUMP names a folder where each received text and a journal
// of the commands are written (tests).
#include "Conversation.h"
#include "NumberText.h"
#include "PageTabulo.h"
#include "TabuloWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLockFile>

namespace {

void journal(int numero, const QString& commande, const QString& texte, bool ok, int pages)
{
    const QString dossier = qEnvironmentVariable("KINEXO_TABULO_DUMP");
    if (dossier.isEmpty())
        return;
    QDir().mkpath(dossier);
    QFile brut(dossier + QStringLiteral("/%1.txt").arg(numero));
    if (brut.open(QIODevice::WriteOnly))
        brut.write(texte.toUtf8());
    QFile j(dossier + QStringLiteral("/journal.txt"));
    if (j.open(QIODevice::Append))
        j.write(QStringLiteral("%1 %2 %3 %4\n")
                    .arg(numero).arg(commande, ok ? QStringLiteral("OK") : QStringLiteral("ERREUR"))
                    .arg(pages).toUtf8());
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulo"));

    QLockFile verrou(cheminVerrou(QStringLiteral("Tabulo")));
    verrou.setStaleLockTime(0);
    if (!verrou.tryLock(0))
        return 0;   // already running: that copy serves the conversation

    TabuloWindow fenetre;
    ConversationServeur serveur;
    int numero = 0;
    serveur.surCommande = [&](const QString& commande) {
        const bool charge = commande == QLatin1String("CLIP|LOAD");
        if (!charge && commande != QLatin1String("CLIP|ADD"))
            return false;
        const QString texte = QGuiApplication::clipboard()->text();
        std::optional<PageTabulo> page = PageTabulo::lis(texte);
        if (page) {
            if (charge)
                fenetre.nouveauFichier(*page);
            else
                fenetre.nouvellePage(*page);
            fenetre.showNormal();
            fenetre.raise();
            fenetre.activateWindow();
        }
        journal(++numero, commande, texte, bool(page), fenetre.nombrePages());
        return bool(page);
    };
    if (!serveur.ecoute(QStringLiteral("Tabulo"), QStringLiteral("ServeurDDE")))
        return 1;
    fenetre.show();
    return app.exec();
}

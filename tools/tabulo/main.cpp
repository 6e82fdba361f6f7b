// Stand-in for the analysis program: holds the "Tabulo" lock while it runs, serves the
// conversation "Tabulo"/"ServeurDDE", and reads the clipboard on CLIP|LOAD (new file) and
// CLIP|ADD (new page), checked against the control line announcing the text. KINEXO_TABULO_DUMP names a folder where each received text and a journal
// of the commands are written (tests).
#include "Conversation.h"
#include "NumberText.h"
#include "PageTabulo.h"
#include "ReceptionTabulo.h"
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
    ReceptionTabulo reception;
    reception.lisPressePapiers = [] { return QGuiApplication::clipboard()->text(); };
    int numero = 0;
    serveur.surCommandeDe = [&](const QString& ligne, quint64 conversation) {
        const ReceptionTabulo::Resultat r = reception.traite(ligne, conversation);
        if (!r.commande)
            return r.ok;
        if (r.page) {
            if (r.charge)
                fenetre.nouveauFichier(*r.page);
            else
                fenetre.nouvellePage(*r.page);
            fenetre.showNormal();
            fenetre.raise();
            fenetre.activateWindow();
        }
        journal(++numero, ligne, r.texte, r.ok, fenetre.nombrePages());
        return r.ok;
    };
    if (!serveur.ecoute(QStringLiteral("Tabulo"), QStringLiteral("ServeurDDE")))
        return 1;
    fenetre.show();
    return app.exec();
}

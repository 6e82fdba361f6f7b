#include "TFormDDE.h"

#include "Emplacements.h"

#include "Conversation.h"
#include "ControleTransfert.h"
#include "Registre.h"
#include "SectionReglages.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>

namespace {
const QString kService = QStringLiteral("Tabulo");
const QString kTopic = QStringLiteral("ServeurDDE");
const QString kExecutable = QStringLiteral("tabulo");

QString cheminProgramme(const QString& valeur)
{
    // The registry value may name the program or its folder.
    if (!valeur.isEmpty() && QFileInfo(valeur).isDir())
        return QDir::cleanPath(valeur) + QChar('/') + kExecutable;
    return valeur;
}
} // namespace

TFormDDE::TFormDDE(QObject* parent) : QObject(parent) { MajTabulo(); }

TFormDDE::~TFormDDE() = default;

void TFormDDE::MajTabulo(const QString& repertoireTabulo)
{
    if (!repertoireTabulo.isEmpty()) {
        QString rep = repertoireTabulo;
        while (rep.size() > 1 && (rep.endsWith(QChar('/')) || rep.endsWith(QChar('\\'))))
            rep.chop(1);
        AppName = rep + QChar('/') + kExecutable;
        return;
    }
    AppName = kExecutable;
    const SectionReglages registre(fichierRegistre(), QStringLiteral("Software/Tabulo"));
    const QString cle = QStringLiteral("Path");
    if (registre.contient(cle))
        AppName = cheminProgramme(registre.texte(cle));
    if (AppName.isEmpty())
        AppName = cheminProgramme(registre.texte(QStringLiteral("Tabulo/Path")));
    if (AppName.isEmpty() || AppName == kExecutable) {
        // Nothing set: the stand-in installed beside this program.
        const QString voisin = programmeVoisin(kExecutable);
        AppName = voisin.isEmpty() ? kExecutable : voisin;
    }
}

bool TFormDDE::ouvre(ConversationClient& client) { return client.ouvre(kService, kTopic, 1000); }

void TFormDDE::message(QWidget* parent, const QString& texte)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox::warning(parent, QGuiApplication::applicationDisplayName(), texte);
    QApplication::restoreOverrideCursor();
}

bool TFormDDE::Execute(bool nouveauFichier, QWidget* parent, const QString& texte)
{
    if (m_occupe)
        return false;
    m_occupe = true;
    ConversationClient client;
    // The analysis program holds the "Tabulo" lock while it runs; if nobody holds it, start it
    // and give it time to serve (the wait ends as soon as it answers).
    qint64 pid = 0;
    if (!verrouTenu(kService) && !AppName.isEmpty()
        && QProcess::startDetached(AppName, {}, QString(), &pid)) {
        pidsLances.append(pid);
        attendSans([&] { return client.estOuverte() || ouvre(client); }, attenteLancementMs);
    }
    if (!client.estOuverte() && !ouvre(client)) {
        attendSans([] { return false; }, attenteReessaiMs);
        if (!ouvre(client)) {
            m_occupe = false;
            message(parent, QStringLiteral("Impossible de lancer Tabulo"));
            return false;
        }
    }
    const QString commande = nouveauFichier ? QStringLiteral("CLIP|LOAD") : QStringLiteral("CLIP|ADD");
    auto envoie = [&] {
        if (!texte.isNull()) {
            // A peer that refuses the control line does not check: the command goes as before.
            if (client.commande(ControleTransfert::pour(texte).ligne(), attenteReponseMs)
                == ConversationClient::SansReponse)
                return ConversationClient::SansReponse;
        }
        return client.commande(commande, attenteReponseMs);
    };
    auto reponse = envoie();
    if (reponse == ConversationClient::Refusee && !texte.isNull() && client.estOuverte()
        && QGuiApplication::clipboard()->text() != texte) {
        // Someone else set the clipboard before the program read it; it made no page of that.
        QGuiApplication::clipboard()->setText(texte);
        reponse = envoie();
    }
    client.ferme();
    m_occupe = false;
    if (reponse != ConversationClient::Acceptee) {
        message(parent, QStringLiteral("Transfert non exécuté"));
        return false;
    }
    return true;
}

bool TFormDDE::demarreServeur(std::function<void()> setFocusMain)
{
    if (!m_serveur)
        m_serveur = new ConversationServeur(this);
    m_serveur->surOuverture = setFocusMain;
    m_serveur->surCommande = [setFocusMain](const QString&) {
        if (setFocusMain)
            setFocusMain();
        return true;
    };
    return m_serveur->ecoute(QStringLiteral("kinexo"), kTopic);
}

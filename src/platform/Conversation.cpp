#include "Conversation.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr qsizetype kLigneMax = 64 * 1024;   // a command line is short; more is garbage

QString suffixe()
{
    QString s = qEnvironmentVariable("KINEXO_CONVERSATION_ID");
    s.replace(QChar('/'), QChar('_'));
    return s.isEmpty() ? QString() : QStringLiteral("-") + s;
}

QString utilisateur() { return QString::number(getuid()); }

QString propre(QString s)
{
    for (QChar& c : s)
        if (!c.isLetterOrNumber() && c != QChar('-') && c != QChar('_'))
            c = QChar('_');
    return s;
}

} // namespace

QString nomConversation(const QString& service, const QString& topic)
{
    return QStringLiteral("kinexo-") + propre(service) + QChar('-') + propre(topic) + QChar('-')
        + utilisateur() + propre(suffixe());
}

QString cheminVerrou(const QString& nom)
{
    return QDir::tempPath() + QStringLiteral("/kinexo-") + propre(nom) + QChar('-') + utilisateur()
        + propre(suffixe()) + QStringLiteral(".lock");
}

bool verrouTenu(const QString& nom)
{
    QLockFile verrou(cheminVerrou(nom));
    verrou.setStaleLockTime(0);   // only a dead holder makes the lock stale, never its age
    if (verrou.tryLock(0)) {
        verrou.unlock();
        return false;
    }
    return verrou.error() == QLockFile::LockFailedError;
}

bool attendSans(const std::function<bool()>& fini, int delaiMs)
{
    QElapsedTimer horloge;
    horloge.start();
    while (!fini()) {
        const qint64 reste = delaiMs - horloge.elapsed();
        if (reste <= 0)
            break;
        QEventLoop boucle;
        QTimer::singleShot(int(qMin<qint64>(reste, 20)), &boucle, &QEventLoop::quit);
        boucle.exec(QEventLoop::ExcludeUserInputEvents);
    }
    return fini();
}

// --- client ---

ConversationClient::ConversationClient() = default;

ConversationClient::~ConversationClient() { ferme(); }

bool ConversationClient::ouvre(const QString& service, const QString& topic, int delaiMs)
{
    ferme();
    m_socket = new QLocalSocket;
    m_socket->connectToServer(nomConversation(service, topic));
    attendSans([this] {
        const auto e = m_socket->state();
        return e == QLocalSocket::ConnectedState || e == QLocalSocket::UnconnectedState;
    }, delaiMs);
    if (m_socket->state() != QLocalSocket::ConnectedState) {
        ferme();
        return false;
    }
    return true;
}

bool ConversationClient::estOuverte() const
{
    return m_socket && m_socket->state() == QLocalSocket::ConnectedState;
}

ConversationClient::Reponse ConversationClient::commande(const QString& ligne, int delaiMs)
{
    if (!estOuverte())
        return SansReponse;
    QByteArray donnees = ligne.toUtf8();
    donnees.replace('\n', ' ');
    donnees.replace('\r', ' ');
    donnees.append('\n');
    m_socket->readAll();   // nothing is expected before our command
    m_socket->write(donnees);
    m_socket->flush();
    QByteArray recu;
    auto fini = [&] {
        if (m_socket->bytesAvailable() > 0)
            recu += m_socket->readAll();
        return recu.contains('\n') || recu.size() > kLigneMax
            || m_socket->state() != QLocalSocket::ConnectedState;
    };
    attendSans(fini, delaiMs);
    const qsizetype fin = recu.indexOf('\n');
    if (fin < 0)
        return SansReponse;
    return recu.left(fin).trimmed() == "OK" ? Acceptee : Refusee;
}

void ConversationClient::ferme()
{
    if (!m_socket)
        return;
    m_socket->abort();
    delete m_socket;
    m_socket = nullptr;
}

// --- server ---

ConversationServeur::ConversationServeur(QObject* parent) : QObject(parent) {}

ConversationServeur::~ConversationServeur() { arrete(); }

bool ConversationServeur::ecoute(const QString& service, const QString& topic)
{
    arrete();
    const QString nom = nomConversation(service, topic);
    m_serveur = new QLocalServer(this);
    // No access option: with one, Qt binds elsewhere and renames over the name, which would
    // silently steal it from a live server. The socket is created with the user's umask.
    if (!m_serveur->listen(nom)) {
        // A live server answers; a name left behind by a dead program does not.
        QLocalSocket essai;
        essai.connectToServer(nom);
        const bool vivant = essai.waitForConnected(300);
        essai.abort();
        if (vivant || !QLocalServer::removeServer(nom) || !m_serveur->listen(nom)) {
            arrete();
            return false;
        }
    }
    connect(m_serveur, &QLocalServer::newConnection, this, &ConversationServeur::nouvelleConnexion);
    return true;
}

bool ConversationServeur::enEcoute() const { return m_serveur && m_serveur->isListening(); }

void ConversationServeur::arrete()
{
    if (!m_serveur)
        return;
    m_serveur->close();
    delete m_serveur;
    m_serveur = nullptr;
}

void ConversationServeur::nouvelleConnexion()
{
    while (m_serveur && m_serveur->hasPendingConnections()) {
        QLocalSocket* socket = m_serveur->nextPendingConnection();
        if (!socket)
            break;
        socket->setParent(this);
        socket->setProperty("kx_tampon", QByteArray());
        socket->setProperty("kx_numero", ++m_conversations);
        QPointer<QLocalSocket> garde(socket);
        connect(socket, &QLocalSocket::readyRead, this, [this, garde] {
            if (garde)
                lit(garde);
        });
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (surOuverture)
            surOuverture();
        if (garde && garde->bytesAvailable() > 0)
            lit(garde);
    }
}

void ConversationServeur::lit(QLocalSocket* socket)
{
    // A callback may turn the event loop; a line arriving meanwhile waits in the buffer.
    if (socket->property("kx_occupe").toBool())
        return;
    QPointer<QLocalSocket> garde(socket);
    socket->setProperty("kx_occupe", true);
    QByteArray tampon = socket->property("kx_tampon").toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype fin = tampon.indexOf('\n');
        if (fin < 0)
            break;
        const QString ligne = QString::fromUtf8(tampon.left(fin)).trimmed();
        tampon.remove(0, fin + 1);
        socket->setProperty("kx_tampon", tampon);
        const bool ok = surCommandeDe ? surCommandeDe(ligne, garde->property("kx_numero").toULongLong())
                      : surCommande   ? surCommande(ligne)
                                      : true;
        if (!garde)
            return;
        if (garde->state() == QLocalSocket::ConnectedState) {
            garde->write(ok ? "OK\n" : "ERREUR\n");
            garde->flush();
        }
        tampon = garde->property("kx_tampon").toByteArray() + garde->readAll();
    }
    if (tampon.size() > kLigneMax) {
        garde->setProperty("kx_occupe", false);
        garde->abort();
        return;
    }
    garde->setProperty("kx_tampon", tampon);
    garde->setProperty("kx_occupe", false);
}

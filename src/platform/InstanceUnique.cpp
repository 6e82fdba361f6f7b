#include "InstanceUnique.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QUrl>

namespace {

const QByteArray kDemande = "MONTRE\n";
const QByteArray kOuvre = "OUVRE\t";   // then the path, percent-encoded (a name may hold a new line)
const QByteArray kReponse = "0\n";
constexpr int kAttenteMs = 2000;

// Two copies started together must not both decide they are the first.
QString fichierVerrou()
{
    return QDir::tempPath() + QLatin1Char('/') + InstanceUnique::nomServeur() + QStringLiteral(".lock");
}

} // namespace

InstanceUnique::InstanceUnique(QObject* parent) : QObject(parent) {}

InstanceUnique::~InstanceUnique() = default;

QString InstanceUnique::nomServeur()
{
    const QString env = qEnvironmentVariable("KINEXO_INSTANCE");
    if (!env.isEmpty())
        return env;
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    if (user.isEmpty())
        user = QDir::home().dirName();
    return QStringLiteral("KINEXO-") + user;
}

bool InstanceUnique::demandeALaCopieActive(const QString& fichier)
{
    QLockFile verrou(fichierVerrou());
    verrou.tryLock(kAttenteMs);

    QLocalSocket s;
    s.connectToServer(nomServeur());
    if (!s.waitForConnected(kAttenteMs)) {
        // Nobody listens: a socket file left by a copy that died must not block this one.
        if (s.error() == QLocalSocket::ConnectionRefusedError || s.error() == QLocalSocket::ServerNotFoundError)
            QLocalServer::removeServer(nomServeur());
        if (verrou.isLocked())
            ecoute(); // take the name while holding the lock
        return false;
    }
    s.write(fichier.isEmpty() ? kDemande : kOuvre + QUrl::toPercentEncoding(fichier) + '\n');
    s.waitForBytesWritten(kAttenteMs);
    // The copy is there once it accepted; its answer only tells that it was heard.
    while (s.bytesAvailable() < kReponse.size() && s.waitForReadyRead(kAttenteMs)) {
    }
    s.disconnectFromServer();
    return true;
}

bool InstanceUnique::ecoute()
{
    if (serveur_ && serveur_->isListening())
        return true;
    if (!serveur_) {
        serveur_ = new QLocalServer(this);
        serveur_->setSocketOptions(QLocalServer::UserAccessOption);
        connect(serveur_, &QLocalServer::newConnection, this, &InstanceUnique::nouvelleConnexion);
    }
    if (serveur_->listen(nomServeur()))
        return true;
    if (serveur_->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(nomServeur());
        return serveur_->listen(nomServeur());
    }
    return false;
}

void InstanceUnique::nouvelleConnexion()
{
    while (QLocalSocket* c = serveur_->nextPendingConnection()) {
        connect(c, &QLocalSocket::disconnected, c, &QObject::deleteLater);
        connect(c, &QLocalSocket::readyRead, this, [this, c] {
            while (c->canReadLine()) {
                const QByteArray ligne = c->readLine();
                if (ligne == kDemande) {
                    emit montreDemande();
                    c->write(kReponse);
                } else if (ligne.startsWith(kOuvre) && ligne.endsWith('\n')) {
                    const QString fichier = QUrl::fromPercentEncoding(ligne.mid(kOuvre.size()).chopped(1));
                    c->write(kReponse);
                    emit ouvertureDemandee(fichier);
                }
            }
        });
    }
}

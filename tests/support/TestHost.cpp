#include "TestHost.h"

#include "ImageLoader.h"
#include "TFormDDE.h"
#include "Transfert.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <csignal>
#include <stdexcept>

TestHost::TestHost()
{
    for (const char* sous : {"docs", "appdata", "tampon"})
        QDir(m_dir.path()).mkpath(QString::fromLatin1(sous));
    // Never the user's own registry stand-in.
    if (qEnvironmentVariableIsEmpty("KINEXO_REGISTRE"))
        qputenv("KINEXO_REGISTRE", (racine() + QStringLiteral("registre.ini")).toUtf8());
}

TestHost::~TestHost()
{
    // An analysis program started by a transfer outlives its starter: end it with the test.
    if (m_transfert)
        for (qint64 pid : m_transfert->formDDE().pidsLances)
            ::kill(pid_t(pid), SIGTERM);
}

QString TestHost::mesDocsDir() const { return racine() + QStringLiteral("docs/"); }
QString TestHost::appDataDir() const { return racine() + QStringLiteral("appdata/"); }
QString TestHost::tamponDir() const { return racine() + QStringLiteral("tampon/"); }
QString TestHost::fichierIni() const { return mesDocsDir() + QStringLiteral("kinexo.INI"); }

QString TestHost::ConvertitGifBmp(const QString& nom)
{
    // As the launcher does: the copy goes to the temporary folder.
    const QFileInfo fi(nom);
    const QString gif = fi.path() + QChar('/') + fi.completeBaseName() + QStringLiteral(".gif");
    QString erreur;
    const QImage image = chargeImage(gif, &erreur);
    const QString bmp = image.isNull() ? QString() : ecritCopieBmp(image, gif, tamponDir(), &erreur);
    if (bmp.isEmpty())
        throw std::runtime_error(erreur.isEmpty() ? "GIF illisible" : erreur.toStdString());
    return bmp;
}

Transfert& TestHost::transfert()
{
    if (!m_transfert)
        m_transfert = std::make_unique<Transfert>(*this);
    return *m_transfert;
}

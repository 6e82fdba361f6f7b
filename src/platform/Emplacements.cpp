#include "Emplacements.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString premierDossierAvec(const QStringList& dossiers, const QString& fichier)
{
    for (const QString& d : dossiers)
        if (QFileInfo::exists(d + QLatin1Char('/') + fichier))
            return QDir(d).absolutePath();
    return {};
}

QString partage()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../share/kinexo");
}

} // namespace

QString dossierAide()
{
    // The source tree last: a program run from its build folder before any install.
    return premierDossierAvec({QCoreApplication::applicationDirPath() + QStringLiteral("/aide"),
                               partage() + QStringLiteral("/aide"), QStringLiteral(KINEXO_SOURCE_DIR "/resources/aide")},
                              QStringLiteral("index.html"));
}

QString dossierExemples()
{
    const QString d = partage() + QStringLiteral("/exemples");
    return QFileInfo(d).isDir() && !QDir(d).isEmpty() ? QDir(d).absolutePath() : QString();
}

QString programmeVoisin(const QString& nom)
{
    const QString voisin = QCoreApplication::applicationDirPath() + QLatin1Char('/') + nom;
    return QFileInfo(voisin).isExecutable() ? voisin : QString();
}

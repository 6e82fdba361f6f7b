#include "Registre.h"

#include <QStandardPaths>

QString fichierRegistre()
{
    const QString env = qEnvironmentVariable("KINEXO_REGISTRE");
    if (!env.isEmpty())
        return env;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/kinexo/registre.ini");
}

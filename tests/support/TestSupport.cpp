#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool ecritOctets(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

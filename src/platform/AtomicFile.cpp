#include "AtomicFile.h"

#include <QSaveFile>

bool writeFileAtomically(const QString& path, const QByteArray& data)
{
    QSaveFile f(path);
    // Unbuffered, so a short write (disk full, size limit) shows here instead of being lost
    // in a buffered flush that still lets commit() succeed.
    if (!f.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (f.write(data) != data.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

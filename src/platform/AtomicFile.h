#pragma once
#include <QByteArray>
#include <QString>

// Writes a whole file under a temporary name and renames it into place, so a failed
// write never leaves a half-written file where a good one stood.
bool writeFileAtomically(const QString& path, const QByteArray& data);

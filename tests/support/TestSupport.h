#pragma once
#include <QByteArray>
#include <QString>

// Writes bytes to a file, creating folders; fails the calling test through QVERIFY when it cannot.
bool ecritOctets(const QString& path, const QByteArray& data);

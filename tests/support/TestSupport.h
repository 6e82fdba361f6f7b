#pragma once
#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QString>

// Writes bytes to a file, creating folders; fails the calling test through QVERIFY when it cannot.
bool ecritOctets(const QString& path, const QByteArray& data);

// A GIF of l × h pixels (indices into a palette of up to 4 colours). A clear code before every
// pixel keeps the codes 3 bits wide, so no table is needed.
QByteArray gifQuatreCouleurs(int l, int h, const QList<QRgb>& palette, const QList<int>& pixels);

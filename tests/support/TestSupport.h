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

// Writes a phone's display matrix into the track header of an MP4/MOV file: the picture is to
// be turned `degres` (90, 180, 270) clockwise to show upright.
bool poseRotation(const QString& f, int degres);

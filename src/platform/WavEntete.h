#pragma once
#include <QByteArray>
#include <QtGlobal>

// The 44-byte header of a PCM WAV file (RIFF, "fmt " of 16 bytes, "data").
QByteArray enteteWav(int canaux, int frequence, int bits, quint32 tailleDonnees);

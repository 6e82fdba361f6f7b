#include "WavEntete.h"

#include <QtEndian>

QByteArray enteteWav(int canaux, int frequence, int bits, quint32 tailleDonnees)
{
    const int bloc = canaux * (bits / 8);
    QByteArray h(44, '\0');
    auto u32 = [&h](int at, quint32 v) { qToLittleEndian<quint32>(v, h.data() + at); };
    auto u16 = [&h](int at, quint16 v) { qToLittleEndian<quint16>(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    u32(4, 36 + tailleDonnees);
    h.replace(8, 8, "WAVEfmt ");
    u32(16, 16);
    u16(20, 1);
    u16(22, quint16(canaux));
    u32(24, quint32(frequence));
    u32(28, quint32(frequence * bloc));
    u16(32, quint16(bloc));
    u16(34, quint16(bits));
    h.replace(36, 4, "data");
    u32(40, tailleDonnees);
    return h;
}

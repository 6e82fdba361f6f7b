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

QByteArray gifQuatreCouleurs(int l, int h, const QList<QRgb>& palette, const QList<int>& pixels)
{
    QByteArray o("GIF89a");
    auto mot = [&o](int v) { o.append(char(v & 0xff)).append(char(v >> 8)); };
    mot(l);
    mot(h);
    o.append(char(0x81)).append('\0').append('\0'); // global table of 4 colours
    for (int i = 0; i < 4; ++i) {
        const QRgb c = i < palette.size() ? palette[i] : 0;
        o.append(char(qRed(c))).append(char(qGreen(c))).append(char(qBlue(c)));
    }
    o.append(',');
    mot(0);
    mot(0);
    mot(l);
    mot(h);
    o.append('\0').append(char(2));
    QByteArray donnees;
    quint32 acc = 0;
    int bits = 0;
    auto code = [&](int c) {
        acc |= quint32(c) << bits;
        bits += 3;
        while (bits >= 8) {
            donnees.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int p : pixels) {
        code(4);
        code(p);
    }
    code(5);
    if (bits > 0)
        donnees.append(char(acc & 0xff));
    for (int i = 0; i < donnees.size(); i += 255) {
        const QByteArray bloc = donnees.mid(i, 255);
        o.append(char(bloc.size())).append(bloc);
    }
    o.append('\0').append(';');
    return o;
}

// Writes a phone's display matrix into the track header of an MP4/MOV file: the picture is to
// be turned `degres` clockwise to show upright.
bool poseRotation(const QString& f, int degres)
{
    QFile fichier(f);
    if (!fichier.open(QIODevice::ReadWrite))
        return false;
    QByteArray d = fichier.readAll();
    const qsizetype i = d.indexOf("tkhd");
    if (i < 0)
        return false;
    const qsizetype m = i + 4 + 4 + (d[i + 4] == 1 ? 32 : 20) + 8 + 8;
    const qint32 u = 0x10000;
    qint32 a = u, b = 0, c = 0, e = u;
    if (degres == 90) { a = 0; b = u; c = -u; e = 0; }
    if (degres == 270) { a = 0; b = -u; c = u; e = 0; }
    if (degres == 180) { a = -u; e = -u; }
    const qint32 v[9] = {a, b, 0, c, e, 0, 0, 0, 0x40000000};
    for (int k = 0; k < 9; ++k)
        for (int o = 0; o < 4; ++o)
            d[m + 4 * k + o] = char((quint32(v[k]) >> (24 - 8 * o)) & 0xff);
    fichier.seek(0);
    return fichier.write(d) == d.size();
}

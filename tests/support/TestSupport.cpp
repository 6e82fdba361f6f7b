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

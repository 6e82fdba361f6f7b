#pragma once
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <cmath>

// Peak signal-to-noise ratio of b against a, over the three colour channels, in dB (99 when
// they are equal). The images must have one size.
inline double psnr(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
    double somme = 0;
    for (int j = 0; j < x.height(); ++j)
        for (int i = 0; i < x.width(); ++i) {
            const QRgb p = x.pixel(i, j), q = y.pixel(i, j);
            for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)})
                somme += double(d) * d;
        }
    const double mse = somme / (3.0 * x.width() * x.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// A file's bytes, empty when it cannot be read.
inline QByteArray contenuFichier(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

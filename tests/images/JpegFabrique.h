#pragma once
// Picture files as phones, scanners and cut transfers make them, written at test time.
#include <QByteArray>
#include <QImage>
#include <QtEndian>

#include "TestSupport.h"

#include <cstdio>
#include <jpeglib.h>

enum class Encre { Rgb, CmykAdobe, CmykSimple, YcckAdobe };

// JPEG of `rgb` (quality 95) as libjpeg writes it: YCbCr, CMYK with Adobe's inverted inks,
// plain CMYK without the Adobe segment, or Adobe YCCK; optionally progressive.
inline QByteArray jpegEncre(const QImage& source, Encre encre, bool progressif = false)
{
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* tampon = nullptr;
    unsigned long taille = 0;
    jpeg_mem_dest(&c, &tampon, &taille);
    c.image_width = JDIMENSION(rgb.width());
    c.image_height = JDIMENSION(rgb.height());
    const bool cmyk = encre != Encre::Rgb;
    c.input_components = cmyk ? 4 : 3;
    c.in_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    if (cmyk)
        jpeg_set_colorspace(&c, encre == Encre::YcckAdobe ? JCS_YCCK : JCS_CMYK);
    if (encre == Encre::CmykSimple)
        c.write_Adobe_marker = FALSE;
    jpeg_set_quality(&c, 95, TRUE);
    if (progressif)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    QByteArray ligne(rgb.width() * 4, 0);
    while (c.next_scanline < c.image_height) {
        const uchar* s = rgb.constScanLine(int(c.next_scanline));
        JSAMPROW l = const_cast<JSAMPROW>(s);
        if (cmyk) {
            auto* d = reinterpret_cast<uchar*>(ligne.data());
            for (int x = 0; x < rgb.width(); ++x, s += 3, d += 4) {
                // Inverted inks: K' = max(R, G, B), C' = R·255/K'... so that R = C'·K'/255.
                const int k = std::max({s[0], s[1], s[2]});
                for (int i = 0; i < 3; ++i)
                    d[i] = uchar(k == 0 ? 0 : (s[i] * 255 + k / 2) / k);
                d[3] = uchar(k);
                if (encre == Encre::CmykSimple)
                    for (int i = 0; i < 4; ++i)
                        d[i] = uchar(255 - d[i]);
            }
            l = reinterpret_cast<JSAMPROW>(ligne.data());
        }
        jpeg_write_scanlines(&c, &l, 1);
    }
    jpeg_finish_compress(&c);
    const QByteArray octets(reinterpret_cast<const char*>(tampon), qsizetype(taille));
    jpeg_destroy_compress(&c);
    std::free(tampon);
    return octets;
}

// The same JPEG with an EXIF segment carrying orientation o, right after the start marker.
inline QByteArray avecOrientation(const QByteArray& jpeg, int o, bool intel = true)
{
    QByteArray tiff = intel ? QByteArray("II*\0", 4) : QByteArray("MM\0*", 4);
    auto u16 = [intel](quint16 v) {
        QByteArray b(2, 0);
        intel ? qToLittleEndian(v, b.data()) : qToBigEndian(v, b.data());
        return b;
    };
    auto u32 = [intel](quint32 v) {
        QByteArray b(4, 0);
        intel ? qToLittleEndian(v, b.data()) : qToBigEndian(v, b.data());
        return b;
    };
    // IFD0 at 8 with two entries (a resolution unit first, then the orientation).
    tiff += u32(8) + u16(2);
    tiff += u16(0x0128) + u16(3) + u32(1) + u16(2) + u16(0);
    tiff += u16(0x0112) + u16(3) + u32(1) + u16(quint16(o)) + u16(0);
    tiff += u32(0);
    const QByteArray charge = QByteArray("Exif\0\0", 6) + tiff;
    QByteArray app1("\xFF\xE1", 2);
    app1 += char((charge.size() + 2) >> 8);
    app1 += char((charge.size() + 2) & 0xFF);
    app1 += charge;
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

// Upright pixel (X, Y) is stored pixel f(X, Y) under EXIF orientation o (rows and columns as
// the tag describes them); stored size is the upright one, turned for 5 to 8.
inline QImage stockeSelonOrientation(const QImage& droite, int o)
{
    const int W = droite.width(), H = droite.height();
    const bool tourne = o >= 5;
    QImage s(tourne ? H : W, tourne ? W : H, QImage::Format_RGB888);
    for (int Y = 0; Y < H; ++Y) {
        for (int X = 0; X < W; ++X) {
            QPoint p;
            switch (o) {
            case 2: p = {W - 1 - X, Y}; break;
            case 3: p = {W - 1 - X, H - 1 - Y}; break;
            case 4: p = {X, H - 1 - Y}; break;
            case 5: p = {Y, X}; break;
            case 6: p = {Y, W - 1 - X}; break;
            case 7: p = {H - 1 - Y, W - 1 - X}; break;
            case 8: p = {H - 1 - Y, X}; break;
            default: p = {X, Y}; break;
            }
            s.setPixel(p, droite.pixel(X, Y));
        }
    }
    return s;
}

// Mean difference per channel of two pictures of the same size; 255 when sizes differ.
inline double ecartMoyen(const QImage& a0, const QImage& b0)
{
    if (a0.size() != b0.size())
        return 255;
    const QImage a = a0.convertToFormat(QImage::Format_RGB888), b = b0.convertToFormat(QImage::Format_RGB888);
    double somme = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *p = a.constScanLine(y), *q = b.constScanLine(y);
        for (int x = 0; x < a.width() * 3; ++x)
            somme += std::abs(int(p[x]) - int(q[x]));
    }
    return somme / (a.width() * a.height() * 3.0);
}

// A smooth picture whose every corner differs: red grows to the right, green downwards.
inline QImage degrade(int w, int h)
{
    QImage im(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            im.setPixel(x, y, qRgb(20 + 215 * x / (w - 1), 30 + 200 * y / (h - 1), 140));
    return im;
}

// GIF of a picture in four colours (white, black, blue, red: what a graph holds).
inline QByteArray gifQuatreCouleurs(const QImage& image)
{
    const QList<QRgb> palette{qRgb(255, 255, 255), qRgb(0, 0, 0), qRgb(0, 0, 255), qRgb(255, 0, 0)};
    QList<int> indices;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            int meilleur = 0, ecart = 1 << 30;
            for (int i = 0; i < 4; ++i) {
                const int e = std::abs(qRed(p) - qRed(palette[i])) + std::abs(qGreen(p) - qGreen(palette[i]))
                            + std::abs(qBlue(p) - qBlue(palette[i]));
                if (e < ecart) {
                    ecart = e;
                    meilleur = i;
                }
            }
            indices << meilleur;
        }
    }
    return gifQuatreCouleurs(image.width(), image.height(), palette, indices);
}

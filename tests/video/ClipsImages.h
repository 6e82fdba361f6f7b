#pragma once
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <QVector>

// Encodes pictures drawn by a test into a clip with the ffmpeg program (rate 25).
inline bool fabriqueClipImages(const QString& chemin, const QVector<QImage>& images, const QStringList& codage,
                               const QStringList& avantSortie = {})
{
    if (images.isEmpty())
        return false;
    QTemporaryFile brut;
    if (!brut.open())
        return false;
    const QSize t = images[0].size();
    for (const QImage& i : images) {
        const QImage rgb = i.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            brut.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
    }
    brut.flush();
    QProcess p;
    p.start("ffmpeg", QStringList{"-y", "-v", "error", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                                  QStringLiteral("%1x%2").arg(t.width()).arg(t.height()), "-r", "25", "-i",
                                  brut.fileName()}
                          + codage + avantSortie + QStringList{chemin});
    return p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// Textured grey background: checks of two greys and a gentle gradient.
inline QImage fondDamier(int w, int h)
{
    QImage i(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int g = 95 + ((x / 8 + y / 8) % 2) * 30 + x / 16;
            i.setPixel(x, y, qRgb(g, g, g + 10));
        }
    return i;
}

// A disc of radius r symmetric about pixel c, drawn pixel by pixel over `fond`.
inline QImage disqueSurFond(QImage fond, QPoint c, int r, QRgb couleur)
{
    for (int y = -r; y <= r; ++y)
        for (int x = -r; x <= r; ++x)
            if (x * x + y * y <= r * r + r && fond.rect().contains(c + QPoint(x, y)))
                fond.setPixel(c + QPoint(x, y), couleur);
    return fond;
}

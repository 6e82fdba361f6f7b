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

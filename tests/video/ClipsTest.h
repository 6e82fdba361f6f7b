#pragma once
#include <QProcess>
#include <QImage>
#include <QString>
#include <QStringList>

// Makes a small clip with the ffmpeg program; each image carries its index as ten black/white
// blocks 8 pixels wide. `debit` is the rate given to ffmpeg ("25", "1/5"...).
inline bool fabriqueClip(const QString& chemin, int images, const QString& debit, const QStringList& codage,
                         const QString& taille = QStringLiteral("160x120"))
{
    QProcess p;
    p.start("ffmpeg", QStringList{"-y", "-v", "error", "-f", "lavfi", "-i",
                                  QStringLiteral("color=c=gray:s=%1:r=%2").arg(taille, debit), "-vf",
                                  "format=yuv420p,geq=lum='if(lt(Y\\,8)\\,255*mod(floor(N/pow(2\\,floor(X/8)))\\,2)\\,90+X/4)'"
                                  ":cb=128:cr=128",
                                  "-frames:v", QString::number(images)}
                          + codage + QStringList{chemin});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

inline int numeroImage(const QImage& img)
{
    int n = 0;
    for (int b = 0; b < 10; ++b)
        if (qGray(img.pixel(b * 8 + 4, 3)) > 128)
            n |= 1 << b;
    return n;
}

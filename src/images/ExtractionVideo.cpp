#include "ExtractionVideo.h"

#include "ImageLoader.h"
#include "VideoSource.h"

#include <QDir>
#include <QStorageInfo>

QString ExtractionVideo::nomImage(int n)
{
    return QStringLiteral("videoBmp%1.bmp").arg(n + 1, 3, 10, QChar('0'));
}

ResultatExtraction ExtractionVideo::extrais(const QString& video, const QString& dossier,
                                            const std::function<bool(int, int)>& progres)
{
    ResultatExtraction r;
    VideoSource source;
    if (!source.open(video)) {
        r.erreur = QStringLiteral("Problème avec le codec : ") + source.erreur();
        return r;
    }
    r.codec = source.codecName();
    r.trames = source.frameCount();
    const int n = std::min(r.trames, kImagesSerie);
    // The mean step of the pictures kept: exact for a steady rate, the right mean for a
    // phone's variable one.
    if (n > 1 && source.frameTime(n - 1) > source.frameTime(0))
        r.cadence = (n - 1) / (source.frameTime(n - 1) - source.frameTime(0));
    else if (source.nominalRate() > 0)
        r.cadence = source.nominalRate();
    r.deltat = 1 / r.cadence;
    if (n <= 0) {
        r.erreur = QStringLiteral("Problème avec le codec : ") + r.codec;
        return r;
    }

    const QString cible = QDir::cleanPath(dossier);
    const QString brouillon = cible + QStringLiteral(".part");
    QDir(brouillon).removeRecursively();
    if (!QDir().mkpath(brouillon)) {
        r.erreur = QStringLiteral("Impossible de créer le dossier %1").arg(brouillon);
        return r;
    }
    const QSize t = source.size();
    const qint64 besoin = qint64(n) * (((qint64(t.width()) * 3 + 3) & ~qint64(3)) * t.height() + 54);
    const QStorageInfo disque(brouillon);
    if (disque.isValid() && disque.bytesAvailable() >= 0 && disque.bytesAvailable() < besoin + besoin / 20) {
        QDir(brouillon).removeRecursively();
        r.erreur = QStringLiteral("Place insuffisante dans le dossier temporaire %1 (%2 Mo nécessaires)")
                       .arg(QDir::toNativeSeparators(QFileInfo(cible).path()))
                       .arg(besoin / (1024 * 1024) + 1);
        return r;
    }

    for (int i = 0; i < n; ++i) {
        const VideoSource::Frame f = source.frame(i);
        QString err;
        if (!f.isValid())
            err = QStringLiteral("Problème avec le codec : ") + r.codec;
        else
            sauveBmp(f.image, brouillon + QChar('/') + nomImage(i), &err);
        if (!err.isEmpty()) {
            QDir(brouillon).removeRecursively();
            r.erreur = err;
            return r;
        }
        if (progres && !progres(i + 1, n)) {
            QDir(brouillon).removeRecursively();
            r.annule = true;
            return r;
        }
    }
    QDir(cible).removeRecursively();
    if (!QDir().rename(brouillon, cible)) {
        QDir(brouillon).removeRecursively();
        r.erreur = QStringLiteral("Impossible de créer le dossier %1").arg(cible);
        return r;
    }
    r.images = n;
    r.premier = cible + QChar('/') + nomImage(0);
    return r;
}

#include "CadenceCapture.h"

#include "NumberText.h"

#include <algorithm>
#include <cmath>

void CadenceCapture::ouvre(double fps)
{
    VideoFrameRateFps = fps > 0 && std::isfinite(fps) ? fps : 1;
    VideoFrameRateUser = VideoFrameRateFps;
    EchelleT = 1;
}

bool CadenceCapture::declare(const QString& texte)
{
    const std::optional<double> v = LitNombre(texte);
    // A zero or negative rate would give infinite or reversed times.
    if (!v || !(*v > 0) || !std::isfinite(*v)) {
        EchelleT = 1;
        return false;
    }
    VideoFrameRateUser = *v;
    EchelleT = VideoFrameRateFps / VideoFrameRateUser;
    return true;
}

QString texteFixe(double v, int decimales)
{
    QString s = QString::number(v, 'f', decimales);
    if (separateurDecimal() != QChar('.'))
        s.replace(QChar('.'), separateurDecimal());
    return s;
}

QString CadenceCapture::texteFichier() const { return texteFixe(VideoFrameRateFps, 2); }

PositionTrame positionTrame(qint64 frameNumber, qint64 frameTime100ns, int maximumTrack, int positionTrack,
                            double VideoFrameRateFps)
{
    PositionTrame p;
    if (frameNumber <= maximumTrack) {
        p.timePosition = frameTime100ns * 1e-7;
        p.framePosition = int(frameNumber);
    } else {
        p.framePosition = positionTrack;
        p.timePosition = positionTrack / (VideoFrameRateFps > 0 ? VideoFrameRateFps : 1);
    }
    return p;
}

QString texteTimePosition(const PositionTrame& p)
{
    return QStringLiteral("N°=%1 ").arg(p.framePosition) + texteFixe(p.timePosition, 3) + QStringLiteral("s");
}

int zoomAffichagePour(int largeurZone, int hauteurZone, int Largeur, int Hauteur)
{
    if (Largeur <= 0 || Hauteur <= 0)
        return 1;
    return std::clamp(std::min(hauteurZone / Hauteur, largeurZone / Largeur), 1, 4);
}

int magnetPour(int zoomAffichage) { return std::max(2, 6 / std::max(1, zoomAffichage)); }

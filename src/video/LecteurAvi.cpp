#include "LecteurAvi.h"

#include "PointageModel.h"

#include <cmath>

QString descriptionCodec(const QString& brut, bool* isMVC)
{
    const QString code = brut.toUpper();
    if (isMVC)
        *isMVC = false;
    if (code.startsWith(QLatin1String("IV")) && code.size() >= 4)
        return QStringLiteral("Intel Video ") + code[2] + QChar('.') + code[3];
    if (code.startsWith(QLatin1String("MPG")) && code.size() >= 4)
        return QStringLiteral("MPEG ") + code[3];
    if (code == QLatin1String("MSVC")) {
        if (isMVC)
            *isMVC = true;
        return QStringLiteral("Microsoft Virtual Camera");
    }
    if (code == QLatin1String("CVID"))
        return QStringLiteral("Cinepack");
    if (code == QLatin1String("I420"))
        return QStringLiteral("Intel Video 4:2:0");
    return code;
}

QString LitCodecFichier(const QString& fichier, bool* isMVC)
{
    bool ok = false;
    const QString code = VideoSource::aviStreamHandler(fichier, &ok);
    if (isMVC)
        *isMVC = false;
    if (!ok)
        return QStringLiteral("Codec inconnu");
    return descriptionCodec(code, isMVC);
}

DureeImageAvi LitDureeImage(qint64 images, double ms)
{
    DureeImageAvi r;
    if (images <= 0 || ms <= 0)
        return r;
    r.NbreImagesParSec = int(std::nearbyint(1000.0 * double(images) / ms)); // ties to even
    r.DureeImage = ms / (1000.0 * double(images));
    r.dureeTotale = ms / 1000.0;
    return r;
}

double RenumeroteTemps(PointageModel& modele, double dureeImage)
{
    const int n = std::min<int>(modele.Nmes + 1, int(modele.Temps.size()));
    for (int i = 0; i < n; ++i)
        modele.Temps[size_t(i)] = i * dureeImage;
    const double courant = modele.Nmes * dureeImage;
    if (modele.Nmes < int(modele.Temps.size()))
        modele.Temps[size_t(modele.Nmes)] = courant;
    return courant;
}

bool LecteurAvi::ouvre(const QString& fichier)
{
    if (!m_source.open(fichier))
        return false;
    format = ftMillisecondes;
    m_image = QImage();
    return allerImage(0);
}

void LecteurAvi::ferme()
{
    m_source.close();
    m_image = QImage();
}

qint64 LecteurAvi::longueurMs() const { return qint64(std::llround(m_source.duration() * 1000.0)); }

qint64 LecteurAvi::longueur() const { return format == ftImages ? longueurImages() : longueurMs(); }

qint64 LecteurAvi::position() const
{
    if (format == ftImages)
        return image();
    return qint64(std::llround(m_source.frameTime(image()) * 1000.0));
}

bool LecteurAvi::setPosition(qint64 p)
{
    if (format == ftImages)
        return allerImage(int(p));
    return allerImage(m_source.indexAt(double(p) / 1000.0));
}

bool LecteurAvi::allerImage(int n)
{
    if (!ouvert())
        return false;
    const VideoSource::Frame f = m_source.frame(n);
    if (!f.isValid())
        return false;
    m_image = f.image;
    return true;
}

double LecteurAvi::TempsPosition(qint64 p, double dureeImage) const
{
    if (format == ftImages)
        return double(p) * dureeImage;
    // The image's own time, exact for variable-rate files, rather than the rounded milliseconds.
    if (p == position())
        return m_source.frameTime(image());
    return double(p) / 1000.0;
}

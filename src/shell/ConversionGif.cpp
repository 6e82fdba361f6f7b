#include "ConversionGif.h"

#include "ImageLoader.h"

#include <QFileInfo>
#include <QImage>
#include <stdexcept>

namespace {

QString sansExtension(const QString& nom)
{
    const QFileInfo fi(nom);
    return fi.suffix().isEmpty() ? nom : nom.left(nom.size() - fi.suffix().size() - 1);
}

// Names differ by case here: "PHOTO.GIF" must be found as well as "photo.gif".
QString fichierGif(const QString& nom)
{
    const QString base = sansExtension(nom);
    QStringList candidats;
    if (QFileInfo(nom).suffix().compare(QStringLiteral("gif"), Qt::CaseInsensitive) == 0)
        candidats << nom;
    candidats << base + QStringLiteral(".gif") << base + QStringLiteral(".GIF");
    for (const QString& c : candidats)
        if (QFileInfo(c).isFile())
            return c;
    return base + QStringLiteral(".gif");
}

} // namespace

QString convertitGifEnBmp(const QString& nom, const QString& tampon)
{
    const QString gif = fichierGif(nom);
    QString erreur;
    const QImage image = chargeImage(gif, &erreur);
    if (image.isNull())
        throw std::runtime_error(erreur.toStdString());
    const QString bmp = ecritCopieBmp(image, gif, tampon, &erreur);
    if (bmp.isEmpty())
        throw std::runtime_error(erreur.toStdString());
    return bmp;
}

#include "ConversionGif.h"

#include "AtomicFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
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

QString convertitGifEnBmp(const QString& nom)
{
    const QString gif = fichierGif(nom);
    const QString bmp = sansExtension(nom) + QStringLiteral(".bmp");
    QImageReader lecteur(gif, "gif");
    const QImage image = lecteur.read();
    if (image.isNull())
        throw std::runtime_error(
            QStringLiteral("Impossible de lire l'image %1").arg(QFileInfo(gif).fileName()).toStdString());
    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    if (!image.convertToFormat(QImage::Format_RGB888).save(&tampon, "BMP") || !writeFileAtomically(bmp, octets))
        throw std::runtime_error(
            QStringLiteral("Impossible d'écrire l'image %1").arg(QFileInfo(bmp).fileName()).toStdString());
    return bmp;
}

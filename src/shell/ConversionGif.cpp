#include "ConversionGif.h"

#include "AtomicFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <stdexcept>

namespace {

QString avecExtension(const QString& nom, const QString& extension)
{
    const QFileInfo fi(nom);
    const QString base = fi.suffix().isEmpty() ? nom : nom.left(nom.size() - fi.suffix().size() - 1);
    return base + extension;
}

} // namespace

QString convertitGifEnBmp(const QString& nom)
{
    const QString gif = avecExtension(nom, QStringLiteral(".gif"));
    const QString bmp = avecExtension(nom, QStringLiteral(".bmp"));
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

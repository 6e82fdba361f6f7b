#include "CompositeChrono.h"

#include "AtomicFile.h"
#include "ImageLoader.h"

#include <QBuffer>
#include <QFileInfo>

void CompositeChrono::commence(const QImage& fond, std::optional<QRgb> objet)
{
    m_fond = imageRgb32(fond);
    m_resultat = m_fond.copy();
    m_objet = objet;
    m_images = 0;
}

bool CompositeChrono::ajoute(const QImage& brute)
{
    if (!enCours() || brute.size() != m_fond.size())
        return false;
    const QImage image = imageRgb32(brute);
    const int w = m_fond.width();
    const bool filtre = m_objet.has_value();
    const QRgb objet = m_objet.value_or(0);
    for (int y = 0; y < m_fond.height(); ++y) {
        const QRgb* f = reinterpret_cast<const QRgb*>(m_fond.constScanLine(y));
        const QRgb* c = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QRgb* r = reinterpret_cast<QRgb*>(m_resultat.scanLine(y));
        for (int x = 0; x < w; ++x) {
            if (differenceCouleurs(f[x], c[x]) > kSeuilChangement
                && (!filtre || differenceCouleurs(objet, c[x]) < kDistanceObjetMax))
                r[x] = c[x];
        }
    }
    ++m_images;
    return true;
}

void CompositeChrono::abandonne()
{
    m_fond = QImage();
    m_resultat = QImage();
    m_objet.reset();
    m_images = 0;
}

bool sauveImageChrono(const QImage& image, const QString& chemin, QString* erreur)
{
    const QString ext = QFileInfo(chemin).suffix().toUpper();
    // ".jpeg" is a JPEG too, not a bitmap under a JPEG name.
    if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG"))
        return sauveJpeg(image, chemin, erreur);
    if (ext == QLatin1String("PNG")) {
        QByteArray octets;
        QBuffer buf(&octets);
        buf.open(QIODevice::WriteOnly);
        if (image.convertToFormat(QImage::Format_RGB888).save(&buf, "PNG") && writeFileAtomically(chemin, octets))
            return true;
        if (erreur)
            *erreur = QStringLiteral("Erreur d'écriture du fichier %1").arg(chemin);
        return false;
    }
    return sauveBmp(image, chemin, erreur);
}

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
        const uchar* f = m_fond.constScanLine(y);
        const uchar* c = image.constScanLine(y);
        const QRgb* cp = reinterpret_cast<const QRgb*>(c);
        QRgb* r = reinterpret_cast<QRgb*>(m_resultat.scanLine(y));
        if (!filtre) {
            // Byte arithmetic without branches, so the compiler can work on many pixels at once.
            for (int x = 0; x < w; ++x) {
                const int d = std::abs(int(f[4 * x]) - int(c[4 * x])) + std::abs(int(f[4 * x + 1]) - int(c[4 * x + 1]))
                              + std::abs(int(f[4 * x + 2]) - int(c[4 * x + 2]));
                r[x] = d > kSeuilChangement ? cp[x] : r[x];
            }
            continue;
        }
        const QRgb* fp = reinterpret_cast<const QRgb*>(f);
        for (int x = 0; x < w; ++x)
            if (differenceCouleurs(fp[x], cp[x]) > kSeuilChangement && differenceCouleurs(objet, cp[x]) < kDistanceObjetMax)
                r[x] = cp[x];
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

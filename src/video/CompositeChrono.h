#pragma once
#include <QImage>
#include <QString>

#include <optional>

// Difference between two colours: the sum over red, green and blue of the absolute
// differences of the channels (0..765).
inline int differenceCouleurs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b));
}

// The 32-bit form both the composite and the tracker read row by row.
inline QImage imageRgb32(const QImage& i)
{
    return i.format() == QImage::Format_RGB32 ? i : i.convertToFormat(QImage::Format_RGB32);
}

// A pixel is taken into the composite when it differs from the background by more than this.
constexpr int kSeuilChangement = 192;
// With a chosen object, a taken pixel is also closer than this to the object's colour.
constexpr int kDistanceObjetMax = 65;

// The chronophotograph of a series of images: the first image is the background, and every
// pixel of a later image that differs from that background by more than kSeuilChangement is
// painted onto the result (a later image paints over an earlier one). With an object colour,
// only the changed pixels closer than kDistanceObjetMax to it are painted.
// Works on decoded images, never on what a window shows.
class CompositeChrono
{
public:
    // Starts over on a background; `objet` limits the painted pixels to that colour.
    void commence(const QImage& fond, std::optional<QRgb> objet = std::nullopt);
    bool enCours() const { return !m_fond.isNull(); }
    // Paints the changed pixels of a later image. An image of another size is refused (false).
    bool ajoute(const QImage& image);
    // Forgets the background and the result.
    void abandonne();

    const QImage& fond() const { return m_fond; }       // RGB32
    const QImage& resultat() const { return m_resultat; } // RGB32
    std::optional<QRgb> objet() const { return m_objet; }
    int imagesAjoutees() const { return m_images; }

private:
    QImage m_fond, m_resultat;
    std::optional<QRgb> m_objet;
    int m_images = 0;
};

// Writes a picture by its extension compared in upper case: ".JPG" and ".JPEG" as JPEG, ".PNG"
// as PNG, anything else as a bitmap. Written atomically;
// false with a French message on failure.
bool sauveImageChrono(const QImage& image, const QString& chemin, QString* erreur = nullptr);

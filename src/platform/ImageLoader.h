#pragma once
#include <QImage>
#include <QString>

// Picture files read and written by the still-image tools. Every picture comes back as
// 24-bit RGB (QImage::Format_RGB888), upright as its EXIF orientation says; failures carry a
// French message for the user.

// Largest picture accepted (its 24-bit copy alone is 300 MB).
constexpr qint64 kPixelsMax = 100'000'000;

// JPEG through libjpeg-turbo (RGB, grey, CMYK and YCCK). Null image and `erreur` set on failure.
// A file cut short gives the part decoded and `avertissement` ("Image incomplète ...").
QImage chargeJpeg(const QString& chemin, QString* erreur = nullptr, QString* avertissement = nullptr);
// BMP, GIF or PNG through Qt's image readers, JPEG through chargeJpeg; chosen by extension.
QImage chargeImage(const QString& chemin, QString* erreur = nullptr, QString* avertissement = nullptr);

// JPEG with the encoder's default settings (quality 75), written atomically.
bool sauveJpeg(const QImage& image, const QString& chemin, QString* erreur = nullptr, int qualite = 75);
// 24-bit BMP, written atomically.
bool sauveBmp(const QImage& image, const QString& chemin, QString* erreur = nullptr);

// Writes `image` as the 24-bit BMP copy of the picture file `source` into this user's own folder
// under the temporary folder `tampon`, never beside the user's file (which may be read-only or
// hold a BMP of that name), and returns its path: same base name, ".bmp". Empty on failure.
QString ecritCopieBmp(const QImage& image, const QString& source, const QString& tampon, QString* erreur = nullptr);

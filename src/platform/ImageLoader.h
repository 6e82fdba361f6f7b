#pragma once
#include <QImage>
#include <QString>

// Picture files read and written by the still-image tools. Every picture comes back as
// 24-bit RGB (QImage::Format_RGB888); failures carry a French message for the user.

// JPEG through libjpeg-turbo. Null image and `erreur` set on failure.
QImage chargeJpeg(const QString& chemin, QString* erreur = nullptr);
// BMP, GIF or PNG through Qt's image readers, JPEG through chargeJpeg; chosen by extension.
QImage chargeImage(const QString& chemin, QString* erreur = nullptr);

// JPEG with the encoder's default settings (quality 75), written atomically.
bool sauveJpeg(const QImage& image, const QString& chemin, QString* erreur = nullptr, int qualite = 75);
// 24-bit BMP, written atomically.
bool sauveBmp(const QImage& image, const QString& chemin, QString* erreur = nullptr);

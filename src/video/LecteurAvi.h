#pragma once
#include "VideoSource.h"

#include <QString>

class PointageModel;

// Description shown for an AVI stream handler code: IVxy, MPGx, MSVC, CVID, I420, or the code.
// `isMVC` tells the "MSVC" code apart.
QString descriptionCodec(const QString& code, bool* isMVC = nullptr);
// The codec label of an AVI file ("Codec inconnu" when its headers cannot be read).
QString LitCodecFichier(const QString& fichier, bool* isMVC = nullptr);

// Time base read from the file: n images over ms milliseconds.
struct DureeImageAvi
{
    int NbreImagesParSec = 25;   // round(1000 n / ms), halves to even; 0 when it rounds to 0
    double DureeImage = 0.04;    // ms / (1000 n)
    double dureeTotale = 0;      // ms / 1000
};
DureeImageAvi LitDureeImage(qint64 images, double ms);

// Rate or duration typed by the user: rows i get i * DureeImage; returns the new TempsCourant
// (Nmes * DureeImage), which also becomes the time of the row being measured.
double RenumeroteTemps(PointageModel& modele, double dureeImage);

// The player of the media-player tool on a VideoSource: a time format (milliseconds, or images
// once the user has typed a rate), a length and a position in that format, and the image shown.
class LecteurAvi
{
public:
    enum FormatTemps { ftMillisecondes, ftImages };

    VideoSource& source() { return m_source; }
    const VideoSource& source() const { return m_source; }

    bool ouvre(const QString& fichier);
    void ferme();
    bool ouvert() const { return m_source.isOpen(); }
    QString fichier() const { return m_source.fileName(); }

    FormatTemps format = ftMillisecondes;
    qint64 longueur() const;
    qint64 longueurImages() const { return m_source.frameCount(); }
    qint64 longueurMs() const;
    qint64 position() const;
    int image() const { return m_source.position(); }
    // Moves and decodes the image; false when it could not be decoded (the last good image stays).
    bool setPosition(qint64 p);
    bool allerImage(int n);
    bool avance() { return allerImage(image() + 1); }
    bool recule() { return allerImage(image() - 1); }
    bool debut() { return allerImage(0); }
    bool fin() { return allerImage(int(longueurImages()) - 1); }

    // Seconds of a position in the current format (images are counted at dureeImage each).
    double TempsPosition(qint64 p, double dureeImage) const;

    const QImage& imageCourante() const { return m_image; }
    QString erreur() const { return m_source.erreur(); }

private:
    VideoSource m_source;
    QImage m_image;
};

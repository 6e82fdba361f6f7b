#pragma once
#include <QString>

#include <functional>

// Most images an image series holds.
constexpr int kImagesSerie = 128;

// What became of a video turned into a series of pictures.
struct ResultatExtraction
{
    int images = 0;        // pictures written
    int trames = 0;        // frames of the video
    double cadence = 1;    // images per second (1 when the video gives none)
    double deltat = 1;     // seconds between two pictures
    QString codec;
    QString premier;       // path of the first picture, empty when none
    QString erreur;        // French message, empty on success or cancel
    bool annule = false;
    bool ok() const { return erreur.isEmpty() && !annule && images > 0; }
};

// Writes the frames of a video (any file the video tools open) as numbered 24-bit BMP files
// "videoBmp001.bmp"... into a folder of their own, at most kImagesSerie of them: frames the
// series could not hold are not written. The pictures are made in a sibling folder first and
// replace the folder's contents only when all are written, so a cancelled or failed run
// leaves the earlier series as it was.
class ExtractionVideo
{
public:
    // `progres(fait, total)` is called after each picture; returning false cancels.
    static ResultatExtraction extrais(const QString& video, const QString& dossier,
                                      const std::function<bool(int fait, int total)>& progres = {});
    static QString nomImage(int n); // "videoBmp001.bmp" for n = 0
};

#pragma once
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// Writes a video file from images, one frame each, through FFmpeg: Motion JPEG (4:2:2, the
// sampling of cameras' Motion JPEG, which players all decode) in an AVI
// container. Every frame is a JPEG of its own, so both video tools step back as fast as
// forward and the usual players read the file. The file is written under a temporary name
// beside the destination and put in place by finish() only: a failed or abandoned write
// leaves an earlier file of that name as it was.
class VideoWriter
{
public:
    VideoWriter();
    ~VideoWriter();
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Frames of `taille` (odd sizes lose their last column or row) at `imagesParSeconde`.
    bool open(const QString& chemin, QSize taille, int imagesParSeconde);
    // One frame; an image of another size is scaled to the video's.
    bool write(const QImage& image);
    // Ends the file and puts it in place.
    bool finish();
    // Drops what was written; the destination is untouched.
    void abandon();

    bool isOpen() const;
    int frames() const;
    QSize size() const;
    QString erreur() const { return m_erreur; }

    // Quantiser of the JPEG frames: 2 is near lossless, 31 the coarsest.
    static constexpr int qualite = 2;

private:
    struct Etat;
    std::unique_ptr<Etat> d;
    QString m_erreur;
};

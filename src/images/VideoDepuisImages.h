#pragma once
#include "FileSearch.h"
#include "ImagesAnticipees.h"
#include "VideoWriter.h"

#include <QString>

// Rate of a video made from images when the typed one is not a whole number.
constexpr int kCadenceDefaut = 10;

// Turns the images of a folder that share one extension into "video.avi" in that folder, one
// frame per image in scan order (every matching file, not only the 128 of a series). The
// caller asks for one frame at a time, so the window stays responsive between frames.
class VideoDepuisImages
{
public:
    enum class Etape { Image, Fin, Erreur };

    // Folder of a file of the series, without its final "/".
    static QString cheminDe(const QString& nomFichier);
    // "*" and the extension (dot included) of that file.
    static QString extensionDe(const QString& nomFichier);
    // Exactly one "/" between the folder and the name, even at the root.
    static QString fichierVideo(const QString& chemin);
    // The typed rate when it is a whole number above 0, else 10.
    static int cadenceLue(const QString& texte);

    // Starts a recording; false with erreur() when nothing can be written.
    bool demarre(const QString& chemin, const QString& extension, int cadence);
    // Adds the next image; Fin once every image is in (the file is not closed yet).
    Etape suivante();
    // Closes the file and puts it in place; false with erreur() on failure.
    bool termine();
    // Stops without touching an earlier video.
    void abandonne();

    bool enCours() const { return m_writer.isOpen(); }
    int images() const { return m_writer.frames(); }
    QString erreur() const { return m_erreur; }
    QString sortie() const { return m_sortie; }

private:
    TFileSearch SearchForFiles;
    ImagesAnticipees m_images;
    VideoWriter m_writer;
    QStringList m_fichiers;
    int m_suivant = 0;
    QString m_erreur;
    QString m_sortie;
};

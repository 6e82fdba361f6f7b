#pragma once
// Reading a WAV file into the sound sample vector, and MP3 files through a WAV beside them.

#include "Grapheu.h"
#include "NumberText.h"

#include <QString>
#include <functional>

// Caption of the sound tool while no file is loaded.
inline const QString titreLectureSon = QStringLiteral("Lecture de fichier son pour Tabulo");

struct TresultatWav
{
    enum Etat { FichierAbsent, Erreur, Lu };
    Etat etat = FichierAbsent;
    // Names the failure ("Problème d'ouverture", "Format du fichier WAV non reconnu", "Format incorrect";
    // empty when the file holds no whole frame). Never shown to the user.
    QString erreur;
    QString nomFichier;
    quint32 FreqEch = 0;
    int bits = 0;
    int canaux = 0;
    TformatWave format = f8;
    int NbrePoints = 0;
    bool tronque = false;
    // "Fech=… Hz ; … bits", set as soon as the bit depth is accepted (kept after a later failure).
    QString labelFrequence;
    // Window caption: the file name, and the truncation note.
    QString titre = titreLectureSon;
    // "Durée=… s" of the whole file.
    QString labelDuree;
};

// Reads the file into son. A missing file changes nothing; any other failure empties son.
TresultatWav litFichierWav(const QString& chemin, TvecteurSon& son);

// Frames per pixel of the whole-file view, rounded up to a power of two (1 when at most 1).
int pasTracePour(int NbrePoints, int largeurPixels);

// Decodes an MP3 file into the WAV file of the same name (".wav"), telling its progress through
// legende ("Ouverture du fichier ...", "Conversion : n%", "Conversion terminée").
// Returns the WAV path, or an empty string with the French reason in erreur.
QString convertitMp3(const QString& cheminMp3, const std::function<void(const QString&)>& legende,
                     QString* erreur = nullptr);

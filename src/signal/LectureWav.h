#pragma once
// Reading a WAV file into the sound sample vector, and MP3 files through a WAV beside them.

#include "Grapheu.h"

#include <QString>
#include <functional>

// Caption of the sound tool while no file is loaded.
inline const QString titreLectureSon = QStringLiteral("Lecture de fichier son pour Tabulo");

struct TresultatWav
{
    enum Etat { FichierAbsent, Erreur, Lu };
    Etat etat = FichierAbsent;
    // Names the failure ("Problème d'ouverture", "Format du fichier WAV non reconnu", "Format incorrect";
    // empty when the file holds no whole frame).
    QString erreur;
    // What was wrong, in French words for the user (with erreur, see texteRefus).
    QString detail;
    // Read, but the user should know (a file cut before its declared end).
    QString avertissement;
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

// The message for a refused file: its name, why, and that the sound already loaded stays.
QString texteRefus(const QString& fichier, const TresultatWav& r);

// A duration to the precision one sampling period gives (at least the millisecond): in
// milliseconds below one second, else in seconds.
QString texteDuree(double secondes, quint32 freqEch);

// Frames per pixel of the whole-file view, rounded up to a power of two (1 when at most 1).
int pasTracePour(int NbrePoints, int largeurPixels);

// Fixed notation with `decimales` decimals after rounding to `precision` significant digits;
// too many integer digits switch to the general number text.
QString texteFixe(double x, int precision, int decimales);

// Extensions of the sound files decoded through FFmpeg rather than read as WAV.
bool estSonCompresse(const QString& chemin);
// Filter of the open dialog.
QString filtreSons();

// Decodes a compressed sound (MP3, M4A/AAC, Ogg Vorbis, Opus, FLAC...) into a WAV file in
// `dossier` (the program's temporary folder: a user's file is never written), telling its
// progress through legende ("Ouverture du fichier ...", "Conversion : n%", "Conversion terminée").
// Returns the WAV path, or an empty string with the French reason in erreur.
QString convertitSon(const QString& source, const QString& dossier, const std::function<void(const QString&)>& legende,
                     QString* erreur = nullptr);

#pragma once
#include <QByteArray>
#include <QString>

// The readers a damaged file can reach, each behind one entry that reads a file the way the
// tools do and says what came of it. Shared by the fuzz targets and the regression corpus.
enum class Lecteur { Aucun, Wav, Son, Image, Video, Nombres, PageTabulo };

struct Verdict
{
    bool lu = false;       // read and usable
    QString message;       // the French reason when not
    QString details;       // what was read, for the log
};

// The reader a file goes to, by its extension as the open dialogs choose.
Lecteur lecteurPour(const QString& chemin);
QString extensionPour(Lecteur l);
// By the name of its fuzz target: wav, son, image, video, nombres, pagetabulo.
Lecteur lecteurNomme(const QString& nom);

// Reads `chemin`. For a video, `temoin` (when given) is opened first and must still be open,
// untouched, after a refused file.
Verdict essaie(Lecteur l, const QString& chemin, const QString& temoin = {});
// The same on bytes, written to a temporary file with the reader's extension (for a picture,
// the first byte chooses among jpg, png, gif and bmp), as the fuzz targets read them.
Verdict essaieOctets(Lecteur l, const QByteArray& octets);

// A refusal the user can read: a message, and none of the English that libraries give.
bool messageLisible(const QString& message);

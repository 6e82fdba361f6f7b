// Reads one file with the reader chosen by its extension ("auto") or by fuzz target name, and writes the verdict to a
// file: "LU <details>" or "REFUS <message>". Run by the regression corpus test, one process a
// file, so that a crash, a hang or a runaway allocation is seen from outside.
#include "EntreesFuzz.h"

#include <QCoreApplication>
#include <QFile>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList a = app.arguments();
    if (a.size() < 4) {
        fprintf(stderr, "usage: %s auto|CIBLE FICHIER SORTIE [TEMOIN]\n", argv[0]);
        return 2;
    }
    Verdict v;
    if (a[1] == QLatin1String("auto")) {
        v = essaie(lecteurPour(a[2]), a[2], a.size() > 4 ? a[4] : QString());
    } else {
        // An input a fuzz target found, read exactly as that target read it.
        QFile f(a[2]);
        if (!f.open(QIODevice::ReadOnly))
            return 3;
        v = essaieOctets(lecteurNomme(a[1]), f.readAll());
    }
    QFile sortie(a[3]);
    if (!sortie.open(QIODevice::WriteOnly))
        return 3;
    sortie.write((v.lu ? QStringLiteral("LU ") + v.details : QStringLiteral("REFUS ") + v.message).toUtf8());
    return 0;
}

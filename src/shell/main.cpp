#include "Bureau.h"
#include "Curseurs.h"
#include "Emplacements.h"
#include "ImageMain.h"
#include "InstanceUnique.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kinexo"));
    installeTraductionsQt(app);
    installeAccessibilite();

    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.value(0) == QLatin1String("--chemins")) {
        // Where this copy finds its own files, installed or in a build tree.
        std::printf("aide: %s\nexemples: %s\ntabulo: %s\n", qPrintable(dossierAide()), qPrintable(dossierExemples()),
                    qPrintable(programmeVoisin(QStringLiteral("tabulo"))));
        return 0;
    }
    // A file given (as the desktop's "Ouvrir avec" does) opens in the tool for its kind.
    const QString fichier = arguments.isEmpty() ? QString() : QFileInfo(arguments.first()).absoluteFilePath();

    // A second copy hands over to the running one and ends.
    InstanceUnique garde;
    if (garde.demandeALaCopieActive(fichier))
        return 0;
    garde.ecoute();

    chargeCurseurs();
    QApplication::setApplicationDisplayName(QStringLiteral("Multimedia pour Tabulo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kinexo.svg")));
    QApplication::setDesktopFileName(QStringLiteral("kinexo"));

    TImageFormMain lanceur;
    QObject::connect(&garde, &InstanceUnique::montreDemande, &lanceur, &TImageFormMain::montreDemande);
    QObject::connect(&garde, &InstanceUnique::ouvertureDemandee, &lanceur, &TImageFormMain::ouvreFichier);
    lanceur.show();
    if (!fichier.isEmpty())
        QTimer::singleShot(0, &lanceur, [&lanceur, fichier] { lanceur.ouvreFichier(fichier); });
    return app.exec();
}

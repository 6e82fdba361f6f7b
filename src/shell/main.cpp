#include "Curseurs.h"
#include "ImageMain.h"
#include "InstanceUnique.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kinexo"));

    // A second copy hands over to the running one and ends.
    InstanceUnique garde;
    if (garde.demandeALaCopieActive())
        return 0;
    garde.ecoute();

    chargeCurseurs();
    QApplication::setApplicationDisplayName(QStringLiteral("Multimedia pour Tabulo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kinexo.svg")));
    QApplication::setDesktopFileName(QStringLiteral("kinexo"));

    TImageFormMain lanceur;
    QObject::connect(&garde, &InstanceUnique::montreDemande, &lanceur, &TImageFormMain::montreDemande);
    lanceur.show();
    return app.exec();
}

// Runs the single-instance guard as the program does and tells on stdout what happened.
#include "InstanceUnique.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    InstanceUnique garde;
    if (garde.demandeALaCopieActive())
        return 0;
    if (!garde.ecoute())
        return 2;
    QObject::connect(&garde, &InstanceUnique::montreDemande, [] {
        std::puts("montre");
        std::fflush(stdout);
    });
    std::puts("premiere");
    std::fflush(stdout);
    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    return app.exec();
}

#pragma once
#include <QString>

// A tool window that opens a file handed to it from outside (the command line, the desktop's
// "Ouvrir avec", a second copy of the program), as its own open button would after its dialog.
class OutilOuvrant
{
public:
    virtual ~OutilOuvrant() = default;
    // False when the file was refused (the tool has said why and kept what it had).
    virtual bool ouvreFichierExterne(const QString& chemin) = 0;
};

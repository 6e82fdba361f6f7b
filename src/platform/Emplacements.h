#pragma once
#include <QString>

// Where the program's own files are, installed (/usr/bin/kinexo beside /usr/share/kinexo) or in
// a build tree (build/bin beside build/share/kinexo). Empty when not found.

// The help pages (the folder holding index.html).
QString dossierAide();
// The sample experiments.
QString dossierExemples();
// A program installed beside this one (the stand-in "tabulo"), or empty.
QString programmeVoisin(const QString& nom);

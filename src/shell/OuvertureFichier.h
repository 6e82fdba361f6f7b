#pragma once
#include "ToolHost.h"

#include <QString>
#include <vector>

// The tools that can open a file given on the command line, by its kind (its extension, as the
// tools' open dialogs choose): a video, a sound, or a picture, which several tools read.
std::vector<Tmode> outilsPourFichier(const QString& chemin);

// Caption of a tool's launcher button, for the choice between tools.
QString nomOutil(Tmode m);

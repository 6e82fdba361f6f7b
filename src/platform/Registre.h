#pragma once
#include <QString>

// Linux stand-in for the registry: one ini file per user. Groups:
//   "Classes/Tabulo"  the folders key (values Wav, Avi, Mecanique, Optique, Tabulo, Video)
//   "Software/Tabulo" value "Path", and "Software/Tabulo/Tabulo" value "Path": where Tabulo is.
// KINEXO_REGISTRE overrides the path (tests).
QString fichierRegistre();

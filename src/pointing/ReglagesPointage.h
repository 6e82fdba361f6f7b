#pragma once
#include "DessinPointage.h"
#include "PointageModel.h"
#include "SectionReglages.h"

#include <QColor>
#include <QCursor>


// The cursor of a slot number: 0 the arrow, -3 (or any unknown number) the cross for the
// pointing cursor, 1..12 the program's slots.
QCursor curseurDe(int slot);
// The pointing cursor read from "Cible": 6, 7, 8 (9 in the capture tool) or the cross.
int curseurPointageLu(int cible, bool cibleDouble = false);

// Options every pointing tool keeps in its settings section.
struct ReglagesPointage
{
    OptionsDessin dessin;
    int cible = 8;
    int incertitude = 1;
    int filtre = 1;
};

// Reads and writes the keys the three tools share: "TraceEchelle", "TracePoints", "Grille",
// "Etiquette", "CouleurEchelle", "Couleur0".."Couleur5", "Cible", "PixelIncert", "FilterIndex",
// and the axis directions as "Altitude"/"Droite" or, with `cleAxes` (capture tool), as "Axes" 0..3,
// where "Grille" alone also means reticles and "TracePoints" means crosses.
ReglagesPointage litReglagesPointage(const SectionReglages& s, PointageModel& m, bool cleAxes = false);
void ecritReglagesPointage(SectionReglages& s, const ReglagesPointage& r, const PointageModel& m, bool cleAxes = false);

#pragma once
#include <QCursor>

// The twelve cursor slots shared by every tool.
enum CurseurSlot {
    crCible1 = 1,
    crCible2 = 2,
    crOrigine = 3,
    crCible4 = 4,
    crCible5 = 5,
    crCibleNoire = 6,
    crCibleBlanche = 7,
    crCibleNormale = 8,
    crCibleDouble = 9,
    crCibleMove = 10,
    crCible3 = 11,
    crOrigineTemps = 12,
};

// Builds the slots once; later calls do nothing. Needs a QGuiApplication.
void chargeCurseurs();
// The cursor of a slot (1..12); the arrow for any other number.
QCursor curseur(int slot);

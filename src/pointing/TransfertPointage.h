#pragma once
#include "PointageModel.h"
#include "Transfert.h"

#include <functional>

// The transfer source of a pointing tool: scale computed first, then the table and, for the
// analysis program, the INCERT block and the new-file sections. With `fichier` (table file)
// every column is written, whatever the extent test.
TableSource sourcePointage(PointageModel& modele, std::function<void()> avant, int incertitude,
                           const QString& fichierMedia, bool fichier = false,
                           const QString& uniteTemps = QStringLiteral("s"));

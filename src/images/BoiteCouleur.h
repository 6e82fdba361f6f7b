#pragma once
#include <QColor>
#include <QComboBox>

// Colours as the settings file keeps them: 0x00BBGGRR.
QColor versQColor(int c);
// The sixteen standard colours and the four extended ones under French names.
void remplitCouleurs(QComboBox* cb);
// Shows colour c without signalling (added as "Personnalisée" when not in the list).
void choisitCouleur(QComboBox* cb, int c);
int couleurChoisie(const QComboBox* cb);

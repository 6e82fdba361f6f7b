#pragma once
// The intensity profile as a table: for the analysis program and for a text file.

#include "ExchangeText.h"

class ProfilIntensite;

// Names, units, meanings and rows, as they follow the transfer's three first lines.
void tableOptique(const ProfilIntensite& p, ExchangeText& texte);
// The whole text file of "Sauver".
ExchangeText fichierOptique(const ProfilIntensite& p);

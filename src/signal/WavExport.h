#pragma once
// Computations of the sound tool that need no window: export step, selection sizes,
// sample tables for the text file and for the analysis program.
#include "Grapheu.h"

#include <QString>
#include <QStringList>
#include <cstdint>

class ExchangeText;

// One frame out of pasReg is exported, giving FreqReg; schannonOK when FreqReg is a standard rate.
struct TpasExport
{
    std::uint16_t pasReg = 1;
    std::uint32_t FreqReg = 0;
    bool schannonOK = false;

    // Recomputes the step for the selection debut..fin. Outside both families of rates,
    // schannonOK keeps its previous value.
    void calcule(int debut, int fin, std::uint32_t FreqEch);
    // "Fech=" + FreqReg + " Hz", with " ?!" when the rate is not a standard one.
    QString texte() const;
};

// Size control: false (nothing changed) when refused.
bool agranditSelection(int& debut, int& fin, int NbrePoints);
bool reduitSelection(int& debut, int& fin);
// The play position timer runs only for selections longer than this.
constexpr double dureeMiniTimer = 0.55;
bool lectureAvecTimer(int debut, int fin, std::uint32_t FreqEch);

// A number in general format with 7 significant digits and the user's decimal separator.
QString texteGeneral7(double x);

// Value of frame i as written in the text file and the transfer, left and right.
QString texteValeur(const TvecteurSon& son, int i, bool droite);

// The text file of "Sauver (txt)": header lines, then one line per frame debut..fin.
QStringList lignesTexte(const TvecteurSon& son, int debut, int fin, std::uint32_t FreqEch, bool stereo);

// Names, units and data rows sent to the analysis program (normal or envelope mode).
void tableTabulo(ExchangeText& t, const TvecteurSon& son, int debut, int fin, std::uint32_t FreqEch,
                 int pasReg, bool stereo, bool enveloppe);
// Section lines after the constants; `fichier` empty for the recording file.
void sectionsTabulo(ExchangeText& t, bool stereo, const QString& fichier);
// First line of a new file in the analysis program.
QString titreAcquisition(std::uint32_t FreqEch, int pasReg);

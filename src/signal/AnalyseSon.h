#pragma once
// What the FFT view shows, computed from the sound document and the play position, never
// from a paint handler.

#include "Fft.h"

#include <QString>
#include <optional>

class ExchangeText;
class TdocumentSon;

struct TspectreSon
{
    bool valide = false;
    // Of the part being heard (true) or of the selection.
    bool enLecture = false;
    quint32 freqEch = 0;
    // First frame of the transform (the 2048 frames debutFFT+1..debutFFT+2048).
    int debutFFT = 0;
    // Line spectrum with its peaks corrected, and the display maximum.
    TvecteurFFT spectre{};
    double maxi = 1;
    // Frequency of the strongest tone, in hertz; empty for silence.
    std::optional<double> picHz;

    // Frequency of bin k.
    double frequence(int k) const { return freqEch ? double(k) * freqEch / 2048 : 0; }
    // Index of the bar of the strongest tone among the bins shown (-1 for none).
    int binPic() const;
    // "Pic : 440.0 Hz" (to about a hundredth of a bin), empty for none.
    QString textePic() const;
};

namespace AnalyseSon {
// Around the frame being heard now.
TspectreSon spectreEnLecture(const TdocumentSon& doc, qint64 position);
// Of the selection: its 2048 middle frames, or from its start when it is shorter.
TspectreSon spectreSelection(const TdocumentSon& doc);
// First frame of the selection's transform.
int debutSelection(int debut, int fin, int NbrePoints);

// The spectrum as a table for the analysis program or a file: f (Hz) and amplitude of every
// bin the view shows.
void tableSpectre(ExchangeText& t, const TspectreSon& s);
void sectionsSpectre(ExchangeText& t);
}

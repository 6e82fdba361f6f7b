#include "AnalyseSon.h"

#include "DocumentSon.h"
#include "ExchangeText.h"
#include "LectureWav.h"
#include "WavExport.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int tailleFFT = 2048;

TspectreSon calcule(const TdocumentSon& doc, int debutFFT, int fin)
{
    TspectreSon s;
    if (doc.vide() || doc.FreqEch() == 0)
        return s;
    s.valide = true;
    s.freqEch = doc.FreqEch();
    s.debutFFT = debutFFT;
    spectreFFT(debutFFT, fin, &doc.son(), s.maxi, s.spectre);
    s.picHz = frequencePicHz(debutFFT, fin, doc.son(), doc.FreqEch());
    return s;
}
}

int TspectreSon::binPic() const
{
    if (!valide || !picHz)
        return -1;
    const int B = std::min(TvueFFT::binsAffiches(freqEch), 1025);
    const int k = int(std::lround(*picHz * 2048 / freqEch));
    return k >= 0 && k < B ? k : -1;
}

QString TspectreSon::textePic() const
{
    if (!valide || !picHz)
        return {};
    // About a hundredth of a bin: one more digit would be noise.
    const double resolution = 0.01 * freqEch / 2048;
    const int decimales = std::clamp(int(std::floor(-std::log10(resolution))), 0, 3);
    return QStringLiteral("Pic : ") + texteFixe(*picHz, 9, decimales) + QStringLiteral(" Hz");
}

namespace AnalyseSon {

TspectreSon spectreEnLecture(const TdocumentSon& doc, qint64 position)
{
    if (doc.vide())
        return {};
    const double secondes = doc.duree(double(position));
    const int d = TvueFFT::debutFenetre(doc.FreqEch(), secondes, doc.NbrePoints());
    TspectreSon s = calcule(doc, d, d + tailleFFT);
    s.enLecture = true;
    return s;
}

int debutSelection(int debut, int fin, int NbrePoints)
{
    // The transform reads frames d+1..d+2048.
    int d = fin - debut > tailleFFT ? (debut + fin) / 2 - tailleFFT / 2 - 1 : debut - 1;
    d = std::min(d, NbrePoints - tailleFFT - 1);
    return std::max(0, d);
}

TspectreSon spectreSelection(const TdocumentSon& doc)
{
    if (doc.vide())
        return {};
    const int d = debutSelection(doc.debut(), doc.fin(), doc.NbrePoints());
    // Frames past the selection count as 0 when it is shorter than the transform.
    return calcule(doc, d, std::min(d + tailleFFT, std::max(doc.fin(), d)));
}

void tableSpectre(ExchangeText& t, const TspectreSon& s)
{
    t.addFields({QStringLiteral("f"), QStringLiteral("A")});
    t.addFields({QStringLiteral("Hz"), QString()});
    if (!s.valide)
        return;
    const int B = std::min(TvueFFT::binsAffiches(s.freqEch), 1025);
    for (int k = 0; k < B; ++k)
        t.addFields({texteGeneral7(s.frequence(k)), texteGeneral7(s.spectre[std::size_t(k)])});
}

void sectionsSpectre(ExchangeText& t)
{
    t.addSection(QStringLiteral("NOMX"), {QStringLiteral("f")});
    t.addSection(QStringLiteral("NOMY"), {QStringLiteral("A")});
}
}

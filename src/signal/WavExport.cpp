#include "WavExport.h"

#include "ExchangeText.h"
#include "NumberText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>

void TpasExport::calcule(int debut, int fin, std::uint32_t FreqEch)
{
    pasReg = std::uint16_t((fin - debut) / 8192 + 1);
    FreqReg = FreqEch / pasReg;
    auto dans = [this](std::initializer_list<std::uint32_t> l) {
        return std::find(l.begin(), l.end(), FreqReg) != l.end();
    };
    if (FreqEch == 11025 || FreqEch == 22050 || FreqEch == 44100) {
        schannonOK = dans({11025, 22050, 44100});
        if (!schannonOK && FreqReg > 11025) {
            FreqReg = 11025;
            pasReg = std::uint16_t(FreqEch / 11025);
            schannonOK = true;
        }
    } else if (FreqEch == 8000 || FreqEch == 12000 || FreqEch == 16000 || FreqEch == 24000
               || FreqEch == 32000 || FreqEch == 48000) {
        schannonOK = dans({8000, 12000, 16000, 24000, 32000, 48000});
        if (!schannonOK && FreqReg > 8000) {
            FreqReg = 8000;
            pasReg = std::uint16_t(FreqEch / 8000);
            schannonOK = true;
        }
    }
}

QString TpasExport::texte() const
{
    return QStringLiteral("Fech=%1 Hz").arg(FreqReg) + (schannonOK ? QString() : QStringLiteral(" ?!"));
}

bool agranditSelection(int& debut, int& fin, int NbrePoints)
{
    if (debut <= 0 || fin >= NbrePoints - 1)
        return false;
    const int c = (debut + fin) / 2;
    const int w = fin - debut;
    const int h = int(std::bit_ceil(unsigned(std::max(w, 1))));
    debut = std::max(0, c - h);
    fin = std::min(NbrePoints - 1, c + h);
    return true;
}

bool reduitSelection(int& debut, int& fin)
{
    const int w = fin - debut;
    if (w <= 512)
        return false;
    const int c = (debut + fin) / 2;
    const int h = int(std::bit_floor(unsigned(w))) / 4;
    debut = c - h;
    fin = c + h;
    return true;
}

bool lectureAvecTimer(int debut, int fin, std::uint32_t FreqEch)
{
    return FreqEch > 0 && double(fin - debut) / FreqEch > dureeMiniTimer;
}

QString texteGeneral7(double x)
{
    if (x == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6e", x);
    const QString e = QString::fromLatin1(buf);
    const int posE = int(e.indexOf(QLatin1Char('e')));
    const int exposant = e.mid(posE + 1).toInt();
    QString s;
    if (exposant < -5 || exposant >= 7) {
        QString mantisse = e.left(posE);
        if (mantisse.contains(QLatin1Char('.'))) {
            while (mantisse.endsWith(QLatin1Char('0')))
                mantisse.chop(1);
            if (mantisse.endsWith(QLatin1Char('.')))
                mantisse.chop(1);
        }
        s = mantisse + QStringLiteral("E") + QString::number(exposant);
    } else {
        std::snprintf(buf, sizeof buf, "%.*f", std::max(0, 6 - exposant), x);
        s = QString::fromLatin1(buf);
        if (s.contains(QLatin1Char('.'))) {
            while (s.endsWith(QLatin1Char('0')))
                s.chop(1);
            if (s.endsWith(QLatin1Char('.')))
                s.chop(1);
        }
    }
    if (separateurDecimal() != QLatin1Char('.'))
        s.replace(QLatin1Char('.'), separateurDecimal());
    return s;
}

QString texteValeur(const TvecteurSon& son, int i, bool droite)
{
    const std::uint8_t* p = son.octets();
    switch (son.formatWave) {
    case f8:
        return QString::number(int(p[i]) - 128);
    case f8stereo:
        return QString::number(int(p[2 * qsizetype(i) + (droite ? 1 : 0)]) - 128);
    case f16:
    case f16stereo:
        return QString::number(droite ? son.droite(i) : son.gauche(i));
    case f24:
        return TexteNombre(valeur24(p + 3 * qsizetype(i)));
    case f24stereo:
        return TexteNombre(valeur24(p + 6 * qsizetype(i) + (droite ? 3 : 0)));
    }
    return {};
}

QStringList lignesTexte(const TvecteurSon& son, int debut, int fin, std::uint32_t FreqEch, bool stereo)
{
    const bool deux = stereo && estStereo(son.formatWave);
    QStringList l;
    l << (deux ? QStringLiteral("t\tsonGauche\tsonDroit") : QStringLiteral("t\tson"));
    l << (deux ? QStringLiteral("s\t\t") : QStringLiteral("s\t"));
    for (int i = debut; i <= fin; ++i) {
        QString ligne = texteGeneral7(double(i - debut) / FreqEch) + QLatin1Char('\t') + texteValeur(son, i, false);
        if (deux)
            ligne += QLatin1Char('\t') + texteValeur(son, i, true);
        l << ligne;
    }
    return l;
}

void tableTabulo(ExchangeText& t, const TvecteurSon& son, int debut, int fin, std::uint32_t FreqEch,
                 int pasReg, bool stereo, bool enveloppe)
{
    const bool deux = stereo && estStereo(son.formatWave);
    if (deux) {
        t.addFields({QStringLiteral("t"), QStringLiteral("sG"), QStringLiteral("sD")});
        t.addFields({QStringLiteral("s"), QString(), QString()});
    } else {
        t.addFields({QStringLiteral("t"), QStringLiteral("s")});
        t.addFields({QStringLiteral("s"), QString()});
    }
    if (!enveloppe) {
        const int pas = std::max(1, pasReg);
        for (int i = debut; i <= fin; ++i) {
            if (i % pas != 0)
                continue;
            QStringList champs{texteGeneral7(double(i - debut) / FreqEch), texteValeur(son, i, false)};
            if (deux)
                champs << texteValeur(son, i, true);
            t.addFields(champs);
        }
        return;
    }
    // Envelope: peak-to-peak of the left channel over 40 ms blocks.
    const int n = int(FreqEch / 25);
    if (n <= 0)
        return;
    const double echelle = est8Bits(son.formatWave) ? 1.0 / 256 : 1.0 / 65536;
    const int blocs = (fin - debut) / n;
    for (int k = 0; k < blocs; ++k) {
        const int premier = debut + k * n;
        int mini = son.gauche(premier), maxi = mini;
        for (int i = premier + 1; i < premier + n; ++i) {
            const int v = son.gauche(i);
            mini = std::min(mini, v);
            maxi = std::max(maxi, v);
        }
        t.addFields({QString::number(k), texteGeneral7((maxi - mini) * echelle)});
    }
}

void sectionsTabulo(ExchangeText& t, bool stereo, const QString& fichier)
{
    const int m = stereo ? 2 : 1;
    t.addSection(QStringLiteral("NOMX"), QStringList(m, QStringLiteral("t")));
    t.addSection(QStringLiteral("NOMY"), stereo ? QStringList{QStringLiteral("sG"), QStringLiteral("sD")}
                                                : QStringList{QStringLiteral("s")});
    t.addSection(QStringLiteral("LIGNE"), QStringList(m, QStringLiteral("2")));
    if (m == 2)
        t.addSection(QStringLiteral("ANALOG"), {QStringLiteral("1")});
    if (!fichier.isEmpty())
        t.addSection(QStringLiteral("FICHIER"), {fichier});
}

QString titreAcquisition(std::uint32_t FreqEch, int pasReg)
{
    return QStringLiteral("Acquisition à fech=%1 Hz").arg(arrondi(double(FreqEch) / std::max(1, pasReg)));
}

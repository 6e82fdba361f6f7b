// The sample sounds shipped with the program are what their names say.
#include "ExchangeText.h"
#include "Fft.h"
#include "LectureWav.h"
#include "NumberText.h"
#include "WavExport.h"

#include <QTest>

class TestSamplesSound : public QObject
{
    Q_OBJECT
private slots:
    void tuningForkIsA440ThatDiesAway();
    void beatIsFourPerSecond();
};

static QString echantillon(const char* nom)
{
    return qEnvironmentVariable("KX_SAMPLES_DIR") + "/" + nom;
}

void TestSamplesSound::tuningForkIsA440ThatDiesAway()
{
    TvecteurSon son;
    const TresultatWav r = litFichierWav(echantillon("diapason.wav"), son);
    QCOMPARE(r.etat, TresultatWav::Lu);
    QCOMPARE(int(r.FreqEch), 44100);
    QCOMPARE(r.NbrePoints, 3 * 44100);
    const auto pic = frequencePic(22050, 22050 + 2048, son);
    QVERIFY(pic);
    QVERIFY2(std::abs(*pic * 44100 / 2048 - 440) < 0.5, qPrintable(QString::number(*pic * 44100 / 2048)));
    int mini, maxiDebut, maxiFin;
    son.minMaxGauche(4410, 8820, mini, maxiDebut);
    son.minMaxGauche(2 * 44100, 2 * 44100 + 4410, mini, maxiFin);
    QVERIFY(maxiFin < maxiDebut / 2);
    QVERIFY(maxiFin > 0);
}

void TestSamplesSound::beatIsFourPerSecond()
{
    TvecteurSon son;
    const TresultatWav r = litFichierWav(echantillon("battements.wav"), son);
    QCOMPARE(r.etat, TresultatWav::Lu);
    // The 40 ms envelope dips once per beat: 8 dips in 2 s.
    setSeparateurDecimal('.');
    ExchangeText t;
    tableTabulo(t, son, 0, r.NbrePoints - 1, r.FreqEch, 1, false, true);
    QVector<double> env;
    for (int i = 2; i < t.lineCount(); ++i)
        env << t.lines()[i][1].toDouble();
    int creux = 0;
    for (int i = 1; i + 1 < env.size(); ++i)
        if (env[i] < env[i - 1] && env[i] <= env[i + 1] && env[i] < 0.4)
            ++creux;
    QCOMPARE(creux, 8);
}

QTEST_GUILESS_MAIN(TestSamplesSound)
#include "tst_samplessound.moc"

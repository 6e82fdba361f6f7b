#include "LectureWav.h"
#include "TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
// 16-bit PCM WAV of silence with a short click centred on each given frame of a channel.
QByteArray wavAvecClics(int canaux, int frequence, int trames, const QList<QPair<int, int>>& clics)
{
    QByteArray d(qsizetype(trames) * canaux * 2, '\0');
    auto pose = [&](int trame, int canal, qint16 v) {
        if (trame >= 0 && trame < trames)
            qToLittleEndian(v, reinterpret_cast<uchar*>(d.data()) + (qsizetype(trame) * canaux + canal) * 2);
    };
    for (const auto& c : clics) {
        pose(c.first - 1, c.second, 9000);
        pose(c.first, c.second, 24000);
        pose(c.first + 1, c.second, 9000);
    }
    QByteArray h(44, '\0');
    auto* p = reinterpret_cast<uchar*>(h.data());
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + d.size()), p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(quint16(canaux), p + 22);
    qToLittleEndian<quint32>(quint32(frequence), p + 24);
    qToLittleEndian<quint32>(quint32(frequence * canaux * 2), p + 28);
    qToLittleEndian<quint16>(quint16(canaux * 2), p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(d.size()), p + 40);
    return h + d;
}

bool encodeMp3(const QString& wav, const QString& mp3)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-hide_banner", "-loglevel", "error", "-y", "-i", wav, "-c:a", "libmp3lame", "-b:a",
                                       "192k", mp3});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

int crete(const TvecteurSon& s, int debut, int fin, bool droite)
{
    int meilleur = debut, v = -1;
    for (int i = debut; i <= fin; ++i) {
        const int a = std::abs(droite ? s.droite(i) : s.gauche(i));
        if (a > v) {
            v = a;
            meilleur = i;
        }
    }
    return meilleur;
}
}

class TestMp3Decoder : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    // The decoded sound starts with the original's first sample: each click lands where it was.
    void gaplessDecoding_data()
    {
        QTest::addColumn<int>("canaux");
        QTest::addColumn<int>("frequence");
        QTest::addColumn<int>("trames");
        QTest::addColumn<int>("clicGauche");
        QTest::addColumn<int>("clicDroit");
        QTest::newRow("mono 44100") << 1 << 44100 << 44100 << 12345 << -1;
        QTest::newRow("mono 22050, click near the start") << 1 << 22050 << 20000 << 700 << -1;
        QTest::newRow("stereo 48000") << 2 << 48000 << 50000 << 5000 << 31000;
    }
    void gaplessDecoding()
    {
        QFETCH(int, canaux);
        QFETCH(int, frequence);
        QFETCH(int, trames);
        QFETCH(int, clicGauche);
        QFETCH(int, clicDroit);
        QList<QPair<int, int>> clics{{clicGauche, 0}};
        if (clicDroit >= 0)
            clics.append({clicDroit, 1});
        const QString source = dir.filePath(QStringLiteral("source.wav"));
        const QString mp3 = dir.filePath(QStringLiteral("Essai %1.mp3").arg(QTest::currentDataTag()));
        QVERIFY(ecritOctets(source, wavAvecClics(canaux, frequence, trames, clics)));
        QVERIFY(encodeMp3(source, mp3));

        QStringList legendes;
        QString erreur;
        const QString wav = convertitMp3(mp3, [&](const QString& t) { legendes << t; }, &erreur);
        QVERIFY2(!wav.isEmpty(), qPrintable(erreur));
        QCOMPARE(wav, mp3.left(mp3.size() - 4) + QStringLiteral(".wav"));
        QCOMPARE(legendes.first(), QStringLiteral("Ouverture du fichier ..."));
        QCOMPARE(legendes.last(), QStringLiteral("Conversion terminée"));
        QVERIFY(legendes.contains(QStringLiteral("Conversion : 100%")));
        int avant = -1;
        for (const QString& l : legendes.mid(1, legendes.size() - 2)) {
            QVERIFY(l.startsWith(QStringLiteral("Conversion : ")) && l.endsWith('%'));
            const int n = l.mid(13).chopped(1).toInt();
            QVERIFY(n > avant);
            avant = n;
        }

        TvecteurSon son;
        const TresultatWav r = litFichierWav(wav, son);
        QCOMPARE(int(r.etat), int(TresultatWav::Lu));
        QCOMPARE(int(r.FreqEch), frequence);
        QCOMPARE(int(r.format), int(canaux == 2 ? f16stereo : f16));
        // Encoder delay and padding are gone: same length, click at its own sample.
        QCOMPARE(r.NbrePoints, trames);
        QVERIFY(qAbs(crete(son, 0, trames - 1, false) - clicGauche) <= 1);
        if (clicDroit >= 0)
            QVERIFY(qAbs(crete(son, 0, trames - 1, true) - clicDroit) <= 1);
    }

    void unreadableFileWritesNothing()
    {
        const QString faux = dir.filePath(QStringLiteral("faux.mp3"));
        QByteArray bruit(5000, '\0');
        for (int i = 0; i < bruit.size(); ++i)
            bruit[i] = char((i * 37) ^ 0x55);
        QVERIFY(ecritOctets(faux, bruit));
        QString erreur;
        QStringList legendes;
        QVERIFY(convertitMp3(faux, [&](const QString& t) { legendes << t; }, &erreur).isEmpty());
        QVERIFY(!erreur.isEmpty());
        QVERIFY(!legendes.contains(QStringLiteral("Conversion terminée")));
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("faux.wav"))));
    }

    void existingWavIsReplaced()
    {
        const QString source = dir.filePath(QStringLiteral("court.wav"));
        const QString mp3 = dir.filePath(QStringLiteral("remplace.mp3"));
        QVERIFY(ecritOctets(source, wavAvecClics(1, 8000, 8000, {{4000, 0}})));
        QVERIFY(encodeMp3(source, mp3));
        QVERIFY(ecritOctets(dir.filePath(QStringLiteral("remplace.wav")), "ancien"));
        QString erreur;
        const QString wav = convertitMp3(mp3, {}, &erreur);
        QVERIFY2(!wav.isEmpty(), qPrintable(erreur));
        TvecteurSon son;
        QCOMPARE(litFichierWav(wav, son).NbrePoints, 8000);
    }
};

QTEST_MAIN(TestMp3Decoder)
#include "tst_mp3decoder.moc"

#include "LectureWav.h"
#include "TestSupport.h"

#include <QDir>
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
    QString sortie() const { return dir.filePath(QStringLiteral("tampon/")); }

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
        const QString wav = convertitSon(mp3, sortie(), [&](const QString& t) { legendes << t; }, &erreur);
        QVERIFY2(!wav.isEmpty(), qPrintable(erreur));
        QCOMPARE(wav, sortie() + QStringLiteral("Essai %1.wav").arg(QTest::currentDataTag()));
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
        QVERIFY(convertitSon(faux, sortie(), [&](const QString& t) { legendes << t; }, &erreur).isEmpty());
        QVERIFY(!erreur.isEmpty());
        QVERIFY(!legendes.contains(QStringLiteral("Conversion terminée")));
        QVERIFY(!QFile::exists(sortie() + QStringLiteral("faux.wav")));
    }

    // The decoded WAV goes to the program's folder: a WAV of the same name beside the MP3 is the
    // user's and stays byte for byte, and a read-only folder (a CD, a locked key) still opens.
    void userFilesAreNeverWritten()
    {
        const QString source = dir.filePath(QStringLiteral("court.wav"));
        QVERIFY(ecritOctets(source, wavAvecClics(1, 8000, 8000, {{4000, 0}})));
        QTemporaryDir classe;
        const QString mp3 = classe.filePath(QStringLiteral("remplace.mp3"));
        QVERIFY(encodeMp3(source, mp3));
        const QByteArray sienne("RIFF le fichier de l'utilisateur");
        QVERIFY(ecritOctets(classe.filePath(QStringLiteral("remplace.wav")), sienne));
        QFile::setPermissions(classe.path(), QFile::ReadOwner | QFile::ExeOwner);
        QString erreur;
        const QString wav = convertitSon(mp3, sortie(), {}, &erreur);
        QFile::setPermissions(classe.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(!wav.isEmpty(), qPrintable(erreur));
        QVERIFY(!wav.startsWith(classe.path()));
        TvecteurSon son;
        QCOMPARE(litFichierWav(wav, son).NbrePoints, 8000);
        QFile f(classe.filePath(QStringLiteral("remplace.wav")));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), sienne);
        QCOMPARE(QDir(classe.path()).entryList(QDir::Files).size(), 2);
    }

    // MP3 frames whose channel count changes (stereo then mono) used to crash the converter,
    // made once for the stream's first layout. Each frame is now converted from its own.
    void channelCountChangingMidStream()
    {
        const QString stereo = dir.filePath(QStringLiteral("st.wav")), mono = dir.filePath(QStringLiteral("mo.wav"));
        QVERIFY(ecritOctets(stereo, wavAvecClics(2, 44100, 22050, {{5000, 0}, {9000, 1}})));
        QVERIFY(ecritOctets(mono, wavAvecClics(1, 44100, 22050, {{11000, 0}})));
        QVERIFY(encodeMp3(stereo, dir.filePath(QStringLiteral("st.mp3"))));
        QVERIFY(encodeMp3(mono, dir.filePath(QStringLiteral("mo.mp3"))));
        QFile a(dir.filePath(QStringLiteral("st.mp3"))), b(dir.filePath(QStringLiteral("mo.mp3")));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QString suite = dir.filePath(QStringLiteral("stereo-puis-mono.mp3"));
        QVERIFY(ecritOctets(suite, a.readAll() + b.readAll()));
        QStringList fichiers{suite};
        const QString partage = QStringLiteral(KX_DAMAGED_DIR "/segv-stereo-then-mono.mp3");
        if (QFile::exists(partage))
            fichiers << partage;
        for (const QString& f : fichiers) {
            QString erreur;
            const QString wav = convertitSon(f, sortie(), {}, &erreur);
            QVERIFY2(!wav.isEmpty(), qPrintable(f + " : " + erreur));
            TvecteurSon son;
            const TresultatWav r = litFichierWav(wav, son);
            QCOMPARE(int(r.etat), int(TresultatWav::Lu));
            QCOMPARE(int(r.format), int(f16stereo));
            if (f == suite) {
                // Both parts are there, the mono one on both channels.
                QVERIFY2(r.NbrePoints >= 44100 - 2 * 1152 && r.NbrePoints <= 44100 + 4 * 1152,
                         qPrintable(QString::number(r.NbrePoints)));
                const int clic = crete(son, 22050 + 2000, r.NbrePoints - 1, false);
                QVERIFY(std::abs(son.droite(clic) - son.gauche(clic)) < 600);
                QVERIFY(std::abs(son.gauche(clic)) > 10000);
            }
        }
    }
};

QTEST_MAIN(TestMp3Decoder)
#include "tst_mp3decoder.moc"

#include "LectureWav.h"
#include "NumberText.h"
#include "TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {
QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, reinterpret_cast<uchar*>(b.data()));
    return b;
}
QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, reinterpret_cast<uchar*>(b.data()));
    return b;
}
QByteArray morceau(const QByteArray& id, const QByteArray& contenu, bool pad = true)
{
    QByteArray b = id + le32(quint32(contenu.size())) + contenu;
    if (pad && (contenu.size() & 1))
        b.append('\0');
    return b;
}
QByteArray fmt(int canaux, quint32 freq, int bits, int extra = 0)
{
    const int bloc = canaux * ((bits + 7) / 8);
    QByteArray c = le16(1) + le16(quint16(canaux)) + le32(freq) + le32(freq * bloc) + le16(quint16(bloc)) + le16(quint16(bits));
    if (extra)
        c += QByteArray(extra, '\0');
    return morceau("fmt ", c);
}
// RIFF file from its chunks; riff < 0 writes the true size.
QByteArray riff(const QByteArray& morceaux, qint64 taille = -1)
{
    return "RIFF" + le32(quint32(taille < 0 ? morceaux.size() + 4 : taille)) + "WAVE" + morceaux;
}
QByteArray rampe16(int n, int depart = 0)
{
    QByteArray b;
    for (int i = 0; i < n; ++i)
        b += le16(quint16(qint16(depart + 7 * i)));
    return b;
}
}

class TestLectureWav : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString ecrit(const QString& nom, const QByteArray& octets)
    {
        const QString chemin = dir.filePath(nom);
        if (!ecritOctets(chemin, octets))
            return QString();
        return chemin;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        setSeparateurDecimal('.');
    }

    void reads_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<int>("etat");
        QTest::addColumn<QString>("erreur");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("premier");  // left value of frame 0
        QTest::addColumn<int>("dernier");  // left value of the last frame

        const int lu = TresultatWav::Lu, err = TresultatWav::Erreur;
        const QByteArray d = rampe16(100, -300);
        const QByteArray std44 = riff(fmt(1, 11025, 16) + morceau("data", d));
        QTest::newRow("standard 44-byte header") << std44 << lu << "" << int(f16) << 100 << -300 << -300 + 7 * 99;
        QCOMPARE(std44.indexOf("data"), 36);
        QTest::newRow("18-byte fmt chunk") << riff(fmt(1, 11025, 16, 2) + morceau("data", d)) << lu << "" << int(f16) << 100
                                           << -300 << 393;
        QTest::newRow("12 bits refused") << riff(fmt(1, 11025, 12) + morceau("data", d)) << err
                                         << "Format du fichier WAV non reconnu" << int(f8) << 0 << 0 << 0;
        QTest::newRow("32 bits refused") << riff(fmt(1, 11025, 32) + morceau("data", d)) << err
                                         << "Format du fichier WAV non reconnu" << int(f8) << 0 << 0 << 0;
        QTest::newRow("stereo 16-bit 1000 bytes") << riff(fmt(2, 44100, 16) + morceau("data", rampe16(500))) << lu << ""
                                                  << int(f16stereo) << 250 << 0 << 7 * 498;
        QTest::newRow("data size past the end of file")
            << riff(fmt(1, 8000, 16) + "data" + le32(1000000) + rampe16(33) + "x") << lu << "" << int(f16) << 33 << 0 << 224;
        // Any count but 1 or 2 used to read as interleaved mono, with a wrong duration.
        for (int canaux : {0, 3, 6, 129})
            QTest::addRow("%d channels refused", canaux)
                << riff(fmt(canaux, 8000, 16) + morceau("data", rampe16(12))) << err << "Format du fichier WAV non reconnu"
                << int(f8) << 0 << 0 << 0;
        QTest::newRow("rate 0xFFFFFFFF refused") << riff(fmt(1, 0xFFFFFFFF, 16) + morceau("data", d)) << err
                                                 << "Format du fichier WAV non reconnu" << int(f8) << 0 << 0 << 0;
        // 32-bit float (format code 3), as common audio editors export: read as 16-bit words.
        QByteArray flottants;
        for (float v : {0.5f, -1.0f, 1.5f, 0.25f}) {
            QByteArray b(4, '\0');
            memcpy(b.data(), &v, 4);
            flottants += b;
        }
        QByteArray fmtFlottant = fmt(1, 48000, 32);
        fmtFlottant[8] = 3;
        QTest::newRow("32-bit float") << riff(fmtFlottant + morceau("data", flottants)) << lu << "" << int(f16) << 4 << 16384
                                      << 8192;
        QTest::newRow("8-bit stereo") << riff(fmt(2, 8000, 8) + morceau("data", QByteArray("\x10\x20\x30\x40\x50", 5)))
                                      << lu << "" << int(f8stereo) << 2 << 0x10 << 0x30;
        QTest::newRow("24-bit stereo")
            << riff(fmt(2, 48000, 24) + morceau("data", QByteArray("\0\x34\x12\0\0\0\xFF\xFF\xFF\0\0\0", 12))) << lu << ""
            << int(f24stereo) << 2 << 0x1234 << -1;
        // A "data" pattern inside a LIST chunk is not the data chunk.
        QTest::newRow("data pattern inside LIST")
            << riff(fmt(1, 11025, 16) + morceau("LIST", "INFOICMT" + le32(12) + "data" + le32(2) + "zzzz") +
                    morceau("data", d))
            << lu << "" << int(f16) << 100 << -300 << 393;
        QTest::newRow("fmt after another chunk")
            << riff(morceau("JUNK", QByteArray(28, 'j')) + fmt(1, 22050, 8) + morceau("data", "\x80\x81\x82"))
            << lu << "" << int(f8) << 3 << 0x80 << 0x82;
        QTest::newRow("odd chunk with its pad byte")
            << riff(fmt(1, 8000, 8) + morceau("note", "abc") + morceau("data", "\x01\x02")) << lu << "" << int(f8) << 2 << 1
            << 2;
        QTest::newRow("odd chunk without pad byte")
            << riff(fmt(1, 8000, 8) + morceau("note", "abc", false) + morceau("data", "\x01\x02")) << lu << "" << int(f8) << 2
            << 1 << 2;
        QTest::newRow("no data chunk") << riff(fmt(1, 11025, 16) + morceau("LIST", QByteArray(40, 'a'))) << err
                                       << "Format incorrect" << int(f8) << 0 << 0 << 0;
        QTest::newRow("data beyond the RIFF size") << riff(fmt(1, 11025, 16) + morceau("data", d), 20) << err
                                                   << "Format incorrect" << int(f8) << 0 << 0 << 0;
        QTest::newRow("empty data") << riff(fmt(1, 11025, 16) + morceau("data", "")) << err << "" << int(f8) << 0 << 0 << 0;
        QTest::newRow("half a frame") << riff(fmt(2, 11025, 16) + morceau("data", "abc")) << err << "" << int(f8) << 0 << 0
                                      << 0;
        QTest::newRow("zero rate") << riff(fmt(1, 0, 16) + morceau("data", d)) << err << "Format du fichier WAV non reconnu"
                                   << int(f8) << 0 << 0 << 0;
        QTest::newRow("not a sound file") << QByteArray("ID3\x03\0\0\0\0\0\x0f hello there, this is no riff file at all") << err
                                          << "Format du fichier WAV non reconnu" << int(f8) << 0 << 0 << 0;
        QTest::newRow("empty file") << QByteArray() << err << "Format du fichier WAV non reconnu" << int(f8) << 0 << 0 << 0;
    }
    void reads()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(int, etat);
        QFETCH(QString, erreur);
        QFETCH(int, format);
        QFETCH(int, points);
        QFETCH(int, premier);
        QFETCH(int, dernier);
        const QString chemin = ecrit(QStringLiteral("cas.wav"), fichier);
        QVERIFY(!chemin.isEmpty());
        TvecteurSon son;
        son.assigne(f8, QByteArray(10, 'x'));  // a previous sound
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(int(r.etat), etat);
        QCOMPARE(r.erreur, erreur);
        QCOMPARE(r.NbrePoints, points);
        QCOMPARE(son.nombreTrames(), points);
        if (etat == TresultatWav::Lu) {
            QCOMPARE(int(r.format), format);
            QCOMPARE(int(son.formatWave), format);
            QCOMPARE(son.gauche(0), premier);
            QCOMPARE(son.gauche(points - 1), dernier);
            QCOMPARE(r.nomFichier, chemin);
            QCOMPARE(r.titre, QStringLiteral("Lecture de fichier son pour Tabulo [cas.wav]"));
        } else {
            QVERIFY(r.nomFichier.isEmpty());
            QCOMPARE(r.titre, QStringLiteral("Lecture de fichier son pour Tabulo"));
        }
    }

    void labels()
    {
        const QString chemin = ecrit(QStringLiteral("Un son.wav"), riff(fmt(1, 11025, 16) + morceau("data", rampe16(16538))));
        TvecteurSon son;
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(r.labelFrequence, QStringLiteral("Fech=11025 Hz ; 16 bits"));
        // To one sampling period.
        QCOMPARE(r.labelDuree, QStringLiteral("Durée=1.50005 s"));
        QCOMPARE(r.titre, QStringLiteral("Lecture de fichier son pour Tabulo [Un son.wav]"));
        QVERIFY(!r.tronque);
        setSeparateurDecimal(',');
        QCOMPARE(litFichierWav(chemin, son).labelDuree, QStringLiteral("Durée=1,50005 s"));
        setSeparateurDecimal('.');
        // The rate label stays when a later step fails.
        const QString sansData = ecrit(QStringLiteral("sans.wav"), riff(fmt(2, 8000, 8)));
        const TresultatWav r2 = litFichierWav(sansData, son);
        QCOMPARE(r2.erreur, QStringLiteral("Format incorrect"));
        QCOMPARE(r2.labelFrequence, QStringLiteral("Fech=8000 Hz ; 8 bits"));
    }

    void missingFileChangesNothing()
    {
        TvecteurSon son;
        son.assigne(f16, rampe16(10));
        const TresultatWav r = litFichierWav(dir.filePath(QStringLiteral("absent.wav")), son);
        QCOMPARE(int(r.etat), int(TresultatWav::FichierAbsent));
        QCOMPARE(son.nombreTrames(), 10);
    }

    void folderIsNotOpened()
    {
        TvecteurSon son;
        const TresultatWav r = litFichierWav(dir.path(), son);
        QCOMPARE(int(r.etat), int(TresultatWav::Erreur));
        QVERIFY(r.nomFichier.isEmpty());
    }

    // Every cut and many corruptions of a file either read whole frames or fail cleanly.
    void damagedFilesNeverReadPastTheirBytes()
    {
        const QByteArray bon = riff(morceau("LIST", "INFOISFT" + le32(5) + QByteArray("kx!!!")) + fmt(2, 22050, 16) +
                                    morceau("data", rampe16(40)));
        QRandomGenerator alea(3);
        for (int n = 0; n <= bon.size() + 40; ++n) {
            QByteArray f = n <= bon.size() ? bon.left(n) : bon;
            if (n > bon.size())
                for (int k = 0; k < 3; ++k)
                    f[int(alea.bounded(f.size()))] = char(alea.bounded(256));
            const QString chemin = ecrit(QStringLiteral("abime.wav"), f);
            TvecteurSon son;
            const TresultatWav r = litFichierWav(chemin, son);
            QVERIFY(r.etat != TresultatWav::FichierAbsent);
            QCOMPARE(son.nombreTrames(), r.NbrePoints);
            QVERIFY(son.taille() <= f.size());
            if (r.etat == TresultatWav::Lu)
                QVERIFY(r.NbrePoints >= 1);
        }
    }

    void longDataIsTruncated()
    {
        const qint64 taille = 50000000;
        QByteArray f = riff(fmt(1, 44100, 16) + "data" + le32(quint32(taille)), taille + 36);
        f.append(QByteArray(taille, '\x01'));
        const QString chemin = ecrit(QStringLiteral("long.wav"), f);
        f.clear();
        TvecteurSon son;
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(int(r.etat), int(TresultatWav::Lu));
        QVERIFY(r.tronque);
        QCOMPARE(son.taille(), qint64(41943040));
        QCOMPARE(r.NbrePoints, 41943040 / 2);
        QVERIFY(r.titre.endsWith(QStringLiteral("[long.wav] (trop long donc tronqué)")));
        QFile::remove(chemin);
    }

    // A streaming writer's size of 0xFFFFFFFF on a short file is no truncation.
    void hugeDeclaredSizeOnShortFileIsNotTruncated()
    {
        const QString chemin = ecrit(QStringLiteral("flux.wav"), riff(fmt(1, 8000, 8) + "data" + le32(0xFFFFFFFF) + "abcd"));
        TvecteurSon son;
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(r.NbrePoints, 4);
        QVERIFY(!r.tronque);
        QVERIFY(!r.titre.contains(QStringLiteral("tronqué")));
    }

    // A file cut before its declared end: what is there is read, and the user is told.
    void cutFileIsReadWithAWarning()
    {
        const QString chemin = ecrit(QStringLiteral("coupe.wav"), riff(fmt(1, 8000, 16) + "data" + le32(1000) + rampe16(33)));
        TvecteurSon son;
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(int(r.etat), int(TresultatWav::Lu));
        QCOMPARE(r.NbrePoints, 33);
        QCOMPARE(r.avertissement, QStringLiteral("Le fichier « coupe.wav » est incomplet : 33 échantillons lus sur 500 annoncés."));
    }

    // Every refusal names the file and says why, in French.
    void refusalsSayWhy_data()
    {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<QString>("raison");
        QTest::newRow("text file") << QByteArray("Bonjour, ceci est un texte et non un son.\n")
                                   << "Format du fichier WAV non reconnu : ce n'est pas un fichier son WAV";
        QTest::newRow("empty data") << riff(fmt(1, 11025, 16) + morceau("data", "")) << "le fichier ne contient aucun échantillon";
        QTest::newRow("6 channels") << riff(fmt(6, 8000, 16) + morceau("data", rampe16(12)))
                                    << "Format du fichier WAV non reconnu : 6 voies ; seuls les sons mono et stéréo sont lus";
        QTest::newRow("rate 0xFFFFFFFF") << riff(fmt(1, 0xFFFFFFFF, 16) + morceau("data", rampe16(12)))
                                         << "Format du fichier WAV non reconnu : fréquence d'échantillonnage impossible "
                                            "(4294967295 Hz)";
        QTest::newRow("compressed") << riff(fmt(1, 8000, 16).replace(8, 1, "\x11") + morceau("data", rampe16(12)))
                                    << "Format du fichier WAV non reconnu : son compressé (code de format 17) ; seuls les "
                                       "sons PCM sont lus";
    }
    void refusalsSayWhy()
    {
        QFETCH(QByteArray, fichier);
        QFETCH(QString, raison);
        const QString chemin = ecrit(QStringLiteral("refus.wav"), fichier);
        TvecteurSon son;
        const TresultatWav r = litFichierWav(chemin, son);
        QCOMPARE(int(r.etat), int(TresultatWav::Erreur));
        QCOMPARE(texteRefus(chemin, r), QStringLiteral("Le fichier « refus.wav » n'a pas été ouvert.\n") + raison
                                            + QStringLiteral(".\nLe son déjà chargé est conservé."));
    }

    void durations_data()
    {
        QTest::addColumn<int>("trames");
        QTest::addColumn<int>("frequence");
        QTest::addColumn<QString>("texte");
        QTest::newRow("100 frames at 44100 Hz") << 100 << 44100 << "2.27 ms";
        QTest::newRow("441 frames at 44100 Hz") << 441 << 44100 << "10.00 ms";
        QTest::newRow("one 440 Hz period at 8000 Hz") << 18 << 8000 << "2.3 ms";
        QTest::newRow("two seconds at 11025 Hz") << 22050 << 11025 << "2.00000 s";
    }
    void durations()
    {
        QFETCH(int, trames);
        QFETCH(int, frequence);
        QFETCH(QString, texte);
        QCOMPARE(texteDuree(double(trames) / frequence, quint32(frequence)), texte);
    }

    void frameStepOfTheWholeView_data()
    {
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("largeur");
        QTest::addColumn<int>("pas");
        QTest::newRow("fewer frames than pixels") << 500 << 1000 << 1;
        QTest::newRow("quotient 1") << 1999 << 1000 << 1;
        QTest::newRow("quotient 2") << 2000 << 1000 << 2;
        QTest::newRow("quotient 3") << 3000 << 1000 << 4;
        QTest::newRow("quotient 1024") << 1024000 << 1000 << 1024;
        QTest::newRow("quotient 1025") << 1025000 << 1000 << 2048;
    }
    void frameStepOfTheWholeView()
    {
        QFETCH(int, points);
        QFETCH(int, largeur);
        QFETCH(int, pas);
        QCOMPARE(pasTracePour(points, largeur), pas);
    }

    void fixedText_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("texte");
        QTest::newRow("two decimals") << 1.005 << "1.00";
        QTest::newRow("five significant digits first") << 5242.88 << "5242.90";
        QTest::newRow("small") << 0.004 << "0.00";
    }
    void fixedText()
    {
        QFETCH(double, x);
        QFETCH(QString, texte);
        QCOMPARE(texteFixe(x, 5, 2), texte);
    }
};

QTEST_MAIN(TestLectureWav)
#include "tst_lecturewav.moc"

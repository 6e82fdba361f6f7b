// Real playing and recording through the private sound server started by scripts/audio-server.
#include "SoundPlayer.h"
#include "SoundRecorder.h"

#include <QAudioDevice>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <QtEndian>
#include <cmath>

namespace {

QString raisonSansSon(bool entree)
{
    const bool absent = entree ? QMediaDevices::defaultAudioInput().isNull()
                               : QMediaDevices::defaultAudioOutput().isNull();
    if (!absent)
        return {};
    return qEnvironmentVariableIsSet("PULSE_SERVER")
               ? QStringLiteral("the sound server at PULSE_SERVER offers no device")
               : QStringLiteral("no sound device and no private sound server (run through scripts/test)");
}

QByteArray sinus16(int trames, int frequence, double hz)
{
    QByteArray b(trames * 2, '\0');
    for (int i = 0; i < trames; ++i)
        qToLittleEndian<qint16>(qint16(8000 * std::sin(2 * M_PI * hz * i / frequence)), b.data() + 2 * i);
    return b;
}

} // namespace

class TestSoundIo : public QObject
{
    Q_OBJECT
private slots:
    void wavHeader();
    void playReachesTheEnd_data();
    void playReachesTheEnd();
    void stopEndsAtOnce();
    void recordOneSecond_data();
    void recordOneSecond();
    void captureDeliversBuffers();
};

void TestSoundIo::wavHeader()
{
    const QByteArray w = fichierWavMono(QByteArray(10, 'x'), 22050, 16);
    QCOMPARE(w.size(), 54);
    QCOMPARE(w.left(4), QByteArray("RIFF"));
    QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 4), 46u);
    QCOMPARE(w.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 22), quint16(1));
    QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 24), 22050u);
    QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 28), 44100u);
    QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 32), quint16(2));
    QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 34), quint16(16));
    QCOMPARE(w.mid(36, 4), QByteArray("data"));
    QCOMPARE(qFromLittleEndian<quint32>(w.constData() + 40), 10u);
}

void TestSoundIo::playReachesTheEnd_data()
{
    QTest::addColumn<int>("frequence");
    QTest::addColumn<int>("voies");
    QTest::addColumn<int>("bits");
    QTest::newRow("11025 Hz 16 bits mono") << 11025 << 1 << 16;
    QTest::newRow("22050 Hz 8 bits stereo") << 22050 << 2 << 8;
}

// The heard position starts at the range's first frame, never runs ahead of the time really
// elapsed (the output latency is taken off) and ends exactly on the range's end.
void TestSoundIo::playReachesTheEnd()
{
    QFETCH(int, frequence);
    QFETCH(int, voies);
    QFETCH(int, bits);
    if (const QString r = raisonSansSon(false); !r.isEmpty())
        QSKIP(qPrintable(r));
    auto player = creeSoundPlayer();
    QVERIFY(player->indisponible().isEmpty());
    const FormatSon f{frequence, voies, bits};
    const int trames = frequence * 6 / 10;
    QByteArray pcm = bits == 16 ? sinus16(trames * voies, frequence, 440) : QByteArray(trames * voies, char(128));
    const qint64 premiere = 5000;
    QSignalSpy fini(player.get(), &SoundPlayer::termine);
    QElapsedTimer horloge;
    horloge.start();
    QVERIFY2(player->joue(pcm, f, premiere), qPrintable(player->erreur()));
    QVERIFY(player->enLecture());
    qint64 precedente = player->position();
    QVERIFY(precedente >= premiere);
    QVERIFY(precedente < premiere + trames / 4);
    qint64 milieu = -1;
    while (fini.isEmpty() && horloge.elapsed() < 5000) {
        QTest::qWait(10);
        const qint64 p = player->position();
        // The sink reads a little ahead of what comes out; the output buffer is far more.
        const qint64 tempsMax = (horloge.elapsed() + 120) * frequence / 1000;
        QVERIFY2(p >= precedente, "the position went back");
        QVERIFY2(p - premiere <= tempsMax, qPrintable(QStringLiteral("frame %1 heard after only %2 ms")
                                                          .arg(p - premiere).arg(horloge.elapsed())));
        if (p > premiere && p < premiere + trames)
            milieu = p;
        precedente = p;
    }
    QCOMPARE(fini.count(), 1);
    QVERIFY2(milieu > 0, "no position seen strictly inside the range");
    QVERIFY(!player->enLecture());
    QCOMPARE(player->position(), premiere + trames);
}

void TestSoundIo::stopEndsAtOnce()
{
    if (const QString r = raisonSansSon(false); !r.isEmpty())
        QSKIP(qPrintable(r));
    auto player = creeSoundPlayer();
    QSignalSpy fini(player.get(), &SoundPlayer::termine);
    QVERIFY(player->joue(sinus16(11025 * 3, 11025, 300), FormatSon{11025, 1, 16}, 0));
    QTest::qWait(200);
    player->arrete();
    QVERIFY(!player->enLecture());
    const qint64 arret = player->position();
    QVERIFY(arret < 11025 * 3);
    QTest::qWait(200);
    QCOMPARE(fini.count(), 0);
    QCOMPARE(player->position(), arret);
}

void TestSoundIo::recordOneSecond_data()
{
    QTest::addColumn<int>("frequence");
    QTest::addColumn<int>("bits");
    QTest::newRow("11025 Hz 8 bits") << 11025 << 8;
    QTest::newRow("44100 Hz 16 bits") << 44100 << 16;
}

// One second from the null source comes back as a one-second mono WAV of the chosen format,
// holding silence.
void TestSoundIo::recordOneSecond()
{
    QFETCH(int, frequence);
    QFETCH(int, bits);
    if (const QString r = raisonSansSon(true); !r.isEmpty())
        QSKIP(qPrintable(r));
    QTemporaryDir dir;
    const QString fichier = dir.filePath("kinexo.wav");
    auto rec = creeSoundRecorder();
    QVERIFY2(rec->demarre(frequence, bits), qPrintable(rec->erreur()));
    QVERIFY(rec->enregistre());
    QTest::qWait(1000);
    QVERIFY2(rec->arrete(fichier), qPrintable(rec->erreur()));
    QVERIFY(!rec->enregistre());
    QFile f(fichier);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray w = f.readAll();
    QVERIFY(w.size() > 44);
    QCOMPARE(qFromLittleEndian<quint16>(w.constData() + 22), quint16(1));
    QCOMPARE(int(qFromLittleEndian<quint32>(w.constData() + 24)), frequence);
    QCOMPARE(int(qFromLittleEndian<quint16>(w.constData() + 34)), bits);
    const int octets = int(qFromLittleEndian<quint32>(w.constData() + 40));
    QCOMPARE(octets, w.size() - 44);
    const double secondes = double(octets) / (frequence * bits / 8);
    QVERIFY2(secondes > 0.7 && secondes < 1.6, qPrintable(QString::number(secondes)));
    const QByteArray pcm = w.mid(44);
    if (bits == 8)
        QCOMPARE(pcm.count(char(128)), pcm.size());
    else
        QCOMPARE(pcm.count('\0'), pcm.size());
    QVERIFY(!QFile::exists(fichier + ".tmp"));
}

void TestSoundIo::captureDeliversBuffers()
{
    if (const QString r = raisonSansSon(true); !r.isEmpty())
        QSKIP(qPrintable(r));
    auto cap = creeSoundCapture();
    QVERIFY(!cap->nomEntree().isEmpty());
    QVERIFY(cap->supporte(11025, 8));
    QSignalSpy tampons(cap.get(), &SoundCapture::tamponTermine);
    QVERIFY(cap->ouvre(11025, 8, 4096));
    QTRY_VERIFY_WITH_TIMEOUT(tampons.count() >= 1, 3000);
    QCOMPARE(tampons.at(0).at(0).toByteArray().size(), 4096);
    tampons.clear();
    cap->reinitialise();
    QVERIFY(!cap->ouverte());
    QTRY_COMPARE(tampons.count(), 1);
    QVERIFY(tampons.at(0).at(0).toByteArray().size() < 4096);
}

// Qt 6.4's PulseAudio engine may abort while it is torn down at process exit, after every
// test has passed; the result is reported before that teardown.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TestSoundIo t;
    const int rc = QTest::qExec(&t, argc, argv);
    std::fflush(nullptr);
    std::_Exit(rc);
}
#include "tst_soundio.moc"

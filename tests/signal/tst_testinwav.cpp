#include "FakeSound.h"
#include "TestInWav.h"

#include <QAudioDevice>
#include <QButtonGroup>
#include <QFile>
#include <QFrame>
#include <QMediaDevices>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <QtEndian>

namespace {

QByteArray mots16(std::initializer_list<int> valeurs)
{
    QByteArray b(int(valeurs.size()) * 2, '\0');
    int i = 0;
    for (int v : valeurs)
        qToLittleEndian<qint16>(qint16(v), b.data() + 2 * i++);
    return b;
}

QByteArray octets8(int valeur, int n = 4096) { return QByteArray(n, char(valeur)); }

} // namespace

class TestTestInWav : public QObject
{
    Q_OBJECT
private slots:
    void niveau_data();
    void niveau();
    void iMaxi_data();
    void iMaxi();
    void peakHoldSpansIMaxiPlusOneBuffers();
    void initialMode();
    void oneFormatDevice();
    void closeWaitsForTheReturnedBuffer();
    void okSetsTheChosenFormat();
    void formatChangeOnNextBuffer();
    void errors();
    void volumeButton();
    void nullSource();
};

void TestTestInWav::niveau_data()
{
    QTest::addColumn<QByteArray>("tampon");
    QTest::addColumn<bool>("is8bits");
    QTest::addColumn<int>("attendu");
    QTest::newRow("8-bit silence") << octets8(128) << true << 0;
    QTest::newRow("8-bit negative half-wave only") << octets8(0) << true << 0;
    QTest::newRow("8-bit full positive") << octets8(255) << true << 127;
    QByteArray mixte = octets8(128);
    mixte[100] = char(200);
    mixte[101] = char(10);
    QTest::newRow("8-bit one peak") << mixte << true << 72;
    QTest::newRow("16-bit silence") << QByteArray(4096, '\0') << false << 0;
    QTest::newRow("16-bit -32768") << mots16({0, 5, -32768, 7}) << false << 128;
    QTest::newRow("16-bit 32767") << mots16({32767}) << false << 127;
    QTest::newRow("16-bit below one step") << mots16({255, -255}) << false << 0;
    QTest::newRow("16-bit -1000") << mots16({100, -1000}) << false << 3;
}

void TestTestInWav::niveau()
{
    QFETCH(QByteArray, tampon);
    QFETCH(bool, is8bits);
    QFETCH(int, attendu);
    QCOMPARE(TniveauEntree::niveau(tampon, is8bits), attendu);
}

void TestTestInWav::iMaxi_data()
{
    QTest::addColumn<int>("frequence");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("attendu");
    QTest::newRow("11025 8") << 11025 << 8 << 4;
    QTest::newRow("11025 16") << 11025 << 16 << 8;
    QTest::newRow("22050 8") << 22050 << 8 << 8;
    QTest::newRow("22050 16") << 22050 << 16 << 16;
    QTest::newRow("44100 8") << 44100 << 8 << 16;
    QTest::newRow("44100 16") << 44100 << 16 << 32;
}

void TestTestInWav::iMaxi()
{
    QFETCH(int, frequence);
    QFETCH(int, bits);
    QFETCH(int, attendu);
    QCOMPARE(TniveauEntree::iMaxiPour(frequence, bits), attendu);
}

void TestTestInWav::peakHoldSpansIMaxiPlusOneBuffers()
{
    TniveauEntree n;
    n.demarre(11025, 8);
    QCOMPARE(n.iMaxi, 4);
    QCOMPARE(n.ajoute(octets8(228)), 100);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(n.ajoute(octets8(128)), 0);
        QCOMPARE(n.crete(), 100);
    }
    n.ajoute(octets8(138));
    QCOMPARE(n.crete(), 10);
}

void TestTestInWav::initialMode()
{
    const auto tous = TTestWavDlg::modesEnregistrement([](int, int) { return true; });
    QCOMPARE(int(tous.size()), 6);
    QCOMPARE(tous[0].texte, QStringLiteral("11025 Hz 8 bits"));
    QCOMPARE(tous[5].texte, QStringLiteral("44100 Hz 16 bits"));
    const auto seize = TTestWavDlg::modesEnregistrement([](int, int b) { return b == 16; });
    QCOMPARE(int(seize.size()), 3);
    QCOMPARE(seize[1].frequence, 22050);
    QCOMPARE(TTestWavDlg::modeInitial(tous, 22050, 16, 0), 3);
    QCOMPARE(TTestWavDlg::modeInitial(tous, 8000, 8, 2), 2);   // no match: the saved index
    QCOMPARE(TTestWavDlg::modeInitial(seize, 8000, 8, 5), -1); // saved index outside the list
}

void TestTestInWav::oneFormatDevice()
{
    FakeCapture cap;
    TTestWavDlg dlg(cap, 44100, 16, 0);
    dlg.show();
    QTRY_COMPARE(cap.ouvertures, 1);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Choix du mode d'enregistrement Entrée de test"));
    QCOMPARE(int(dlg.modes().size()), 1);
    QCOMPARE(dlg.ModeRG()->buttons().size(), 1);
    QVERIFY(dlg.ModeRG()->button(0)->isChecked());
    QCOMPARE(cap.frequence, 11025);
    QCOMPARE(dlg.niveau().iMaxi, 4);
    cap.livre(octets8(192));
    QCOMPARE(dlg.VolumePB()->value(), 64);
    QCOMPARE(dlg.CourantB()->x(), 126);
    QCoreApplication::processEvents();
    dlg.grab().save(QDir::temp().filePath("kinexo-testinwav.png"));
    for (int i = 0; i < 4; ++i)
        cap.livre(octets8(128));
    QCOMPARE(dlg.VolumePB()->value(), 64);   // held over the last five buffers
    QCOMPARE(dlg.CourantB()->x(), -2);
    cap.livre(octets8(128));
    QCOMPARE(dlg.VolumePB()->value(), 0);
}

void TestTestInWav::closeWaitsForTheReturnedBuffer()
{
    FakeCapture cap;
    TTestWavDlg dlg(cap, 11025, 8, 0);
    dlg.show();
    QTRY_VERIFY(cap.ouverte());
    dlg.close();
    QVERIFY(dlg.isVisible());       // the first request only resets the input
    QCOMPARE(cap.reinitialisations, 1);
    QVERIFY(dlg.close_invoked);
    QVERIFY(!dlg.close_complete);
    QTRY_VERIFY(!dlg.isVisible());  // the returned buffer closes it
    QVERIFY(dlg.close_complete);
    QCOMPARE(dlg.result(), int(QDialog::Rejected));
}

void TestTestInWav::okSetsTheChosenFormat()
{
    FakeCapture cap;
    cap.formats = {{11025, 8}, {22050, 16}, {44100, 16}};
    TTestWavDlg dlg(cap, 11025, 8, 0);
    dlg.show();
    QTRY_VERIFY(cap.ouverte());
    QCOMPARE(dlg.ModeRG()->buttons().size(), 3);
    dlg.ModeRG()->button(2)->click();
    QVERIFY(dlg.change_invoked);
    QPushButton* ok = nullptr;
    for (auto* b : dlg.findChildren<QPushButton*>())
        if (b->text() == "OK")
            ok = b;
    QVERIFY(ok);
    ok->click();
    QTRY_VERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.FreqEch(), 44100);
    QCOMPARE(dlg.NBits(), 16);
    QCOMPARE(dlg.IndexMode(), 2);
}

void TestTestInWav::formatChangeOnNextBuffer()
{
    FakeCapture cap;
    cap.formats = {{11025, 8}, {22050, 16}};
    TTestWavDlg dlg(cap, 11025, 8, 0);
    dlg.show();
    QTRY_COMPARE(cap.ouvertures, 1);
    dlg.ModeRG()->button(1)->click();
    QCOMPARE(cap.ouvertures, 1);   // not before the buffer comes back
    cap.livre(octets8(128));
    QCOMPARE(cap.ouvertures, 2);
    QCOMPARE(cap.frequence, 22050);
    QCOMPARE(cap.bits, 16);
    QCOMPARE(dlg.niveau().iMaxi, 16);
    QVERIFY(!dlg.change_invoked);
    cap.livre(mots16({-32768}));
    QCOMPARE(dlg.VolumePB()->value(), 128);
}

void TestTestInWav::errors()
{
    {
        FakeCapture cap;
        cap.nom.clear();
        TTestWavDlg dlg(cap, 11025, 8, 0);
        QStringList vus;
        dlg.message = [&vus](const QString& t) { vus << t; };
        dlg.show();
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(vus, QStringList{"Pas d'entrée son"});
    }
    {
        FakeCapture cap;
        cap.refuseOuverture = true;
        TTestWavDlg dlg(cap, 11025, 8, 0);
        QStringList vus;
        dlg.message = [&vus](const QString& t) { vus << t; };
        dlg.show();
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(vus, QStringList{"Problem creating record handle"});
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
    }
    {
        // Nothing selectable: the dialog stays, OK is off, closing needs no input.
        FakeCapture cap;
        cap.formats.clear();
        TTestWavDlg dlg(cap, 11025, 8, 3);
        dlg.show();
        QTest::qWait(50);
        QVERIFY(dlg.isVisible());
        QCOMPARE(cap.ouvertures, 0);
        dlg.reject();
        QVERIFY(!dlg.isVisible());
    }
}

void TestTestInWav::volumeButton()
{
    QTemporaryDir bin;
    const QByteArray ancien = qgetenv("PATH");
    FakeCapture cap;
    {
        qputenv("PATH", bin.path().toLocal8Bit());
        TTestWavDlg dlg(cap, 11025, 8, 0);
        QStringList vus;
        dlg.message = [&vus](const QString& t) { vus << t; };
        dlg.show();
        dlg.VolumeBtn()->click();
        QCOMPARE(vus, QStringList{"Impossible"});
        QVERIFY(dlg.VolumeBtn()->isHidden());
    }
    {
        const QString trace = bin.filePath("appel");
        QFile script(bin.filePath("pavucontrol"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\necho \"$@\" > '%1'\n").arg(trace).toLocal8Bit());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TTestWavDlg dlg(cap, 11025, 8, 0);
        QStringList vus;
        dlg.message = [&vus](const QString& t) { vus << t; };
        dlg.show();
        dlg.VolumeBtn()->click();
        QVERIFY(vus.isEmpty());
        QTRY_VERIFY(QFile::exists(trace));
        QFile t(trace);
        QVERIFY(t.open(QIODevice::ReadOnly));
        QCOMPARE(t.readAll().trimmed(), QByteArray("--tab=4"));
    }
    qputenv("PATH", ancien);
}

// The private sound server's null source: every candidate it takes is listed and silence reads 0.
void TestTestInWav::nullSource()
{
    if (QMediaDevices::defaultAudioInput().isNull())
        QSKIP("no sound input: the private sound server of scripts/test is not running");
    auto cap = creeSoundCapture();
    TTestWavDlg dlg(*cap, 11025, 8, 0);
    dlg.show();
    QTRY_VERIFY(cap->ouverte());
    const auto attendus = TTestWavDlg::modesEnregistrement([&](int f, int b) { return cap->supporte(f, b); });
    QVERIFY(!attendus.empty());
    QCOMPARE(dlg.ModeRG()->buttons().size(), int(attendus.size()));
    for (size_t i = 0; i < attendus.size(); ++i)
        QCOMPARE(dlg.ModeRG()->button(int(i))->text(), attendus[i].texte);
    dlg.VolumePB()->setValue(50);
    QTRY_VERIFY_WITH_TIMEOUT(dlg.niveau().oldMaxi[4] == 0 && dlg.VolumePB()->value() == 0, 5000);
    dlg.reject();
    QTRY_VERIFY(!dlg.isVisible());
    QVERIFY(!cap->ouverte());
}

// Qt 6.4's PulseAudio engine may abort while it is torn down at process exit, after every
// test has passed; the result is reported before that teardown.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestTestInWav t;
    const int rc = QTest::qExec(&t, argc, argv);
    std::fflush(nullptr);
    std::_Exit(rc);
}
#include "tst_testinwav.moc"

#include "FakeSound.h"
#include "LectureWav.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TransferButton.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "Transfert.h"
#include "WavMain.h"

#include <QButtonGroup>
#include <QAbstractButton>

#include <QAudioDevice>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QTimer>
#include <QComboBox>
#include <QLabel>
#include <QMediaDevices>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <QToolButton>
#include <QtEndian>
#include <cmath>

namespace {

// A PCM WAV file of any layout, with the standard 44-byte header.
QByteArray wav(int canaux, int bits, int freq, const QByteArray& data)
{
    QByteArray h(44, '\0');
    auto u32 = [&h](int at, quint32 v) { qToLittleEndian<quint32>(v, h.data() + at); };
    auto u16 = [&h](int at, quint16 v) { qToLittleEndian<quint16>(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    u32(4, quint32(36 + data.size()));
    h.replace(8, 8, "WAVEfmt ");
    u32(16, 16);
    u16(20, 1);
    u16(22, quint16(canaux));
    u32(24, quint32(freq));
    u32(28, quint32(freq * canaux * bits / 8));
    u16(32, quint16(canaux * bits / 8));
    u16(34, quint16(bits));
    h.replace(36, 4, "data");
    u32(40, quint32(data.size()));
    return h + data;
}

QByteArray sinus16(int trames, int freq, double hz, int amplitude = 12000)
{
    QByteArray b(trames * 2, '\0');
    for (int i = 0; i < trames; ++i)
        qToLittleEndian<qint16>(qint16(std::lround(amplitude * std::sin(2 * M_PI * hz * i / freq))), b.data() + 2 * i);
    return b;
}

struct Outil
{
    TestHost host;
    TWaveForm form{host};
    FakePlayer* player = new FakePlayer;
    FakeRecorder* recorder = new FakeRecorder;
    QStringList messages;

    Outil()
    {
        form.setSoundDevices(std::unique_ptr<SoundPlayer>(player), std::unique_ptr<SoundRecorder>(recorder),
                             [] { return std::make_unique<FakeCapture>(); });
        form.message = [this](const QString& t) { messages << t; };
        form.resize(1000, 640);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            qWarning("window not exposed");
    }
    QString fichier(const QString& nom, const QByteArray& contenu)
    {
        const QString chemin = host.racine() + nom;
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(contenu);
        return chemin;
    }
};

} // namespace

class TestWavMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }
    void loadShowsTheFile();
    void dragTheStartOfTheSelection();
    void sizeControlRefusals();
    void playTimerOnlyAbove055s_data();
    void playTimerOnlyAbove055s();
    void loopAndStop();
    void noOutputDevice();
    void halvingKeepsEvenFrames_data();
    void halvingKeepsEvenFrames();
    void textExportLineByLine();
    void transferNormalAndEnvelope();
    void recordingStopIsDeferredThenReloads();
    void noInputDeviceKeepsTheFile();
    void fftShowsThePeakFrequency();
    void sonagramAndSettings();
    void modeDialogSetsTheRecordingFormat();
    void keyboardAndResize();
    void realPlayAndRecord();
    void fftDuringRealPlay();
    void scalesAndMillisecondTimes();
    void refusedFilesKeepTheSound();
    void decodingShowsItsProgress();
    void compressedFormatsOpen_data();
    void compressedFormatsOpen();
};

void TestWavMain::loadShowsTheFile()
{
    Outil o;
    QVERIFY(!o.form.TabuloBtn->isEnabled());
    o.form.litWav(o.fichier("la.wav", wav(1, 16, 44100, sinus16(100001, 44100, 440))));
    QCOMPARE(o.form.document.NbrePoints(), 100001);
    QCOMPARE(o.form.windowTitle(), QStringLiteral("Lecture de fichier son pour Tabulo [la.wav]"));
    QVERIFY(o.form.JouerBtn->isEnabled());
    QVERIFY(o.form.TabuloBtn->isEnabled());
    QVERIFY(o.form.SauverTxtBtn->isEnabled());
    QVERIFY(!o.form.StereoCB->isVisible());
    QCOMPARE(o.form.document.fin(), 100000);
    // 100,000 frames at 44,100 Hz: one frame in 13, 3392 Hz is not a standard rate.
    QCOMPARE(o.form.LabelFreqReg->text(), QStringLiteral("Fech=3392 Hz ?!"));
    // To one sampling period: 2.267551 s.
    QCOMPARE(o.form.LabelSelection->text(), QStringLiteral("Durée=2.26757 s"));
    QCoreApplication::processEvents();
    o.form.grab().save(QDir::temp().filePath("kinexo-wavform.png"));
    // A 24-bit file shows and exports but cannot be played.
    QByteArray b24(3 * 1000, '\0');
    o.form.litWav(o.fichier("p24.wav", wav(1, 24, 48000, b24)));
    QCOMPARE(o.form.document.NbrePoints(), 1000);
    QVERIFY(!o.form.JouerBtn->isVisible());
    QVERIFY(o.form.TabuloBtn->isEnabled());
    // A refused file is named with its reason; the sound already loaded stays.
    const QString avant = o.form.document.NomFichier();
    o.form.litWav(o.fichier("bad.wav", wav(1, 12, 8000, QByteArray(100, 'x'))));
    QCOMPARE(o.form.document.NomFichier(), avant);
    QCOMPARE(o.form.document.NbrePoints(), 1000);
    QVERIFY(o.form.TabuloBtn->isEnabled());
    QCOMPARE(o.form.windowTitle(), QStringLiteral("Lecture de fichier son pour Tabulo [p24.wav]"));
    QCOMPARE(o.messages.size(), 1);
    QVERIFY(o.messages[0].contains(QStringLiteral("« bad.wav »")));
    QVERIFY(o.messages[0].contains(QStringLiteral("12 bits")));
}

void TestWavMain::dragTheStartOfTheSelection()
{
    Outil o;
    o.form.litWav(o.fichier("la.wav", wav(1, 16, 44100, sinus16(44100, 44100, 440))));
    QCoreApplication::processEvents();
    o.form.PaintBox->repaint();
    const int x0 = o.form.debutPB;
    QCOMPARE(x0, 2);
    const QPoint depart(x0, 50), arrivee(300, 50);
    QTest::mousePress(o.form.PaintBox, Qt::LeftButton, {}, depart);
    QCOMPARE(o.form.curseurT, curDebut);
    QMouseEvent move(QEvent::MouseMove, arrivee, o.form.PaintBox->mapToGlobal(arrivee), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(o.form.PaintBox, &move);
    QCOMPARE(o.form.debutPB, 300);
    QTest::mouseRelease(o.form.PaintBox, Qt::LeftButton, {}, arrivee);
    QCOMPARE(o.form.curseurT, curNormal);
    double xr, yr;
    o.form.graphe.MondeXY(300, 0, xr, yr);
    QCOMPARE(o.form.document.debut(), int(std::nearbyint(xr)));
    QVERIFY(o.form.document.debut() > 0);
    QCOMPARE(o.form.document.fin(), 44099);
    QCOMPARE(o.form.LabelSelection->text(),
             QStringLiteral("Durée=") + texteDuree(double(o.form.document.fin() - o.form.document.debut()) / 44100, 44100));
    // Moving the whole band keeps its width.
    const int largeur = o.form.document.fin() - o.form.document.debut();
    o.form.PaintBox->repaint();
    const QPoint milieu((o.form.debutPB + o.form.finPB) / 2, 50);
    QTest::mousePress(o.form.PaintBox, Qt::LeftButton, {}, milieu);
    QCOMPARE(o.form.curseurT, curDeplace);
    QMouseEvent move2(QEvent::MouseMove, milieu - QPoint(100, 0), o.form.PaintBox->mapToGlobal(milieu - QPoint(100, 0)),
                      Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(o.form.PaintBox, &move2);
    QTest::mouseRelease(o.form.PaintBox, Qt::LeftButton, {}, milieu - QPoint(100, 0));
    QVERIFY(std::abs((o.form.document.fin() - o.form.document.debut()) - largeur) <= 1);
    QVERIFY(o.form.document.fin() < 44099);
}

void TestWavMain::sizeControlRefusals()
{
    Outil o;
    o.form.litWav(o.fichier("la.wav", wav(1, 8, 11025, QByteArray(20000, char(128)))));
    o.form.TaillePlusBtn->click();   // the selection touches both ends
    QCOMPARE(o.form.document.debut(), 0);
    QCOMPARE(o.form.document.fin(), 19999);
    o.form.TailleMoinsBtn->click();
    QCOMPARE(o.form.document.debut(), 5903);
    QCOMPARE(o.form.document.fin(), 14095);
    o.form.document.setSelection(1000, 1512);
    o.form.TailleMoinsBtn->click();  // 512 frames: refused
    QCOMPARE(o.form.document.debut(), 1000);
    QCOMPARE(o.form.document.fin(), 1512);
    o.form.TaillePlusBtn->click();
    QCOMPARE(o.form.document.debut(), 744);
    QCOMPARE(o.form.document.fin(), 1768);
    QCOMPARE(o.form.LabelSelection->text(), QStringLiteral("Durée=92.88 ms"));
}

void TestWavMain::playTimerOnlyAbove055s_data()
{
    QTest::addColumn<int>("trames");
    QTest::addColumn<bool>("timer");
    QTest::newRow("0.55 s") << 24255 << false;
    QTest::newRow("0.55 s and one frame") << 24256 << true;
}

void TestWavMain::playTimerOnlyAbove055s()
{
    QFETCH(int, trames);
    QFETCH(bool, timer);
    Outil o;
    o.form.litWav(o.fichier("la.wav", wav(1, 16, 44100, sinus16(60000, 44100, 440))));
    o.form.document.setSelection(1000, 1000 + trames);
    o.form.JouerBtn->trigger();
    QCOMPARE(o.player->lectures, 1);
    QCOMPARE(o.player->premiere, 1000);
    QCOMPARE(o.player->pcm.size(), (trames + 1) * 2);
    QCOMPARE(o.player->format.frequence, 44100);
    QCOMPARE(o.player->format.bits, 16);
    QCOMPARE(o.form.Timer1.isActive(), timer);
    QVERIFY(o.form.LabelPosition->isVisible());
    QVERIFY(!o.form.JouerBtn->isEnabled());
    QVERIFY(!o.form.EnregistrerBtn->isEnabled());
    QVERIFY(o.form.StopBtn->isEnabled());
    o.player->finit();
    QVERIFY(o.form.JouerBtn->isEnabled());
    QVERIFY(o.form.EnregistrerBtn->isEnabled());
    QVERIFY(!o.form.StopBtn->isEnabled());
    QVERIFY(!o.form.Timer1.isActive());
    QVERIFY(!o.form.LabelPosition->isVisible());
}

void TestWavMain::loopAndStop()
{
    Outil o;
    o.form.litWav(o.fichier("st.wav", wav(2, 8, 22050, QByteArray(44100 * 2, char(128)))));
    QVERIFY(o.form.StereoCB->isVisible());
    o.form.BoucleCB->setChecked(true);
    o.form.JouerBtn->trigger();
    QCOMPARE(o.player->format.voies, 2);
    QCOMPARE(o.player->format.bits, 8);
    QVERIFY(o.form.Timer1.isActive());
    o.player->pos = 22050;
    QTest::qWait(250);
    QCOMPARE(o.form.LabelPosition->text(), QStringLiteral("1.0 s"));
    QCOMPARE(o.form.positionPB, o.form.graphe.Xecran(22050));
    o.player->finit();
    QCOMPARE(o.player->lectures, 2);     // looping: played again
    QVERIFY(o.player->enLecture());
    o.form.StopBtn->trigger();
    QVERIFY(!o.player->enLecture());
    QVERIFY(!o.form.Timer1.isActive());
    QVERIFY(!o.form.StopBtn->isEnabled());
    QVERIFY(o.form.EnregistrerBtn->isEnabled());
    QVERIFY(!o.form.LabelPosition->isVisible());
}

void TestWavMain::noOutputDevice()
{
    Outil o;
    o.player->absent = texteAucuneSortieSon();
    o.form.litWav(o.fichier("la.wav", wav(1, 8, 11025, QByteArray(11025, char(128)))));
    o.form.JouerBtn->trigger();
    QCOMPARE(o.messages, QStringList{texteAucuneSortieSon()});
    QCOMPARE(o.player->lectures, 0);
    QVERIFY(o.form.JouerBtn->isEnabled());
    QVERIFY(o.form.TabuloBtn->isEnabled());
}

void TestWavMain::halvingKeepsEvenFrames_data()
{
    QTest::addColumn<int>("canaux");
    QTest::addColumn<int>("bits");
    QTest::newRow("f8") << 1 << 8;
    QTest::newRow("f16") << 1 << 16;
    QTest::newRow("f16stereo") << 2 << 16;
    QTest::newRow("f8stereo") << 2 << 8;
    QTest::newRow("f24") << 1 << 24;
    QTest::newRow("f24stereo") << 2 << 24;
}

void TestWavMain::halvingKeepsEvenFrames()
{
    QFETCH(int, canaux);
    QFETCH(int, bits);
    Outil o;
    const int taille = canaux * bits / 8;
    const int trames = 1001;
    QByteArray data(trames * taille, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char((i * 7 + i / taille) % 256);
    o.form.litWav(o.fichier("x.wav", wav(canaux, bits, 44100, data)));
    QCOMPARE(o.form.document.NbrePoints(), trames);
    o.form.document.setSelection(101, 901);
    o.form.DivBtn->trigger();
    QCOMPARE(o.form.document.NbrePoints(), 500);
    QCOMPARE(o.form.document.debut(), 50);
    QCOMPARE(o.form.document.fin(), 450);
    QCOMPARE(int(o.form.FreqEch), 22050);
    QCOMPARE(o.form.LabelFreq->text(), QStringLiteral("Fech=22050 Hz"));
    for (int k = 0; k < 500; ++k)
        QCOMPARE(o.form.document.son().donnees().mid(k * taille, taille), data.mid(2 * k * taille, taille));
}

void TestWavMain::textExportLineByLine()
{
    Outil o;
    const QByteArray data = QByteArray::fromHex("0a00f6ff" "0080ff7f" "01000200");
    o.form.litWav(o.fichier("st.wav", wav(2, 16, 8000, data)));
    o.form.StereoCB->setChecked(true);
    const QString chemin = o.host.racine() + "sortie.txt";
    QVERIFY(o.form.ecritTexte(chemin));
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(f.readAll()),
             QStringLiteral("t\tsonGauche\tsonDroit\r\ns\t\t\r\n0\t10\t-10\r\n0.000125\t-32768\t32767\r\n"
                            "0.00025\t1\t2\r\n"));
    // Through the button and its save dialog, left channel only.
    o.form.StereoCB->setChecked(false);
    o.form.nomSauvegarde = [&o](const QString& filtre) {
        return filtre == QStringLiteral("Fichier texte (*.txt)") ? o.host.racine() + "gauche" : QString();
    };
    o.form.SauverTxtBtn->trigger();
    QFile g(o.host.racine() + "gauche.txt");
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(g.readAll()).split("\r\n").mid(0, 3), (QStringList{"t\tson", "s\t", "0\t10"}));
}

// The text handed to the analysis program: title with the rate sent, names, rows, sections.
void TestWavMain::transferNormalAndEnvelope()
{
    Outil o;
    o.host.transfert().formDDE().AppName = o.host.racine() + "absent/tabulo";
    QByteArray data(11025, char(128));
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(128 + ((i % 2) ? 1 : -1) * (i / 441));
    const QString chemin = o.fichier("env.wav", wav(1, 8, 11025, data));
    o.form.litWav(chemin);
    auto transfert = [&o] {
        quandModal<TConstanteDlg>([](TConstanteDlg* d) { d->accept(); });
        quandModal<QMessageBox>([](QMessageBox* m) { m->accept(); });   // no analysis program here
        o.form.TabuloBtn->click();
        return QGuiApplication::clipboard()->text().split("\r\n");
    };
    o.form.EnveloppeCB->setChecked(true);
    QStringList l = transfert();
    // 11,024 frames exceed 8,191: one frame in two would be sent, 5512.5 Hz rounded to even.
    QCOMPARE(l[1], QStringLiteral("Acquisition à fech=5512 Hz"));
    QCOMPARE(l[3], QStringLiteral("t\ts"));
    QCOMPARE(l[4], QStringLiteral("s\t"));
    for (int k = 0; k < 24; ++k)
        QCOMPARE(l[5 + k], QString::number(k) + "\t" + texteGeneral7(2.0 * k / 256));
    QCOMPARE(l[29], QStringLiteral("&1 NOMX"));
    QVERIFY(l.contains(QStringLiteral("&1 FICHIER")));
    QVERIFY(l.contains(chemin));
    // Second transfer: a new page (empty title line), normal mode, one frame in two.
    o.form.EnveloppeCB->setChecked(false);
    o.form.document.setSelection(0, 9000);
    l = transfert();
    QCOMPARE(l[1], QString());
    QCOMPARE(l[5], QStringLiteral("0\t0"));
    QCOMPARE(l[6], QStringLiteral("0.0001814059\t0"));   // frame 2
    QCOMPARE(l.indexOf(QStringLiteral("&1 NOMX")), 5 + 4501);
    // To the clipboard alone: the table only.
    o.form.TabuloBtn->setDestination(Destination::PressePapiers);
    quandModal<TConstanteDlg>([](TConstanteDlg* d) { d->accept(); });
    o.form.TabuloBtn->click();
    l = QGuiApplication::clipboard()->text().split("\r\n");
    QCOMPARE(l.mid(0, 3), (QStringList{"t\ts", "s\t", "0\t0"}));
    QCOMPARE(l.size(), 2 + 4501 + 1);
}

void TestWavMain::recordingStopIsDeferredThenReloads()
{
    Outil o;
    o.form.FreqEch = 22050;
    o.form.NBits = 16;
    o.form.EnregistrerBtn->trigger();
    QCOMPARE(o.recorder->frequence, 22050);
    QCOMPARE(o.recorder->bits, 16);
    QVERIFY(o.form.document.NomFichier().isEmpty());
    QVERIFY(o.form.StopBtn->isEnabled());
    QVERIFY(!o.form.EnregistrerBtn->isEnabled());
    o.form.StopBtn->trigger();
    QVERIFY(o.form.stopEnCours);
    QVERIFY(o.recorder->actif);         // still recording until a timer tick
    QVERIFY(!o.form.StopBtn->isEnabled());
    QTRY_VERIFY(!o.form.stopEnCours);
    QVERIFY(o.form.compteur > o.form.compteurMax);
    QCOMPARE(o.recorder->fichier, o.form.nomFichierWav);
    QCOMPARE(o.form.document.NomFichier(), o.form.nomFichierWav);
    QCOMPARE(o.form.document.NbrePoints(), 22050);
    QCOMPARE(o.form.document.format(), f16);
    QVERIFY(o.form.SauverWavBtn->isEnabled());
    QVERIFY(o.form.EnregistrerBtn->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    // "Sauver (wav)" copies the recording.
    o.form.nomSauvegarde = [&o](const QString&) { return o.host.racine() + "garde.wav"; };
    o.form.SauverWavBtn->trigger();
    QFile a(o.form.nomFichierWav), b(o.host.racine() + "garde.wav");
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
    QVERIFY(!o.form.SauverWavBtn->isEnabled());
}

void TestWavMain::noInputDeviceKeepsTheFile()
{
    Outil o;
    o.recorder->absent = texteAucuneEntreeSon();
    o.form.litWav(o.fichier("la.wav", wav(1, 8, 11025, QByteArray(11025, char(128)))));
    o.form.EnregistrerBtn->trigger();
    QCOMPARE(o.messages, QStringList{texteAucuneEntreeSon()});
    QVERIFY(!o.recorder->actif);
    QVERIFY(!o.form.document.NomFichier().isEmpty());
    QVERIFY(o.form.EnregistrerBtn->isEnabled());
    QVERIFY(!o.form.StopBtn->isEnabled());
}

void TestWavMain::fftShowsThePeakFrequency()
{
    Outil o;
    o.form.litWav(o.fichier("la.wav", wav(1, 16, 11025, sinus16(11025 * 2, 11025, 440))));
    o.form.FFTBtn->trigger();
    QVERIFY(o.form.PaintBoxFFT->isVisible());
    o.form.PaintBoxFFT->repaint();
    // Nothing plays: the spectrum of the selection (the whole file).
    QCOMPARE(o.form.textePic(), QStringLiteral("Pic : 440.0 Hz"));
    QVERIFY(!o.form.spectre.enLecture);
    // ...which goes to the clipboard as f and amplitude, one line per bin shown.
    QVERIFY(o.form.spectreAction->isVisible() && o.form.SpectreBtn->isEnabled());
    o.form.SpectreBtn->setDestination(Destination::PressePapiers);
    quandModal<TConstanteDlg>([](TConstanteDlg* d) { d->accept(); });
    o.form.SpectreBtn->click();
    const QStringList l = QGuiApplication::clipboard()->text().split("\r\n");
    QCOMPARE(l.mid(0, 2), (QStringList{"f\tA", "Hz\t"}));
    QCOMPARE(l.size(), 2 + 1024 + 1);
    QCOMPARE(l[2 + 82], texteGeneral7(82 * 11025.0 / 2048) + "\t" + texteGeneral7(o.form.spectre.spectre[82]));
    o.form.JouerBtn->trigger();
    o.player->pos = 11025;
    QTest::qWait(250);
    o.form.PaintBoxFFT->repaint();
    QCOMPARE(o.form.textePic(), QStringLiteral("Pic : 440.0 Hz"));
    QVERIFY(o.form.spectre.enLecture);
    QVERIFY(o.form.spectre.debutFFT == 11025 - 1024);
    o.form.grab().save(QDir::temp().filePath("kinexo-wavform-fft.png"));
    o.form.SonagrammeBtn->trigger();
    QVERIFY(!o.form.FFTBtn->isChecked());
    QVERIFY(o.form.PaintBoxFFT->isVisible());
    o.form.SonagrammeBtn->trigger();
    QVERIFY(!o.form.PaintBoxFFT->isVisible());
}

void TestWavMain::sonagramAndSettings()
{
    TestHost host;
    {
        QSettings ini(host.fichierIni(), QSettings::IniFormat);
        ini.setValue("Wav/freq", 22050);
        ini.setValue("Wav/bits", 16);
        ini.setValue("Wav/Mode", 3);
    }
    TWaveForm form(host);
    QCOMPARE(int(form.FreqEch), 22050);
    QCOMPARE(form.NBits, 16);
    QCOMPARE(form.IndexMode, 3);
    form.setSoundDevices(std::make_unique<FakePlayer>(), std::make_unique<FakeRecorder>(), {});
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTemporaryDir dir;
    QFile f(dir.filePath("b.wav"));
    f.open(QIODevice::WriteOnly);
    QByteArray s = sinus16(44100, 22050, 1000);
    f.write(wav(1, 16, 22050, s));
    f.close();
    form.litWav(f.fileName());
    form.SonagrammeBtn->trigger();
    QVERIFY(form.sonagrammeAction->isVisible());
    QCOMPARE(form.sonagrammeCB->currentText(), QStringLiteral("en dB deux décades"));
    form.PaintBoxFFT->repaint();
    QVERIFY(!form.changeDF);
    QCOMPARE(form.sonagramme.NbreSonagramme, 44099 / 512 - 1);
    form.sonagrammeCB->setCurrentIndex(0);
    QCOMPARE(form.sonagramme.decadedB, 0);
    QCoreApplication::processEvents();
    form.grab().save(QDir::temp().filePath("kinexo-wavform-sonagramme.png"));
    form.FreqEch = 44100;
    form.NBits = 8;
    form.IndexMode = 4;
    host.setMode(mWav);
    form.QuitterBtn->trigger();
    QVERIFY(!form.isVisible());
    QCOMPARE(host.mode(), mNone);
    QSettings ini(host.fichierIni(), QSettings::IniFormat);
    QCOMPARE(ini.value("Wav/freq").toInt(), 44100);
    QCOMPARE(ini.value("Wav/bits").toInt(), 8);
    QCOMPARE(ini.value("Wav/Mode").toInt(), 4);
}

void TestWavMain::modeDialogSetsTheRecordingFormat()
{
    TestHost host;
    TWaveForm form(host);
    form.setSoundDevices(std::make_unique<FakePlayer>(), std::make_unique<FakeRecorder>(), [] {
        auto c = std::make_unique<FakeCapture>();
        c->formats = {{11025, 8}, {22050, 16}};
        return c;
    });
    bool vu = false;
    quandModal<TTestWavDlg>([&vu](TTestWavDlg* d) {
        QTRY_COMPARE(d->ModeRG()->buttons().size(), 2);
        vu = d->ModeRG()->button(0)->isChecked();
        d->ModeRG()->button(1)->click();
        d->accept();
    });
    form.ModeBtn->trigger();
    QVERIFY(vu);
    QCOMPARE(int(form.FreqEch), 22050);
    QCOMPARE(form.NBits, 16);
    QCOMPARE(form.IndexMode, 1);
}

void TestWavMain::keyboardAndResize()
{
    Outil o;
    const QPoint avant(400, 300);
    QCursor::setPos(avant);
    if (QCursor::pos() != avant)
        QSKIP("this platform does not move the pointer");
    QTest::keyClick(&o.form, Qt::Key_PageDown);
    QCOMPARE(QCursor::pos(), avant + QPoint(0, 10));
    QTest::keyClick(&o.form, Qt::Key_PageUp, Qt::ShiftModifier);
    QCOMPARE(QCursor::pos(), avant + QPoint(-10, 10));
    QTest::keyClick(&o.form, Qt::Key_Right);
    QTest::keyClick(&o.form, Qt::Key_Up);
    QCOMPARE(QCursor::pos(), avant + QPoint(-9, 9));
    // The splitter sits at half the window, the spectrum takes a third.
    o.form.FFTBtn->trigger();
    o.form.resize(1000, 900);
    QCoreApplication::processEvents();
    const int basVue = o.form.PaintBox->mapTo(&o.form, QPoint(0, o.form.PaintBox->height())).y();
    QVERIFY2(std::abs(basVue - 450) <= 8, qPrintable(QString::number(basVue)));
    QVERIFY2(std::abs(o.form.PaintBoxFFT->height() - 300) <= 8, qPrintable(QString::number(o.form.PaintBoxFFT->height())));
}

// Through the private sound server: the window plays a selection to its end, then records one
// second and shows it.
void TestWavMain::realPlayAndRecord()
{
    if (QMediaDevices::defaultAudioOutput().isNull() || QMediaDevices::defaultAudioInput().isNull())
        QSKIP("no sound device: the private sound server of scripts/test is not running");
    TestHost host;
    TWaveForm form(host);
    QStringList messages;
    form.message = [&messages](const QString& t) { messages << t; };
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTemporaryDir dir;
    QFile f(dir.filePath("la.wav"));
    f.open(QIODevice::WriteOnly);
    f.write(wav(1, 16, 11025, sinus16(11025 * 2, 11025, 440)));
    f.close();
    form.litWav(f.fileName());
    form.document.setSelection(2000, 2000 + 11025 * 7 / 10);
    form.JouerBtn->trigger();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(';')));
    QVERIFY(form.Timer1.isActive());
    QVERIFY(form.enLecture());
    int dernier = form.positionPB;
    bool avance = false;
    QElapsedTimer t;
    t.start();
    while (form.enLecture() && t.elapsed() < 5000) {
        QTest::qWait(50);
        QVERIFY(form.positionPB >= dernier);
        avance = avance || form.positionPB > dernier;
        dernier = form.positionPB;
    }
    QVERIFY(!form.enLecture());
    QVERIFY(avance);
    QVERIFY(form.JouerBtn->isEnabled());
    QVERIFY(!form.Timer1.isActive());

    form.FreqEch = 22050;
    form.NBits = 8;
    form.EnregistrerBtn->trigger();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(';')));
    QTest::qWait(1000);
    form.StopBtn->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!form.stopEnCours, 3000);
    QCOMPARE(form.document.NomFichier(), form.nomFichierWav);
    QCOMPARE(form.document.format(), f8);
    QCOMPARE(int(form.FreqEch), 22050);
    QVERIFY2(form.document.NbrePoints() > 22050 * 8 / 10 && form.document.NbrePoints() < 22050 * 16 / 10,
             qPrintable(QString::number(form.document.NbrePoints())));
    form.close();
}

namespace {
// Height of the bar drawn at each column of the FFT view (bars are in the highlight colour).
std::vector<int> hauteursBarres(const QImage& image, QRgb barre)
{
    std::vector<int> h(std::size_t(image.width()), 0);
    for (int x = 1; x < image.width() - 1; ++x) {
        int y = image.height() - 2;
        while (y > 0 && image.pixel(x, y) == barre)
            --y;
        h[std::size_t(x)] = image.height() - 2 - y;
    }
    return h;
}
}

// Through the private sound server: while a 440 Hz tone plays, the FFT view shows its spectrum
// with the peak's bar at 440 Hz. The timer computes the spectrum; painting leaves it as it is.
void TestWavMain::fftDuringRealPlay()
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        QSKIP("no sound device: the private sound server of scripts/test is not running");
    TestHost host;
    TWaveForm form(host);
    QStringList messages;
    form.message = [&messages](const QString& t) { messages << t; };
    form.resize(1000, 700);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QString chemin = host.racine() + "diapason.wav";
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(wav(1, 16, 44100, sinus16(44100 * 3, 44100, 440)));
    f.close();
    form.litWav(chemin);
    form.FFTBtn->trigger();
    form.document.setSelection(0, 44100 * 3 - 1);
    form.JouerBtn->trigger();
    QVERIFY2(messages.isEmpty(), qPrintable(messages.join(';')));
    QVERIFY(form.Timer1.isActive());
    // The sound has been heard for a while: the spectrum is of the part playing.
    QTRY_VERIFY_WITH_TIMEOUT(form.spectre.enLecture && form.spectre.debutFFT > 10000, 4000);
    QVERIFY(form.enLecture());
    const TspectreSon calcule = form.spectre;
    const QImage image = form.PaintBoxFFT->grab().toImage();
    QVERIFY(form.spectre.spectre == calcule.spectre);   // painting computed nothing
    image.save(QDir::temp().filePath("kinexo-fft-lecture.png"));
    const auto h = hauteursBarres(image, form.palette().color(QPalette::Highlight).rgb());
    const int x = int(std::max_element(h.begin(), h.end()) - h.begin());
    const int B = TvueFFT::binsAffiches(44100);
    QCOMPARE(calcule.binPic(), 20);   // 440 Hz is bin 20.4
    QVERIFY2(std::abs(x - std::lround(20.0 * image.width() / B)) <= 1, qPrintable(QString::number(x)));
    QVERIFY(h[std::size_t(x)] > image.height() * 8 / 10);
    QCOMPARE(form.textePic(), QStringLiteral("Pic : 440 Hz"));
    form.StopBtn->trigger();
    // Stopped: the view turns to the spectrum of the selection, still 440 Hz.
    QVERIFY(!form.spectre.enLecture);
    QCOMPARE(form.textePic(), QStringLiteral("Pic : 440 Hz"));
    form.close();
}

// Times to one sampling period, and scales on the views that are drawn where they say.
void TestWavMain::scalesAndMillisecondTimes()
{
    Outil o;
    o.form.litWav(o.fichier("la.wav", wav(1, 16, 44100, sinus16(44100 * 2, 44100, 440))));
    QCOMPARE(o.form.LabelDuree->text(), QStringLiteral("Durée=2.00000 s"));
    o.form.document.setSelection(1000, 1100);
    QCOMPARE(o.form.LabelSelection->text(), QStringLiteral("Durée=2.27 ms"));
    const auto tout = o.form.graduationsTemps(false);
    QVERIFY(tout.size() >= 3);
    QCOMPARE(tout[0].texte, QStringLiteral("0 s"));
    QCOMPARE(tout[1].texte, QStringLiteral("0.5 s"));
    const auto zoom = o.form.graduationsTemps(true);
    QCOMPARE(zoom.front().texte, QStringLiteral("0 ms"));
    QCOMPARE(zoom.back().texte, QStringLiteral("2 ms"));
    const auto amplitude = o.form.graduationsAmplitude();
    QVERIFY(amplitude.size() >= 3);
    QVERIFY(std::any_of(amplitude.begin(), amplitude.end(), [](const Tgraduation& g) { return g.texte == "0"; }));
    // Each tick is drawn at the bottom of the selection view, each amplitude one at its left.
    const QImage image = o.form.PaintBoxZoom->grab().toImage();
    const int bas = image.height() - 4;
    for (const auto& g : zoom)
        QCOMPARE(QColor(image.pixel(g.position, bas)), QColor(Qt::black));
    for (const auto& g : amplitude)
        if (g.position > 4 && g.position < image.height() - 4)
            QCOMPARE(QColor(image.pixel(4, g.position)), QColor(Qt::black));
    o.form.SonagrammeBtn->trigger();
    const auto frequences = o.form.graduationsSonagramme();
    QVERIFY(frequences.size() >= 2);
    QVERIFY(frequences.front().texte.endsWith(QStringLiteral(" Hz")));
    const QImage sono = o.form.PaintBoxFFT->grab().toImage();
    QCOMPARE(QColor(sono.pixel(2, frequences.front().position)), QColor(Qt::white));
}

// A text file named .wav, a damaged header, an unreadable compressed file: each is named in a
// French message and the sound already loaded stays as it was.
void TestWavMain::refusedFilesKeepTheSound()
{
    Outil o;
    const QString bon = o.fichier("la.wav", wav(1, 16, 11025, sinus16(11025, 11025, 440)));
    o.form.litWav(bon);
    o.form.document.setSelection(100, 5000);
    const QByteArray avant = o.form.document.son().donnees();
    const QString titre = o.form.windowTitle();
    QByteArray sixVoies = wav(6, 16, 8000, QByteArray(1200, '\0'));
    QByteArray frequence = wav(1, 16, 8000, QByteArray(1200, '\0'));
    qToLittleEndian<quint32>(0xFFFFFFFF, frequence.data() + 24);
    const QList<QPair<QString, QByteArray>> refus{
        {"texte.wav", "Ceci n'est pas un son.\n"},
        {"six.wav", sixVoies},
        {"freq.wav", frequence},
        {"vide.wav", wav(1, 16, 8000, QByteArray())},
        {"faux.mp3", QByteArray(3000, 'z')},
        {"faux.m4a", QByteArray(3000, 'z')},
    };
    for (const auto& [nom, contenu] : refus) {
        o.messages.clear();
        o.form.ouvreFichier(o.fichier(nom, contenu));
        QCOMPARE(o.messages.size(), 1);
        QVERIFY2(o.messages[0].startsWith(QStringLiteral("Le fichier « %1 » n'a pas été ouvert.\n").arg(nom)),
                 qPrintable(o.messages[0]));
        QVERIFY(o.messages[0].endsWith(QStringLiteral("Le son déjà chargé est conservé.")));
        QCOMPARE(o.form.document.NomFichier(), bon);
        QCOMPARE(o.form.document.son().donnees(), avant);
        QCOMPARE(o.form.document.debut(), 100);
        QCOMPARE(o.form.document.fin(), 5000);
        QCOMPARE(o.form.windowTitle(), titre);
        QVERIFY(o.form.TabuloBtn->isEnabled());
    }
    QVERIFY(!QApplication::overrideCursor());
    // A file handed from outside (command line, desktop) goes the same way.
    OutilOuvrant& outil = o.form;
    QVERIFY(!outil.ouvreFichierExterne(o.fichier("texte2.wav", "rien")));
    QCOMPARE(o.form.document.NomFichier(), bon);
    const QString autre = o.fichier("autre.wav", wav(1, 8, 8000, QByteArray(800, char(128))));
    QVERIFY(outil.ouvreFichierExterne(autre));
    QCOMPARE(o.form.document.NomFichier(), autre);
}

namespace {
bool encode(const QString& source, const QString& cible, const QStringList& options)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-hide_banner", "-loglevel", "error", "-y", "-i", source} + options
                                          + QStringList{cible});
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}
}

// The files phones and editors make, decoded through FFmpeg into the temporary folder: the
// right rate and length, the tone where it was, nothing written beside the user's file.
void TestWavMain::compressedFormatsOpen_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("frequence");
    QTest::addColumn<bool>("exact");   // lossless: every sample
    QTest::newRow("MP3") << "la.mp3" << QStringList{"-c:a", "libmp3lame", "-b:a", "192k"} << 44100 << false;
    QTest::newRow("FLAC") << "la.flac" << QStringList{"-c:a", "flac"} << 44100 << true;
    QTest::newRow("M4A/AAC") << "la.m4a" << QStringList{"-c:a", "aac", "-b:a", "128k"} << 44100 << false;
    QTest::newRow("Opus") << "la.opus" << QStringList{"-c:a", "libopus", "-b:a", "96k"} << 48000 << false;
    QTest::newRow("Ogg Vorbis") << "la.ogg" << QStringList{"-c:a", "libvorbis", "-q:a", "5"} << 44100 << false;
    QTest::newRow("32-bit float WAV") << "la32.wav" << QStringList{"-c:a", "pcm_f32le"} << 44100 << false;
}

void TestWavMain::compressedFormatsOpen()
{
    QFETCH(QString, nom);
    QFETCH(QStringList, options);
    QFETCH(int, frequence);
    QFETCH(bool, exact);
    Outil o;
    const QByteArray pcm = sinus16(44100, 44100, 440);
    const QString source = o.fichier("source.wav", wav(1, 16, 44100, pcm));
    QTemporaryDir eleve;
    const QString chemin = eleve.filePath(nom);
    QVERIFY(encode(source, chemin, options + QStringList{"-ar", QString::number(frequence)}));
    // A WAV of the user's with the decoded file's name, in a folder that cannot be written.
    const QString voisin = eleve.filePath(QFileInfo(nom).completeBaseName() + ".wav");
    const bool avecVoisin = voisin != chemin;
    if (avecVoisin)
        QVERIFY(ecritOctets(voisin, "RIFF à moi"));
    QFile::setPermissions(eleve.path(), QFile::ReadOwner | QFile::ExeOwner);
    o.form.ouvreFichier(chemin);
    QFile::setPermissions(eleve.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(o.messages.isEmpty(), qPrintable(o.messages.join(';')));
    QCOMPARE(o.form.document.NomFichier(), chemin);
    if (chemin.endsWith(".wav"))
        QVERIFY(QDir(o.host.tamponDir()).entryList({"kinexo-sons-*"}, QDir::Dirs).isEmpty());   // read directly
    else
        QCOMPARE(QDir(o.host.tamponDir()).entryList({"kinexo-sons-*"}, QDir::Dirs).size(), 1);
    QCOMPARE(int(o.form.document.FreqEch()), frequence);
    QCOMPARE(o.form.windowTitle(), QStringLiteral("Lecture de fichier son pour Tabulo [%1]").arg(nom));
    // Lossy codecs may end on a padded frame of their own (AAC: 1024 frames) or, Vorbis,
    // lose the first half block (128 frames).
    QVERIFY2(o.form.document.NbrePoints() >= frequence - 256 && o.form.document.NbrePoints() <= frequence + 1024,
             qPrintable(QString::number(o.form.document.NbrePoints())));
    if (exact)
        QCOMPARE(o.form.document.son().donnees(), pcm);
    const auto pic = frequencePicHz(10000, 10000 + 2048, o.form.document.son(), frequence);
    QVERIFY(pic && std::abs(*pic - 440) < 1);
    if (avecVoisin) {
        QFile f(voisin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("RIFF à moi"));
    }
    QCOMPARE(QDir(eleve.path()).entryList(QDir::Files).size(), avecVoisin ? 2 : 1);
}

// Decoding a long compressed sound shows the wait cursor at once and, past a second, a progress
// bar; both are gone afterwards.
void TestWavMain::decodingShowsItsProgress()
{
    Outil o;
    const QString mp3 = o.host.racine() + "long.mp3";
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                                       "sine=frequency=440:sample_rate=8000:duration=900", "-c:a", "libmp3lame",
                                       "-b:a", "16k", mp3});
    QVERIFY(p.waitForFinished(120000) && p.exitCode() == 0);
    bool sablier = false, barre = false;
    QTimer t;
    t.setInterval(20);
    connect(&t, &QTimer::timeout, [&] {
        sablier = sablier || (QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        barre = barre || o.form.Progression->isVisible();
    });
    t.start();
    QElapsedTimer duree;
    duree.start();
    o.form.ouvreFichier(mp3);
    const qint64 ms = duree.elapsed();
    t.stop();
    QVERIFY2(o.messages.isEmpty(), qPrintable(o.messages.join(';')));
    QVERIFY(std::abs(o.form.document.NbrePoints() - 900 * 8000) < 8000);
    qInfo("decoding took %lld ms", ms);
    QVERIFY(sablier);
    if (ms > 1300)
        QVERIFY(barre);
    else if (ms < 900)
        QVERIFY(!barre);
    QVERIFY(!o.form.Progression->isVisible());
    QVERIFY(!QApplication::overrideCursor());
    // The same decoding made to count as long: the bar shows and follows the percentage.
    o.form.delaiProgressionMs = 0;
    int maxi = 0;
    barre = false;
    connect(&t, &QTimer::timeout, [&] { maxi = std::max(maxi, o.form.Progression->isVisible() ? o.form.Progression->value() : 0); });
    t.start();
    o.form.ouvreFichier(mp3);
    t.stop();
    QVERIFY(barre);
    QVERIFY(maxi > 0);
    QVERIFY(!o.form.Progression->isVisible());
    QVERIFY(!QApplication::overrideCursor());
}

// Qt 6.4's PulseAudio engine may abort while it is torn down at process exit, after every
// test has passed; the result is reported before that teardown.
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestWavMain t;
    const int rc = QTest::qExec(&t, argc, argv);
    std::fflush(nullptr);
    std::_Exit(rc);
}
#include "tst_wavmain.moc"

#include "ClipsTest.h"
#include "TestSupport.h"
#include "VideoGrabber.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The capture component on FFmpeg: frames asked by position arrive later, with their own time
// from the file, one answer per request; playing runs at the file's pace and stops at the end.
class TestVideoGrabber : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_clip, m_vfr;

private slots:
    void initTestCase()
    {
        m_clip = m_dir.filePath("dix.avi");
        QVERIFY(fabriqueClip(m_clip, 10, "25", {"-c:v", "mjpeg", "-q:v", "3"}));
        // Images 1, 3, 4, 6, 7... of a 25 images/s clip: times are not a multiple of one step.
        m_vfr = m_dir.filePath("vfr.mkv");
        QProcess p;
        p.start("ffmpeg", {"-y", "-v", "error", "-f", "lavfi", "-i", "color=c=gray:s=160x120:r=25:d=2", "-vf",
                           "select='not(eq(mod(n\\,3)\\,1))',format=yuv420p", "-fps_mode", "vfr", "-c:v", "mjpeg",
                           "-frames:v", "8", m_vfr});
        QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
    }

    void ouvreEtDecrit()
    {
        TVideoGrabber g;
        QSignalSpy etats(&g, &TVideoGrabber::OnPlayerStateChanged);
        g.setPlayerFileName(m_clip);
        QVERIFY(g.OpenPlayer());
        QCOMPARE(g.PlayerState(), ps_Stopped);
        QCOMPARE(etats.count(), 1);
        QCOMPARE(etats.at(0).at(0).value<TPlayerState>(), ps_Closed);
        QCOMPARE(g.PlayerFrameCount(), 10);
        QCOMPARE(g.VideoWidth(), 160);
        QCOMPARE(g.VideoHeight(), 120);
        TAVIInfo info;
        QVERIFY(g.AVIInfo(m_clip, info));
        QCOMPARE(info.FrameCount, 10);
        QCOMPARE(info.Duration, 4000000); // 10 images of 40 ms, in 100 ns
        QCOMPARE(info.FrameRate, 25.0);
        QCOMPARE(info.VideoCodec, QString("mjpeg"));
        QCOMPARE(info.Width, 160);
        g.ClosePlayer();
        QCOMPARE(g.PlayerState(), ps_Closed);
        QCOMPARE(g.PlayerFrameCount(), 0);
    }

    void refuseUnFichierIllisible()
    {
        const QString faux = m_dir.filePath("faux.avi");
        QVERIFY(ecritOctets(faux, "RIFF pas une video"));
        TVideoGrabber g;
        g.setPlayerFileName(m_clip);
        QVERIFY(g.OpenPlayer());
        g.setPlayerFileName(faux);
        QVERIFY(!g.OpenPlayer());
        QVERIFY(!g.erreur().isEmpty());
        QCOMPARE(g.PlayerState(), ps_Closed);
        QCOMPARE(g.PlayerFrameCount(), 0);
        TAVIInfo info;
        QVERIFY(!g.AVIInfo(faux, info));
    }

    // A position change answers later, never at once; two changes in a row give one answer,
    // for the latest.
    void uneImageParDemande()
    {
        TVideoGrabber g;
        g.setPlayerFileName(m_clip);
        QVERIFY(g.OpenPlayer());
        QSignalSpy images(&g, &TVideoGrabber::OnFrameCaptureCompleted);
        g.setPlayerFramePosition(5);
        QCOMPARE(images.count(), 0);
        QVERIFY(g.requeteEnCours());
        QVERIFY(images.wait(10000));
        QCOMPARE(images.count(), 1);
        QVERIFY(!g.requeteEnCours());
        QCOMPARE(images.at(0).at(3).toLongLong(), 5);
        QCOMPARE(images.at(0).at(4).toLongLong(), 1600000); // image 5 starts at 0.16 s
        QCOMPARE(numeroImage(images.at(0).at(0).value<QImage>()), 4);
        QCOMPARE(images.at(0).at(1).toInt(), 160);

        g.setPlayerFramePosition(2);
        g.setPlayerFramePosition(9);
        QVERIFY(images.wait(10000));
        QTest::qWait(100);
        QCOMPARE(images.count(), 2);
        QCOMPARE(images.at(1).at(3).toLongLong(), 9);
        QCOMPARE(numeroImage(images.at(1).at(0).value<QImage>()), 8);
        // Out of range positions are brought to the file.
        g.setPlayerFramePosition(0);
        QCOMPARE(g.PlayerFramePosition(), 1);
        g.setPlayerFramePosition(99);
        QCOMPARE(g.PlayerFramePosition(), 10);
    }

    // Variable-rate file: each frame carries its own time.
    void tempsDuFichier()
    {
        TVideoGrabber g;
        g.setPlayerFileName(m_vfr);
        QVERIFY(g.OpenPlayer());
        QSignalSpy images(&g, &TVideoGrabber::OnFrameCaptureCompleted);
        const qint64 attendus[] = {0, 800000, 1200000, 2000000}; // images 0, 2, 3, 5 of 25/s
        for (int n = 1; n <= 4; ++n) {
            g.setPlayerFramePosition(n);
            QVERIFY(images.wait(10000));
            QCOMPARE(images.last().at(4).toLongLong(), attendus[n - 1]);
        }
    }

    // Playing shows every frame in the display, then stops on the last one and hands it over.
    void lectureJusquAuBout()
    {
        QWidget parent;
        TVideoGrabber g;
        g.Display(&parent);
        g.setPlayerFileName(m_clip);
        QVERIFY(g.OpenPlayer());
        QSignalSpy images(&g, &TVideoGrabber::OnFrameCaptureCompleted);
        QSignalSpy etats(&g, &TVideoGrabber::OnPlayerStateChanged);
        g.RunPlayer();
        QCOMPARE(g.PlayerState(), ps_Playing);
        QTRY_COMPARE_WITH_TIMEOUT(g.PlayerState(), ps_Stopped, 10000);
        QTRY_VERIFY(!g.requeteEnCours());
        QCOMPARE(etats.count(), 2);
        QCOMPARE(etats.at(1).at(0).value<TPlayerState>(), ps_Playing);
        QList<qint64> numeros;
        for (const auto& a : images)
            numeros << a.at(3).toLongLong();
        // 1..10 while playing, then the frame where it stopped.
        QCOMPARE(numeros, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 10}));
        QCOMPARE(numeroImage(g.Display()->image()), 9);
        QCOMPARE(g.PlayerFramePosition(), 10);
    }

    // Stopped or paused while playing: the position stays, its frame is handed over.
    void arretEnCours_data()
    {
        QTest::addColumn<bool>("pause");
        QTest::newRow("stop") << false;
        QTest::newRow("pause") << true;
    }
    void arretEnCours()
    {
        QFETCH(bool, pause);
        TVideoGrabber g;
        g.setPlayerFileName(m_clip);
        QVERIFY(g.OpenPlayer());
        QSignalSpy images(&g, &TVideoGrabber::OnFrameCaptureCompleted);
        g.setPlayerFramePosition(3);
        QVERIFY(images.wait(10000));
        g.RunPlayer();
        QVERIFY(images.wait(10000));
        pause ? g.PausePlayer() : g.StopPlayer();
        QCOMPARE(g.PlayerState(), pause ? ps_Paused : ps_Stopped);
        const qint64 ici = g.PlayerFramePosition();
        QVERIFY(ici >= 3 && ici < 10);
        QTRY_VERIFY(!g.requeteEnCours());
        QCOMPARE(images.last().at(3).toLongLong(), ici);
        const int n = images.count();
        QTest::qWait(200);
        QCOMPARE(images.count(), n);
    }

    void listeDesPeripheriques()
    {
        TVideoGrabber g;
        // Names only; none on a machine without camera.
        const QStringList noms = g.VideoDevices();
        for (const QString& n : noms)
            QVERIFY(!n.isEmpty());
        QCOMPARE(g.VideoDevice(), -1);
    }
};

QTEST_MAIN(TestVideoGrabber)
#include "tst_videograbber.moc"

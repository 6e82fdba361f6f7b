#include "ClipsTest.h"
#include "LecteurAvi.h"
#include "NumberText.h"
#include "TestHost.h"
#include "aviMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QTabWidget>
#include <QStatusBar>

#include <QComboBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

class TestAviForm : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString clip(const QString& nom) const { return m_dir.filePath(nom); }

    static void clic(TAviForm& f, QPoint ecran)
    {
        QTest::mousePress(f.Image, Qt::LeftButton, {}, ecran);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, ecran);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        setSeparateurDecimal('.');
        QVERIFY(fabriqueClip(clip("clip.avi"), 12, "25", {"-c:v", "mjpeg", "-q:v", "2"}));
        QVERIFY(fabriqueClip(clip("lent.avi"), 3, "1/5", {"-c:v", "mjpeg", "-q:v", "2"}));
        QVERIFY(fabriqueClip(clip("clip.mp4"), 12, "25", {"-c:v", "libx264", "-qp", "10", "-g", "5"}));
    }

    void cleanup() { setSeparateurDecimal('.'); }

    void codec_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("mvc");
        QTest::newRow("IV50") << "IV50" << "Intel Video 5.0" << false;
        QTest::newRow("iv41 minuscules") << "iv41" << "Intel Video 4.1" << false;
        QTest::newRow("MPG4") << "MPG4" << "MPEG 4" << false;
        QTest::newRow("MSVC") << "msvc" << "Microsoft Virtual Camera" << true;
        QTest::newRow("CVID") << "cvid" << "Cinepack" << false;
        QTest::newRow("I420") << "I420" << "Intel Video 4:2:0" << false;
        QTest::newRow("autre") << "xvid" << "XVID" << false;
    }
    void codec()
    {
        QFETCH(QString, code);
        QFETCH(QString, texte);
        QFETCH(bool, mvc);
        bool m = !mvc;
        QCOMPARE(descriptionCodec(code, &m), texte);
        QCOMPARE(m, mvc);
    }

    void dureeImage_data()
    {
        QTest::addColumn<qint64>("n");
        QTest::addColumn<double>("ms");
        QTest::addColumn<int>("parSec");
        QTest::addColumn<double>("duree");
        QTest::newRow("250 en 10 s") << qint64(250) << 10000.0 << 25 << 0.04;
        QTest::newRow("3 en 15 s : arrondi à 0") << qint64(3) << 15000.0 << 0 << 5.0;
        QTest::newRow("moitié paire vers le bas") << qint64(25) << 10000.0 << 2 << 0.4;   // 2.5 -> 2
        QTest::newRow("moitié paire vers le haut") << qint64(35) << 10000.0 << 4 << 1 / 3.5; // 3.5 -> 4
    }
    void dureeImage()
    {
        QFETCH(qint64, n);
        QFETCH(double, ms);
        QFETCH(int, parSec);
        QFETCH(double, duree);
        const DureeImageAvi d = LitDureeImage(n, ms);
        QCOMPARE(d.NbreImagesParSec, parSec);
        QCOMPARE(d.DureeImage, duree);
        QCOMPARE(d.dureeTotale, ms / 1000);
    }

    // Opening: codec, rate, caption, first image shown; stepping buttons and track bar.
    void ouverture()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(clip("clip.avi"));
        QVERIFY(f.lecteur().ouvert());
        QCOMPARE(f.CodecLabel->text(), QString("MJPG"));
        QCOMPARE(f.NbreImagesParSec, 25);
        QCOMPARE(f.NbreImagesSE->value(), 25);
        QVERIFY(!f.DureeEdit->isVisibleTo(&f));
        QCOMPARE(f.windowTitle(), QString("Lecture de fichier video pour Tabulo [clip.avi]"));
        QCOMPARE(f.modele.Largeur, 160);
        QCOMPARE(f.PageDroite->currentWidget(), f.Grid);
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 0);
        QCOMPARE(f.TempsLabel->text(), QString("t=0.000 s /0.480 s"));
        f.SuivantBtn->click();
        f.SuivantBtn->click();
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 2);
        QCOMPARE(f.TempsLabel->text(), QString("t=0.080 s /0.480 s"));
        f.PrecedentBtn->click();
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 1);
        f.FinBtn->click();
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 11);
        QCOMPARE(f.TrackBar->value(), 440);
        f.TrackBar->setValue(200);
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 5);
        f.DebutBtn->click();
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 0);
        // Playing runs to the last image and stops there.
        f.LectureBtn->click();
        QTRY_COMPARE(numeroImage(f.lecteur().imageCourante()), 11);
        QVERIFY(!f.lectureTimer.isActive());
        f.StopBtn->click();
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 0);

        // Not AVI: the extension as codec, the drawing page at the right.
        f.OuvreFichier(clip("clip.mp4"));
        QCOMPARE(f.CodecLabel->text(), QString(".MP4"));
        QCOMPARE(f.PageDroite->currentWidget(), static_cast<QWidget*>(f.DessinPB));

        // A file that cannot be read: message, the file open before stays.
        quandModal<QMessageBox>([](QMessageBox* m) { m->accept(); });
        f.OuvreFichier(clip("absent.avi"));
        QCOMPARE(f.lecteur().fichier(), clip("clip.mp4"));
    }

    void dureeAffichee()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(clip("lent.avi"));
        QCOMPARE(f.NbreImagesParSec, 0);
        QVERIFY(f.DureeEdit->isVisibleTo(&f));
        QVERIFY(!f.NbreImagesSE->isVisibleTo(&f));
        QCOMPARE(f.DureeEdit->text(), QString("5.0000 s"));
        // A duration typed renumbers in images; an unreadable one restores the field.
        f.DureeEdit->setText("2s");
        QMetaObject::invokeMethod(f.DureeEdit, "editingFinished");
        QCOMPARE(f.DureeImage, 2.0);
        f.SuivantBtn->click();
        QCOMPARE(f.TempsCourant, 2.0);
        f.DureeEdit->setText("s");
        QMetaObject::invokeMethod(f.DureeEdit, "editingFinished");
        QCOMPARE(f.DureeImage, 2.0);
        QCOMPARE(f.DureeEdit->text(), QString("2.0000 s"));
    }

    // Scale by two clicks and a length, three rows, then the rate changed to 30.
    void renumerotation()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(clip("clip.avi"));
        f.MesureBtn->click();
        for (int i = 0; i < 3; ++i)
            clic(f, QPoint(20 + 10 * i, 60));
        QCOMPARE(f.modele.Nmes, 3);
        QCOMPARE(numeroImage(f.lecteur().imageCourante()), 3);
        QCOMPARE(f.Grid->model()->index(1, 0).data().toString(), QString("0.04"));
        f.NbreImagesSE->setValue(30);
        QStringList t;
        for (int i = 0; i < 3; ++i)
            t << f.Grid->model()->index(i, 0).data().toString();
        QCOMPARE(t, QStringList({"0", "0.0333333", "0.0666667"}));
        QCOMPARE(f.TempsCourant, 0.1);
    }

    // Zoom 2: clicks and handles stay in image pixels; only the drawing is scaled.
    void zoom()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(clip("clip.avi"));
        const QPoint origine = f.modele.PointRepere[bsOrigine];
        f.ZoomSE->setValue(2);
        QCOMPARE(f.pasZoom, 2);
        QCOMPARE(f.Image->size(), QSize(320, 240));
        QCOMPARE(f.modele.PointRepere[bsOrigine], origine);
        f.MesureBtn->click();
        clic(f, QPoint(81, 61));
        QCOMPARE(f.modele.XY[1][0], QPoint(40, 30));
        const QImage vue = f.Image->grab().toImage();
        // The first image's index blocks drawn twice as large: block 0 spans 16 screen pixels.
        QCOMPARE(qGray(vue.pixel(20, 5)), qGray(vue.pixel(20, 14)));
    }

    // Closing hides, writes section "AVI", closes the file and gives the mode back.
    void fermeture()
    {
        TestHost host;
        host.setMode(mAVIMediaPlayer);
        {
            TAviForm f(host);
            f.show();
            f.OuvreFichier(clip("clip.avi"));
            f.GrilleCB->setChecked(true);
            f.IncertitudeSE->setValue(3);
            f.Axeverslebasgauche->trigger();
            QVERIFY(!f.close());
            QVERIFY(f.isHidden());
            QVERIFY(!f.lecteur().ouvert());
            QCOMPARE(host.mode(), mNone);
        }
        QSettings s(host.fichierIni(), QSettings::IniFormat);
        QCOMPARE(s.value("AVI/Grille").toBool(), true);
        QCOMPARE(s.value("AVI/PixelIncert").toInt(), 3);
        QCOMPARE(s.value("AVI/Altitude").toBool(), false);
        QCOMPARE(s.value("AVI/Droite").toBool(), false);
        QCOMPARE(s.value("Save/Tabulo").toBool(), true);
        TAviForm g(host);
        QVERIFY(g.GrilleCB->isChecked());
        QCOMPARE(g.IncertitudeSE->value(), 3);
        QVERIFY(g.Axeverslebasgauche->isChecked());
    }

    // The sample shipped with the program opens as the guide says.
    void exemple()
    {
        TestHost host;
        TAviForm f(host);
        QVERIFY(QFile::exists(QStringLiteral(KX_SAMPLE_VIDEO)));
        f.OuvreFichier(QStringLiteral(KX_SAMPLE_VIDEO));
        QVERIFY(f.lecteur().ouvert());
        QCOMPARE(f.lecteur().longueurImages(), qint64(30));
        QCOMPARE(f.NbreImagesParSec, 25);
        QCOMPARE(f.CodecLabel->text(), QString("MJPG"));
        QCOMPARE(f.modele.Largeur, 640);
    }

    // The window with a clip, scale, axes and a few points, saved for a look.
    void capture()
    {
        QVERIFY(fabriqueClip(clip("grand.avi"), 30, "25", {"-c:v", "mjpeg", "-q:v", "2"}, "480x360"));
        TestHost host;
        TAviForm f(host);
        f.resize(1100, 650);
        f.show();
        f.OuvreFichier(clip("grand.avi"));
        f.MesureBtn->click();
        for (int i = 0; i < 5; ++i)
            clic(f, QPoint(100 + 40 * i, 200 - 20 * i));
        const QString png = QDir::temp().filePath("kinexo-aviform.png");
        QVERIFY(f.grab().save(png));
        qInfo() << "capture" << png;
    }
};

QTEST_MAIN(TestAviForm)
#include "tst_aviform.moc"

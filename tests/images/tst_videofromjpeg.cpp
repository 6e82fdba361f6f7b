#include "ImageLoader.h"
#include "ImagesTest.h"
#include "VideoFromJPEG.h"
#include "VideoSource.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>


namespace {

QImage image(int n)
{
    QImage img(320, 240, QImage::Format_RGB32);
    img.fill(QColor(200, 210, 220));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(0, 200, 320, 40, QColor(245, 210, 60));
    p.setBrush(QColor(60, 110, 200));
    p.drawEllipse(QPointF(30 + 40 * n, 100), 20, 20);
    return img;
}

} // namespace

class TstVideoFromJpeg : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_serie;

    bool enregistre(TVideoFromJpegForm& f, const QString& cadence, bool* succes)
    {
        QSignalSpy fin(&f, &TVideoFromJpegForm::RecordingCompleted);
        f.edtFinalFrameRate->setText(cadence);
        QTest::mouseClick(f.btnStartRecording, Qt::LeftButton);
        if (!fin.wait(30000))
            return false;
        *succes = fin.first().at(1).toBool();
        return true;
    }

private slots:
    void initTestCase()
    {
        // Six JPEG images named out of plain order, and BMPs beside them that must stay out.
        m_serie = m_dir.filePath("serie");
        QDir().mkpath(m_serie);
        for (int n = 0; n < 6; ++n)
            QVERIFY(sauveJpeg(image(n), QStringLiteral("%1/p%2.jpg").arg(m_serie).arg(n * 5 + 1), nullptr, 95));
        QVERIFY(sauveBmp(image(9), m_serie + "/autre.bmp"));
    }

    void chemins()
    {
        QCOMPARE(VideoDepuisImages::cheminDe("/home/a/serie/p1.jpg"), QStringLiteral("/home/a/serie"));
        QCOMPARE(VideoDepuisImages::extensionDe("/home/a/serie/p1.JPG"), QStringLiteral("*.JPG"));
        QCOMPARE(VideoDepuisImages::fichierVideo(VideoDepuisImages::cheminDe("/p1.jpg")), QStringLiteral("/video.avi"));
        QCOMPARE(VideoDepuisImages::fichierVideo("/home/a"), QStringLiteral("/home/a/video.avi"));
    }

    void cadence_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("cadence");
        QTest::newRow("entier") << "12" << 12;
        QTest::newRow("abc") << "abc" << 10;
        QTest::newRow("vide") << "" << 10;
        QTest::newRow("décimal") << "12.5" << 10;
        QTest::newRow("zéro") << "0" << 10;
    }
    void cadence()
    {
        QFETCH(QString, texte);
        QFETCH(int, cadence);
        QCOMPARE(VideoDepuisImages::cadenceLue(texte), cadence);
    }

    // One frame per JPEG of the folder in scan order at the typed rate (10 for "abc"), each
    // close to its image; the BMP is left out.
    void enregistrement_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("cadence");
        QTest::newRow("12") << "12" << 12;
        QTest::newRow("abc") << "abc" << 10;
    }
    void enregistrement()
    {
        QFETCH(QString, texte);
        QFETCH(int, cadence);
        TVideoFromJpegForm f;
        f.NomFichier = m_serie + "/p11.jpg";
        f.show();
        QCOMPARE(f.windowTitle(), QStringLiteral("Video à partir d'images"));
        bool succes = false;
        QVERIFY(enregistre(f, texte, &succes));
        QVERIFY(succes);
        QCOMPARE(f.memoLog->text(), QStringLiteral("Terminé"));
        VideoSource s;
        QVERIFY2(s.open(m_serie + "/video.avi"), qPrintable(s.erreur()));
        QCOMPARE(s.frameCount(), 6);
        QCOMPARE(s.nominalRate(), double(cadence));
        for (int n = 0; n < 6; ++n) {
            const QImage jpeg = chargeJpeg(QStringLiteral("%1/p%2.jpg").arg(m_serie).arg(n * 5 + 1));
            const double q = psnr(s.frame(n).image, jpeg);
            QVERIFY2(q > 35, qPrintable(QStringLiteral("image %1 : %2 dB").arg(n).arg(q)));
        }
    }

    // An image that cannot be read stops the recording with the error status; the earlier
    // video stays whole.
    void echec()
    {
        QTemporaryDir dir;
        for (int n = 0; n < 3; ++n)
            QVERIFY(sauveJpeg(image(n), dir.filePath(QStringLiteral("i%1.jpg").arg(n))));
        TVideoFromJpegForm f;
        f.NomFichier = dir.filePath("i0.jpg");
        f.show();
        bool succes = false;
        QVERIFY(enregistre(f, "10", &succes));
        QVERIFY(succes);
        const QByteArray bon = contenuFichier(dir.filePath("video.avi"));
        QFile casse(dir.filePath("i1.jpg"));
        QVERIFY(casse.open(QIODevice::WriteOnly));
        casse.write("pas une image");
        casse.close();
        QVERIFY(enregistre(f, "10", &succes));
        QVERIFY(!succes);
        QCOMPARE(f.memoLog->text(), QStringLiteral("Erreur durant l'enregistrement"));
        QCOMPARE(contenuFichier(dir.filePath("video.avi")), bon);
        QCOMPARE(QDir(dir.path()).entryList({"*.avi*", ".*avi*"}, QDir::Files | QDir::Hidden),
                 QStringList{"video.avi"});
    }

    // The preview shows the images one after another and ends on "Terminé".
    void previsualisation()
    {
        TVideoFromJpegForm f;
        f.NomFichier = m_serie + "/p1.jpg";
        f.show();
        QTest::mouseClick(f.btnStartPreview, Qt::LeftButton);
        QTRY_VERIFY(!f.VideoGrabber->pixmap().isNull());
        QTRY_COMPARE_WITH_TIMEOUT(f.memoLog->text(), QStringLiteral("Terminé"), 5000);
        QVERIFY(!f.enregistre());
    }
};

QTEST_MAIN(TstVideoFromJpeg)
#include "tst_videofromjpeg.moc"

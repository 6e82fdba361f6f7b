#include "VideoSource.h"
#include "VideoWriter.h"

#include "ImagesTest.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

namespace {

// A photo-like picture: smooth light, a little sensor noise, an object drawn with soft edges.
QImage image(int n, QSize taille = QSize(320, 240))
{
    QImage img(taille, QImage::Format_RGB32);
    quint32 bruit = 12345u + quint32(n);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            bruit = bruit * 1103515245u + 12345u;
            const int b = int((bruit >> 16) % 9);
            img.setPixel(x, y, qRgb(60 + x * 150 / img.width() + b, 80 + y * 120 / img.height() + b, 150 + b));
        }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 50, 40));
    p.drawEllipse(QPoint(20 + 25 * n, 120), 15, 15);
    return img;
}

} // namespace

class TstVideoWriter : public QObject
{
    Q_OBJECT
private slots:
    // Every frame comes back through the video reader, in order, at the rate given.
    void allerRetour()
    {
        QTemporaryDir dir;
        const QString f = dir.filePath("video.avi");
        VideoWriter w;
        QVERIFY(w.open(f, QSize(320, 240), 7));
        for (int n = 0; n < 6; ++n)
            QVERIFY2(w.write(image(n)), qPrintable(w.erreur()));
        QVERIFY(!QFile::exists(f));
        QVERIFY2(w.finish(), qPrintable(w.erreur()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"video.avi"});

        VideoSource s;
        QVERIFY2(s.open(f), qPrintable(s.erreur()));
        QCOMPARE(s.formatName(), QStringLiteral("avi"));
        QCOMPARE(s.codecName(), QStringLiteral("mjpeg"));
        QCOMPARE(s.frameCount(), 6);
        QCOMPARE(s.size(), QSize(320, 240));
        QCOMPARE(s.nominalRate(), 7.0);
        for (int n = 0; n < 6; ++n) {
            const VideoSource::Frame fr = s.frame(n);
            QVERIFY(fr.isValid());
            QVERIFY(std::abs(fr.time - n / 7.0) < 1e-6);
            const double q = psnr(fr.image, image(n));
            QVERIFY2(q > 35, qPrintable(QString::number(q)));
        }
    }

    // Odd sizes lose a column or row; images of another size are scaled to the first.
    void tailles()
    {
        QTemporaryDir dir;
        const QString f = dir.filePath("v.avi");
        VideoWriter w;
        QVERIFY(w.open(f, QSize(321, 241), 10));
        QCOMPARE(w.size(), QSize(320, 240));
        QVERIFY(w.write(image(0, QSize(321, 241))));
        QVERIFY(w.write(image(1, QSize(640, 480))));
        QVERIFY(w.finish());
        VideoSource s;
        QVERIFY(s.open(f));
        QCOMPARE(s.frameCount(), 2);
        QCOMPARE(s.size(), QSize(320, 240));
        QVERIFY(!w.open(f, QSize(1, 1), 10));
        QVERIFY(!w.open(f, QSize(10, 10), 0));
    }

    // A write that fails (file size limit here, a full disk for a user) or is abandoned leaves
    // the earlier video as it was, and no temporary file behind.
    void echecSansDegat()
    {
        QTemporaryDir dir;
        const QString f = dir.filePath("video.avi");
        {
            VideoWriter w;
            QVERIFY(w.open(f, QSize(320, 240), 10));
            QVERIFY(w.write(image(0)));
            QVERIFY(w.finish());
        }
        const QByteArray bon = contenuFichier(f);
        QVERIFY(!bon.isEmpty());
        {
            VideoWriter w;
            QVERIFY(w.open(f, QSize(320, 240), 10));
            QVERIFY(w.write(image(1)));
            w.abandon();
        }
        QCOMPARE(contenuFichier(f), bon);

        std::signal(SIGXFSZ, SIG_IGN);
        rlimit avant{};
        getrlimit(RLIMIT_FSIZE, &avant);
        rlimit petit = avant;
        petit.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &petit), 0);
        bool echec = false;
        {
            VideoWriter w;
            if (!w.open(f, QSize(320, 240), 10)) {
                echec = true;
            } else {
                for (int n = 0; n < 40 && !echec; ++n)
                    echec = !w.write(image(n));
                if (!echec)
                    echec = !w.finish();
            }
            QVERIFY(!w.erreur().isEmpty());
        }
        setrlimit(RLIMIT_FSIZE, &avant);
        QVERIFY(echec);
        QCOMPARE(contenuFichier(f), bon);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"video.avi"});
    }

    void dossierAbsent()
    {
        VideoWriter w;
        QVERIFY(!w.open("/nonexistent-kx/video.avi", QSize(320, 240), 10));
        QVERIFY(w.erreur().contains("video.avi"));
    }
};

QTEST_GUILESS_MAIN(TstVideoWriter)
#include "tst_videowriter.moc"

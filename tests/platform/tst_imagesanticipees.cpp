#include "ImageLoader.h"
#include "ImagesAnticipees.h"
#include "TestSupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TstImagesAnticipees : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_fichiers;

    static QImage image(int n)
    {
        QImage img(400, 300, QImage::Format_RGB32);
        img.fill(QColor(20 * n % 255, 100, 200));
        QPainter p(&img);
        p.fillRect(10 * n, 20, 30, 30, Qt::white);
        return img;
    }

private slots:
    void initTestCase()
    {
        for (int n = 0; n < 8; ++n) {
            m_fichiers << m_dir.filePath(QStringLiteral("im%1.jpg").arg(n));
            QVERIFY(sauveJpeg(image(n), m_fichiers.last()));
        }
    }

    // The neighbours are decoded on the worker and come back identical to a plain decode.
    void voisinsDecodes()
    {
        ImagesAnticipees a;
        a.setAnticipation(3, 1);
        a.setFichiers(m_fichiers);
        QSignalSpy pretes(&a, &ImagesAnticipees::imagePrete);
        const QImage i2 = a.image(2);
        QCOMPARE(i2.format(), QImage::Format_RGB32);
        QCOMPARE(i2, chargeJpeg(m_fichiers[2]).convertToFormat(QImage::Format_RGB32));
        QTRY_VERIFY(a.enCache(3) && a.enCache(4) && a.enCache(5) && a.enCache(1));
        QVERIFY(!a.enCache(6) && !a.enCache(0));
        QTRY_COMPARE(pretes.count(), 4);
        QCOMPARE(a.image(3), chargeJpeg(m_fichiers[3]).convertToFormat(QImage::Format_RGB32));
        QTRY_VERIFY(a.enCache(6));
        // Turning back: the read-ahead follows the new direction.
        a.image(2);
        a.image(1);
        QTRY_VERIFY(a.enCache(0));
    }

    void sansAnticipation()
    {
        ImagesAnticipees a;
        a.setAnticipation(0, 0);
        a.setFichiers(m_fichiers);
        QVERIFY(!a.image(0).isNull());
        QTest::qWait(200);
        QVERIFY(!a.enCache(1));
    }

    // The cache stays within its bound, keeping the image shown and what is next to it.
    void limite()
    {
        ImagesAnticipees a;
        const qint64 uneImage = image(0).sizeInBytes();
        a.setLimite(3 * uneImage);
        a.setAnticipation(6, 1);
        a.setFichiers(m_fichiers);
        for (int i = 0; i < 8; ++i) {
            QVERIFY(!a.image(i).isNull());
            QTest::qWait(30);
            QVERIFY2(a.octetsEnCache() <= 3 * uneImage, qPrintable(QString::number(a.octetsEnCache())));
            QVERIFY(a.enCache(i));
        }
        QTRY_VERIFY(a.enCache(6));
    }

    void erreurs()
    {
        QVERIFY(ecritOctets(m_dir.filePath("casse.jpg"), "pas une image"));
        ImagesAnticipees a;
        a.setFichiers({m_fichiers[0], m_dir.filePath("casse.jpg")});
        QString erreur;
        QVERIFY(!a.image(0, &erreur).isNull());
        QVERIFY(erreur.isEmpty());
        QVERIFY(a.image(1, &erreur).isNull());
        QVERIFY2(erreur.contains("casse.jpg"), qPrintable(erreur));
        QVERIFY(a.image(5, &erreur).isNull());
        // A new series drops the old images.
        a.setFichiers({m_fichiers[4]});
        QVERIFY(!a.enCache(0));
        QCOMPARE(a.image(0), chargeJpeg(m_fichiers[4]).convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_GUILESS_MAIN(TstImagesAnticipees)
#include "tst_imagesanticipees.moc"

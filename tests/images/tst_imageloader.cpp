// Picture files of the still-image tools: JPEG through libjpeg, the others through Qt.
#include "ImageLoader.h"

#include <QTemporaryDir>
#include <QtTest>

class TstImageLoader : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void jpegAllerRetour()
    {
        QImage im(64, 48, QImage::Format_RGB32);
        im.fill(QColor(200, 40, 30));
        const QString chemin = dir.filePath("a.jpg");
        QVERIFY(sauveJpeg(im, chemin));
        QString erreur;
        const QImage lu = chargeJpeg(chemin, &erreur);
        QVERIFY2(!lu.isNull(), qPrintable(erreur));
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QCOMPARE(lu.size(), QSize(64, 48));
        const QColor c = lu.pixelColor(30, 20);
        QVERIFY(std::abs(c.red() - 200) < 8 && std::abs(c.green() - 40) < 8 && std::abs(c.blue() - 30) < 8);
    }

    // A grey-level JPEG comes back as 24-bit colour.
    void jpegGris()
    {
        QImage gris(20, 10, QImage::Format_Grayscale8);
        gris.fill(128);
        const QString chemin = dir.filePath("g.jpeg");
        QVERIFY(gris.save(chemin, "JPG"));
        const QImage lu = chargeImage(chemin);
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QVERIFY(std::abs(lu.pixelColor(5, 5).green() - 128) < 4);
    }

    void echecs_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QByteArray>("octets");
        QTest::addColumn<QString>("message");
        QTest::newRow("jpeg tronqué") << "t.jpg" << QByteArray("\xFF\xD8\xFF\xDB\x00\x43", 6) << "JPEG";
        QTest::newRow("jpeg vide") << "v.jpg" << QByteArray() << "vide";
        QTest::newRow("png faux") << "f.png" << QByteArray("pas une image") << "illisible";
        QTest::newRow("absent") << "" << QByteArray() << "Impossible d'ouvrir";
    }
    void echecs()
    {
        QFETCH(QString, nom);
        QFETCH(QByteArray, octets);
        QFETCH(QString, message);
        QString chemin = dir.filePath(nom.isEmpty() ? "absent.bmp" : nom);
        if (!nom.isEmpty()) {
            QFile f(chemin);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(octets);
        }
        QString erreur;
        QVERIFY(chargeImage(chemin, &erreur).isNull());
        QVERIFY2(erreur.contains(message), qPrintable(erreur));
    }

    void bmp24()
    {
        QImage im(5, 3, QImage::Format_ARGB32);
        im.fill(QColor(10, 20, 30));
        const QString chemin = dir.filePath("b.bmp");
        QVERIFY(sauveBmp(im, chemin));
        const QImage lu = chargeImage(chemin);
        QCOMPARE(lu.format(), QImage::Format_RGB888);
        QCOMPARE(lu.pixelColor(4, 2), QColor(10, 20, 30));
        QVERIFY(!sauveBmp(im, dir.filePath("absent/b.bmp")));
    }
};

QTEST_GUILESS_MAIN(TstImageLoader)
#include "tst_imageloader.moc"

#include "ClipsImages.h"
#include "CompositeChrono.h"
#include "VideoSource.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

class TestCompositeChrono : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    // One pixel of background, one later image: is it painted?
    void seuils_data()
    {
        QTest::addColumn<QRgb>("fond");
        QTest::addColumn<QRgb>("image");
        QTest::addColumn<bool>("avecObjet");
        QTest::addColumn<QRgb>("objet");
        QTest::addColumn<bool>("pris");
        QTest::newRow("changement 192 : non") << qRgb(10, 10, 10) << qRgb(74, 74, 74) << false << QRgb(0) << false;
        QTest::newRow("changement 193 : oui") << qRgb(10, 10, 10) << qRgb(75, 74, 74) << false << QRgb(0) << true;
        QTest::newRow("baisse de 193 : oui") << qRgb(200, 200, 200) << qRgb(200, 7, 200) << false << QRgb(0) << true;
        QTest::newRow("objet à 64 : oui") << qRgb(0, 0, 0) << qRgb(250, 0, 0) << true << qRgb(250, 64, 0) << true;
        QTest::newRow("objet à 65 : non") << qRgb(0, 0, 0) << qRgb(250, 0, 0) << true << qRgb(250, 30, 35) << false;
        QTest::newRow("objet proche, pas de changement") << qRgb(0, 0, 0) << qRgb(60, 60, 60) << true << qRgb(60, 60, 60)
                                                         << false;
    }
    void seuils()
    {
        QFETCH(QRgb, fond);
        QFETCH(QRgb, image);
        QFETCH(bool, avecObjet);
        QFETCH(QRgb, objet);
        QFETCH(bool, pris);
        QImage f(3, 2, QImage::Format_RGB32), i(3, 2, QImage::Format_RGB32);
        f.fill(fond);
        i.fill(fond);
        i.setPixel(1, 1, image);
        CompositeChrono c;
        c.commence(f, avecObjet ? std::optional<QRgb>(objet) : std::nullopt);
        QVERIFY(c.ajoute(i));
        QCOMPARE(c.resultat().pixel(1, 1) & 0xffffff, (pris ? image : fond) & 0xffffff);
        QCOMPARE(c.resultat().pixel(0, 0) & 0xffffff, fond & 0xffffff);
        QCOMPARE(c.fond().pixel(1, 1) & 0xffffff, fond & 0xffffff); // the background never changes
    }

    void tailleDifferente()
    {
        CompositeChrono c;
        QImage a(4, 4, QImage::Format_RGB32);
        a.fill(Qt::black);
        QVERIFY(!c.ajoute(a)); // not started
        c.commence(a);
        QVERIFY(!c.ajoute(QImage(5, 4, QImage::Format_RGB32)));
        QCOMPARE(c.imagesAjoutees(), 0);
    }

    // A clip with moving blocks, decoded by the video source: each pixel of the composite holds
    // the colour of the last image that differed from the first by more than 192, else the first.
    void clip()
    {
        QVERIFY(m_dir.isValid());
        QVector<QImage> images;
        const QColor couleurs[] = {Qt::red, Qt::green, Qt::blue, Qt::white, Qt::yellow};
        for (int n = 0; n < 12; ++n) {
            QImage i(96, 64, QImage::Format_RGB32);
            i.fill(QColor(40, 40, 40));
            QPainter p(&i);
            p.fillRect(4 + 6 * n, 10, 14, 14, couleurs[n % 5]);
            p.fillRect(60, 40 + n, 20, 6, QColor(40 + 16 * n, 40, 40)); // changes of at most 176: never taken
            images << i;
        }
        const QString f = m_dir.filePath("blocs.mkv");
        QVERIFY(fabriqueClipImages(f, images, {"-c:v", "ffv1", "-pix_fmt", "bgr0"}));
        VideoSource v;
        QVERIFY2(v.open(f), qPrintable(v.erreur()));
        QCOMPARE(v.frameCount(), 12);
        QVector<QImage> decodees;
        CompositeChrono c;
        for (int n = 0; n < v.frameCount(); ++n) {
            const QImage img = v.frame(n).image.copy();
            decodees << img;
            if (n == 0)
                c.commence(img);
            else
                QVERIFY(c.ajoute(img));
        }
        QCOMPARE(c.imagesAjoutees(), 11);
        int pris = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 96; ++x) {
                QRgb attendu = decodees[0].pixel(x, y);
                for (int n = decodees.size() - 1; n > 0; --n)
                    if (differenceCouleurs(decodees[n].pixel(x, y), decodees[0].pixel(x, y)) > 192) {
                        attendu = decodees[n].pixel(x, y);
                        ++pris;
                        break;
                    }
                QCOMPARE(c.resultat().pixel(x, y), attendu);
            }
        QVERIFY(pris > 500);
        QCOMPARE(c.resultat().pixel(70, 45), decodees[0].pixel(70, 45));
    }

    void sauvegarde_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QByteArray>("debut");
        QTest::newRow("jpg") << "a.jpg" << QByteArray("\xff\xd8\xff", 3);
        QTest::newRow("JPG") << "b.JPG" << QByteArray("\xff\xd8\xff", 3);
        QTest::newRow("png") << "c.png" << QByteArray("\x89PNG", 4);
        QTest::newRow("bmp") << "d.bmp" << QByteArray("BM");
        QTest::newRow("jpeg") << "e.jpeg" << QByteArray("\xff\xd8\xff", 3);
        QTest::newRow("sans extension : bitmap") << "f" << QByteArray("BM");
    }
    void sauvegarde()
    {
        QFETCH(QString, nom);
        QFETCH(QByteArray, debut);
        QImage i(20, 10, QImage::Format_RGB32);
        i.fill(QColor(200, 30, 60));
        const QString chemin = m_dir.filePath(nom);
        QString erreur;
        QVERIFY2(sauveImageChrono(i, chemin, &erreur), qPrintable(erreur));
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.read(debut.size()), debut);
    }

    void sauvegardeImpossible()
    {
        QImage i(4, 4, QImage::Format_RGB32);
        i.fill(Qt::red);
        QString erreur;
        QVERIFY(!sauveImageChrono(i, m_dir.filePath("pas/de/dossier/x.png"), &erreur));
        QVERIFY(erreur.contains(QStringLiteral("Erreur d'écriture")));
    }
};

QTEST_MAIN(TestCompositeChrono)
#include "tst_compositechrono.moc"

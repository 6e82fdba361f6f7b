// The plain computations of the second video tool: the angle of three points, the time base,
// where a delivered frame stands, the display zoom and grab distance, the magnifier.
#include "CadenceCapture.h"
#include "LoupeCapture.h"
#include "NumberText.h"
#include "PointageModel.h"

#include <QtTest>

class TestCalculsCapture : public QObject
{
    Q_OBJECT

private slots:
    void init() { setSeparateurDecimal('.'); }

    // Apex at (100, 100); reference and final points around it, screen y downward: α turns
    // from the reference to the final direction, counter-clockwise positive, in (-180, 180].
    void angle_data()
    {
        QTest::addColumn<QPoint>("reference");
        QTest::addColumn<QPoint>("final");
        QTest::addColumn<double>("alpha");
        QTest::newRow("right to up") << QPoint(150, 100) << QPoint(100, 50) << 90.0;
        QTest::newRow("right to down") << QPoint(150, 100) << QPoint(100, 150) << -90.0;
        QTest::newRow("first quadrant") << QPoint(150, 100) << QPoint(150, 50) << 45.0;
        QTest::newRow("second quadrant") << QPoint(150, 100) << QPoint(50, 50) << 135.0;
        QTest::newRow("third quadrant") << QPoint(150, 100) << QPoint(50, 150) << -135.0;
        QTest::newRow("fourth quadrant") << QPoint(150, 100) << QPoint(150, 150) << -45.0;
        QTest::newRow("down to right") << QPoint(100, 150) << QPoint(150, 100) << 90.0;
        QTest::newRow("up to left") << QPoint(100, 50) << QPoint(50, 100) << 90.0;
        QTest::newRow("same direction") << QPoint(150, 100) << QPoint(180, 100) << 0.0;
        QTest::newRow("straight, right to left") << QPoint(150, 100) << QPoint(50, 100) << 180.0;
        QTest::newRow("straight, left to right") << QPoint(50, 100) << QPoint(150, 100) << 180.0;
        QTest::newRow("straight, down to up") << QPoint(100, 150) << QPoint(100, 50) << 180.0;
        // Just past the half turn either way: the wrap.
        QTest::newRow("179") << QPoint(200, 100) << QPoint(0, 98) << 178.854;
        QTest::newRow("-179") << QPoint(200, 100) << QPoint(0, 102) << -178.854;
    }
    void angle()
    {
        QFETCH(QPoint, reference);
        QFETCH(QPoint, final);
        QFETCH(double, alpha);
        PointageModel m(ReglesPointage::capture());
        m.angle = true;
        m.DebutMesures();
        for (const QPoint& p : {reference, QPoint(100, 100), final}) {
            m.PointRepere[bsMesure] = p;
            m.EnregistrePoint(0);
        }
        QCOMPARE(m.Nmes, 1);
        QVERIFY2(std::abs(m.Angle(0) - alpha) < 0.001, qPrintable(QString::number(m.Angle(0))));
        // Shown and exported rounded to Arrondi (1 m over 100 pixels: 0.01).
        m.mediaOuvert = true;
        m.PointRepere[bsEchelle1] = QPoint(0, 0);
        m.PointRepere[bsEchelle2] = QPoint(100, 0);
        m.CalculEchelle();
        QCOMPARE(m.Arrondi, 0.01);
        QCOMPARE(m.ValeurAngle(0), TexteNombre(std::nearbyint(alpha * 100) / 100));
    }

    // t = round((Temps - torigine) * EchelleT / 1 ms) * 1 ms, EchelleT = file rate / declared.
    void baseDeTemps_data()
    {
        QTest::addColumn<double>("fichier");
        QTest::addColumn<QString>("declare");
        QTest::addColumn<double>("temps");
        QTest::addColumn<double>("origine");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<double>("echelle");
        QTest::addColumn<bool>("lu");
        QTest::newRow("as stored") << 30.0 << "30" << 1.0 << 0.0 << "1" << 1.0 << true;
        QTest::newRow("240 for 30") << 30.0 << "240" << 1.0 << 0.0 << "0.125" << 0.125 << true;
        QTest::newRow("milliseconds") << 25.0 << "25" << 0.0416 << 0.0 << "0.042" << 1.0 << true;
        QTest::newRow("origin") << 25.0 << "25" << 0.52 << 0.2 << "0.32" << 1.0 << true;
        QTest::newRow("origin, 100 for 25") << 25.0 << "100" << 0.52 << 0.2 << "0.08" << 0.25 << true;
        QTest::newRow("before the origin") << 25.0 << "25" << 0.12 << 0.2 << "-0.08" << 1.0 << true;
        QTest::newRow("prefix read") << 30.0 << "0,24k" << 1.0 << 0.0 << "0.125" << 0.125 << true;
        QTest::newRow("unreadable") << 30.0 << "%" << 1.0 << 0.0 << "1" << 1.0 << false;
        QTest::newRow("zero") << 30.0 << "0" << 1.0 << 0.0 << "1" << 1.0 << false;
    }
    void baseDeTemps()
    {
        QFETCH(double, fichier);
        QFETCH(QString, declare);
        QFETCH(double, temps);
        QFETCH(double, origine);
        QFETCH(QString, texte);
        QFETCH(double, echelle);
        QFETCH(bool, lu);
        CadenceCapture c;
        c.ouvre(fichier);
        QCOMPARE(c.EchelleT, 1.0);
        QCOMPARE(c.declare(declare), lu);
        QCOMPARE(c.EchelleT, echelle);
        PointageModel m(ReglesPointage::capture());
        m.Temps[0] = temps;
        m.torigine = origine;
        m.EchelleT = c.EchelleT;
        QCOMPARE(m.TexteTemps(0), texte);
    }

    void cadenceDuFichier()
    {
        CadenceCapture c;
        c.ouvre(0);
        QCOMPARE(c.VideoFrameRateFps, 1.0);
        QCOMPARE(c.texteFichier(), QString("1.00"));
        c.ouvre(29.97);
        QCOMPARE(c.texteFichier(), QString("29.97"));
        setSeparateurDecimal(',');
        QCOMPARE(c.texteFichier(), QString("29,97"));
    }

    // A frame number past the track bar takes the track bar's position and the file's rate.
    void positionDesImages_data()
    {
        QTest::addColumn<qint64>("numero");
        QTest::addColumn<int>("attendu");
        QTest::addColumn<double>("temps");
        QTest::addColumn<QString>("texte");
        QTest::newRow("in range") << qint64(7) << 7 << 0.28 << "N°=7 0.280s";
        QTest::newRow("last") << qint64(50) << 50 << 0.28 << "N°=50 0.280s";
        QTest::newRow("past the end") << qint64(51) << 12 << 0.48 << "N°=12 0.480s";
    }
    void positionDesImages()
    {
        QFETCH(qint64, numero);
        QFETCH(int, attendu);
        QFETCH(double, temps);
        QFETCH(QString, texte);
        const PositionTrame p = positionTrame(numero, 2800000, 50, 12, 25);
        QCOMPARE(p.framePosition, attendu);
        QCOMPARE(p.timePosition, temps);
        QCOMPARE(texteTimePosition(p), texte);
    }

    void zoomEtAimant_data()
    {
        QTest::addColumn<QSize>("zone");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("magnet");
        QTest::newRow("640x480 in 1000x800") << QSize(1000, 800) << QSize(640, 480) << 1 << 6;
        QTest::newRow("160x120 in 1000x800") << QSize(1000, 800) << QSize(160, 120) << 4 << 2;
        QTest::newRow("320x240 in 700x900") << QSize(700, 900) << QSize(320, 240) << 2 << 3;
        QTest::newRow("3 fits") << QSize(500, 400) << QSize(160, 120) << 3 << 2;
        QTest::newRow("too big") << QSize(300, 200) << QSize(640, 480) << 1 << 6;
    }
    void zoomEtAimant()
    {
        QFETCH(QSize, zone);
        QFETCH(QSize, image);
        QFETCH(int, zoom);
        QFETCH(int, magnet);
        QCOMPARE(zoomAffichagePour(zone.width(), zone.height(), image.width(), image.height()), zoom);
        QCOMPARE(magnetPour(zoom), magnet);
    }

    // The magnifier: the frame's pixels around the pointer, black outside, a cross in the middle.
    void loupe()
    {
        QImage frame(40, 30, QImage::Format_RGB32);
        frame.fill(qRgb(0, 200, 0));
        frame.setPixel(2, 3, qRgb(10, 20, 30));
        const QImage l = imageLoupeCapture(frame, QPoint(2, 3), QSize(20, 10));
        QCOMPARE(l.size(), QSize(20, 10));
        QCOMPARE(l.pixel(0, 0), qRgb(0, 0, 0));            // (-8, -2): outside the frame
        QCOMPARE(l.pixel(9, 7), qRgb(0, 200, 0));          // (1, 5)
        QCOMPARE(l.pixel(10, 5), qRgb(255, 0, 0));         // the cross
        QCOMPARE(l.pixel(9, 4), qRgb(0, 200, 0));
        QCOMPARE(imageLoupeCapture(frame, QPoint(3, 4), QSize(20, 10)).pixel(9, 4), qRgb(10, 20, 30));
    }
};

QTEST_GUILESS_MAIN(TestCalculsCapture)
#include "tst_calculscapture.moc"

#include "ChronoForm.h"
#include "ImageLoader.h"
#include "LoupeForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

class TestFenetresChrono : public QObject
{
    Q_OBJECT

private slots:
    // Each source pixel becomes a facteur x facteur square, the mouse's pixel at the middle,
    // under a red cross; outside the picture stays white.
    void loupe()
    {
        QImage src(40, 30, QImage::Format_RGB32);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                src.setPixel(x, y, qRgb(x * 6, y * 8, 100));
        const int f = 6; // n = 200 / 6 = 33 pixels, h = 16
        const QImage l = imageLoupe(src, {20, 15}, f);
        QCOMPARE(l.size(), QSize(200, 200));
        QCOMPARE(l.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(l.pixel(1 + f * 1, 1 + f * 2), src.pixel(20 - 16 + 1, 15 - 16 + 2));
        QCOMPARE(l.pixel(f * 16 + 1, f * 16 + 1), src.pixel(20, 15));
        QCOMPARE(l.pixel(f * 16 + f - 1, f * 16 + 1), src.pixel(20, 15));
        QCOMPARE(l.pixel(100, 5), qRgb(255, 0, 0));
        QCOMPARE(l.pixel(5, 100), qRgb(255, 0, 0));
    }

    void fenetreLoupe()
    {
        TLoupeForm w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Loupe"));
        QVERIFY(w.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(w.PuissanceTB->minimum(), 2);
        QCOMPARE(w.PuissanceTB->maximum(), 6);
        QCOMPARE(w.puissance(), 3);
        QCOMPARE(w.PuissanceTB->toolTip(), QStringLiteral("Puissance de la loupe"));
        QImage src(50, 50, QImage::Format_RGB32);
        src.fill(Qt::blue);
        src.setPixel(25, 25, qRgb(0, 255, 0));
        w.PuissanceTB->setValue(4);
        w.montre(src, {25, 25}, 1);
        QVERIFY(w.isVisible());
        // 200 / 4 = 50 pixels, h = 25: the centre pixel is the square at (100, 100).
        QCOMPARE(w.picture().pixel(101, 101), qRgb(0, 255, 0));
        QCOMPARE(w.picture().pixel(96, 96), qRgb(0, 0, 255));
        // With zoom 2 the power doubles: 200 / 8 = 25 pixels, h = 12, centre square at 96.
        w.montre(src, {25, 25}, 2);
        QCOMPARE(w.picture().pixel(97, 97), qRgb(0, 255, 0));
        QCOMPARE(w.picture().pixel(95, 97), qRgb(0, 0, 255));

        QSignalSpy fermee(&w, &TLoupeForm::fermee);
        w.close();
        QCOMPARE(fermee.count(), 1);
    }

    // Keys on the power slider go to the hook and stop there; without a hook the slider keeps them.
    void touchesTransmises()
    {
        TLoupeForm w;
        w.show();
        QTest::keyClick(w.PuissanceTB, Qt::Key_Right);
        QCOMPARE(w.puissance(), 4);
        QList<int> recues;
        w.toucheTransmise = [&](QKeyEvent* e) { recues << e->key(); };
        QTest::keyClick(w.PuissanceTB, Qt::Key_Right);
        QCOMPARE(recues, QList<int>{Qt::Key_Right});
        QCOMPARE(w.puissance(), 4);
    }

    // The viewer stretches the saved picture proportionally to its own size.
    void visionneuse()
    {
        QTemporaryDir dir;
        QImage i(400, 100, QImage::Format_RGB32);
        i.fill(Qt::red);
        const QString f = dir.filePath("chrono.bmp");
        QVERIFY(sauveBmp(i, f));
        TChronoForm c;
        QCOMPARE(c.windowTitle(), QStringLiteral("Chronophotographie à partir de AVI"));
        QCOMPARE(c.size(), QSize(642, 480));
        QVERIFY(c.charge(f));
        c.show();
        QVERIFY(QTest::qWaitForWindowExposed(&c));
        const QPixmap pm = c.Image1->pixmap();
        QVERIFY(!pm.isNull());
        QCOMPARE(pm.width(), c.Image1->width());
        QVERIFY(qAbs(pm.height() - c.Image1->width() / 4) <= 1);
        QVERIFY(!c.charge(dir.filePath("absent.bmp")));
        QVERIFY(c.Image1->pixmap().isNull());
    }
};

QTEST_MAIN(TestFenetresChrono)
#include "tst_fenetreschrono.moc"

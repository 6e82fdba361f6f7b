#include "NumberText.h"
#include "VuePointage.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct Banc
{
    Banc() : ctrl(modele), vue(ctrl)
    {
        modele.mediaOuvert = true;
        modele.Largeur = 100;
        modele.Hauteur = 80;
        modele.PointRepere[bsOrigine] = QPoint(50, 40);
        modele.PointRepere[bsEchelle1] = QPoint(10, 70);
        modele.PointRepere[bsEchelle2] = QPoint(60, 70);
        modele.CalculEchelle();
        modele.CalculEchelle();
        QImage img(100, 80, QImage::Format_RGB32);
        img.fill(Qt::white);
        vue.setImage(img);
        OptionsDessin o;
        o.couleurAxe = Qt::red;
        vue.setOptions(o);
        vue.setZoom(2);
    }
    PointageModel modele;
    PointageControleur ctrl;
    VuePointage vue;
};

} // namespace

class TestVuePointage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void clicsEnPixelsImage()
    {
        Banc b;
        b.vue.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.vue));
        QCOMPARE(b.vue.size(), QSize(200, 160));
        const QImage r = b.vue.rendu();
        QCOMPARE(QColor(r.pixel(20, 80)), QColor(Qt::red)); // axis through origin row 40, zoom 2
        QCOMPARE(QColor(r.pixel(20, 81)), QColor(Qt::white));

        b.ctrl.MesureBtnClick(true);
        QTest::mouseClick(&b.vue, Qt::LeftButton, {}, QPoint(41, 61));
        QCOMPARE(b.modele.Nmes, 1);
        QCOMPARE(b.modele.XY[1][0], QPoint(20, 30));

        // The keyboard: from (41, 61), three pixels right, ten down, then Enter.
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&b.vue, Qt::Key_Right);
        QTest::keyClick(&b.vue, Qt::Key_PageDown);
        QTest::keyClick(&b.vue, Qt::Key_Return);
        QCOMPARE(b.modele.Nmes, 2);
        QCOMPARE(b.modele.XY[1][1], QPoint(22, 35));
        b.vue.grab().save(QDir::temp().filePath("kinexo-vue.png"));
    }

    void menuSeulementHorsMesures()
    {
        Banc b;
        b.vue.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.vue));
        QSignalSpy menu(&b.vue, &VuePointage::menuDemande);
        QTest::mouseClick(&b.vue, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(menu.size(), 1);
        b.ctrl.MesureBtnClick(true);
        QTest::mouseClick(&b.vue, Qt::RightButton, {}, QPoint(10, 10));
        QCOMPARE(menu.size(), 1);
        QCOMPARE(b.modele.Nmes, 0);
    }

    void pixelsPourLaComparaison()
    {
        Banc b;
        b.vue.show();
        QVERIFY(QTest::qWaitForWindowExposed(&b.vue));
        const QImage p = b.ctrl.prendPixels(QPoint(20, 40));
        // Centred on screen (40, 80): the axis row crosses the middle of the square.
        QCOMPARE(QColor(p.pixel(5, kCotePixels / 2)), QColor(Qt::red));
        QCOMPARE(QColor(p.pixel(5, kCotePixels / 2 + 3)), QColor(Qt::white));
    }
};

QTEST_MAIN(TestVuePointage)
#include "tst_vuepointage.moc"

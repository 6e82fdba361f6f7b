#include "optionsVideo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QtTest>

// The video options dialog on its own: the rules between its controls and what it says to the
// tools that follow it.
class TestOptionsVideo : public QObject
{
    Q_OBJECT

private slots:
    void zoomImageReleveLeMinimumDeLaLoupe_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("loupeAvant");
        QTest::addColumn<int>("loupeApres");
        QTest::newRow("2 over 1") << 2 << 1 << 2;
        QTest::newRow("4 over 3") << 4 << 3 << 4;
        QTest::newRow("3 under 6") << 3 << 6 << 6;
    }
    void zoomImageReleveLeMinimumDeLaLoupe()
    {
        QFETCH(int, zoom);
        QFETCH(int, loupeAvant);
        QFETCH(int, loupeApres);
        TOptionsVideoForm o;
        o.creation = false;
        o.ZoomSE->setValue(loupeAvant);
        QSignalSpy outil(&o, &TOptionsVideoForm::zoomImageChange);
        QSignalSpy lecteur(&LiensOptionsVideo::instance(), &LiensOptionsVideo::zoomImage);
        o.ZoomImageSE->setValue(zoom);
        QCOMPARE(o.ZoomSE->minimum(), zoom);
        QCOMPARE(o.ZoomSE->value(), loupeApres);
        QCOMPARE(outil.count(), 1);
        QCOMPARE(lecteur.count(), 1);
        QCOMPARE(lecteur.at(0).at(0).toInt(), zoom);
        QCOMPARE(o.ZoomImageSE->maximum(), 4);
    }

    // Checking "Angle" hides the points control and forces three; unchecking shows it at 3.
    void angleForceTroisPoints()
    {
        TOptionsVideoForm o;
        o.show();
        o.creation = false;
        QSignalSpy points(&LiensOptionsVideo::instance(), &LiensOptionsVideo::nbrePoints);
        o.AngleCB->click();
        QVERIFY(o.AngleCB->isChecked());
        QVERIFY(!o.NbreSE->isVisible());
        QVERIFY(!o.LabelNbreSE->isVisible());
        QCOMPARE(o.NbreSE->value(), 3);
        QCOMPARE(points.count(), 1);
        QCOMPARE(points.at(0).at(0).toInt(), 3);
        o.AngleCB->click();
        QVERIFY(o.NbreSE->isVisible());
        QVERIFY(o.LabelNbreSE->isVisible());
        QCOMPARE(o.NbreSE->value(), 3);
    }

    // While loading, the point handlers say nothing; the origin choice acts even then.
    void chargementMuet()
    {
        TOptionsVideoForm o;
        o.show();
        QVERIFY(o.creation);
        QSignalSpy points(&LiensOptionsVideo::instance(), &LiensOptionsVideo::nbrePoints);
        QSignalSpy couleur(&LiensOptionsVideo::instance(), &LiensOptionsVideo::couleurPoints);
        QSignalSpy dessin(&LiensOptionsVideo::instance(), &LiensOptionsVideo::redessiner);
        QSignalSpy origine(&o, &TOptionsVideoForm::origineChoisie);
        o.NbreSE->setValue(4);
        o.CouleurPointsCB->setCurrentIndex(3);
        o.EtiquetteCB->click();
        o.AngleCB->click();
        QVERIFY(o.NbreSE->isVisible());
        o.OrigineRG->button(1)->click();
        QCOMPARE(points.count(), 0);
        QCOMPARE(couleur.count(), 0);
        QCOMPARE(dessin.count(), 0);
        QCOMPARE(origine.count(), 1);
        QCOMPARE(origine.at(0).at(0).toBool(), true);

        o.creation = false;
        o.CouleurPointsCB->setCurrentIndex(9);
        QCOMPARE(couleur.count(), 1);
        QCOMPARE(couleur.at(0).at(0).value<QColor>(), QColor(Qt::red));
        o.TracePointsRG->button(2)->click();
        QCOMPARE(dessin.count(), 1);
        QCOMPARE(o.options().points, false);
    }

    void spinsBornes()
    {
        TOptionsVideoForm o;
        QCOMPARE(o.IncertitudeSE->minimum(), 1);
        QCOMPARE(o.IncertitudeSE->maximum(), 8);
        o.IncertitudeSE->setValue(0);
        QCOMPARE(o.IncertitudeSE->value(), 1);
        QVERIFY(o.IncertitudeSE->findChild<QLineEdit*>()->isReadOnly());
        QCOMPARE(o.NbreSE->maximum(), 5);
        QCOMPARE(o.ZoomSE->maximum(), 8);
        QCOMPARE(o.windowTitle(), QString("Options lecture Video"));
    }

    // The device list shows only from two devices on; a single one is chosen.
    void peripheriques()
    {
        TOptionsVideoForm o;
        o.show();
        QSignalSpy choix(&o, &TOptionsVideoForm::peripheriqueChoisi);
        o.remplitPeripheriques({}, -1);
        QVERIFY(!o.cboVideoDevices->isVisible());
        o.remplitPeripheriques({"Caméra USB"}, -1);
        QVERIFY(!o.cboVideoDevices->isVisible());
        QCOMPARE(choix.count(), 1);
        QCOMPARE(choix.at(0).at(0).toInt(), 0);
        o.remplitPeripheriques({"Caméra USB", "Webcam intégrée"}, 1);
        QVERIFY(o.cboVideoDevices->isVisible());
        QCOMPARE(o.cboVideoDevices->currentText(), QString("Webcam intégrée"));
        QCOMPARE(choix.count(), 1);
    }
};

QTEST_MAIN(TestOptionsVideo)
#include "tst_optionsvideo.moc"

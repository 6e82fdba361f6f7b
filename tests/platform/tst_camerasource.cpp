// The program's own camera on a machine without one: an empty list, and nothing that asks a
// device for anything breaks.
#include "CameraSource.h"

#include <QGuiApplication>
#include <QSignalSpy>
#include <QtTest>

class TestCameraSource : public QObject
{
    Q_OBJECT
private slots:
    void withoutADevice()
    {
        const auto camera = creeCameraSource();
        if (!camera->peripheriques().isEmpty())
            QSKIP("this machine has a camera");
        QCOMPARE(camera->peripherique(), -1);
        camera->choisit(0);
        QCOMPARE(camera->peripherique(), -1);
        QVERIFY(camera->tailles().isEmpty());
        QCOMPARE(camera->taille(), QSize());
        for (auto r : {CameraSource::rgGain, CameraSource::rgExposition, CameraSource::rgLuminosite}) {
            QVERIFY(!camera->reglage(r));
            camera->setReglage(r, 3);
            QCOMPARE(camera->razReglage(r), 0);
        }
        camera->demarreApercu();
        QVERIFY(!camera->apercuActif());
        QSignalSpy erreur(camera.get(), &CameraSource::erreur);
        QSignalSpy image(camera.get(), &CameraSource::imageCapturee);
        camera->captureImage();
        QCOMPARE(erreur.size(), 1);
        QCOMPARE(erreur.at(0).at(0).toString(), QStringLiteral("Aucune webcam"));
        QCOMPARE(image.size(), 0);
    }
};

QTEST_MAIN(TestCameraSource)
#include "tst_camerasource.moc"

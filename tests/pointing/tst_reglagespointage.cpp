#include "PointageControleur.h"
#include "ReglagesPointage.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestReglagesPointage : public QObject
{
    Q_OBJECT
private slots:
    void valeursParDefaut()
    {
        QTemporaryDir dir;
        SectionReglages s(dir.filePath("kinexo.INI"), "AVI");
        PointageModel m;
        m.sensAxes = aBasGauche;
        const ReglagesPointage r = litReglagesPointage(s, m);
        QVERIFY(r.dessin.axes);
        QVERIFY(r.dessin.points);
        QVERIFY(!r.dessin.reticule);
        QVERIFY(r.dessin.etiquette);
        QCOMPARE(r.dessin.couleurAxe, QColor(Qt::black));
        QCOMPARE(r.cible, 8);
        QCOMPARE(r.incertitude, 1); // 0 in the file is brought to 1
        QCOMPARE(m.sensAxes, aHautDroite);
    }

    void lusCommeEcrits_data()
    {
        QTest::addColumn<bool>("cleAxes");
        QTest::addColumn<int>("cible");
        QTest::addColumn<int>("cibleLue");
        QTest::newRow("Altitude/Droite, black target") << false << 6 << 6;
        QTest::newRow("Altitude/Droite, double target is a cross") << false << 9 << int(crCroix);
        QTest::newRow("Axes key, double target kept") << true << 9 << 9;
    }
    void lusCommeEcrits()
    {
        QFETCH(bool, cleAxes);
        QFETCH(int, cible);
        QFETCH(int, cibleLue);
        QTemporaryDir dir;
        const QString ini = dir.filePath("kinexo.INI");
        PointageModel m;
        m.sensAxes = aBasGauche;
        m.Couleur[2] = QColor(255, 0, 0);
        ReglagesPointage r;
        r.dessin.reticule = true;
        r.dessin.couleurAxe = QColor(0, 0, 255);
        r.cible = cible;
        r.incertitude = 3;
        {
            SectionReglages s(ini, "AVI");
            ecritReglagesPointage(s, r, m, cleAxes);
        }
        QSettings brut(ini, QSettings::IniFormat);
        QCOMPARE(brut.value("AVI/Couleur2").toLongLong(), 255LL);
        QCOMPARE(brut.value("AVI/CouleurEchelle").toLongLong(), 0xFF0000LL);
        QVERIFY(brut.contains("AVI/Couleur0"));
        QCOMPARE(brut.contains("AVI/Axes"), cleAxes);
        QCOMPARE(brut.contains("AVI/Altitude"), !cleAxes);

        PointageModel lu;
        SectionReglages s(ini, "AVI");
        const ReglagesPointage r2 = litReglagesPointage(s, lu, cleAxes);
        QCOMPARE(lu.sensAxes, aBasGauche);
        QCOMPARE(lu.Couleur[2], QColor(255, 0, 0));
        QCOMPARE(r2.dessin.couleurAxe, QColor(0, 0, 255));
        QVERIFY(r2.dessin.reticule);
        QVERIFY(r2.dessin.points);
        QCOMPARE(brut.value("AVI/TracePoints").toBool(), !cleAxes);
        QCOMPARE(r2.cible, cibleLue);
        QCOMPARE(r2.incertitude, 3);
    }

    // The cross-hair option is its own: unchecking the points does not lose it.
    void reticuleSansPoints()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("kinexo.INI");
        PointageModel m;
        ReglagesPointage r;
        r.dessin.points = false;
        r.dessin.reticule = true;
        {
            SectionReglages s(ini, "AVI");
            ecritReglagesPointage(s, r, m, false);
        }
        PointageModel lu;
        SectionReglages s(ini, "AVI");
        const ReglagesPointage r2 = litReglagesPointage(s, lu, false);
        QVERIFY(r2.dessin.reticule);
        QVERIFY(!r2.dessin.points);
    }
};

QTEST_GUILESS_MAIN(TestReglagesPointage)
#include "tst_reglagespointage.moc"

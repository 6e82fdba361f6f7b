#include "Arrondi.h"
#include "SectionReglages.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <limits>

class TestReglages : public QObject
{
    Q_OBJECT
private slots:
    void arrondis_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<double>("pas");
        QTest::addColumn<double>("attendu");
        QTest::newRow("half to even, down") << 0.0125 << 0.001 << 0.012;
        QTest::newRow("half to even, up") << 0.0135 << 0.001 << 0.014;
        QTest::newRow("step 10") << 25.0 << 10.0 << 20.0;
        QTest::newRow("no step") << 0.123456 << 0.0 << 0.123456;
        QTest::newRow("negative step") << 0.123456 << -1.0 << 0.123456;
    }
    void arrondis()
    {
        QFETCH(double, v);
        QFETCH(double, pas);
        QFETCH(double, attendu);
        QCOMPARE(arrondiAuPas(v, pas), attendu);
    }

    void arrondiDePixelSature()
    {
        QCOMPARE(arrondi(-1e300), std::numeric_limits<int>::min());
        QCOMPARE(arrondi(std::nan("")), std::numeric_limits<int>::min());
        QCOMPARE(arrondiPair(-2.5), -2.0);
        QCOMPARE(arrondiPair(3e10 + 0.5), 3e10);
    }

    void ecritPuisLit()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("kinexo.INI");
        {
            SectionReglages s(ini, "AVI");
            QVERIFY(!s.lisible());
            QVERIFY(!s.existe());
            s.ecrit("Grille", true);
            s.ecrit("Cible", 7);
            s.ecritReel("MaxiX", 0.1);
            s.ecritCouleur("Couleur1", QColor(0, 255, 255));
            s.ecrit("Sous/Cle", QStringLiteral("é"));
            QVERIFY(s.enregistre());
        }
        // Another reader sees the section and the colour as the system's number.
        QSettings brut(ini, QSettings::IniFormat);
        QCOMPARE(brut.value("AVI/Couleur1").toLongLong(), 0xFFFF00LL);
        QCOMPARE(brut.value("AVI/Cible").toInt(), 7);

        const SectionReglages s(ini, "AVI");
        QVERIFY(s.lisible());
        QVERIFY(s.existe());
        QVERIFY(s.booleen("Grille", false));
        QCOMPARE(s.entier("Cible", 8), 7);
        QCOMPARE(s.reel("MaxiX", 1), 0.1);
        QCOMPARE(s.couleur("Couleur1", Qt::black), QColor(0, 255, 255));
        QCOMPARE(s.texte("Sous/Cle"), QStringLiteral("é"));
        QVERIFY(s.contient("Sous/Cle"));
        // Missing or unreadable values give the defaults.
        QCOMPARE(s.entier("Absent", 8), 8);
        QCOMPARE(s.couleur("Absent", Qt::red), QColor(Qt::red));
        QVERIFY(!SectionReglages(ini, "BMP").existe());
    }

    void valeursIllisibles()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("kinexo.INI");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[AVI]\nCible=abc\nMaxiX=nan\nCouleur1=bleu\n");
        f.close();
        const SectionReglages s(ini, "AVI");
        QCOMPARE(s.entier("Cible", 8), 8);
        QCOMPARE(s.reel("MaxiX", 1), 1.0);
        QCOMPARE(s.couleur("Couleur1", Qt::black), QColor(Qt::black));
    }

    void ecritureImpossible()
    {
        QTemporaryDir dir;
        // The folder of the file is a plain file: nothing can be written there.
        QFile bloc(dir.filePath("bloc"));
        QVERIFY(bloc.open(QIODevice::WriteOnly));
        bloc.close();
        SectionReglages s(dir.filePath("bloc/kinexo.INI"), "AVI");
        s.ecrit("Cible", 7);
        QVERIFY(!s.enregistre());
    }
};

QTEST_MAIN(TestReglages)
#include "tst_reglages.moc"

#include "NumberText.h"
#include "PointageModel.h"
#include "TransfertPointage.h"

#include <QtTest>

namespace {

// A model with its scale set: `longueur` metres over `pixels` pixels, origin at (100, 100),
// computed twice so the rows hold the origin.
PointageModel modele(double longueur, int pixels, TsensAxes sens = aHautDroite,
                     const ReglesPointage& regles = ReglesPointage::lecteur())
{
    PointageModel m(regles);
    m.mediaOuvert = true;
    m.LongueurEchelle = longueur;
    m.sensAxes = sens;
    m.PointRepere[bsEchelle1] = QPoint(10, 10);
    m.PointRepere[bsEchelle2] = QPoint(10 + pixels, 10);
    m.PointRepere[bsOrigine] = QPoint(100, 100);
    m.CalculEchelle();
    m.CalculEchelle();
    return m;
}

// Clicks a whole row of points given relative to the origin (100, 100).
void ligne(PointageModel& m, const QVector<QPoint>& points, double temps)
{
    for (const QPoint& p : points) {
        m.PointRepere[bsMesure] = QPoint(100, 100) + p;
        m.EnregistrePoint(temps);
    }
}

} // namespace

class TestPointageModel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void directionsDesAxes_data()
    {
        QTest::addColumn<int>("sens");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        QTest::newRow("haut droite") << int(aHautDroite) << "0.2" << "0.1";
        QTest::newRow("bas droite") << int(aBasDroite) << "0.2" << "-0.1";
        QTest::newRow("haut gauche") << int(aHautGauche) << "-0.2" << "0.1";
        QTest::newRow("bas gauche") << int(aBasGauche) << "-0.2" << "-0.1";
    }
    void directionsDesAxes()
    {
        QFETCH(int, sens);
        QFETCH(QString, x);
        QFETCH(QString, y);
        // 1 m over 100 pixels: 0.01 m per pixel; the point 20 right and 10 above the origin.
        PointageModel m = modele(1, 100, TsensAxes(sens));
        m.DebutMesures();
        ligne(m, {QPoint(20, -10)}, 0);
        QCOMPARE(m.ValeurX(1, 0), x);
        QCOMPARE(m.ValeurY(1, 0), y);
    }

    void affichageArrondiExportComplet()
    {
        PointageModel m = modele(1, 123);
        QCOMPARE(m.Arrondi, 0.001);
        m.DebutMesures();
        ligne(m, {QPoint(20, 0)}, 0);
        QCOMPARE(m.ValeurX(1, 0), QString("0.163"));
        QCOMPARE(TexteNombre(m.CoordX(1, 0)), QString("0.162602"));
    }

    void arrondiMoitieAuPair_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<QString>("texte");
        // 2.5 m per pixel, step 1.
        QTest::newRow("2.5 to 2") << 1 << "2";
        QTest::newRow("7.5 to 8") << 3 << "8";
        QTest::newRow("-2.5 to -2") << -1 << "-2";
    }
    void arrondiMoitieAuPair()
    {
        QFETCH(int, dx);
        QFETCH(QString, texte);
        PointageModel m = modele(2.5, 1);
        QCOMPARE(m.Arrondi, 1.0);
        m.DebutMesures();
        ligne(m, {QPoint(dx, 0)}, 0);
        QCOMPARE(m.ValeurX(1, 0), texte);
    }

    void origineDeplaceeAtteintLesLignesAuCalculSuivant()
    {
        PointageModel m = modele(1, 100);
        m.DebutMesures();
        ligne(m, {QPoint(20, 0)}, 0);
        m.PointRepere[bsOrigine] = QPoint(110, 100);
        m.CalculEchelle();
        QCOMPARE(m.OrigineX, 110);
        QCOMPARE(m.ValeurX(1, 0), QString("0.2")); // rows still hold the old origin
        m.CalculEchelle();
        QCOMPARE(m.ValeurX(1, 0), QString("0.1"));
    }

    void echelleNulleGardeLaDerniere()
    {
        PointageModel m = modele(1, 100);
        m.PointRepere[bsEchelle2] = m.PointRepere[bsEchelle1];
        m.CalculEchelle();
        QCOMPARE(m.EchelleX, 0.01);
        QVERIFY(std::isfinite(m.Arrondi));
    }

    void origineMobileTroisClicsPuisBascule()
    {
        PointageModel m = modele(1, 100);
        m.origineMobile = true;
        m.NbreSE = 2;
        m.DebutMesures();
        QCOMPARE(m.PointCourant, 0);
        for (int i = 0; i < 4; ++i) {
            using E = PointageModel::Enregistrement;
            m.PointRepere[bsMesure] = QPoint(i, 0);
            QCOMPARE(m.EnregistrePoint(i), E::Point);
            m.PointRepere[bsMesure] = QPoint(i, 10);
            QCOMPARE(m.EnregistrePoint(i), E::Point);
            m.PointRepere[bsMesure] = QPoint(i, 20);
            QCOMPARE(m.EnregistrePoint(i), E::LigneComplete);
            QCOMPARE(m.PointCourant, 0);
        }
        QCOMPARE(m.Nmes, 4);

        QVERIFY(m.ChoisitOrigineMobile(false));
        QCOMPARE(m.NbreSE, 3);
        QCOMPARE(m.PointCourant, 1);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(m.XY[1][i], QPoint(i, 0));
            QCOMPARE(m.XY[2][i], QPoint(i, 10));
            QCOMPARE(m.XY[3][i], QPoint(i, 20));
        }
        m.CalculEchelle();
        QCOMPARE(m.XY[0][2], QPoint(100, 100));

        QVERIFY(m.ChoisitOrigineMobile(true));
        QCOMPARE(m.NbreSE, 2);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(m.XY[0][i], QPoint(i, 0));
            QCOMPARE(m.XY[2][i], QPoint(i, 20));
        }
    }

    void basculeSansAssezDeLignes()
    {
        PointageModel m = modele(1, 100);
        m.origineMobile = true;
        m.DebutMesures();
        for (int i = 0; i < 3; ++i)
            ligne(m, {QPoint(0, 0), QPoint(5, 5)}, i);
        QCOMPARE(m.Nmes, 3);
        QVERIFY(!m.ChoisitOrigineMobile(false));
        QCOMPARE(m.NbreSE, 1);
        QVERIFY(!m.origineMobile);
    }

    void origineDesTemps_data()
    {
        QTest::addColumn<QPoint>("clic");
        QTest::addColumn<double>("torigine");
        // Rows 0..3 have point 1 at x = 100, 200, 300, 200, y = 100, times 0, 0.04, 0.08, 0.12.
        QTest::newRow("70 px away changes nothing") << QPoint(370, 100) << 0.0;
        QTest::newRow("nearest row") << QPoint(305, 110) << 0.08;
        QTest::newRow("earliest on ties") << QPoint(200, 130) << 0.04;
        QTest::newRow("63 px still counts") << QPoint(363, 100) << 0.08;
    }
    void origineDesTemps()
    {
        QFETCH(QPoint, clic);
        QFETCH(double, torigine);
        PointageModel m = modele(1, 100);
        m.DebutMesures();
        const int xs[] = {0, 100, 200, 100};
        for (int i = 0; i < 4; ++i)
            ligne(m, {QPoint(xs[i], 0)}, i * 0.04);
        m.ChoisitOrigineTemps(clic);
        QCOMPARE(m.torigine, torigine);
    }

    void defaireAZeroEtGrilleVidee()
    {
        PointageModel m = modele(1, 100);
        m.DebutMesures();
        QVERIFY(!m.Defaire());
        QCOMPARE(m.Nmes, 0);
        QCOMPARE(m.PointCourant, 1);

        m.NbreSE = 2;
        ligne(m, {QPoint(10, 0), QPoint(20, 0)}, 0);
        ligne(m, {QPoint(30, 0), QPoint(40, 0)}, 0.04);
        ligne(m, {QPoint(50, 0)}, 0.08); // third row half clicked
        QCOMPARE(m.TexteCellule(1, 2), QString("0.5"));
        QCOMPARE(m.TexteCellule(3, 2), QString());
        QVERIFY(m.Defaire());
        QCOMPARE(m.Nmes, 1);
        QCOMPARE(m.PointCourant, 1);
        QCOMPARE(m.TexteCellule(0, 0), QString("0"));
        QCOMPARE(m.TexteCellule(1, 0), QString("0.1"));
        for (int col = 0; col < 5; ++col) {
            QCOMPARE(m.TexteCellule(col, 1), QString());
            QCOMPARE(m.TexteCellule(col, 2), QString());
        }
    }

    void capaciteRefuseLaLigneDeTrop()
    {
        ReglesPointage r = ReglesPointage::lecteur();
        r.capacite = 3;
        PointageModel m = modele(1, 100, aHautDroite, r);
        m.DebutMesures();
        for (int i = 0; i < 3; ++i)
            ligne(m, {QPoint(i, 0)}, i);
        QCOMPARE(m.Nmes, 3);
        QCOMPARE(m.EnregistrePoint(9), PointageModel::Enregistrement::Refuse);
        QCOMPARE(m.Nmes, 3);
    }

    // One row and a time left in row 1 by an undone measurement: no made-up time step.
    // A zero length gives no rounding step and the values are shown as they are.
    void casLimites()
    {
        PointageModel m = modele(1, 100, aHautDroite, ReglesPointage::capture());
        m.DebutMesures();
        ligne(m, {QPoint(10, 0)}, 2.0);
        ligne(m, {QPoint(10, 0)}, 2.5);
        m.Defaire();
        QCOMPARE(m.Nmes, 1);
        QCOMPARE(m.IncertitudeTemps(), 0.0);
        m.LongueurEchelle = 0;
        m.CalculEchelle();
        QCOMPARE(m.ValeurX(1, 0), QString("0"));
        m.LongueurEchelle = 1;
        m.CalculEchelle();
        QCOMPARE(m.ValeurX(1, 0), QString("0.1"));
    }

    void incertitudeBornee()
    {
        QCOMPARE(bornesIncertitude(0), 1);
        QCOMPARE(bornesIncertitude(5), 5);
        QCOMPARE(bornesIncertitude(12), 8);
    }

    void entetesGrille()
    {
        PointageModel m;
        QCOMPARE(m.EntetesGrille(), (QStringList{"t(s)", "x(m)", "y(m)"}));
        m.NbreSE = 2;
        QCOMPARE(m.EntetesGrille(), (QStringList{"t(s)", "x1(m)", "y1(m)", "x2(m)", "y2(m)"}));
        m.angle = true;
        QCOMPARE(m.EntetesGrille(), (QStringList{"t(s)", "α(°)"}));
    }

    // 1 m over 123 pixels, 25 images per second, four rows.
    void exportExempleTravaille()
    {
        PointageModel m = modele(1, 123);
        m.DebutMesures();
        const QPoint pts[] = {QPoint(1, 2), QPoint(3, 1), QPoint(4, 0), QPoint(6, -1)};
        for (int i = 0; i < 4; ++i)
            ligne(m, {pts[i]}, PointageModel::tempsLecteur(i, 0, 0.04));
        bool avant = false;
        const TableSource s = sourcePointage(m, [&] { avant = true; }, 1, "/data/chute.avi");
        s.avant();
        QVERIFY(avant);
        ExchangeText t;
        s.table(t);
        s.sections(t, true);
        const QStringList l = t.toStrings();
        QCOMPARE(l.mid(0, 4), (QStringList{"t\tx\ty", "s\tm\tm", "0\t0.00813008\t-0.0162602",
                                          "0.04\t0.0243902\t-0.00813008"}));
        QCOMPARE(l.at(6), QString("&4 INCERT"));
        for (int i = 7; i < 11; ++i)
            QCOMPARE(l.at(i), QString("0.0004\t0.00813008\t0.00813008"));
        QCOMPARE(l.mid(11), (QStringList{"&1 NOMX", "x", "&1 NOMY", "y", "&1 ORTHO", "1", "&1 FICHIER",
                                        "/data/chute.avi"}));

        ExchangeText page;
        s.sections(page, false);
        QCOMPARE(page.lineCount(), 5);
        QCOMPARE(page.toStrings().first(), QString("&4 INCERT"));
    }

    void exportTroisPointsEtIncertitude()
    {
        PointageModel m = modele(1, 100);
        m.NbreSE = 3;
        m.DebutMesures();
        ligne(m, {QPoint(1, 0), QPoint(2, 0), QPoint(3, 0)}, 0.5);
        ligne(m, {QPoint(1, 0), QPoint(2, 0), QPoint(3, 0)}, 1.5);
        m.torigine = 0.5;
        ExchangeText t;
        m.AjouteTable(t);
        m.AjouteSections(t, false, 3, QString());
        QCOMPARE(t.toStrings(), (QStringList{"t\tx1\ty1\tx2\ty2\tx3\ty3", "s\tm\tm\tm\tm\tm\tm",
                                             "0\t0.01\t0\t0.02\t0\t0.03\t0", "1\t0.01\t0\t0.02\t0\t0.03\t0",
                                             "&2 INCERT", "0.01\t0.03\t0.03\t0.03\t0.03\t0.03\t0.03",
                                             "0.01\t0.03\t0.03\t0.03\t0.03\t0.03\t0.03"}));
    }

    // Image series: t = i * deltat, columns and graph lines by the extent test; the table
    // file keeps both axes.
    void serieEtendue()
    {
        PointageModel m = modele(1, 100, aHautDroite, ReglesPointage::serie());
        m.deltat = 0.5;
        m.DebutMesures();
        for (int i = 0; i < 4; ++i)
            ligne(m, {QPoint(30 * i, i % 2)}, 99);
        const Etendue e = m.etendue();
        QVERIFY(e.x);
        QVERIFY(!e.y);
        ExchangeText t;
        const TableSource s = sourcePointage(m, {}, 1, "ignored", false, "ms");
        s.table(t);
        s.sections(t, true);
        QCOMPARE(t.toStrings(), (QStringList{"t\tx", "ms\tm", "0\t0", "0.5\t0.3", "1\t0.6", "1.5\t0.9",
                                             "&1 NOMX", "t", "&1 NOMY", "x"}));
        ExchangeText f;
        sourcePointage(m, {}, 1, {}, true).table(f);
        QCOMPARE(f.toStrings().at(0), QString("t\tx\ty"));
        QCOMPARE(f.toStrings().at(3), QString("0.5\t0.3\t-0.01"));
    }

    // Capture tool: file times scaled by the declared rate and rounded to the millisecond,
    // values exported rounded, every column written, FICHIER always.
    void captureTempsEtArrondi()
    {
        PointageModel m = modele(1, 123, aHautDroite, ReglesPointage::capture());
        m.DebutMesures();
        ligne(m, {QPoint(20, 0)}, 1.0);
        ligne(m, {QPoint(60, 1)}, 1.0 + 1.0 / 30);
        m.torigine = 1.0;
        m.EchelleT = 30.0 / 240.0;
        QCOMPARE(m.TexteTemps(1), QString("0.004"));
        ExchangeText t;
        m.AjouteTable(t);
        m.AjouteSections(t, true, 2, "/v.avi", m.etendue());
        QCOMPARE(t.toStrings(), (QStringList{"t\tx\ty", "s\tm\tm", "0\t0.163\t0", "0.004\t0.488\t-0.008",
                                             "&2 INCERT", "4.16667E-05\t0.0162602\t0.0162602",
                                             "4.16667E-05\t0.0162602\t0.0162602", "&1 NOMX", "t",
                                             "&1 NOMY", "x", "&1 FICHIER", "/v.avi"}));
    }

    void angle_data()
    {
        QTest::addColumn<QPoint>("final");
        QTest::addColumn<QString>("texte");
        // Reference to the right of the apex; the turn to the final direction, screen y down.
        QTest::newRow("up is +90") << QPoint(0, -10) << "90";
        QTest::newRow("down is -90") << QPoint(0, 10) << "-90";
        QTest::newRow("45") << QPoint(10, -10) << "45";
    }
    void angle()
    {
        QFETCH(QPoint, final);
        QFETCH(QString, texte);
        PointageModel m = modele(1, 1, aHautDroite, ReglesPointage::capture());
        m.angle = true;
        m.DebutMesures();
        QCOMPARE(m.NbreSE, 3);
        ligne(m, {QPoint(10, 0), QPoint(0, 0), final}, 0);
        QCOMPARE(m.Nmes, 1);
        QCOMPARE(m.ValeurAngle(0), texte);
        ExchangeText t;
        m.AjouteTable(t);
        m.AjouteSections(t, true, 1, "/v.avi");
        QCOMPARE(t.toStrings().mid(0, 2), (QStringList{"t\tα", "s\t°"}));
        QCOMPARE(t.toStrings().mid(3, 6), (QStringList{"&1 INCERT", "0\t1", "&1 NOMX", "t", "&1 NOMY", "α"}));
    }
};

QTEST_GUILESS_MAIN(TestPointageModel)
#include "tst_pointagemodel.moc"

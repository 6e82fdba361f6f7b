// Axis mapping, table and export of the curve digitiser, and the zoomed view's geometry.
#include "CourbesTableau.h"
#include "EchelleCourbe.h"
#include "NumberText.h"
#include "SeriesPoints.h"
#include "VueGeometrie.h"

#include <QtTest>
#include <cmath>

class TstCourbes : public QObject
{
    Q_OBJECT

    // Origin (100, 400), horizontal end (500, 400), vertical end (100, 100).
    static EchelleCourbe exemple(const SaisieAxe& x, const SaisieAxe& y, bool polaire = false)
    {
        EchelleCourbe e;
        e.regleAxes(x, y, polaire);
        QPoint fx(500, 400), fy(100, 100);
        e.CalculEchelle(QPoint(100, 400), fx, fy, 640, 480);
        return e;
    }

private slots:
    void initTestCase() { setSeparateurDecimal(QLatin1Char('.')); }

    void exempleLineaire()
    {
        const EchelleCourbe e = exemple({"0", "10"}, {"0", "3"});
        QCOMPARE(e.PenteX, 0.025);
        QCOMPARE(e.PenteY, -0.01);
        QCOMPARE(e.arrondiX, 0.01);
        QCOMPARE(e.arrondiY, 0.01);
        QCOMPARE(e.texteX(QPoint(300, 250)), QStringLiteral("5"));
        QCOMPARE(e.texteY(QPoint(300, 250)), QStringLiteral("1.5"));
        // Above the origin positive, below negative.
        QVERIFY(*e.valeurY(QPoint(100, 300)) > 0);
        QCOMPARE(*e.valeurY(QPoint(100, 500)), -1.0);
    }

    void exempleLog()
    {
        EchelleCourbe e;
        e.regleAxes({"1", "1000", true}, {"0", "1"}, false);
        QPoint fx(400, 400), fy(100, 100);
        QVERIFY(e.CalculEchelle(QPoint(100, 400), fx, fy, 640, 480));
        QCOMPARE(e.echelleX, eLog);
        QCOMPARE(e.PenteX, 0.01);
        // The step is where the value stands: 0.1 at 31.6, 10 at 1000.
        QCOMPARE(e.pasX(QPoint(250, 400)), 0.1);
        QCOMPARE(e.pasX(QPoint(400, 400)), 10.0);
        QCOMPARE(e.texteX(QPoint(250, 400)), QStringLiteral("31.6"));
        QCOMPARE(e.texteX(QPoint(400, 400)), QStringLiteral("1000"));
    }

    void logTresLarge_data()
    {
        QTest::addColumn<QString>("mini");
        QTest::addColumn<QString>("maxi");
        QTest::addColumn<int>("px");
        QTest::addColumn<double>("attendu");
        // 60 decades over 600 pixels: one decade every 10 pixels.
        QTest::newRow("milieu") << "1e-30" << "1e30" << 300 << 1.0;
        QTest::newRow("bas") << "1e-30" << "1e30" << 0 << 1e-30;
        QTest::newRow("haut") << "1e-30" << "1e30" << 600 << 1e30;
        QTest::newRow("decade") << "1e-30" << "1e30" << 10 << 1e-29;
        QTest::newRow("inverse") << "1e30" << "1e-30" << 590 << 1e-29;
    }
    void logTresLarge()
    {
        QFETCH(QString, mini);
        QFETCH(QString, maxi);
        QFETCH(int, px);
        QFETCH(double, attendu);
        EchelleCourbe e;
        e.regleAxes({mini, maxi, true}, {mini, maxi, true}, false);
        QPoint fx(600, 0), fy(0, 600);
        QVERIFY(e.CalculEchelle(QPoint(0, 0), fx, fy, 600, 600));
        const double v = *e.valeurX(QPoint(px, 0));
        QVERIFY2(std::fabs(v / attendu - 1) < 1e-9, qPrintable(QString::number(v, 'g', 17)));
        QVERIFY(std::fabs(*e.valeurY(QPoint(0, px)) / attendu - 1) < 1e-9);
    }

    // Every pixel along an axis: neighbours never read alike, and no value is off by more than
    // half of what one pixel is worth there. True values are computed here from the axis ends.
    void arrondiAuPixel_data()
    {
        QTest::addColumn<QString>("mini");
        QTest::addColumn<QString>("maxi");
        QTest::addColumn<bool>("log");
        QTest::addColumn<int>("pixels");
        QTest::newRow("lin 0..10 / 400") << "0" << "10" << false << 400;
        QTest::newRow("lin 0..3 / 300") << "0" << "3" << false << 300;
        QTest::newRow("lin 0.5..100.5 / 100 (halves)") << "0.5" << "100.5" << false << 100;
        QTest::newRow("lin -7.3..2e4 / 1000") << "-7.3" << "2e4" << false << 1000;
        QTest::newRow("lin 1e-6..3e-6 / 500") << "1e-6" << "3e-6" << false << 500;
        QTest::newRow("lin inverse 10..0 / 250") << "10" << "0" << false << 250;
        QTest::newRow("log 0.01..10000 / 564") << "0.01" << "10000" << true << 564;
        QTest::newRow("log 1..1000 / 300") << "1" << "1000" << true << 300;
        QTest::newRow("log 1e-30..1e30 / 600") << "1e-30" << "1e30" << true << 600;
        QTest::newRow("log 2..3 / 800") << "2" << "3" << true << 800;
        QTest::newRow("log inverse 1e5..1e-3 / 700") << "1e5" << "1e-3" << true << 700;
    }
    void arrondiAuPixel()
    {
        QFETCH(QString, mini);
        QFETCH(QString, maxi);
        QFETCH(bool, log);
        QFETCH(int, pixels);
        const double a = mini.toDouble(), b = maxi.toDouble();
        EchelleCourbe e;
        e.regleAxes({mini, maxi, log}, {mini, maxi, log}, false);
        QPoint fx(pixels, 0), fy(0, pixels);
        QVERIFY(e.CalculEchelle(QPoint(0, 0), fx, fy, pixels, pixels));
        const auto vraie = [&](int k) {
            return log ? a * std::pow(b / a, double(k) / pixels) : a + (b - a) * k / pixels;
        };
        QString precedent;
        for (int k = 0; k <= pixels; ++k) {
            const QString t = e.texteX(QPoint(k, 0));
            QCOMPARE(e.texteY(QPoint(0, k)), t);
            QVERIFY2(t != precedent, qPrintable(QStringLiteral("pixels %1 et %2 : %3").arg(k - 1).arg(k).arg(t)));
            precedent = t;
            // What one pixel is worth here: the smaller gap to a neighbour.
            const double gap = std::min(k > 0 ? std::fabs(vraie(k) - vraie(k - 1)) : INFINITY,
                                        k < pixels ? std::fabs(vraie(k + 1) - vraie(k)) : INFINITY);
            const double lu = t.toDouble();
            QVERIFY2(std::fabs(lu - vraie(k)) <= gap / 2 * (1 + 1e-9),
                     qPrintable(QStringLiteral("pixel %1 : %2 pour %3").arg(k).arg(t).arg(vraie(k), 0, 'g', 17)));
        }
    }

    // The first decade of a six-decade axis reads as finely as the last.
    void logPremiersPixels()
    {
        EchelleCourbe e;
        e.regleAxes({"0.01", "10000", true}, {"0", "1"}, false);
        QPoint fx(564, 0), fy(0, 100);
        QVERIFY(e.CalculEchelle(QPoint(0, 0), fx, fy, 600, 600));
        QCOMPARE(e.texteX(QPoint(1, 0)), QStringLiteral("0.0102"));
        QCOMPARE(e.texteX(QPoint(2, 0)), QStringLiteral("0.0105"));
        QCOMPARE(e.texteX(QPoint(3, 0)), QStringLiteral("0.0108"));
        // 9758 there, and one pixel is worth 236: hundreds.
        QCOMPARE(e.texteX(QPoint(563, 0)), QStringLiteral("9800"));
    }

    // Polar: the angle has its own step, from the angular size of a pixel at that radius; a
    // neighbour changes the angle or the radius text.
    void polaireAuPixel_data()
    {
        QTest::addColumn<QString>("rayon");
        QTest::addColumn<int>("pixels");
        QTest::newRow("10 000 sur 200 px") << "10000" << 200;
        QTest::newRow("1 sur 100 px") << "1" << 100;
        QTest::newRow("0.003 sur 150 px") << "0.003" << 150;
    }
    void polaireAuPixel()
    {
        QFETCH(QString, rayon);
        QFETCH(int, pixels);
        const double k = rayon.toDouble() / pixels;
        EchelleCourbe e;
        e.regleAxes({"0", rayon}, {"0", rayon}, true);
        QPoint fx(300 + pixels, 300), fy(300, 300 - pixels);
        QVERIFY(e.CalculEchelle(QPoint(300, 300), fx, fy, 600, 600));
        QCOMPARE(e.texteX(QPoint(400, 200)), QStringLiteral("45"));
        QCOMPARE(e.texteX(QPoint(400, 400)), QStringLiteral("-45"));
        const auto textes = [&](int x, int y) { return e.texteX(QPoint(x, y)) + QLatin1Char(';') + e.texteY(QPoint(x, y)); };
        for (int y = 300 - pixels; y <= 300 + pixels; y += 3) {
            for (int x = 300 - pixels; x <= 300 + pixels; x += 3) {
                const double dx = x - 300, dy = 300 - y, r = std::hypot(dx, dy);
                if (r < 2 || r > pixels)
                    continue;
                const QString t = textes(x, y);
                QVERIFY2(t != textes(x + 1, y) && t != textes(x, y + 1), qPrintable(QStringLiteral("(%1, %2) %3").arg(x).arg(y).arg(t)));
                // Half the angular size of a pixel at this radius, half a pixel of radius.
                const double angle = e.texteX(QPoint(x, y)).toDouble(), vraiAngle = std::atan2(dy, dx) * 180 / M_PI;
                QVERIFY2(std::fabs(angle - vraiAngle) <= 0.5 / r * 180 / M_PI, qPrintable(t));
                QVERIFY2(std::fabs(e.texteY(QPoint(x, y)).toDouble() - r * k) <= k / 2, qPrintable(t));
            }
        }
    }

    void polaire_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<double>("angle");
        QTest::addColumn<double>("rayon");
        QTest::newRow("droite") << QPoint(300, 400) << 0.0 << 2.0;
        QTest::newRow("dessus") << QPoint(100, 200) << 90.0 << 2.0;
        QTest::newRow("gauche") << QPoint(0, 400) << 180.0 << 1.0;
        QTest::newRow("dessous") << QPoint(100, 450) << -90.0 << 0.5;
    }
    void polaire()
    {
        QFETCH(QPoint, pixel);
        QFETCH(double, angle);
        QFETCH(double, rayon);
        // One unit every 100 pixels on both axes.
        EchelleCourbe e;
        e.regleAxes({"0", "4", true}, {"0", "3", true}, true);
        QCOMPARE(e.echelleX, ePolaire);
        QCOMPARE(e.echelleY, ePolaire);
        QPoint fx(500, 400), fy(100, 100);
        QVERIFY(e.CalculEchelle(QPoint(100, 400), fx, fy, 640, 480));
        QCOMPARE(*e.valeurX(pixel), angle);
        QCOMPARE(*e.valeurY(pixel), rayon);
    }

    void remplacements_data()
    {
        QTest::addColumn<QString>("origine");
        QTest::addColumn<QString>("extremite");
        QTest::addColumn<bool>("log");
        QTest::addColumn<double>("mini");
        QTest::addColumn<double>("maxi");
        QTest::newRow("abc") << "0" << "abc" << false << 0.0 << 1.0;
        QTest::newRow("origine illisible") << "?" << "5" << false << 0.0 << 5.0;
        QTest::newRow("log origine 0") << "0" << "100" << true << 2.0 << 100.0;
        QTest::newRow("log extremite negative") << "10" << "-5" << true << 10.0 << 1.0;
        QTest::newRow("egales") << "3" << "3" << false << 3.0 << 4.0;
        QTest::newRow("log 1 et 1") << "0" << "-1" << true << 2.0 << 1.0;
        QTest::newRow("virgule") << "0,5" << "2,25" << false << 0.5 << 2.25;
        QTest::newRow("prefixe") << "2m" << "3k" << false << 0.002 << 3000.0;
        QTest::newRow("micro") << "1µ" << "1,5 M" << true << 1e-6 << 1.5e6;
    }
    void remplacements()
    {
        QFETCH(QString, origine);
        QFETCH(QString, extremite);
        QFETCH(bool, log);
        QFETCH(double, mini);
        QFETCH(double, maxi);
        EchelleCourbe e;
        e.regleAxes({origine, extremite, log}, {origine, extremite, log}, false);
        QCOMPARE(e.MiniX, mini);
        QCOMPARE(e.MaxiX, maxi);
        QCOMPARE(e.MiniY, mini);
        QCOMPARE(e.MaxiY, maxi);
        QCOMPARE(e.echelleX, log ? eLog : eLin);
    }

    // An end mark on the origin's line gives no value instead of NaN or infinity.
    void finSurLigneOrigine()
    {
        EchelleCourbe e;
        e.regleAxes({"0", "10"}, {"0", "3"}, false);
        QPoint fx(100, 400), fy(100, 100);
        QVERIFY(!e.CalculEchelle(QPoint(100, 400), fx, fy, 640, 480));
        QVERIFY(!e.axeXValide);
        QVERIFY(e.axeYValide);
        QCOMPARE(e.texteX(QPoint(300, 250)), QString());
        QCOMPARE(e.texteY(QPoint(300, 250)), QStringLiteral("1.5"));
        e.regleAxes({"0", "10"}, {"0", "3"}, true);
        QVERIFY(!e.CalculEchelle(QPoint(100, 400), fx, fy, 640, 480));
        QCOMPARE(e.texteX(QPoint(300, 250)), QString());
        QCOMPARE(e.texteY(QPoint(300, 250)), QString());
    }

    void finsLimiteesALImage()
    {
        EchelleCourbe e;
        QPoint fx(900, 10), fy(10, -40);
        e.CalculEchelle(QPoint(10, 10), fx, fy, 640, 480);
        QCOMPARE(fx, QPoint(640, 10));
        QCOMPARE(fy, QPoint(10, 0));
    }

    void grilleEtExport()
    {
        SeriesPoints pts;
        const EchelleCourbe e = exemple({"0", "10"}, {"0", "3"});
        CourbesTableau t{pts, e};
        QCOMPARE(t.entetesGrille(), (QStringList{"X1(m)", "Y1(m)"}));
        for (int i = 0; i < 3; ++i)
            pts.ajoute(1, QPoint(100 + 40 * i, 400));
        ExchangeText un;
        t.table(un);
        QCOMPARE(un.toStrings().mid(0, 3), (QStringList{"index\tX\tY", "\tm\tm", "index\t\t"}));

        for (int i = 0; i < 5; ++i)
            pts.ajoute(2, QPoint(100, 400 - 100 * i));
        t.NbreObjet = 2;
        t.NomY = "V";
        t.UniteY = "m/s";
        t.Signif[1] = "aller";
        t.Signif[2] = "retour";
        QCOMPARE(t.entetesGrille(), (QStringList{"X1(m)", "V1(m/s)", "X2(m)", "V2(m/s)"}));
        const QStringList l = t.CopieDonnees("essai").toStrings();
        const QStringList attendu{
            "essai",
            "index\tX1\tV1\tX2\tV2",
            "\tm\tm/s\tm\tm/s",
            "index\taller\taller\tretour\tretour",
            "1\t0\t0\t0\t0",
            "2\t1\t0\t0\t1",
            "3\t2\t0\t0\t2",
            "4\t\t\t0\t3",
            "5\t\t\t0\t4",
        };
        QCOMPARE(l, attendu);
        QCOMPARE(t.ValeurX(1, 3), QString());
    }

    void options()
    {
        SeriesPoints pts;
        EchelleCourbe e;
        e.regleAxes({"1", "100", true}, {"1", "10", true}, false);
        CourbesTableau t{pts, e};
        t.NbreObjet = 2;
        ExchangeText o;
        t.AjouteOptions(o, "/tmp/g.bmp");
        QCOMPARE(o.toStrings(), (QStringList{"&2 NOMX", "X1", "X2", "&1 LOGX", "1", "&2 NOMY", "Y1", "Y2",
                                             "&2 LOGY", "1", "1", "&1 FICHIER", "/tmp/g.bmp"}));
        e.regleAxes({"0", "1"}, {"0", "1"}, false);
        t.NbreObjet = 1;
        ExchangeText lin;
        t.AjouteOptions(lin, "f");
        QCOMPARE(lin.toStrings(), (QStringList{"&1 NOMX", "X", "&1 NOMY", "Y", "&1 FICHIER", "f"}));
    }

    void etiquettes()
    {
        QCOMPARE(etiquettePoint(0, 1, 1), QStringLiteral("0"));
        QCOMPARE(etiquettePoint(4, 2, 3), QStringLiteral("4(2)"));
    }

    void boutons()
    {
        SeriesPoints pts;
        QList<ReglesBoutons> r;
        // Two curves in use, points added alternately; curve 1 is the current one.
        for (int n = 0; n < 6; ++n) {
            r << reglesBoutons(pts, 2, 1);
            pts.ajoute(1 + n % 2, QPoint(n, n));
        }
        r << reglesBoutons(pts, 2, 1);
        const QList<bool> raz{false, false, true, true, true, true, true};
        const QList<bool> transfert{false, false, false, false, true, true, true};
        for (int n = 0; n < r.size(); ++n) {
            QCOMPARE(r[n].raz, raz[n]);
            QCOMPARE(r[n].transfert, transfert[n]);
        }
        QVERIFY(!r[0].defaire);
        QVERIFY(r[1].defaire);
        // Points of curves not in use do not count.
        QVERIFY(!reglesBoutons(pts, 1, 1).transfert);
    }

    void seriePleine()
    {
        SeriesPoints pts;
        for (int i = 0; i < SeriesPoints::kMaxPoints; ++i)
            QVERIFY(pts.ajoute(3, QPoint(i, 0)));
        QVERIFY(!pts.ajoute(3, QPoint(0, 0)));
        QCOMPARE(pts.NbrePoints(3), SeriesPoints::kMaxPoints);
        pts.supprime(3, 0);
        QCOMPARE(pts.point(3, 0), QPoint(1, 0));
    }

    void zoomBoutons()
    {
        VueGeometrie v;
        v.init(2000, 2000, 400, 300);
        v.ChangeZoom(5, QPoint(0, 0));
        QVERIFY(v.zoomAvant(QPoint(0, 0)));
        QCOMPARE(v.pasZoom, 10.0);
        v.ChangeZoom(8, QPoint(0, 0));
        QVERIFY(!v.zoomAvant(QPoint(0, 0)));
        QCOMPARE(v.pasZoom, 8.0);
        v.ChangeZoom(0.25, QPoint(0, 0));
        QCOMPARE(v.texteZoom(), QStringLiteral("Zoom / 4"));
        QVERIFY(v.zoomArriere(QPoint(0, 0)));
        QCOMPARE(v.pasZoom, 0.125);
        QVERIFY(!v.zoomArriere(QPoint(0, 0)));
        v.ChangeZoom(2.6, QPoint(0, 0));
        QCOMPARE(v.texteZoom(), QStringLiteral("Zoom X 3"));
        v.ChangeZoom(1, QPoint(0, 0));
        QCOMPARE(v.texteZoom(), QStringLiteral("Taille réelle"));
    }

    // The picture pixel under the point where the zoom menu opened stays there.
    void zoomPointFixe()
    {
        VueGeometrie v;
        v.init(1000, 800, 400, 300);
        const QPoint P(200, 150);
        const QPoint avant = v.versImage(P);
        v.ChangeZoom(3, P);
        QCOMPARE(v.RectVisible.Left, 200 - 66);
        QCOMPARE(v.versImage(P), avant);
        QCOMPARE(v.RectVisible.Right, v.RectVisible.Left + 133);
    }

    void apercuBordDroit()
    {
        VueGeometrie v;
        v.init(1000, 800, 400, 300);
        v.ChangeZoom(2, QPoint(0, 0));
        v.deplaceDepuisApercu(QPoint(5000, 0), 0.2);
        QCOMPARE(v.RectVisible.Right, 1000);
        QCOMPARE(v.RectVisible.Left, 800);
        v.deplaceDepuisApercu(QPoint(-5000, -10), 0.2);
        QCOMPARE(v.RectVisible.Left, 0);
        QCOMPARE(v.RectVisible.Top, 0);
    }

    // A click anywhere inside a zoomed pixel records that pixel (zoom 2, x = 7 -> pixel 3).
    void clicDansLePixel()
    {
        VueGeometrie v;
        v.init(1000, 800, 400, 300);
        v.ChangeZoom(2, QPoint(0, 0));
        QCOMPARE(v.versImage(QPoint(7, 0)).x(), 3);
        QCOMPARE(v.versImage(QPoint(6, 0)).x(), 3);
        QCOMPARE(v.versEcran(QPoint(3, 0)).x(), 7);
    }
};

QTEST_GUILESS_MAIN(TstCourbes)
#include "tst_courbes.moc"

#include "ProfilIntensite.h"

#include <QtTest>
#include <cmath>
#include <functional>

using enum ProfilIntensite::TstyleDrag;

namespace {

using Couleur = std::function<QRgb(int x, int y)>;

QImage image(int w, int h, const Couleur& c)
{
    QImage im(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            im.setPixel(x, y, c(x, y));
    return im;
}

// A profile on a picture with the line from `o` to `d`, Index abscissa unless told.
ProfilIntensite profil(const QImage& im, QPoint o, QPoint d)
{
    ProfilIntensite p;
    p.setImage(im);
    p.pointsParDefaut();
    p.PointRepere[bsOrigine] = o;
    p.PointRepere[bsDirection] = d;
    p.dimension = teIndex;
    return p;
}

} // namespace

class TestProfilIntensite : public QObject
{
    Q_OBJECT
private slots:
    // Origin and direction on one row: along x, straight, the step exactly the scale factor.
    void horizontalLine()
    {
        ProfilIntensite p = profil(image(100, 50, [](int, int) { return qRgb(50, 100, 200); }), {50, 25}, {80, 25});
        p.dimension = teEchelle;
        p.PointRepere[bsEchelle1] = {20, 37};
        p.PointRepere[bsEchelle2] = {80, 37};
        p.longueurEchelle = 0.06; // 60 pixels
        p.calcule();
        QVERIFY(p.selonX);
        QVERIFY(p.droit);
        QCOMPARE(p.Debut, -50);
        QCOMPARE(p.Fin, 49); // index 50 is x = 100, off the picture, and trimmed
        const double s = 0.06 / 60;
        for (int i : {-50, -1, 0, 1, 49})
            QCOMPARE(p.Position[i], i * s);
        QCOMPARE(p.ValeurY[7], 350.0 / 765);
        QCOMPARE(p.rougeY[7], 50.0 / 255);
        QCOMPARE(p.vertY[7], 100.0 / 255);
        QCOMPARE(p.bleuY[7], 200.0 / 255);
        QCOMPARE(p.IntMax, 765);
    }

    void verticalLineAndPixelSize()
    {
        ProfilIntensite p = profil(image(40, 60, [](int x, int y) { return qRgb(x, y, 0); }), {10, 30}, {10, 45});
        p.dimension = tePixel;
        p.dimPixel = 2e-6;
        p.calcule();
        QVERIFY(!p.selonX);
        QVERIFY(p.droit);
        QCOMPARE(p.Debut, -30);
        QCOMPARE(p.Fin, 29);
        QCOMPARE(p.vertY[-30], 0.0); // row 0 is black in green, kept because red is not
        QCOMPARE(p.vertY[5], 35.0 / 255);
        QCOMPARE(p.rougeY[5], 10.0 / 255);
        QCOMPARE(p.Position[5], 5 * 2e-6);
    }

    // |Pente| = 1 is indexed along x and the step is multiplied by the square root of 2;
    // steeper lines are indexed along y with x truncated toward zero.
    void slopedLines_data()
    {
        QTest::addColumn<QPoint>("direction");
        QTest::addColumn<bool>("selonX");
        QTest::addColumn<double>("pente");
        QTest::addColumn<double>("pas");
        QTest::addColumn<QList<QPoint>>("echantillons"); // index -> expected pixel (x, y)
        const double r2 = std::sqrt(2.0);
        QTest::newRow("45 degrees") << QPoint(60, 40) << true << -1.0 << r2
                                    << QList<QPoint>{{3, 0}, {53, 47}, {-3, 0}, {47, 53}};
        // Pente -10/3: i = 5 gives x offset trunc(-1.5) = -1, i = -5 gives +1.
        QTest::newRow("steep") << QPoint(53, 40) << false << -10.0 / 3 << std::sqrt(0.09 + 1)
                               << QList<QPoint>{{5, 0}, {49, 55}, {-5, 0}, {51, 45}};
        // Pente 0.5: i = 3 gives y offset round(1.5) = 2, i = 5 gives round(2.5) = 2 (halves to even).
        QTest::newRow("shallow") << QPoint(60, 55) << true << 0.5 << std::sqrt(1.25)
                                 << QList<QPoint>{{3, 0}, {53, 52}, {5, 0}, {55, 52}};
    }
    void slopedLines()
    {
        QFETCH(QPoint, direction);
        QFETCH(bool, selonX);
        QFETCH(double, pente);
        QFETCH(double, pas);
        QFETCH(QList<QPoint>, echantillons);
        ProfilIntensite p = profil(image(100, 100, [](int x, int y) { return qRgb(x, y, 1); }), {50, 50}, direction);
        p.dimension = tePixel;
        p.dimPixel = 1;
        p.calcule();
        QCOMPARE(p.selonX, selonX);
        QVERIFY(!p.droit);
        QCOMPARE(p.Pente, pente);
        QVERIFY(std::abs(p.Position[1] - pas) < 1e-12);
        for (qsizetype k = 0; k + 1 < echantillons.size(); k += 2) {
            const int i = echantillons[k].x();
            const QPoint px = echantillons[k + 1];
            QCOMPARE(p.rougeY[i], px.x() / 255.0);
            QCOMPARE(p.vertY[i], px.y() / 255.0);
        }
    }

    // Lines are sampled 0, +1, -1, +2, -2, +3, -3; one that leaves the picture wipes the sums
    // of the earlier ones at those indices, so only the lines after it count there.
    void smoothingNearTheEdge_data()
    {
        QTest::addColumn<int>("ligne");
        QTest::addColumn<int>("debut");
        QTest::addColumn<int>("fin");
        QTest::addColumn<double>("rouge7"); // red at index 7
        // Two rows below the line (17): +3 leaves the picture, only -3 (row 14, red 140) remains.
        QTest::newRow("bottom") << 17 << -27 << 27 << 140.0 / 255 / 7;
        // Two rows above the line (2): -3 is the last line and leaves: all wiped, index 0 stays.
        QTest::newRow("top") << 2 << 0 << 0 << 0.0;
        // Far from the edges, every line counts: rows 7..13, red 70..130.
        QTest::newRow("inside") << 10 << -27 << 27 << 700.0 / 255 / 7;
    }
    void smoothingNearTheEdge()
    {
        QFETCH(int, ligne);
        QFETCH(int, debut);
        QFETCH(int, fin);
        QFETCH(double, rouge7);
        ProfilIntensite p = profil(image(60, 20, [](int, int y) { return qRgb(10 * y, 0, 0); }), {30, ligne}, {50, ligne});
        p.MoyenneSE = 3;
        p.rouge = true;
        p.vert = p.bleu = false;
        p.calcule();
        QCOMPARE(p.Debut, debut);
        QCOMPARE(p.Fin, fin);
        if (debut <= 7 && 7 <= fin) {
            QCOMPARE(p.rougeY[7], rouge7);
            QCOMPARE(p.ValeurY[7], rouge7);
        }
        QCOMPARE(p.ValeurY[0], rouge7);
    }

    void noChannelMeansGreen()
    {
        ProfilIntensite p = profil(image(30, 30, [](int, int) { return qRgb(200, 51, 10); }), {15, 15}, {25, 15});
        p.rouge = p.vert = p.bleu = false;
        p.calcule();
        QVERIFY(p.vert);
        QVERIFY(!p.rouge && !p.bleu);
        QCOMPARE(p.IntMax, 255);
        QCOMPARE(p.ValeurY[3], 0.2);
        QCOMPARE(p.ValeurY[3], p.vertY[3]);
    }

    void gamma_data()
    {
        QTest::addColumn<double>("gamma");
        QTest::addColumn<double>("attendu");
        QTest::newRow("1") << 1.0 << 0.5;
        QTest::newRow("2") << 2.0 << 0.25;
        QTest::newRow("3") << 3.0 << 0.125;
    }
    void gamma()
    {
        QFETCH(double, gamma);
        QFETCH(double, attendu);
        // Red full and green empty, both counted: relative intensity 0.5.
        ProfilIntensite p = profil(image(30, 30, [](int, int) { return qRgb(255, 0, 0); }), {15, 15}, {25, 15});
        p.bleu = false;
        p.Gamma = gamma;
        p.calcule();
        QCOMPARE(p.ValeurY[2], attendu);
        QCOMPARE(p.rougeY[2], 1.0);
        QCOMPARE(p.vertY[2], 0.0);
    }

    // Zeros are trimmed at the start while the index is negative, at the end while it is at
    // least 1; zeros inside stay, index 0 always does.
    void trimming_data()
    {
        QTest::addColumn<int>("noirAvant"); // black for x < this
        QTest::addColumn<int>("noirApres"); // black for x >= this
        QTest::addColumn<int>("trou");      // one black column inside (or -1)
        QTest::addColumn<int>("debut");
        QTest::addColumn<int>("fin");
        QTest::newRow("nothing black") << 0 << 20 << -1 << -10 << 9;
        QTest::newRow("both ends") << 4 << 15 << -1 << -6 << 4;
        QTest::newRow("hole kept") << 4 << 15 << 12 << -6 << 4;
        QTest::newRow("all black") << 0 << 0 << -1 << 0 << 0;
        QTest::newRow("black from origin on") << 0 << 10 << -1 << -10 << 0;
        QTest::newRow("black up to origin") << 11 << 20 << -1 << 0 << 9;
    }
    void trimming()
    {
        QFETCH(int, noirAvant);
        QFETCH(int, noirApres);
        QFETCH(int, trou);
        QFETCH(int, debut);
        QFETCH(int, fin);
        auto c = [=](int x, int) { return x < noirAvant || x >= noirApres || x == trou ? qRgb(0, 0, 0) : qRgb(9, 9, 9); };
        ProfilIntensite p = profil(image(20, 20, c), {10, 10}, {15, 10});
        p.calcule();
        QCOMPARE(p.Debut, debut);
        QCOMPARE(p.Fin, fin);
        if (trou >= 0)
            QCOMPARE(p.ValeurY[trou - 10], 0.0);
    }

    // Samples with a selected channel at 255 in a summed pixel are counted; the numbers stay.
    void saturation_data()
    {
        QTest::addColumn<bool>("rouge");
        QTest::addColumn<bool>("vert");
        QTest::addColumn<int>("moyenne");
        QTest::addColumn<int>("satures");
        // Row 10 has red 255 at x = 3..7; row 11 has green 255 at x = 12, 13. Blue is selected.
        QTest::newRow("red counted") << true << false << 0 << 5;
        QTest::newRow("red not selected") << false << true << 0 << 0;
        QTest::newRow("smoothing reaches row 11") << true << true << 1 << 7;
        QTest::newRow("green only on row 11") << false << true << 1 << 2;
    }
    void saturation()
    {
        QFETCH(bool, rouge);
        QFETCH(bool, vert);
        QFETCH(int, moyenne);
        QFETCH(int, satures);
        auto c = [](int x, int y) {
            if (y == 10 && x >= 3 && x <= 7)
                return qRgb(255, 40, 40);
            if (y == 11 && (x == 12 || x == 13))
                return qRgb(40, 255, 40);
            return qRgb(40, 40, 40);
        };
        ProfilIntensite p = profil(image(20, 20, c), {10, 10}, {15, 10});
        p.rouge = rouge;
        p.bleu = true;
        p.vert = vert;
        p.MoyenneSE = moyenne;
        p.calcule();
        QCOMPARE(p.nombreSatures(), satures);
        QCOMPARE(p.sature(-5), rouge);
        QCOMPARE(p.sature(0), false);
        if (rouge && moyenne == 0)
            QCOMPARE(p.ValeurY[-5], (255.0 + 40) / 510);
    }

    void drag_data()
    {
        QTest::addColumn<int>("repere");
        QTest::addColumn<QPoint>("vers");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<QPoint>("origine");
        QTest::addColumn<QPoint>("direction");
        QTest::addColumn<QPoint>("echelle1");
        QTest::addColumn<QPoint>("echelle2");
        // Picture 200 x 100; start: origin (100, 50), direction (160, 50), scale (40, 75)-(160, 75).
        const QPoint o(100, 50), d(160, 50), e1(40, 75), e2(160, 75);
        QTest::newRow("origin carries direction") << int(bsOrigine) << QPoint(110, 40) << false << true
                                                  << QPoint(110, 40) << QPoint(170, 40) << e1 << e2;
        QTest::newRow("origin too close to the border") << int(bsOrigine) << QPoint(7, 40) << false << false
                                                        << o << d << e1 << e2;
        QTest::newRow("origin at the margin") << int(bsOrigine) << QPoint(192, 92) << false << true
                                              << QPoint(192, 92) << QPoint(192, 92) << e1 << e2;
        QTest::newRow("direction clamped to the right") << int(bsOrigine) << QPoint(150, 50) << false << true
                                                        << QPoint(150, 50) << QPoint(192, 50) << e1 << e2;
        QTest::newRow("origin to the upper left") << int(bsOrigine) << QPoint(30, 20) << false << true
                                                           << QPoint(30, 20) << QPoint(90, 20) << e1 << e2;
        QTest::newRow("direction near origin refused") << int(bsDirection) << QPoint(105, 53) << false << false
                                                       << o << d << e1 << e2;
        QTest::newRow("direction moves") << int(bsDirection) << QPoint(120, 80) << false << true
                                         << o << QPoint(120, 80) << e1 << e2;
        QTest::newRow("direction with shift, steep") << int(bsDirection) << QPoint(110, 90) << true << true
                                                     << QPoint(110, 50) << QPoint(110, 90) << e1 << e2;
        QTest::newRow("direction with shift, flat") << int(bsDirection) << QPoint(150, 70) << true << true
                                                    << QPoint(100, 70) << QPoint(150, 70) << e1 << e2;
        QTest::newRow("origin with shift") << int(bsOrigine) << QPoint(100, 30) << true << true
                                           << QPoint(100, 30) << QPoint(160, 30) << e1 << e2;
        QTest::newRow("scale end anywhere inside") << int(bsEchelle1) << QPoint(0, 99) << false << true
                                                   << o << d << QPoint(0, 99) << e2;
        QTest::newRow("scale end outside") << int(bsEchelle2) << QPoint(200, 50) << false << false
                                           << o << d << e1 << e2;
        QTest::newRow("scale ends kept apart") << int(bsEchelle2) << QPoint(45, 78) << false << false
                                               << o << d << e1 << e2;
        QTest::newRow("scale end with shift") << int(bsEchelle2) << QPoint(150, 20) << true << true
                                              << o << d << QPoint(40, 20) << QPoint(150, 20);
    }
    void drag()
    {
        QFETCH(int, repere);
        QFETCH(QPoint, vers);
        QFETCH(bool, shift);
        QFETCH(bool, accepte);
        ProfilIntensite p;
        p.setImage(image(200, 100, [](int, int) { return qRgb(1, 1, 1); }));
        p.pointsParDefaut();
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(100, 50));
        QCOMPARE(p.PointRepere[bsDirection], QPoint(160, 50));
        QCOMPARE(p.PointRepere[bsEchelle1], QPoint(40, 75));
        QCOMPARE(p.PointRepere[bsEchelle2], QPoint(160, 75));
        QCOMPARE(p.deplace(ProfilIntensite::TstyleDrag(repere), vers, shift), accepte);
        QTEST(p.PointRepere[bsOrigine], "origine");
        QTEST(p.PointRepere[bsDirection], "direction");
        QTEST(p.PointRepere[bsEchelle1], "echelle1");
        QTEST(p.PointRepere[bsEchelle2], "echelle2");
    }

    void grabbing()
    {
        ProfilIntensite p;
        p.setImage(image(200, 100, [](int, int) { return qRgb(1, 1, 1); }));
        p.pointsParDefaut();
        QCOMPARE(p.repereSous({103, 54}), bsOrigine);
        QCOMPARE(p.repereSous({104, 54}), bsNone); // Manhattan distance 8 is too far
        QCOMPARE(p.repereSous({160, 43}), bsDirection);
        QCOMPARE(p.repereSous({41, 76}), bsEchelle1);
        QCOMPARE(p.repereSous({158, 75}), bsEchelle2);
        p.dimension = tePixel; // the scale is not shown, so not grabbed
        QCOMPARE(p.repereSous({41, 76}), bsNone);
        QCOMPARE(p.repereSous({103, 54}), bsOrigine);
    }

    void overlay_data()
    {
        QTest::addColumn<QPoint>("direction");
        QTest::addColumn<QLine>("ligne");
        QTest::newRow("horizontal") << QPoint(160, 50) << QLine(0, 50, 200, 50);
        QTest::newRow("vertical") << QPoint(100, 20) << QLine(100, 0, 100, 100);
        QTest::newRow("diagonal") << QPoint(110, 60) << QLine(50, 0, 150, 100);
        QTest::newRow("flat slope") << QPoint(120, 55) << QLine(0, 25, 200, 75);
    }
    void overlay()
    {
        QFETCH(QPoint, direction);
        QFETCH(QLine, ligne);
        ProfilIntensite p;
        p.setImage(image(200, 100, [](int, int) { return qRgb(1, 1, 1); }));
        p.pointsParDefaut();
        p.PointRepere[bsDirection] = direction;
        const QLine l = p.ligneCoupee();
        QVERIFY2(l == ligne || QLine(l.p2(), l.p1()) == ligne,
                 qPrintable(QStringLiteral("%1,%2 %3,%4").arg(l.x1()).arg(l.y1()).arg(l.x2()).arg(l.y2())));
        DessinProfil d = p.dessin();
        QCOMPARE(d.cercle, QRect(direction.x() - 8, direction.y() - 8, 16, 16));
        QVERIFY(d.lignes.size() == 2 + 1 + 4 + 9);
        QCOMPARE(d.lignes[0], QLine(92, 50, 108, 50));
        QCOMPARE(d.lignesFines.size(), std::size_t(1));
        QCOMPARE(d.lignesFines[0], QLine(40, 75, 160, 75));
        // Horizontal scale: upright ticks every tenth (12 pixels).
        QCOMPARE(d.lignes[7], QLine(52, 83, 52, 67));
        QCOMPARE(d.lignes[15], QLine(148, 83, 148, 67));
        p.dimension = teIndex;
        d = p.dessin();
        QCOMPARE(d.lignes.size(), std::size_t(3));
        QVERIFY(d.lignesFines.empty());
    }

    void slantedScaleTicks()
    {
        ProfilIntensite p;
        p.setImage(image(200, 200, [](int, int) { return qRgb(1, 1, 1); }));
        p.pointsParDefaut();
        // Tenths (5, 10): steeper than 45°, so f = round(-8 * 5 / 10) = -4.
        p.PointRepere[bsEchelle1] = {50, 50};
        p.PointRepere[bsEchelle2] = {100, 150};
        const DessinProfil d = p.dessin();
        QCOMPARE(d.lignes[7], QLine(63, 56, 47, 64));
        // Tenths (10, 5): h = round(-8 * 5 / 10) = -4.
        p.PointRepere[bsEchelle2] = {150, 100};
        QCOMPARE(p.dessin().lignes[7], QLine(56, 63, 64, 47));
    }
};

QTEST_APPLESS_MAIN(TestProfilIntensite)
#include "tst_profilintensite.moc"

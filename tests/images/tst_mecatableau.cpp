// The computations of the stroboscopic-photo tool, without a window: scale, series choice,
// readable colours, contrast, extent test and export lines.
#include "Contraste.h"
#include "MecaTableau.h"
#include "NumberText.h"

#include <QtTest>

class TstMecaTableau : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setSeparateurDecimal(QLatin1Char('.')); }

    // 200 px for 0.5 → 0.0025 per pixel, step 0.001; 84 px right and 40 px up → 0.21, 0.1.
    void echelle_data()
    {
        QTest::addColumn<QPoint>("debut");
        QTest::addColumn<QPoint>("fin");
        QTest::addColumn<double>("longueur");
        QTest::addColumn<bool>("versLeBas");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<double>("echelle");
        QTest::addColumn<double>("arrondi");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("y");
        const QPoint o(300, 400);
        QTest::newRow("exemple horizontal") << QPoint(100, 500) << QPoint(300, 500) << 0.5 << false << o + QPoint(84, -40)
                                            << 0.0025 << 0.001 << "0.21" << "0.1";
        // 120, 160: 200 px along a slant; the scale does not depend on the segment's direction.
        QTest::newRow("exemple oblique") << QPoint(10, 10) << QPoint(130, 170) << 0.5 << false << o + QPoint(84, -40)
                                         << 0.0025 << 0.001 << "0.21" << "0.1";
        QTest::newRow("axe Y vers le bas") << QPoint(100, 500) << QPoint(300, 500) << 0.5 << true << o + QPoint(84, -40)
                                           << 0.0025 << 0.001 << "0.21" << "-0.1";
        // 0.0025 × 85 = 0.2125 is snapped to the millimetre (halves to even).
        QTest::newRow("arrondi au pas") << QPoint(0, 0) << QPoint(200, 0) << 0.5 << false << o + QPoint(85, 3)
                                        << 0.0025 << 0.001 << "0.212" << "-0.008";
        QTest::newRow("un metre sur 700 px") << QPoint(150, 850) << QPoint(850, 850) << 1.0 << false << o + QPoint(-7, 0)
                                             << 1.0 / 700 << 0.001 << "-0.01" << "0";
        QTest::newRow("longueur nulle acceptee") << QPoint(0, 0) << QPoint(200, 0) << 0.0 << false << o + QPoint(50, 50)
                                                 << 0.0 << 0.0 << "0" << "0";
    }
    void echelle()
    {
        QFETCH(QPoint, debut);
        QFETCH(QPoint, fin);
        QFETCH(double, longueur);
        QFETCH(bool, versLeBas);
        QFETCH(QPoint, position);
        EchelleMeca e;
        e.Longueur = longueur;
        e.signeY = versLeBas ? 1 : -1;
        QVERIFY(e.CalculEchelle(debut, fin, QPoint(300, 400)));
        QTEST(e.Echelle, "echelle");
        QTEST(e.arrondi, "arrondi");
        QTEST(TexteNombre(e.x(position)), "x");
        QTEST(TexteNombre(e.y(position)), "y");
    }

    void echelleSegmentNulGardeLaPrecedente()
    {
        EchelleMeca e;
        e.Longueur = 0.5;
        QVERIFY(e.CalculEchelle({0, 0}, {200, 0}, {0, 0}));
        QVERIFY(!e.CalculEchelle({50, 50}, {50, 50}, {10, 20}));
        QCOMPARE(e.Echelle, 0.0025);
        QCOMPARE(e.OrigineX, 10); // the origin still follows its mark
    }

    // Fewest positions; ties to the lowest number.
    void choixSerie_data()
    {
        QTest::addColumn<int>("nbreObjet");
        QTest::addColumn<QList<int>>("comptes");
        QTest::addColumn<int>("choix");
        QTest::newRow("vides") << 3 << QList<int>{0, 0, 0} << 1;
        QTest::newRow("une serie commencee") << 1 << QList<int>{7} << 1;
        QTest::newRow("serie 1 pleine") << 2 << QList<int>{10, 0} << 2;
        QTest::newRow("la plus vide") << 3 << QList<int>{10, 4, 6} << 2;
        QTest::newRow("egalite au plus petit numero") << 4 << QList<int>{10, 3, 5, 3} << 2;
        QTest::newRow("toutes egales") << 5 << QList<int>{4, 4, 4, 4, 4} << 1;
        QTest::newRow("series hors usage ignorees") << 2 << QList<int>{5, 5, 0} << 1;
    }
    void choixSerie()
    {
        QFETCH(int, nbreObjet);
        QFETCH(QList<int>, comptes);
        SeriesPoints p(5);
        for (int s = 0; s < comptes.size(); ++s)
            for (int i = 0; i < comptes[s]; ++i)
                p.ajoute(s + 1, QPoint(i, i));
        QTEST(::choixSerie(p, nbreObjet), "choix");
    }

    // Colours as 0x00BBGGRR.
    void couleurLisible_data()
    {
        QTest::addColumn<int>("couleur");
        QTest::addColumn<int>("texte");
        for (int c : {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0x808080, 0x0000FF,
                      0xFF0000, 0xFF00FF})
            QTest::addRow("%06x inchangee", c) << c << c;
        QTest::newRow("lime") << 0x00FF00 << 0x008000;
        QTest::newRow("vert monnaie") << 0xC0DCC0 << 0x008000;
        QTest::newRow("aqua") << 0xFFFF00 << 0xFF0000;
        QTest::newRow("bleu ciel") << 0xF0CAA6 << 0xFF0000;
        QTest::newRow("gris moyen") << 0xA4A0A0 << 0x808080;
        QTest::newRow("jaune") << 0x00FFFF << 0;
        QTest::newRow("argent") << 0xC0C0C0 << 0;
        QTest::newRow("creme") << 0xF0FBFF << 0;
        QTest::newRow("blanc") << 0xFFFFFF << 0;
        QTest::newRow("autre") << 0x123456 << 0;
        QTest::newRow("presque lime") << 0x00FE00 << 0;
    }
    void couleurLisible()
    {
        QFETCH(int, couleur);
        QTEST(CouleurLisible(couleur), "texte");
    }

    void contraste_data()
    {
        QTest::addColumn<int>("valeur");
        QTest::addColumn<int>("milieu");
        QTest::addColumn<QColor>("avant");
        QTest::addColumn<QColor>("apres");
        QTest::newRow("0 ne change rien") << 0 << 128 << QColor(10, 160, 250) << QColor(10, 160, 250);
        QTest::newRow("8 : 160 donne 212") << 8 << 128 << QColor(160, 128, 100) << QColor(212, 128, 55);
        QTest::newRow("8 : bornes") << 8 << 128 << QColor(1, 255, 60) << QColor(0, 255, 0);
        QTest::newRow("25 : tout sature") << 25 << 128 << QColor(120, 136, 128) << QColor(0, 255, 128);
        QTest::newRow("reference 40 vers le gris moyen") << 8 << 40 << QColor(40, 41, 39) << QColor(128, 131, 125);
        QTest::newRow("noir pur intact") << 25 << 200 << QColor(0, 0, 0) << QColor(0, 0, 0);
        QTest::newRow("presque noir eclairci") << 0 << 0 << QColor(0, 0, 1) << QColor(128, 128, 129);
    }
    void contraste()
    {
        QFETCH(int, valeur);
        QFETCH(int, milieu);
        QFETCH(QColor, avant);
        QImage im(3, 2, QImage::Format_RGB888);
        im.fill(QColor(200, 200, 200));
        im.setPixelColor(1, 1, avant);
        const QImage copie = im.copy();
        const QImage r = AppliqueContraste(im, facteurContraste(valeur), milieu);
        QTEST(r.pixelColor(1, 1), "apres");
        QCOMPARE(im, copie); // the original is never changed
        QCOMPARE(r.format(), QImage::Format_RGB888);
    }

    void facteur()
    {
        QCOMPARE(facteurContraste(0), 1.0);
        QVERIFY(qAbs(facteurContraste(8) - 2.6117) < 1e-4);
        QVERIFY(qAbs(facteurContraste(25) - 20.0855) < 1e-4);
    }

    // Extent test and option lines: the three cases, and the refusals.
    void exportation_data()
    {
        QTest::addColumn<bool>("avecT");
        QTest::addColumn<int>("dx"); // spread of the positions, in pixels (picture 320 × 320: 1/32 is 10)
        QTest::addColumn<int>("dy");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<QStringList>("options");
        const QStringList fichier{"&1 FICHIER", "/img/STROBO.BMP"};
        QTest::newRow("large et haut") << true << 11 << 11 << true
                                       << QStringList{"&2 NOMX", "X1", "X2", "&2 NOMY", "Y1", "Y2", "&2 ORTHO", "1", "1"} + fichier;
        QTest::newRow("large seulement") << true << 11 << 10 << true
                                         << QStringList{"&2 NOMX", "t", "t", "&2 NOMY", "X1", "X2"} + fichier;
        QTest::newRow("haut seulement") << true << 10 << 11 << true
                                        << QStringList{"&2 NOMX", "t", "t", "&2 NOMY", "Y1", "Y2"} + fichier;
        QTest::newRow("sans temps, large seulement") << false << 50 << 3 << false << QStringList{};
        QTest::newRow("sans temps, large et haut") << false << 50 << 30 << true
                                                   << QStringList{"&2 NOMX", "X1", "X2", "&2 NOMY", "Y1", "Y2", "&2 ORTHO", "1", "1"} + fichier;
        QTest::newRow("immobile") << true << 2 << 2 << false << QStringList{};
    }
    void exportation()
    {
        QFETCH(bool, avecT);
        QFETCH(int, dx);
        QFETCH(int, dy);
        SeriesPoints p(5);
        p.ajoute(1, {100, 100});
        p.ajoute(1, {100 + dx, 100});
        p.ajoute(2, {100, 100 + dy});
        EchelleMeca e;
        MecaTableau t{p, e};
        t.NbreObjet = 2;
        t.AvecT = avecT;
        const EtendueMesures et = etendue(p, 2, 320, 320);
        QTEST(t.exportable(et), "accepte");
        if (t.exportable(et)) {
            ExchangeText x;
            t.AjouteOptions(x, et, "/img/STROBO.BMP");
            QTEST(x.toStrings(), "options");
        }
    }

    // Names, units and rows, each field ended by a tab; a shorter series leaves empty cells.
    void tableau()
    {
        SeriesPoints p(5);
        for (int i = 0; i < 3; ++i)
            p.ajoute(1, QPoint(100 + 40 * i, 300 - 20 * i));
        p.ajoute(2, QPoint(100, 200));
        EchelleMeca e;
        e.Longueur = 0.5;
        e.CalculEchelle({0, 0}, {200, 0}, {100, 300});
        MecaTableau t{p, e};
        t.NbreObjet = 2;
        t.deltaT = 0.04;
        t.nomT = "t";
        ExchangeText x = t.CopieDonnees("chute");
        QCOMPARE(x.toStrings(), (QStringList{"chute", "t\tX1\tY1\tX2\tY2\t", "s\tm\tm\tm\tm\t",
                                             "0\t0\t0\t0\t0.25\t", "0.04\t0.1\t0.05\t\t\t", "0.08\t0.2\t0.1\t\t\t"}));
        QCOMPARE(t.entetesGrille(2), (QStringList{"t(s)", "X1(m)", "Y1(m)", "X2(m)", "Y2(m)"}));

        t.NbreObjet = 1;
        t.AvecT = false;
        ExchangeText seul;
        t.table(seul);
        QCOMPARE(seul.toStrings(), (QStringList{"X\tY\t", "m\tm\t", "0\t0\t", "0.1\t0.05\t", "0.2\t0.1\t"}));
        QCOMPARE(t.entetesGrille(1), (QStringList{"t(s)", "X1(m)", "Y1(m)"}));
    }

    // The general number text with fewer digits (ruler distance, dialog fields).
    void chiffres_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("texte");
        QTest::newRow("4 chiffres") << 0.2125 << 4 << "0.2125";
        QTest::newRow("5 chiffres, un tiers") << 1.0 / 3 << 5 << "0.33333";
        QTest::newRow("5 chiffres fixes jusqu'a 99999") << 12345.0 << 5 << "12345";
        QTest::newRow("au-dela, scientifique") << 123456.0 << 5 << "1.2346E05";
        QTest::newRow("petit") << 0.00012345 << 3 << "0.000123";
        QTest::newRow("negatif") << -0.04 << 5 << "-0.04";
        QTest::newRow("6 chiffres comme TexteNombre") << 1234567.0 << 6 << "1.23457E06";
    }
    void chiffres()
    {
        QFETCH(double, x);
        QFETCH(int, n);
        QTEST(TexteNombreChiffres(x, n), "texte");
        if (n == 6)
            QCOMPARE(TexteNombre(x), TexteNombreChiffres(x, 6));
    }

    void distance_data()
    {
        QTest::addColumn<QChar>("separateur");
        QTest::addColumn<double>("d");
        QTest::addColumn<QString>("texte");
        QTest::newRow("85 px a 0.0025") << QChar('.') << 85 * 0.0025 << "distance=0.2125m";
        QTest::newRow("virgule") << QChar(',') << 85 * 0.0025 << "distance=0,2125m";
        QTest::newRow("quatre chiffres") << QChar('.') << 1.23456 << "distance=1.235m";
        QTest::newRow("entier") << QChar('.') << 2.0 << "distance=2m";
    }
    void distance()
    {
        QFETCH(QChar, separateur);
        QFETCH(double, d);
        setSeparateurDecimal(separateur);
        const QString s = texteDistance(d, "m");
        setSeparateurDecimal('.');
        QTEST(s, "texte");
    }
};

QTEST_GUILESS_MAIN(TstMecaTableau)
#include "tst_mecatableau.moc"

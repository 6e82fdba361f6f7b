#include "Grapheu.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

namespace {
QByteArray octets(std::initializer_list<int> v)
{
    QByteArray b;
    for (int x : v)
        b.append(char(x & 0xFF));
    return b;
}

QImage blanche(int w, int h, QColor fond = QColor(200, 200, 200))
{
    QImage im(w, h, QImage::Format_RGB32);
    im.fill(fond);
    return im;
}

int compte(const QImage& im, QRgb c, QRect zone = {})
{
    if (zone.isNull())
        zone = im.rect();
    int n = 0;
    for (int y = zone.top(); y <= zone.bottom(); ++y)
        for (int x = zone.left(); x <= zone.right(); ++x)
            n += (im.pixel(x, y) & 0xFFFFFF) == (c & 0xFFFFFF);
    return n;
}

const QRgb bleu = qRgb(0, 0, 255);
const QRgb noir = qRgb(0, 0, 0);
}

class TestGrapheu : public QObject
{
    Q_OBJECT
private slots:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("attendu");
        QTest::newRow("0.5") << 0.5 << 0;
        QTest::newRow("1.5") << 1.5 << 2;
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("-0.5") << -0.5 << 0;
        QTest::newRow("-1.5") << -1.5 << -2;
        QTest::newRow("2.5000001") << 2.5000001 << 3;
        QTest::newRow("huge saturates") << 1e300 << std::numeric_limits<int>::max();
    }
    void roundsHalfToEven()
    {
        QFETCH(double, v);
        QFETCH(int, attendu);
        QCOMPARE(arrondi(v), attendu);
    }

    void sampleAccess_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("donnees");
        QTest::addColumn<int>("trames");
        QTest::addColumn<int>("gauche1");
        QTest::addColumn<int>("droite1");
        QTest::addColumn<int>("analyse1");
        // Frame 1 is the one checked.
        QTest::newRow("f8") << int(f8) << octets({0, 200, 7}) << 3 << 200 << 200 << 72;
        QTest::newRow("f16") << int(f16) << octets({0, 0, 0x18, 0xFC, 1}) << 2 << -1000 << -1000 << -1000;
        QTest::newRow("f16stereo") << int(f16stereo) << octets({0, 0, 0, 0, 0xE8, 3, 0x18, 0xFC}) << 2 << 1000 << -1000 << 0;
        QTest::newRow("f8stereo") << int(f8stereo) << octets({1, 2, 10, 250}) << 2 << 10 << 250 << 4;
        QTest::newRow("f24 all bits set") << int(f24) << octets({0, 0, 0, 0xFF, 0xFF, 0xFF}) << 2 << -1 << -1 << -1;
        QTest::newRow("f24 high bytes") << int(f24) << octets({0, 0, 0, 0x80, 0x34, 0x12}) << 2 << 0x1234 << 0x1234 << 0x1234;
        QTest::newRow("f24stereo") << int(f24stereo) << octets({0, 0, 0, 0, 0, 0, 9, 0, 0x80, 0xFF, 0xFF, 0x7F, 5})
                                   << 2 << -32768 << 32767 << -1;
    }
    void sampleAccess()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, donnees);
        QFETCH(int, trames);
        QFETCH(int, gauche1);
        QFETCH(int, droite1);
        QFETCH(int, analyse1);
        TvecteurSon s;
        s.assigne(TformatWave(format), donnees);
        QCOMPARE(s.nombreTrames(), trames);
        QCOMPARE(s.gauche(1), gauche1);
        QCOMPARE(s.droite(1), droite1);
        QCOMPARE(s.valeurAnalyse(1), analyse1);
    }

    void value24Scaled()
    {
        const QByteArray b = octets({0xFF, 0xFF, 0xFF, 0, 0, 0x80, 0xFF, 0xFF, 0x7F, 0x80, 0, 0});
        const auto* p = reinterpret_cast<const std::uint8_t*>(b.constData());
        QCOMPARE(valeur24(p), -1 / 8388608.0);
        QCOMPARE(valeur24(p + 3), -1.0);
        QCOMPARE(valeur24(p + 6), 8388607 / 8388608.0);
        QCOMPARE(valeur24(p + 9), 128 / 8388608.0);
        QCOMPARE(valeur24bits(p + 9), 0);
    }

    void sampleVectorKeepsAtMostTheLimit()
    {
        TvecteurSon s;
        s.assigne(f16, QByteArray(int(tailleMaxSon) + 6, '\0'));
        QCOMPARE(s.taille(), tailleMaxSon);
        QCOMPARE(s.nombreTrames(), int(tailleMaxSon / 2));
    }

    void halvingKeepsEvenFrames()
    {
        TvecteurSon s;
        s.assigne(f24stereo, octets({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24,
                                     25, 26, 27, 28, 29, 30}));
        s.diviseParDeux();
        QCOMPARE(s.nombreTrames(), 2);
        QCOMPARE(s.donnees(), octets({1, 2, 3, 4, 5, 6, 13, 14, 15, 16, 17, 18}));
    }

    void envelopeFromSixSamplesPerPixel_data()
    {
        QTest::addColumn<int>("finS");
        QTest::addColumn<bool>("enveloppe");
        QTest::newRow("5 samples per pixel: lines") << 500 << false;
        QTest::newRow("6 samples per pixel: envelope") << 600 << true;
    }
    void envelopeFromSixSamplesPerPixel()
    {
        QFETCH(int, finS);
        QFETCH(bool, enveloppe);
        TvecteurSon s;
        s.assigne(f8, QByteArray(1000, char(128)));
        QImage im = blanche(120, 60);
        QPainter p(&im);
        TgrapheSon g;
        g.Canvas = &p;
        g.Son = &s;
        g.LimiteCourbe = {10, 0, 110, 60};
        g.debutS = 0;
        g.finS = finS;
        g.Enveloppe = !enveloppe;
        g.DrawG();
        QCOMPARE(g.Enveloppe, enveloppe);
        QCOMPARE(g.mondeX.a, 100.0 / finS);
    }

    void emptyRangeOnlyClears()
    {
        TvecteurSon s;
        s.assigne(f16, QByteArray(2000, '\x10'));
        QImage im = blanche(50, 40);
        QPainter p(&im);
        TgrapheSon g;
        g.Canvas = &p;
        g.Son = &s;
        g.LimiteCourbe = {5, 5, 45, 35};
        g.debutS = g.finS = 100;
        g.DrawG();
        p.end();
        QCOMPARE(compte(im, qRgb(255, 255, 255)), 40 * 30);
        QCOMPARE(compte(im, bleu), 0);
    }

    void minusOne24BitsSitsOnTheMiddleLine()
    {
        TvecteurSon s;
        s.assigne(f24, QByteArray(3 * 50, '\xFF'));
        QImage im = blanche(60, 101);
        QPainter p(&im);
        TgrapheSon g;
        g.Canvas = &p;
        g.Son = &s;
        g.LimiteCourbe = {0, 0, 49, 101};
        g.debutS = 0;
        g.finS = 49;
        g.DrawG();
        p.end();
        // The middle is 50.5: 0 rounds to row 50 (half to even), -1 lands on row 51 just below it.
        int x, y;
        g.WindowXY(0, 0, x, y);
        QCOMPARE(y, 50);
        g.WindowXY(0, -1, x, y);
        QCOMPARE(y, 51);
        QVERIFY(compte(im, bleu, QRect(0, 51, 49, 1)) >= 49);
        QCOMPARE(compte(im, bleu), compte(im, bleu, QRect(0, 51, 60, 1)));
        g.WindowXY(0, 32767, x, y);
        QCOMPARE(y, 0);
        g.WindowXY(0, -32768, x, y);
        QCOMPARE(y, 101);
    }

    void screenMappingAndBack()
    {
        TvecteurSon s;
        s.assigne(f16, QByteArray(20002, '\0'));
        TgrapheSon g;
        g.Son = &s;
        g.LimiteCourbe = {2, 0, 1002, 100};
        g.debutS = 1000;
        g.finS = 3000;
        g.coefficients();
        QCOMPARE(g.Xecran(1000), 2);
        QCOMPARE(g.Xecran(3000), 1002);
        QCOMPARE(g.Xecran(1001), 2);  // 2.5 rounds to even
        QCOMPARE(g.Xecran(1003), 4);  // 3.5 rounds to even
        QCOMPARE(g.indice(502), 2000);
        double xr, yr;
        g.MondeXY(502, 50, xr, yr);
        QCOMPARE(xr, 1000.0);
        QCOMPARE(yr, 0.0);
    }

    // The envelope from the summary must paint exactly what a pass over every sample paints.
    void summaryEnvelopeEqualsDirect_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("trames");
        QTest::addColumn<int>("debutS");
        QTest::addColumn<int>("finS");
        QTest::addColumn<int>("largeur");
        QTest::newRow("f16 whole") << int(f16) << 200003 << 0 << 200002 << 640;
        QTest::newRow("f16 offset range") << int(f16) << 200003 << 12345 << 187001 << 333;
        QTest::newRow("f8 narrow") << int(f8) << 99999 << 17 << 99998 << 97;
        QTest::newRow("f8stereo") << int(f8stereo) << 70001 << 3 << 65000 << 500;
        QTest::newRow("f16stereo") << int(f16stereo) << 70001 << 1000 << 70000 << 1001;
        QTest::newRow("f24") << int(f24) << 50000 << 0 << 49999 << 300;
        QTest::newRow("f24stereo n=7") << int(f24stereo) << 50000 << 5 << 7005 << 1000;
    }
    void summaryEnvelopeEqualsDirect()
    {
        QFETCH(int, format);
        QFETCH(int, trames);
        QFETCH(int, debutS);
        QFETCH(int, finS);
        QFETCH(int, largeur);
        QRandomGenerator alea(format * 7919 + trames);
        QByteArray b(qsizetype(trames) * tailleTrame(TformatWave(format)), '\0');
        // A slow wave plus noise and rare spikes, so that block extremes differ everywhere.
        for (qsizetype i = 0; i < b.size(); ++i)
            b[i] = char(int(120 * std::sin(i * 0.0007)) + int(alea.bounded(40)) + (alea.bounded(5000) == 0 ? 100 : 0));
        TvecteurSon s;
        s.assigne(TformatWave(format), b);

        QImage images[2];
        std::vector<TgrapheSon::Colonne> colonnes[2];
        for (int k = 0; k < 2; ++k) {
            images[k] = blanche(largeur + 20, 120);
            QPainter p(&images[k]);
            TgrapheSon g;
            g.Canvas = &p;
            g.Son = &s;
            g.avecResume = k == 0;
            g.LimiteCourbe = {7, 3, 7 + largeur, 117};
            g.debutS = debutS;
            g.finS = finS;
            g.DrawG();
            QVERIFY(g.Enveloppe);
            colonnes[k] = g.colonnesEnveloppe();
        }
        QVERIFY(colonnes[0].size() > std::size_t(largeur) * 9 / 10);
        for (std::size_t i = 0; i < colonnes[0].size(); ++i) {
            QCOMPARE(colonnes[0][i].mini, colonnes[1][i].mini);
            QCOMPARE(colonnes[0][i].maxi, colonnes[1][i].maxi);
        }
        QVERIFY(images[0] == images[1]);
        if (!qEnvironmentVariableIsEmpty("KX_IMAGES"))
            images[0].save(qEnvironmentVariable("KX_IMAGES") + "/enveloppe-" + QTest::currentDataTag() + ".png");
        QVERIFY(compte(images[0], bleu) > largeur);
    }

    void summaryMinMaxOnRandomRanges()
    {
        QRandomGenerator alea(42);
        QByteArray b(2 * 10007, '\0');
        for (auto& c : b)
            c = char(alea.bounded(256));
        TvecteurSon s;
        s.assigne(f16, b);
        for (int essai = 0; essai < 2000; ++essai) {
            int d = int(alea.bounded(10007)), f = int(alea.bounded(10007));
            if (d > f)
                std::swap(d, f);
            int lo = s.gauche(d), hi = lo;
            for (int i = d; i <= f; ++i) {
                lo = std::min(lo, s.gauche(i));
                hi = std::max(hi, s.gauche(i));
            }
            int l2, h2;
            s.minMaxGauche(d, f, l2, h2);
            QCOMPARE(l2, lo);
            QCOMPARE(h2, hi);
        }
    }

    // Column x shows the samples that Xecran and indice place at x, also when Left is not 0.
    void envelopeColumnsStartAtTheLeftEdge()
    {
        QByteArray b(10000, char(128));
        b[3] = char(255);  // only in the first column
        TvecteurSon s;
        s.assigne(f8, b);
        TgrapheSon g;
        g.Son = &s;
        g.LimiteCourbe = {50, 0, 150, 100};
        g.debutS = 0;
        g.finS = 9999;
        g.coefficients();
        const auto c = g.colonnesEnveloppe();
        QCOMPARE(c.front().x, 50);
        QCOMPARE(c.front().maxi, 255);
        QCOMPARE(c[1].maxi, 128);
        QCOMPARE(g.indice(50), 0);
        QCOMPARE(c.back().x, 149);
    }

    void lineModeFollowsSamples()
    {
        QByteArray b(2 * 11, '\0');
        for (int i = 0; i < 11; ++i) {
            const qint16 v = qint16(i % 2 ? 16384 : -16384);
            b[2 * i] = char(v & 0xFF);
            b[2 * i + 1] = char((v >> 8) & 0xFF);
        }
        TvecteurSon s;
        s.assigne(f16, b);
        QImage im = blanche(101, 101);
        QPainter p(&im);
        TgrapheSon g;
        g.Canvas = &p;
        g.Son = &s;
        g.LimiteCourbe = {0, 0, 100, 100};
        g.debutS = 0;
        g.finS = 10;
        g.pasS = 2;  // every other sample: a flat line at -16384
        g.DrawG();
        p.end();
        QVERIFY(!g.Enveloppe);
        QCOMPARE(compte(im, bleu, QRect(0, 75, 101, 1)), 101);
        QCOMPARE(compte(im, bleu), 101);
    }

    void curveIndexesAreClamped_data()
    {
        QTest::addColumn<int>("debut");
        QTest::addColumn<int>("fin");
        QTest::addColumn<int>("debutAttendu");
        QTest::addColumn<int>("finAttendu");
        QTest::newRow("both out") << -9000 << 9000 << -8192 << 8192;
        QTest::newRow("inside") << -100 << 100 << -100 << 100;
    }
    void curveIndexesAreClamped()
    {
        QFETCH(int, debut);
        QFETCH(int, fin);
        QFETCH(int, debutAttendu);
        QFETCH(int, finAttendu);
        QImage im = blanche(100, 100);
        QPainter p(&im);
        auto g = std::make_unique<Tgraphe>();
        g->Canvas = &p;
        g->LimiteCourbe = {0, 0, 100, 100};
        g->mondeX.SetMinMax(-8192, 8192);
        g->mondeY.SetMinMax(-1, 1);
        g->debutG = debut;
        g->finG = fin;
        g->DrawG();
        QCOMPARE(g->debutG, debutAttendu);
        QCOMPARE(g->finG, finAttendu);
    }

    void missingValueLeavesAGapJoinedByOneSegment()
    {
        QImage im = blanche(120, 120, Qt::white);
        QPainter p(&im);
        p.setBrush(Qt::NoBrush);
        auto g = std::make_unique<Tgraphe>();
        g->Canvas = &p;
        g->LimiteCourbe = {0, 0, 110, 110};
        g->mondeX.SetMinMax(0, 11);
        g->mondeY.SetMinMax(0, 11);
        g->debutG = 0;
        g->finG = 10;
        for (int i = 0; i <= 10; ++i) {
            g->ValeurX[i] = i;
            g->ValeurY[i] = 1;
        }
        g->ValeurY[0] = valeurManquante;  // a missing first point starts nothing
        g->ValeurY[5] = valeurManquante;
        g->ValeurY[6] = 9;
        g->DrawG();
        p.end();
        int x4, y4, x6, y6, x5, y5;
        g->WindowXY(4, 1, x4, y4);
        g->WindowXY(6, 9, x6, y6);
        // The segment from point 4 straight to point 6, not through the missing point 5.
        g->WindowXY(5, 5, x5, y5);
        QCOMPARE(im.pixel(x5, y5) & 0xFFFFFF, noir & 0xFFFFFF);
        g->WindowXY(5, 1, x5, y5);
        QCOMPARE(im.pixel(x5, y5) & 0xFFFFFF, 0xFFFFFFu);
        // Nothing drawn left of point 1 inside the frame (no line from the missing first point).
        int x1, y1;
        g->WindowXY(1, 1, x1, y1);
        QCOMPARE(compte(im, noir, QRect(1, 1, x1 - 2, 108)), 0);
        QVERIFY(compte(im, noir, QRect(x1, 1, 108 - x1, 108)) > 80);
    }

    void coloursDrawnOnlyWhenAsked()
    {
        QImage im = blanche(100, 100, Qt::white);
        QPainter p(&im);
        p.setBrush(Qt::NoBrush);
        auto g = std::make_unique<Tgraphe>();
        g->Canvas = &p;
        g->LimiteCourbe = {0, 0, 100, 100};
        g->mondeX.SetMinMax(0, 10);
        g->mondeY.SetMinMax(0, 10);
        g->debutG = 0;
        g->finG = 10;
        for (int i = 0; i <= 10; ++i) {
            g->ValeurX[i] = i;
            g->ValeurY[i] = 2;
            g->rougeY[i] = 4;
            g->bleuY[i] = 6;
            g->vertY[i] = 8;
        }
        g->withRed = true;
        g->withGreen = true;
        g->DrawG();
        p.end();
        QVERIFY(compte(im, qRgb(255, 0, 0)) > 80);
        QVERIFY(compte(im, qRgb(0, 128, 0)) > 80);
        QCOMPARE(compte(im, qRgb(0, 0, 255)), 0);
        QCOMPARE(g->Yecran(2), 80);
        QCOMPARE(g->Yecran(valeurManquante), -1);
    }
};

QTEST_MAIN(TestGrapheu)
#include "tst_grapheu.moc"

#include "DessinPointage.h"
#include "NumberText.h"
#include "PointageControleur.h"

#include <QPainter>
#include <QtTest>

namespace {

constexpr int W = 200;
constexpr int H = 150;

// 200 x 150 image, 1 m over 100 pixels, fixed origin at (80, 60), axes red, point 1 blue,
// point 2 green, point 3 magenta.
struct Scene
{
    Scene()
    {
        m.mediaOuvert = true;
        m.Largeur = W;
        m.Hauteur = H;
        m.PointRepere[bsOrigine] = QPoint(80, 60);
        m.PointRepere[bsEchelle1] = QPoint(20, 140);
        m.PointRepere[bsEchelle2] = QPoint(120, 140);
        m.CalculEchelle();
        m.CalculEchelle();
        m.Couleur[1] = Qt::blue;
        m.Couleur[2] = Qt::green;
        m.Couleur[3] = Qt::magenta;
        o.couleurAxe = Qt::red;
    }
    void point(QPoint p)
    {
        m.PointRepere[bsMesure] = p;
        m.EnregistrePoint(0);
    }
    QImage dessine(int zoom = 1, const PointageControleur* c = nullptr)
    {
        QImage img(W * zoom, H * zoom, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        DessinPointage d(p, SurfaceDessin::image(zoom, img.size()), m, o);
        d.Dessine(c);
        return img;
    }
    PointageModel m;
    OptionsDessin o;
};

bool blanc(const QImage& img, QRect r)
{
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return true;
}

QColor c(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }

} // namespace

class TestDessinPointage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void axesAuTraversDeLOrigine()
    {
        Scene s;
        const QImage img = s.dessine();
        for (int x : {5, 40, 150, 190})
            QCOMPARE(c(img, x, 60), QColor(Qt::red));
        for (int y : {5, 30, 100, 140})
            QCOMPARE(c(img, 80, y), QColor(Qt::red));
        QVERIFY(blanc(img, QRect(5, 61, 70, 10)));
        // The scale segment and its end crosses.
        QCOMPARE(c(img, 70, 140), QColor(Qt::red));
        QCOMPARE(c(img, 20, 137), QColor(Qt::red));

        s.o.axes = false;
        QVERIFY(blanc(s.dessine(), img.rect()));
    }

    void flechesSelonLesAxes_data()
    {
        QTest::addColumn<int>("sens");
        QTest::addColumn<QPoint>("tete");
        QTest::newRow("right") << int(aHautDroite) << QPoint(W - 8, 58);
        QTest::newRow("left") << int(aBasGauche) << QPoint(8, 58);
    }
    void flechesSelonLesAxes()
    {
        QFETCH(int, sens);
        QFETCH(QPoint, tete);
        Scene s;
        s.m.sensAxes = TsensAxes(sens);
        const QImage img = s.dessine();
        // One of the pixels of the head stroke above the axis.
        bool trouve = false;
        for (int dx = -2; dx <= 2; ++dx)
            trouve = trouve || c(img, tete.x() + dx, tete.y()) == QColor(Qt::red);
        QVERIFY(trouve);
        const QPoint miroir(W - tete.x(), tete.y());
        QVERIFY(blanc(img, QRect(miroir - QPoint(2, 0), QSize(5, 1))));
    }

    void origineMobile()
    {
        Scene s;
        s.m.origineMobile = true;
        s.m.DebutMesures();
        s.point(QPoint(150, 30)); // origin of row 0
        s.point(QPoint(170, 20));
        const QImage img = s.dessine();
        QCOMPARE(c(img, 135, 30), QColor(Qt::red));
        QCOMPARE(c(img, 150, 45), QColor(Qt::red));
        QCOMPARE(c(img, 150, 60), QColor(Qt::white)); // no full axes
        QCOMPARE(c(img, 5, 60), QColor(Qt::white));
        QCOMPARE(c(img, 170, 17), QColor(Qt::blue));
    }

    void marques_data()
    {
        QTest::addColumn<bool>("points");
        QTest::addColumn<bool>("reticule");
        QTest::addColumn<bool>("etiquette");
        QTest::addColumn<int>("zoom");
        QTest::newRow("cross and label") << true << false << true << 1;
        QTest::newRow("cross, zoom 2") << true << false << true << 2;
        QTest::newRow("cross, no label") << true << false << false << 1;
        QTest::newRow("reticle") << true << true << false << 1;
        QTest::newRow("points off") << false << false << true << 1;
    }
    void marques()
    {
        QFETCH(bool, points);
        QFETCH(bool, reticule);
        QFETCH(bool, etiquette);
        QFETCH(int, zoom);
        Scene s;
        s.o.axes = false;
        s.o.points = points;
        s.o.reticule = reticule;
        s.o.etiquette = etiquette;
        s.m.DebutMesures();
        s.point(QPoint(40, 100));
        const QImage img = s.dessine(zoom);
        const QPoint e(40 * zoom, 100 * zoom);
        const QColor bleu = points ? QColor(Qt::blue) : QColor(Qt::white);
        QCOMPARE(c(img, e.x() - 3, e.y()), bleu);
        QCOMPARE(c(img, e.x(), e.y() + 3), bleu);
        QCOMPARE(c(img, 2, e.y()), reticule ? bleu : QColor(Qt::white));
        QCOMPARE(c(img, e.x(), 2), reticule ? bleu : QColor(Qt::white));
        const QRect zone(e + QPoint(3, 3), QSize(12, 10));
        QCOMPARE(!blanc(img, zone), points && etiquette);
        // The grid is filled whatever is drawn.
        QCOMPARE(s.m.TexteCellule(1, 0), QString("-0.4"));
    }

    // Three points per image, three rows done, two points clicked on the fourth.
    void etiquettesDeLaLigneEnCours()
    {
        Scene s;
        s.o.axes = false;
        s.m.NbreSE = 3;
        s.m.DebutMesures();
        for (int i = 0; i < 3; ++i)
            for (int k = 0; k < 3; ++k)
                s.point(QPoint(10 + 60 * k, 10 + 25 * i));
        s.point(QPoint(20, 110));
        s.point(QPoint(110, 110));
        QCOMPARE(s.m.Nmes, 3);
        s.o.axes = true;
        QImage img = s.dessine(2);
        img.save(QDir::temp().filePath("kinexo-dessin.png"));
        s.o.axes = false;
        img = s.dessine();

        // Each label compared with the same label drawn alone with its cross.
        auto seul = [&](QPoint p, int k, const QString& texte) {
            QImage ref(W, H, QImage::Format_RGB32);
            ref.fill(Qt::white);
            QPainter painter(&ref);
            DessinPointage d(painter, SurfaceDessin::image(1, ref.size()), s.m, s.o);
            painter.setPen(d.PlumePoint(k));
            d.DessineCroix(p);
            d.DessineEtiquette(p, texte);
            painter.end();
            const QRect zone(p + QPoint(2, 2), QSize(24, 12));
            return ref.copy(zone);
        };
        auto zone = [&](QPoint p) { return img.copy(QRect(p + QPoint(2, 2), QSize(24, 12))); };
        QCOMPARE(zone(QPoint(20, 110)), seul(QPoint(20, 110), 1, "4-1"));
        QCOMPARE(zone(QPoint(110, 110)), seul(QPoint(110, 110), 2, "4-2"));
        QVERIFY(zone(QPoint(20, 110)) != seul(QPoint(20, 110), 1, "4"));
        QCOMPARE(zone(QPoint(130, 60)), seul(QPoint(130, 60), 3, "3"));
        QVERIFY(zone(QPoint(130, 60)) != seul(QPoint(130, 60), 3, "3-3"));
    }

    void pageMiseALEchelle_data()
    {
        QTest::addColumn<QPoint>("image");
        QTest::addColumn<QPoint>("page");
        // Page 100 x 75 for a 200 x 150 image: halves to even.
        QTest::newRow("0.5 to 0") << QPoint(1, 1) << QPoint(0, 0);
        QTest::newRow("1.5 to 2") << QPoint(3, 3) << QPoint(2, 2);
        QTest::newRow("2.5 to 2") << QPoint(5, 5) << QPoint(2, 2);
        QTest::newRow("exact") << QPoint(80, 60) << QPoint(40, 30);
    }
    void pageMiseALEchelle()
    {
        QFETCH(QPoint, image);
        QFETCH(QPoint, page);
        QCOMPARE(SurfaceDessin::page(QSize(100, 75), W, H).ecran(image), page);
    }

    void dessinSurLaPage()
    {
        Scene s;
        QImage page(100, 75, QImage::Format_RGB32);
        page.fill(Qt::black);
        QPainter p(&page);
        DessinPointage d(p, SurfaceDessin::page(page.size(), W, H), s.m, s.o);
        d.Dessine();
        p.end();
        QCOMPARE(c(page, 2, 30), QColor(Qt::red));
        QCOMPARE(c(page, 98, 30), QColor(Qt::red));
        QCOMPARE(c(page, 40, 10), QColor(Qt::red));
        QCOMPARE(page.pixel(10, 10), QApplication::palette().color(QPalette::Window).rgb());
    }

    void bandeElastique()
    {
        Scene s;
        s.o.axes = false;
        PointageControleur ctrl(s.m);
        ctrl.EchelleBtnClick();
        ctrl.appui(QPoint(30, 20), Qt::LeftButton);
        ctrl.relache(QPoint(30, 20), Qt::LeftButton);
        ctrl.deplacement(QPoint(130, 20), Qt::NoButton);
        // The band follows the pointer whatever the options.
        QImage img = s.dessine(1, &ctrl);
        QCOMPARE(c(img, 80, 20), QColor(Qt::red));
        QCOMPARE(c(img, 30, 17), QColor(Qt::white));
        s.o.axes = true;
        img = s.dessine(1, &ctrl);
        QCOMPARE(c(img, 80, 20), QColor(Qt::red));
        QCOMPARE(c(img, 30, 17), QColor(Qt::red)); // cross at the new start
        QCOMPARE(c(img, 70, 140), QColor(Qt::white)); // the old segment is not shown
        ctrl.appui(QPoint(130, 20), Qt::LeftButton);
        ctrl.relache(QPoint(130, 20), Qt::LeftButton);
        img = s.dessine(1, &ctrl);
        QCOMPARE(c(img, 80, 20), QColor(Qt::red)); // now the scale itself
        QCOMPARE(c(img, 70, 140), QColor(Qt::white));
    }

    void angle()
    {
        PointageModel m(ReglesPointage::capture(5));
        m.mediaOuvert = true;
        m.Largeur = W;
        m.Hauteur = H;
        m.angle = true;
        m.Couleur[0] = Qt::darkGreen;
        m.DebutMesures();
        for (QPoint p : {QPoint(150, 80), QPoint(100, 80), QPoint(100, 30)}) {
            m.PointRepere[bsMesure] = p;
            m.EnregistrePoint(0);
        }
        QImage img(W, H, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        OptionsDessin o;
        o.axes = false;
        o.etiquette = false;
        DessinPointage(p, SurfaceDessin::image(1, img.size()), m, o).Dessine();
        p.end();
        QCOMPARE(c(img, 130, 80), QColor(Qt::darkGreen)); // towards the reference
        QCOMPARE(c(img, 100, 50), QColor(Qt::darkGreen)); // towards the final point
        // The arc of radius 25 between them, at 45 degrees up-right of the apex.
        bool arc = false;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                arc = arc || c(img, 118 + dx, 62 + dy) == QColor(Qt::darkGreen);
        QVERIFY(arc);
        QCOMPARE(c(img, 82, 98), QColor(Qt::white)); // not on the other side
    }
};

QTEST_MAIN(TestDessinPointage)
#include "tst_dessinpointage.moc"

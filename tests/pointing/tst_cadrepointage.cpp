#include "CadrePointage.h"
#include "NumberText.h"
#include "TestHost.h"
#include "TransferButton.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QScrollArea>
#include <QSplitter>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

// Three still pictures of their own sizes, one second apart: no player, no video.
class ImagesFixes : public SourcePointage
{
public:
    std::vector<QImage> images;
    int courante = 0;
    bool ouverte() const override { return !images.empty(); }
    int nombreImages() const override { return int(images.size()); }
    int numeroImage() const override { return courante; }
    bool allerImage(int i) override
    {
        courante = i;
        return true;
    }
    QImage image() const override { return images[std::size_t(courante)]; }
    double tempsImage(int) const override { return courante * 1.0; }
    double tempsMontre() const override { return courante * 1.0; }
};

// The smallest tool on the frame: its source, its layout, nothing else.
class OutilImages : public CadrePointage
{
public:
    explicit OutilImages(ToolHost& host) : CadrePointage(host, ReglesPointage::serie(), QStringLiteral("Essai"))
    {
        for (QSize s : {QSize(160, 120), QSize(200, 100), QSize(120, 160)}) {
            QImage img(s, QImage::Format_RGB32);
            img.fill(Qt::white);
            source.images.push_back(img);
        }
        setSource(&source);
        auto* central = new QWidget(this);
        auto* l = new QVBoxLayout(central);
        auto* options = new QHBoxLayout;
        ajouteOptions(options);
        l->addLayout(options);
        l->addWidget(zonePrincipale(), 1);
        setCentralWidget(central);
        lisReglages();
        modele.mediaOuvert = true;
        modele.Largeur = 160;
        modele.Hauteur = 120;
        modele.deltat = 1;
        // 1 m over 100 pixels, origin at (20, 100).
        modele.PointRepere[bsOrigine] = QPoint(20, 100);
        modele.PointRepere[bsEchelle1] = QPoint(10, 110);
        modele.PointRepere[bsEchelle2] = QPoint(110, 110);
        modele.CalculEchelle();
        MajBoutons();
        Rafraichir();
    }
    ImagesFixes source;
};

} // namespace

class TestCadrePointage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void troisImagesMesureesEnPixelsImage_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::newRow("zoom 1") << 1;
        QTest::newRow("zoom 2") << 2;
    }
    void troisImagesMesureesEnPixelsImage()
    {
        QFETCH(int, zoom);
        TestHost host;
        OutilImages f(host);
        f.resize(900, 600);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.ZoomSE->setValue(zoom);
        QTRY_COMPARE(f.Image->size(), QSize(160, 120) * zoom);

        const QPoint clics[] = {QPoint(70, 50), QPoint(120, 40), QPoint(60, 150)};
        f.MesureBtn->click();
        QVERIFY(f.MesureBtn->isChecked());
        for (int i = 0; i < 3; ++i) {
            // Each picture is shown at its own size before it is clicked.
            QTRY_COMPARE(f.source.courante, i);
            QTRY_COMPARE(f.Image->size(), f.source.images[std::size_t(i)].size() * zoom);
            QTest::mouseClick(f.Image, Qt::LeftButton, {}, clics[i] * zoom + QPoint(zoom - 1, zoom - 1));
            QTRY_COMPARE(f.modele.Nmes, i + 1);
        }
        // The last picture ends the measurements.
        QTRY_VERIFY(!f.MesureBtn->isChecked());
        QCOMPARE(f.source.courante, 2);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.modele.XY[1][i], clics[i]);
            QCOMPARE(f.modele.Temps[std::size_t(i)], double(i));
        }
        // x = (70 - 20) / 100, y = (100 - 50) / 100 with the y axis up.
        QCOMPARE(f.modele.ValeurX(1, 0), QString("0.5"));
        QCOMPARE(f.modele.ValeurY(1, 0), QString("0.5"));
        QCOMPARE(f.modele.ValeurY(1, 2), QString("-0.5"));
        QCOMPARE(f.grille->data(f.grille->index(2, 1), Qt::DisplayRole).toString(), f.modele.ValeurX(1, 2));
        QVERIFY(f.TabuloBtn->isEnabled() == (f.modele.Nmes > 3));
    }

    void reglagesDeLaSection()
    {
        TestHost host;
        {
            OutilImages f(host);
            f.GrilleCB->setChecked(true);
            f.IncertitudeSE->setValue(4);
            f.Axeverslebasgauche->trigger();
            f.ecritReglages();
        }
        OutilImages g(host);
        QVERIFY(g.GrilleCB->isChecked());
        QCOMPARE(g.IncertitudeSE->value(), 4);
        QVERIFY(g.Axeverslebasgauche->isChecked());
        QCOMPARE(g.modele.sensAxes, aBasGauche);
        QCOMPARE(SectionReglages(host.fichierIni(), "Essai").entier("PixelIncert", 0), 4);
    }
};

QTEST_MAIN(TestCadrePointage)
#include "tst_cadrepointage.moc"

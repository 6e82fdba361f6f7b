#include "ChampNombre.h"
#include "Comparaison.h"
#include "GrillePointage.h"
#include "NumberText.h"
#include "TestHost.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QSignalSpy>
#include <QtTest>

namespace {

PointageModel modele()
{
    PointageModel m;
    m.mediaOuvert = true;
    m.PointRepere[bsOrigine] = QPoint(100, 100);
    m.PointRepere[bsEchelle1] = QPoint(0, 0);
    m.PointRepere[bsEchelle2] = QPoint(100, 0);
    m.CalculEchelle();
    m.CalculEchelle();
    m.Couleur[1] = Qt::blue;
    m.Couleur[2] = Qt::red;
    return m;
}

void point(PointageModel& m, QPoint p, double t)
{
    m.PointRepere[bsMesure] = p;
    m.EnregistrePoint(t);
}

QString cellule(const GrillePointage& g, int r, int c) { return g.index(r, c).data().toString(); }

} // namespace

class TestGrillePointage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void lignesEtEntetes()
    {
        PointageModel m = modele();
        m.NbreSE = 2;
        m.DebutMesures();
        GrillePointage g(m);
        g.reconstruit();
        QCOMPARE(g.columnCount(), 5);
        QCOMPARE(g.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QString("t(s)"));
        QCOMPARE(g.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QString("x2(m)"));
        for (int i = 0; i < 6; ++i) {
            point(m, QPoint(110 + i, 100), i * 0.04);
            point(m, QPoint(120, 90), i * 0.04);
        }
        point(m, QPoint(150, 100), 0.24); // first point of the seventh row
        g.rafraichit();
        QVERIFY(g.rowCount() >= 7);
        QCOMPARE(cellule(g, 5, 0), QString("0.2"));
        QCOMPARE(cellule(g, 5, 1), QString("0.15"));
        QCOMPARE(cellule(g, 5, 4), QString("0.1"));
        QCOMPARE(cellule(g, 6, 1), QString("0.5"));
        QCOMPARE(cellule(g, 6, 3), QString());

        // Undo: rows below Nmes are emptied at the next refresh.
        m.Defaire();
        m.Defaire();
        g.rafraichit();
        QCOMPARE(cellule(g, 3, 1), QString("0.13"));
        for (int r = 4; r < g.rowCount(); ++r)
            for (int c = 0; c < 5; ++c)
                QCOMPARE(cellule(g, r, c), QString());

        QCOMPARE(g.index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
        QCOMPARE(g.index(0, 2).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
        QCOMPARE(g.index(0, 3).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
        QVERIFY(!(g.flags(g.index(0, 1)) & Qt::ItemIsEditable));
    }

    void vueEnLectureSeuleEtChoixDeLigne()
    {
        PointageModel m = modele();
        m.DebutMesures();
        for (int i = 0; i < 4; ++i)
            point(m, QPoint(110 + 10 * i, 100 - 5 * i), i * 0.04);
        GrillePointage g(m);
        g.reconstruit();
        GrilleVue v;
        v.setModel(&g);
        v.resize(170, 200);
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        QSignalSpy choix(&v, &GrilleVue::ligneChoisie);
        const QRect r = v.visualRect(g.index(2, 1));
        QTest::mouseClick(v.viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(!choix.isEmpty());
        QCOMPARE(choix.last().at(0).toInt(), 2);
        QTest::keyClicks(&v, "9");
        QCOMPARE(cellule(g, 2, 1), QString("0.3"));
        QVERIFY(!v.indexWidget(g.index(2, 1)));
        QCOMPARE(v.horizontalHeader()->defaultSectionSize(), kLargeurColonneGrille);
        v.grab().save(QDir::temp().filePath("kinexo-grille.png"));
    }

    void comparaison_data()
    {
        QTest::addColumn<bool>("complementaire");
        QTest::addColumn<QRgb>("attendu");
        // (200, 100, 50) now against (180, 120, 50) then: differences 20, 20, 0.
        QTest::newRow("black") << true << qRgb(20, 20, 0);
        QTest::newRow("white") << false << qRgb(235, 235, 255);
    }
    void comparaison()
    {
        QFETCH(bool, complementaire);
        QFETCH(QRgb, attendu);
        QImage maintenant(kCotePixels, kCotePixels, QImage::Format_RGB32);
        maintenant.fill(qRgb(200, 100, 50));
        QImage avant(kCotePixels, kCotePixels, QImage::Format_RGB32);
        avant.fill(qRgb(180, 120, 50));
        const QImage r = ImageComparaison(maintenant, avant, complementaire);
        QCOMPARE(r.size(), QSize(48, 50));
        QCOMPARE(r.pixel(0, 0), attendu);
        QCOMPARE(r.pixel(47, 48), attendu);
        QCOMPARE(r.pixel(10, 49), complementaire ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    }

    void pixelsAutourDuPointeur()
    {
        QImage ecran(100, 80, QImage::Format_RGB32);
        ecran.fill(Qt::white);
        ecran.setPixel(10, 10, qRgb(1, 2, 3));
        const QImage p = PixelsAutour(ecran, QPoint(10, 10));
        QCOMPARE(p.size(), QSize(kCotePixels, kCotePixels));
        QCOMPARE(p.pixel(24, 24), qRgb(1, 2, 3));
        QCOMPARE(p.pixel(0, 0), qRgb(0, 0, 0)); // outside the screen
        QCOMPARE(p.pixel(30, 30), qRgb(255, 255, 255));
    }

    void comparaisonBasculeAuClic()
    {
        ComparaisonWidget w;
        QCOMPARE(w.size(), QSize(48, 50));
        QCOMPARE(w.image().pixel(5, 5), qRgb(255, 255, 255));
        QImage a(kCotePixels, kCotePixels, QImage::Format_RGB32);
        a.fill(qRgb(10, 10, 10));
        w.montre(a, a);
        QCOMPARE(w.image().pixel(5, 5), qRgb(255, 255, 255));
        QSignalSpy fond(&w, &ComparaisonWidget::fondChange);
        QTest::mouseClick(&w, Qt::LeftButton);
        QCOMPARE(fond.size(), 1);
        QVERIFY(w.complementaire());
        QCOMPARE(w.image().pixel(5, 5), qRgb(0, 0, 0));
        w.efface();
        QCOMPARE(w.image().pixel(5, 5), qRgb(255, 255, 255));
    }

    void champLongueur_data()
    {
        QTest::addColumn<QString>("frappe");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("lu");
        QTest::newRow("refused characters dropped") << "1x,5 m" << "1,5 m" << true;
        QTest::newRow("prefix and unit") << "25cm" << "25cm" << true;
        QTest::newRow("centimetres") << "2,5 cm" << "2,5 cm" << true;
        QTest::newRow("unreadable") << "m" << "m" << false;
    }
    void champLongueur()
    {
        QFETCH(QString, frappe);
        QFETCH(QString, texte);
        QFETCH(bool, lu);
        ChampNombre champ(QStringLiteral("m"), QStringLiteral("Echelle incorrecte"));
        QStringList messages;
        champ.afficheErreur = [&](const QString& m) { messages << m; };
        champ.setValeur(0.5);
        champ.clear();
        QSignalSpy nombre(&champ, &ChampNombre::nombreLu);
        QTest::keyClicks(&champ, frappe);
        QCOMPARE(champ.text(), texte);
        QTest::keyClick(&champ, Qt::Key_Return);
        QCOMPARE(nombre.size(), lu ? 1 : 0);
        if (lu) {
            QCOMPARE(champ.valeur(), *LitNombre(texte));
            QVERIFY(messages.isEmpty());
        } else {
            QCOMPARE(messages, QStringList{"Echelle incorrecte"});
            QCOMPARE(champ.text(), TexteNombreUnite(0.5, "m"));
            QCOMPARE(champ.valeur(), 0.5);
        }
    }

    void boiteLongueur_data()
    {
        QTest::addColumn<bool>("accepte");
        QTest::newRow("answered") << true;
        QTest::newRow("cancelled") << false;
    }
    void boiteLongueur()
    {
        QFETCH(bool, accepte);
        QString titre, invite, defaut;
        quandModal<QInputDialog>([&](QInputDialog* d) {
            titre = d->windowTitle();
            invite = d->labelText();
            defaut = d->textValue();
            d->setTextValue(QStringLiteral("0,25"));
            accepte ? d->accept() : d->reject();
        });
        const std::optional<QString> r = DemandeLongueur(nullptr, QStringLiteral("1"));
        QCOMPARE(titre, QString("Echelle"));
        QCOMPARE(invite, QString("Longueur en mètre ?"));
        QCOMPARE(defaut, QString("1"));
        QCOMPARE(r.has_value(), accepte);
        if (accepte)
            QCOMPARE(*r, QString("0,25"));
    }

    void champLuEnQuittant()
    {
        QWidget w;
        auto* champ = new ChampNombre(QStringLiteral("m"), QStringLiteral("Echelle incorrecte"), &w);
        auto* autre = new QLineEdit(&w);
        auto* l = new QHBoxLayout(&w);
        l->addWidget(champ);
        l->addWidget(autre);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        champ->setFocus();
        champ->setText(QStringLiteral("2,5"));
        QSignalSpy nombre(champ, &ChampNombre::nombreLu);
        autre->setFocus();
        QTRY_COMPARE(nombre.size(), 1);
        QCOMPARE(champ->valeur(), 2.5);
    }
};

QTEST_MAIN(TestGrillePointage)
#include "tst_grillepointage.moc"

#include "NumberText.h"
#include "PageTabulo.h"
#include "TabuloWindow.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kExemple = QStringLiteral(
    "/usr/bin/kinexo\r\nAcquisition par kinexo\r\nchute\r\n"
    "t\tx\ty\r\ns\tm\tm\r\n"
    "0\t0.00813008\t-0.0162602\r\n0.04\t0.0243902\t-0.00813008\r\n0.08\t\t0.00813008\r\n"
    "\r\ng\t\r\nm/s2\t\r\n9.81\t\r\n"
    "&3 INCERT\r\n0.0004\t0.00813008\t0.00813008\r\n0.0004\t0.00813008\t0.00813008\r\n"
    "0.0004\t0.00813008\t0.00813008\r\n"
    "&1 NOMX\r\nt\r\n&2 NOMY\r\nx\r\ny\r\n&1 ORTHO\r\n1\r\n&1 FICHIER\r\n/data/chute.avi\r\n");
}

class TestPageTabulo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void readsEveryPart()
    {
        QString erreur;
        const auto p = PageTabulo::lis(kExemple, &erreur);
        QVERIFY2(p, qPrintable(erreur));
        QCOMPARE(p->chemin, QString("/usr/bin/kinexo"));
        QCOMPARE(p->titre, QString("Acquisition par kinexo"));
        QCOMPARE(p->commentaire, QString("chute"));
        QCOMPARE(p->noms, QStringList({"t", "x", "y"}));
        QCOMPARE(p->unites, QStringList({"s", "m", "m"}));
        QCOMPARE(p->lignes.size(), 3);
        QCOMPARE(p->lignes[1][1], 0.0243902);
        QVERIFY(std::isnan(p->lignes[2][1]));
        QCOMPARE(p->constantes.size(), 1);
        QCOMPARE(p->constantes[0].symbole, QString("g"));
        QCOMPARE(p->constantes[0].unite, QString("m/s2"));
        QCOMPARE(p->constantes[0].valeur, 9.81);
        QCOMPARE(p->sections.size(), 5);
        QCOMPARE(p->section("INCERT").size(), 3);
        QCOMPARE(p->section("FICHIER"), QStringList({"/data/chute.avi"}));
        QCOMPARE(p->courbes(), (QVector<QPair<int, int>>{{0, 1}, {0, 2}}));
    }

    // Every field ended by a tab (the stroboscopic-photo tool's table), empty cells kept.
    void fieldsEndedByTabs()
    {
        QString erreur;
        const auto p = PageTabulo::lis("a\r\nb\r\nc\r\nt\tX1\tY1\t\r\ns\tm\tm\t\r\n0\t0.1\t\t\r\n"
                                       "0.04\t0.2\t0.3\t\r\n&1 NOMX\r\nt\r\n",
                                       &erreur);
        QVERIFY2(p, qPrintable(erreur));
        QCOMPARE(p->noms, QStringList({"t", "X1", "Y1"}));
        QCOMPARE(p->unites, QStringList({"s", "m", "m"}));
        QCOMPARE(p->lignes.size(), 2);
        QVERIFY(std::isnan(p->lignes[0][2]));
        QCOMPARE(p->lignes[1][2], 0.3);
        // A row with one value too many is still refused.
        QVERIFY(!PageTabulo::lis("a\r\nb\r\nc\r\nt\tx\t\r\ns\tm\t\r\n0\t1\t2\t\r\n"));
    }

    void pageWithoutAxesUsesTheFirstPage()
    {
        const auto premiere = PageTabulo::lis(kExemple);
        const auto page = PageTabulo::lis("k\r\n\r\n\r\nt\ty\tx\r\ns\tm\tm\r\n0\t1\t2\r\n");
        QVERIFY(premiere && page);
        QCOMPARE(page->titre, QString());
        QCOMPARE(page->courbes(&*premiere), (QVector<QPair<int, int>>{{0, 2}, {0, 1}}));
        QCOMPARE(page->courbes(), (QVector<QPair<int, int>>{{0, 1}, {0, 2}}));
    }

    // A line of meanings after the units is read as such; columns left without a name (the
    // intensity tool names only x and I) take their meaning.
    void readsMeanings()
    {
        const auto optique = PageTabulo::lis("k\r\n\r\n\r\nx\tI\r\nm\t\t\t\t\r\n"
                                             "Distance\tIntensité relative\tbleu\trouge\tvert\r\n"
                                             "0\t0.4\t0.6\t0.2\t0.4\r\n0.001\t0.5\t0.6\t0.3\t0.4\r\n&1 FICHIER\r\n/i.png\r\n");
        QVERIFY(optique);
        QCOMPARE(optique->noms, (QStringList{"x", "I", "bleu", "rouge", "vert"}));
        QCOMPARE(optique->sens.at(1), QString("Intensité relative"));
        QCOMPARE(optique->lignes.size(), 2);
        QCOMPARE(optique->lignes[1][3], 0.3);
        const auto courbe = PageTabulo::lis("k\r\n\r\n\r\nindex\tX1\tY1\r\n\tm\tm\r\nindex\t\t\r\n1\t2\t3\r\n");
        QVERIFY(courbe);
        QCOMPARE(courbe->noms, (QStringList{"index", "X1", "Y1"}));
        QCOMPARE(courbe->lignes.size(), 1);
        // Without meanings a missing name is still refused.
        QVERIFY(!PageTabulo::lis("k\r\n\r\n\r\nx\tI\r\nm\t\t\r\n0\t1\t2\r\n"));
    }

    void refusesMalformed_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::newRow("empty") << "";
        QTest::newRow("too short") << "a\r\nb\r\nc\r\nt\tx\r\n";
        QTest::newRow("units missing") << "a\r\nb\r\nc\r\nt\tx\r\ns\r\n0\t1\r\n";
        QTest::newRow("empty name") << "a\r\nb\r\nc\r\nt\t\r\ns\tm\r\n";
        QTest::newRow("short row") << "a\r\nb\r\nc\r\nt\tx\r\ns\tm\r\n0\r\n";
        QTest::newRow("not a number") << "a\r\nb\r\nc\r\nt\tx\r\ns\tm\r\n0\tdeux\r\n";
        QTest::newRow("section too long") << "a\r\nb\r\nc\r\nt\r\ns\r\n0\r\n&3 NOMX\r\nt\r\n";
        QTest::newRow("section without keyword") << "a\r\nb\r\nc\r\nt\r\ns\r\n0\r\n&1\r\nt\r\n";
        QTest::newRow("stray line") << "a\r\nb\r\nc\r\nt\r\ns\r\n0\r\n&1 NOMX\r\nt\r\nbof\r\n";
        QTest::newRow("cut constant") << "a\r\nb\r\nc\r\nt\r\ns\r\n0\r\n\r\ng\t\r\n";
        QTest::newRow("constant not a number") << "a\r\nb\r\nc\r\nt\r\ns\r\n0\r\n\r\ng\t\r\nm\t\r\nx\t\r\n";
    }
    void refusesMalformed()
    {
        QFETCH(QString, texte);
        QString erreur;
        QVERIFY(!PageTabulo::lis(texte, &erreur));
        QVERIFY(!erreur.isEmpty());
    }

    // Random damage to good text and random bytes: always an answer, never a crash.
    void fuzz()
    {
        QRandomGenerator gen(20261210);
        const QString alphabet = QStringLiteral("&\t\r\n0123456789.,-Ee xyt&NOMX");
        int lus = 0;
        for (int essai = 0; essai < 20000; ++essai) {
            QString t = kExemple;
            const int coups = 1 + int(gen.bounded(6));
            for (int c = 0; c < coups && !t.isEmpty(); ++c) {
                const int pos = int(gen.bounded(t.size()));
                switch (gen.bounded(5)) {
                case 0: t.remove(pos, 1 + int(gen.bounded(8))); break;
                case 1: t.insert(pos, alphabet[int(gen.bounded(alphabet.size()))]); break;
                case 2: t[pos] = QChar(ushort(gen.bounded(0x1, 0xD7FF))); break;
                case 3: t.truncate(pos); break;
                default: t.insert(pos, t.mid(int(gen.bounded(t.size())), 20)); break;
                }
            }
            if (essai % 10 == 0) {
                t.clear();
                for (int k = int(gen.bounded(300)); k > 0; --k)
                    t += alphabet[int(gen.bounded(alphabet.size()))];
            }
            const auto p = PageTabulo::lis(t);
            if (p) {
                ++lus;
                for (const auto& l : p->lignes)
                    QCOMPARE(l.size(), p->noms.size());
                for (const auto& [x, y] : p->courbes())
                    QVERIFY(x < p->noms.size() && y < p->noms.size());
            }
        }
        QVERIFY(lus > 0);   // some damage leaves readable text
    }

    void windowPagesAndCsv()
    {
        TabuloWindow w;
        const auto p = PageTabulo::lis(kExemple);
        QVERIFY(p);
        w.nouvellePage(*p);   // no file held yet: the page starts one
        QCOMPARE(w.nombrePages(), 1);
        w.nouveauFichier(*p);
        w.nouvellePage(*p);
        QCOMPARE(w.nombrePages(), 2);
        w.nouveauFichier(*p);
        QCOMPARE(w.nombrePages(), 1);
        QTemporaryDir dir;
        QVERIFY(w.sauvePage(0, dir.filePath("page.csv")));
        QFile f(dir.filePath("page.csv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("t,x,y\r\ns,m,m\r\n0,0.00813008,-0.0162602\r\n"
                                         "0.04,0.0243902,-0.00813008\r\n0.08,,0.00813008\r\n"));
        QVERIFY(!w.sauvePage(3, dir.filePath("autre.csv")));
        const QString png = qEnvironmentVariable("KINEXO_SCREENSHOTS");
        if (!png.isEmpty()) {
            w.show();
            w.grab().save(png + "/Tabulo.png");
        }
    }
};

QTEST_MAIN(TestPageTabulo)
#include "tst_pagetabulo.moc"

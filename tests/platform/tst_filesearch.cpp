#include "FileSearch.h"
#include "TestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TstFileSearch : public QObject
{
    Q_OBJECT

    static QStringList tout(TFileSearch& s, const QString& dossier, const QString& motif)
    {
        QStringList r;
        for (QString f = s.FirstFile(dossier, motif); !f.isEmpty(); f = s.NextFile())
            r << f;
        return r;
    }

private slots:
    void balayage_data()
    {
        QTest::addColumn<QStringList>("fichiers");
        QTest::addColumn<QString>("motif");
        QTest::addColumn<QStringList>("attendus");
        QTest::newRow("ordre naturel") << QStringList{"img10.jpg", "img2.jpg", "img1.jpg", "img100.jpg"}
                                       << "*.jpg" << QStringList{"img1.jpg", "img2.jpg", "img10.jpg", "img100.jpg"};
        QTest::newRow("majuscules du motif") << QStringList{"a.jpg", "b.JPG", "c.Jpg"} << "*.JPG"
                                             << QStringList{"a.jpg", "b.JPG", "c.Jpg"};
        QTest::newRow("casse ignorée dans l'ordre") << QStringList{"B2.bmp", "a10.bmp", "A3.bmp", "b1.bmp"} << "*.bmp"
                                                    << QStringList{"A3.bmp", "a10.bmp", "b1.bmp", "B2.bmp"};
        QTest::newRow("une seule sorte") << QStringList{"p1.bmp", "p2.jpg", "p3.bmp", "p4.jpeg"} << "*.bmp"
                                         << QStringList{"p1.bmp", "p3.bmp"};
        QTest::newRow("zéros de tête") << QStringList{"f010.jpg", "f9.jpg", "f0011.jpg"} << "*.jpg"
                                       << QStringList{"f9.jpg", "f010.jpg", "f0011.jpg"};
        QTest::newRow("téléphone") << QStringList{"IMG_20241002_101500.jpg", "IMG_20241002_101459.jpg"} << "*.jpg"
                                   << QStringList{"IMG_20241002_101459.jpg", "IMG_20241002_101500.jpg"};
        QTest::newRow("fichier caché") << QStringList{".cache.jpg", "x.jpg"} << "*.jpg"
                                       << QStringList{".cache.jpg", "x.jpg"};
        QTest::newRow("rien ne correspond") << QStringList{"a.png"} << "*.jpg" << QStringList{};
        QTest::newRow("dossier vide") << QStringList{} << "*.bmp" << QStringList{};
    }
    void balayage()
    {
        QFETCH(QStringList, fichiers);
        QFETCH(QString, motif);
        QFETCH(QStringList, attendus);
        QTemporaryDir dir;
        for (const QString& f : fichiers)
            QVERIFY(ecritOctets(dir.filePath(f), "x"));
        TFileSearch s;
        // The folder with and without its final "/" gives the same paths.
        for (const QString& dossier : {dir.path(), dir.path() + "/"}) {
            QStringList noms;
            for (const QString& chemin : tout(s, dossier, motif)) {
                QVERIFY2(chemin.startsWith(dir.path() + "/") && !chemin.contains("//"), qPrintable(chemin));
                noms << chemin.mid(dir.path().size() + 1);
            }
            QCOMPARE(noms, attendus);
            QVERIFY(!s.Opened);
        }
    }

    // The empty text ends a search and keeps ending it; FirstFile starts again; Close stops.
    void contrat()
    {
        QTemporaryDir dir;
        for (const char* f : {"a1.bmp", "a2.bmp"})
            QVERIFY(ecritOctets(dir.filePath(f), "x"));
        TFileSearch s;
        QCOMPARE(s.NextFile(), QString());
        QCOMPARE(s.FirstFile(dir.path(), "*.bmp"), dir.filePath("a1.bmp"));
        QVERIFY(s.Opened);
        QCOMPARE(s.Path, dir.path() + "/");
        QCOMPARE(s.FirstFile(dir.path(), "*.bmp"), dir.filePath("a1.bmp"));
        QCOMPARE(s.NextFile(), dir.filePath("a2.bmp"));
        QCOMPARE(s.NextFile(), QString());
        QCOMPARE(s.NextFile(), QString());
        QCOMPARE(s.FirstFile(dir.path(), "*.bmp"), dir.filePath("a1.bmp"));
        s.Close();
        QVERIFY(!s.Opened);
        QCOMPARE(s.NextFile(), QString());
        QCOMPARE(s.FirstFile(dir.filePath("absent"), "*.bmp"), QString());
        QVERIFY(!s.Opened);
    }

    void dossierCourant()
    {
        QTemporaryDir dir;
        QVERIFY(ecritOctets(dir.filePath("ici.jpg"), "x"));
        const QString avant = QDir::currentPath();
        QDir::setCurrent(dir.path());
        TFileSearch s;
        const QString f = s.FirstFile(QString(), "*.jpg");
        QDir::setCurrent(avant);
        QCOMPARE(f, QStringLiteral("./ici.jpg"));
    }
};

QTEST_GUILESS_MAIN(TstFileSearch)
#include "tst_filesearch.moc"

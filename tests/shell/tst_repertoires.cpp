#include "Registre.h"
#include "Repertoires.h"
#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// The folders against real settings files in a fresh home folder.
class TstRepertoires : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;
    QString h_;

private slots:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        h_ = home_->path();
        qputenv("HOME", h_.toLocal8Bit());
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "KINEXO_REGISTRE"})
            qunsetenv(v);
    }

    void sansReglages()
    {
        Repertoires r;
        r.lit();
        QCOMPARE(r.MesDocsDir, h_ + "/Documents/Tabulo/");
        QVERIFY(QFileInfo(r.MesDocsDir).isDir());
        QCOMPARE(r.appDataDir, h_ + "/.local/share/Tabulo/");
        QVERIFY(QFileInfo(r.appDataDir).isDir());
        QCOMPARE(r.fichierIni(), h_ + "/Documents/Tabulo/kinexo.INI");
        QCOMPARE(r.repertoireWav, h_ + "/Music/");
        QCOMPARE(r.repertoireAvi, r.MesDocsDir);
        QCOMPARE(r.repertoireBmpMeca, h_ + "/Pictures/");
        QCOMPARE(r.repertoireBmpOptique, h_ + "/Pictures/");
        QCOMPARE(r.repertoireVideoBmp, h_ + "/Videos/");
        QCOMPARE(r.repertoireTabulo, QString());
        QVERIFY(r.tamponDir.endsWith('/'));
        QVERIFY(r.systemDir.endsWith('/'));
        // Reading never creates the registry key.
        QVERIFY(!QFileInfo::exists(fichierRegistre()));
    }

    void precedence_data()
    {
        QTest::addColumn<QString>("partage");  // "" = no key in that place
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("registre");
        QTest::addColumn<QString>("attendu"); // "*" = the default
        QTest::newRow("aucun") << "" << "" << "" << "*";
        QTest::newRow("partagé") << "/p/wav/" << "" << "" << "/p/wav/";
        QTest::newRow("user bat partagé") << "/p/wav/" << "/u/wav/" << "" << "/u/wav/";
        QTest::newRow("registre bat tout") << "/p/wav/" << "/u/wav/" << "/r/wav/" << "/r/wav/";
        QTest::newRow("registre seul") << "" << "" << "/r/wav/" << "/r/wav/";
        QTest::newRow("vide gardé") << "/p/wav/" << "-" << "" << "";
        QTest::newRow("user illisible") << "/p/wav/" << "#" << "" << "/p/wav/";
    }

    void precedence()
    {
        QFETCH(QString, partage);
        QFETCH(QString, user);
        QFETCH(QString, registre);
        QFETCH(QString, attendu);
        const auto valeur = [](const QString& v) { return v == "-" ? QString() : v; };
        const QString docs = h_ + "/Documents/Tabulo/";
        const QString data = h_ + "/.local/share/Tabulo/";
        // Other keys stay untouched by the Wav layers.
        QVERIFY(ecritOctets(data + "kinexo.INI", "[Repertoire]\nVideo=/p/video/\n"
                                                 + (partage.isEmpty() ? QByteArray() : "Wav=" + partage.toUtf8() + "\n")));
        if (user == "#")
            QVERIFY(ecritOctets(docs + "kinexo.INI", QByteArray("\xff\xfe\x00[[Rep\x00\n=\x01\x02", 13)));
        else if (!user.isEmpty())
            QVERIFY(ecritOctets(docs + "kinexo.INI",
                                "[AVI]\nZoom=2\n[Repertoire]\nWav=" + valeur(user).toUtf8() + "\n"));
        if (!registre.isEmpty()) {
            QSettings s(fichierRegistre(), QSettings::IniFormat);
            s.setValue("Software/Tabulo/Path", "/opt/tabulo");
            s.setValue("Classes/Tabulo/Wav", registre);
        }
        Repertoires r;
        r.lit();
        QCOMPARE(r.repertoireWav, attendu == "*" ? h_ + "/Music/" : attendu);
        QCOMPARE(r.repertoireVideoBmp, QString("/p/video/"));
        QCOMPARE(r.repertoireAvi, docs);
    }

    void registreSansCleIgnore()
    {
        QSettings s(fichierRegistre(), QSettings::IniFormat);
        s.setValue("Software/Tabulo/Path", "/opt/tabulo");
        s.sync();
        Repertoires r;
        r.lit();
        QCOMPARE(r.repertoireWav, h_ + "/Music/");
        QCOMPARE(r.repertoireTabulo, QString());
    }

    void ecritureAuxTroisEndroits()
    {
        {
            Repertoires r;
            r.lit();
            r.repertoireWav = "/w/";
            r.repertoireAvi = "/a/";
            r.repertoireBmpMeca = "/m/";
            r.repertoireBmpOptique = "/o/";
            r.repertoireVideoBmp = "/v/";
            r.repertoireTabulo = ""; // cancelled: kept empty, not reset to a default
            r.ecrit();
        }
        const QString docs = h_ + "/Documents/Tabulo/kinexo.INI";
        const QString data = h_ + "/.local/share/Tabulo/kinexo.INI";
        for (const auto& [fichier, groupe] : {std::pair{docs, "Repertoire"}, std::pair{data, "Repertoire"},
                                             std::pair{fichierRegistre(), "Classes/Tabulo"}}) {
            QVERIFY2(QFileInfo::exists(fichier), qPrintable(fichier));
            QSettings s(fichier, QSettings::IniFormat);
            s.beginGroup(groupe);
            QCOMPARE(s.value("Wav").toString(), QString("/w/"));
            QCOMPARE(s.value("Avi").toString(), QString("/a/"));
            QCOMPARE(s.value("Mecanique").toString(), QString("/m/"));
            QCOMPARE(s.value("Optique").toString(), QString("/o/"));
            QCOMPARE(s.value("Video").toString(), QString("/v/"));
            QVERIFY(s.contains("Tabulo"));
            QCOMPARE(s.value("Tabulo").toString(), QString());
        }
        // The registry's other values are kept.
        Repertoires r;
        r.lit();
        QCOMPARE(r.repertoireBmpOptique, QString("/o/"));
        QCOMPARE(r.repertoireTabulo, QString());
    }

    void termineParSlash_data()
    {
        QTest::addColumn<QString>("entree");
        QTest::addColumn<QString>("sortie");
        QTest::newRow("vide") << "" << "";
        QTest::newRow("sans") << "/home/x/Vidéos" << "/home/x/Vidéos/";
        QTest::newRow("avec") << "/home/x/" << "/home/x/";
        QTest::newRow("racine") << "/" << "/";
    }

    void termineParSlash()
    {
        QFETCH(QString, entree);
        QFETCH(QString, sortie);
        QCOMPARE(Repertoires::termineParSlash(entree), sortie);
    }

    void departDuNavigateur()
    {
        Repertoires r;
        r.repertoireWav = h_ + "/disparu/";
        QCOMPARE(r.departNavigateur(Repertoires::Wav), r.MesDocsDir);
        QCOMPARE(r.repertoireWav, h_ + "/disparu/"); // stored value unchanged
        r.repertoireTabulo.clear();
        QCOMPARE(r.departNavigateur(Repertoires::Tabulo), r.MesDocsDir);
        QDir().mkpath(h_ + "/sons");
        r.choisi(Repertoires::Wav, h_ + "/sons");
        QCOMPARE(r.repertoireWav, h_ + "/sons/");
        QCOMPARE(r.departNavigateur(Repertoires::Wav), h_ + "/sons/");
    }
};

QTEST_GUILESS_MAIN(TstRepertoires)
#include "tst_repertoires.moc"

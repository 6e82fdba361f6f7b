#include "FichierIni.h"
#include "TestSupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<absent>");
}

// Runs `f` with writes limited to `octets` bytes per file, as a full disk or a quota would.
template <class F> auto avecLimite(rlim_t octets, F f)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit ancienne{};
    getrlimit(RLIMIT_FSIZE, &ancienne);
    rlimit petite = ancienne;
    petite.rlim_cur = octets;
    setrlimit(RLIMIT_FSIZE, &petite);
    auto r = f();
    setrlimit(RLIMIT_FSIZE, &ancienne);
    return r;
}

} // namespace

class TestFichierIni : public QObject
{
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void allerRetour()
    {
        const QString chemin = dir_.path() + "/nouveau/sous/kinexo.INI";
        {
            FichierIni ini(chemin);
            QVERIFY(!ini.lisible());
            ini->setValue("AVI/Zoom", 3);
            ini->setValue("Repertoire/Wav", "/home/élève/Musique/");
            QVERIFY(ini.enregistre());
        }
        FichierIni relu(chemin);
        QVERIFY(relu.lisible());
        QCOMPARE(relu->value("AVI/Zoom").toInt(), 3);
        QCOMPARE(relu->value("Repertoire/Wav").toString(), QString("/home/élève/Musique/"));
        // Nothing changed: the file is left as it is.
        const QByteArray avant = lit(chemin);
        QVERIFY(relu.enregistre());
        QCOMPARE(lit(chemin), avant);
    }

    void autresSectionsGardees()
    {
        const QString chemin = dir_.path() + "/garde.INI";
        QVERIFY(ecritOctets(chemin, "[Optique]\nGamma=1.5\n\n[BMP]\nCouleur=3\n"));
        FichierIni ini(chemin);
        ini->setValue("BMP/Couleur", 5);
        QVERIFY(ini.enregistre());
        QSettings s(chemin, QSettings::IniFormat);
        QCOMPARE(s.value("Optique/Gamma").toString(), QString("1.5"));
        QCOMPARE(s.value("BMP/Couleur").toInt(), 5);
    }

    void ecritureCoupeeLaisseLAncien()
    {
        const QString chemin = dir_.path() + "/coupe.INI";
        {
            FichierIni ini(chemin);
            for (int i = 0; i < 300; ++i)
                ini->setValue(QString("Section%1/Cle").arg(i), QString("valeur %1").arg(i));
            QVERIFY(ini.enregistre());
        }
        const QByteArray avant = lit(chemin);
        QVERIFY(avant.size() > 4000);

        FichierIni ini(chemin);
        ini->setValue("Section0/Cle", "changée");
        ini->setValue("Nouvelle/Cle", "ajoutée");
        QVERIFY(!avecLimite(2048, [&] { return ini.enregistre(); }));
        QCOMPARE(lit(chemin), avant);
        // Once space is back, the same object writes everything.
        QVERIFY(ini.enregistre());
        QSettings s(chemin, QSettings::IniFormat);
        QCOMPARE(s.value("Section0/Cle").toString(), QString("changée"));
        QCOMPARE(s.value("Section299/Cle").toString(), QString("valeur 299"));
    }

    void dossierImpossible()
    {
        // A file stands where the folder should be: the write fails and says so.
        QVERIFY(ecritOctets(dir_.path() + "/fichier", "x"));
        FichierIni ini(dir_.path() + "/fichier/k.INI");
        ini->setValue("A/b", 2);
        QVERIFY(!ini.enregistre());
        QCOMPARE(lit(dir_.path() + "/fichier"), QByteArray("x"));
    }
};

QTEST_MAIN(TestFichierIni)
#include "tst_fichierini.moc"

#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TableVideo.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "Transfert.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QMessageBox>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

class TestTransfert : public QObject
{
    Q_OBJECT
private:
    static QByteArray lit(const QString& chemin)
    {
        QFile f(chemin);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<illisible>");
    }

    static ExchangeText petiteTable()
    {
        ExchangeText t;
        t.addFields({"t", "x", "y"});
        t.addFields({"s", "m", "m"});
        t.addFields({TexteNombre(0), TexteNombre(1.0 / 123), TexteNombre(-2.0 / 123)});
        return t;
    }

    // Chooses `chemin` in the next save dialog.
    static void choisit(const QString& chemin)
    {
        quandModal<QFileDialog>([chemin](QFileDialog* fd) {
            fd->selectFile(chemin);
            static_cast<QDialog*>(fd)->done(QDialog::Accepted);
        });
    }

private slots:
    void init() { setSeparateurDecimal('.'); }

    void workedExample()
    {
        TestHost host;
        TConstanteDlg& dlg = host.transfert().constanteDlg();
        dlg.EditComm->setText("chute libre");
        const TableVideo v = TableVideo::exemple();
        const QString attendu = QCoreApplication::applicationFilePath() + "\r\n"
            "Acquisition par kinexo\r\n"
            "chute libre\r\n"
            "t\tx\ty\r\n"
            "s\tm\tm\r\n"
            "0\t0.00813008\t-0.0162602\r\n"
            "0.04\t0.0243902\t-0.00813008\r\n"
            "0.08\t0.0406504\t0.00813008\r\n"
            "0.12\t0.0569106\t0.0325203\r\n"
            "&4 INCERT\r\n"
            "0.0004\t0.00813008\t0.00813008\r\n"
            "0.0004\t0.00813008\t0.00813008\r\n"
            "0.0004\t0.00813008\t0.00813008\r\n"
            "0.0004\t0.00813008\t0.00813008\r\n"
            "&1 NOMX\r\nx\r\n&1 NOMY\r\ny\r\n&1 ORTHO\r\n1\r\n"
            "&1 FICHIER\r\n/home/eleve/videos/chute.avi\r\n";
        QCOMPARE(host.transfert().construit(Destination::Tabulo, v.source()).toText(), attendu);
    }

    void newPageKeepsLineTwoAndOnlyUncertainty()
    {
        TestHost host;
        host.transfert().constanteDlg().setNouvellePage();
        const QStringList l =
            host.transfert().construit(Destination::Tabulo, TableVideo::exemple().source()).toStrings();
        QCOMPARE(l.size(), 3 + 2 + 4 + 5);
        QCOMPARE(l[1], QString());
        QCOMPARE(l[9], QString("&4 INCERT"));
        for (const char* mot : {"NOMX", "NOMY", "ORTHO", "FICHIER"})
            QVERIFY(!l.join('\n').contains(mot));
    }

    void constantBlock_data()
    {
        QTest::addColumn<QString>("symbole");
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QStringList>("bloc");
        QTest::newRow("named") << "g" << "9,81" << QStringList{"", "g\t", "m/s2\t", "9.81\t"};
        QTest::newRow("empty symbol") << "" << "9.81" << QStringList{};
        QTest::newRow("unreadable value") << "g" << "neuf" << QStringList{};
    }
    void constantBlock()
    {
        QFETCH(QString, symbole);
        QFETCH(QString, valeur);
        QFETCH(QStringList, bloc);
        TestHost host;
        TConstanteDlg& dlg = host.transfert().constanteDlg();
        dlg.NomConstEdit->setText(symbole);
        dlg.UniteConstEdit->setText("m/s2");
        dlg.ValeurConstEdit->setText(valeur);
        const QStringList l =
            host.transfert().construit(Destination::Tabulo, TableVideo::exemple().source()).toStrings();
        // Constant block between the last data row and the uncertainty section.
        const int incert = int(l.indexOf("&4 INCERT"));
        QCOMPARE(l.mid(9, incert - 9), bloc);
    }

    void threePointsPerImage()
    {
        TableVideo v;
        v.temps = {0, 0.1};
        v.points = {{{1, 2}, {3, 4}, {5, 6}}, {{1.5, 2}, {3.5, 4}, {5.5, 6}}};
        TestHost host;
        const ExchangeText t = host.transfert().construit(Destination::PressePapiers, v.source());
        QCOMPARE(t.lines()[0], QStringList({"t", "x1", "y1", "x2", "y2", "x3", "y3"}));
        QCOMPARE(t.lines()[1], QStringList({"s", "m", "m", "m", "m", "m", "m"}));
        QCOMPARE(t.lines()[3], QStringList({"0.1", "1.5", "2", "3.5", "4", "5.5", "6"}));
    }

    // Where the analysis program is looked for: the launcher's folder, then the registry values.
    void majTabulo_data()
    {
        QTest::addColumn<QString>("repertoire");
        QTest::addColumn<QStringList>("registre");   // key=value
        QTest::addColumn<QString>("attendu");        // "@" = the temporary folder
        QTest::newRow("folder, trailing slash") << "/opt/tabulo/" << QStringList{"Software/Tabulo/Path=/x/t"}
                                                << "/opt/tabulo/tabulo";
        QTest::newRow("user value") << "" << QStringList{"Software/Tabulo/Path=/x/tab"} << "/x/tab";
        QTest::newRow("user value is a folder") << "" << QStringList{"Software/Tabulo/Path=@"} << "@/tabulo";
        QTest::newRow("empty user value, second key")
            << "" << QStringList{"Software/Tabulo/Path=", "Software/Tabulo/Tabulo/Path=/y/tab"} << "/y/tab";
        QTest::newRow("second key ignored when the first is set")
            << "" << QStringList{"Software/Tabulo/Path=/x/tab", "Software/Tabulo/Tabulo/Path=/y/tab"} << "/x/tab";
    }
    void majTabulo()
    {
        QFETCH(QString, repertoire);
        QFETCH(QStringList, registre);
        QFETCH(QString, attendu);
        QTemporaryDir dir;
        const QString ini = dir.filePath("registre.ini");
        {
            QSettings s(ini, QSettings::IniFormat);
            for (const QString& kv : registre)
                s.setValue(kv.section('=', 0, 0), kv.section('=', 1).replace("@", dir.path()));
        }
        qputenv("KINEXO_REGISTRE", ini.toUtf8());
        TFormDDE dde;
        dde.MajTabulo(repertoire);
        qunsetenv("KINEXO_REGISTRE");
        QCOMPARE(dde.AppName, attendu.replace("@", dir.path()));
    }

    // Nothing set anywhere: the stand-in beside the program when there is one, else by name.
    void majTabuloFreshMachine()
    {
        QTemporaryDir dir;
        qputenv("KINEXO_REGISTRE", dir.filePath("absent.ini").toUtf8());
        TFormDDE dde;
        qunsetenv("KINEXO_REGISTRE");
        const QString voisin = QCoreApplication::applicationDirPath() + "/tabulo";
        QCOMPARE(dde.AppName, QFileInfo(voisin).isExecutable() ? voisin : QString("tabulo"));
    }

    void dialogLayout()
    {
        TConstanteDlg dlg;
        QCOMPARE(dlg.windowTitle(), QString("Renseignements sur la page courante"));
        QCOMPARE(dlg.NomConstEdit->maxLength(), 8);
        QCOMPARE(dlg.NewPageCB->count(), 2);
        QCOMPARE(dlg.NewPageCB->itemText(0), QString("Nouveau fichier"));
        QCOMPARE(dlg.NewPageCB->itemText(1), QString("Nouvelle page"));
        QVERIFY(dlg.nouveauFichier());
        const QString png = qEnvironmentVariable("KINEXO_SCREENSHOTS");
        if (!png.isEmpty()) {
            dlg.show();
            dlg.grab().save(png + "/TConstanteDlg.png");
        }
    }

    // The clipboard destination asks for the page, omits the analysis-program lines and still
    // switches the dialog; cancelling leaves everything as it was.
    void clipboardDestination()
    {
        TestHost host;
        Transfert& tr = host.transfert();
        const TableVideo v = TableVideo::exemple();
        int avant = 0;
        TableSource s = v.source();
        s.avant = [&] { ++avant; };
        QGuiApplication::clipboard()->setText("ancien");

        quandModal<TConstanteDlg>([](TConstanteDlg* d) { d->reject(); });
        QVERIFY(!tr.envoie(nullptr, Destination::PressePapiers, s));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("ancien"));
        QVERIFY(tr.constanteDlg().nouveauFichier());
        QCOMPARE(avant, 0);

        quandModal<TConstanteDlg>([](TConstanteDlg* d) {
            d->EditComm->setText("ignoré");
            d->accept();
        });
        QVERIFY(tr.envoie(nullptr, Destination::PressePapiers, s));
        QCOMPARE(avant, 1);
        const QString texte = QGuiApplication::clipboard()->text();
        QVERIFY(texte.startsWith("t\tx\ty\r\ns\tm\tm\r\n0\t0.00813008\t-0.0162602\r\n"));
        QVERIFY(texte.endsWith("0.12\t0.0569106\t0.0325203\r\n"));
        QVERIFY(!tr.constanteDlg().nouveauFichier());
        QCOMPARE(tr.constanteDlg().commentaire(), QString("ignoré"));   // kept between transfers
    }

    void tableFile_data()
    {
        QTest::addColumn<QChar>("decimal");
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QByteArray>("attendu");
        QTest::newRow("csv, point") << QChar('.') << "a.csv"
            << QByteArray("t,x,y\r\ns,m,m\r\n0,0.00813008,-0.0162602\r\n");
        QTest::newRow("CSV, comma") << QChar(',') << "a.CSV"
            << QByteArray("t;x;y\r\ns;m;m\r\n0;0,00813008;-0,0162602\r\n");
        QTest::newRow("txt, point") << QChar('.') << "a.txt"
            << QByteArray("t\tx\ty\r\ns\tm\tm\r\n0\t0.00813008\t-0.0162602\r\n");
        QTest::newRow("txt, comma") << QChar(',') << "a.txt"
            << QByteArray("t\tx\ty\r\ns\tm\tm\r\n0\t0,00813008\t-0,0162602\r\n");
    }
    void tableFile()
    {
        QFETCH(QChar, decimal);
        QFETCH(QString, nom);
        QFETCH(QByteArray, attendu);
        setSeparateurDecimal(decimal);
        QTemporaryDir dir;
        const QString chemin = dir.filePath(nom);
        QVERIFY(Transfert::ecritTable(chemin, petiteTable()));
        QCOMPARE(lit(chemin), attendu);
    }

    // The file destination: no dialog of page, only the table (no path, comment, constant or
    // section), default suffix txt; a failed write is reported and leaves the old file whole.
    void saveThroughDialog()
    {
        TestHost host;
        host.transfert().constanteDlg().NomConstEdit->setText("g");
        host.transfert().constanteDlg().ValeurConstEdit->setText("9.81");
        TableVideo v = TableVideo::exemple();
        int avant = 0;
        TableSource s = v.source();
        s.avant = [&] { ++avant; };

        choisit(host.racine() + "mesures");
        QVERIFY(host.transfert().sauve(nullptr, host.racine(), s));
        QCOMPARE(avant, 1);
        const QByteArray ecrit = lit(host.racine() + "mesures.txt");
        QVERIFY(ecrit.startsWith("t\tx\ty\r\ns\tm\tm\r\n0\t0.00813008\t-0.0162602\r\n"));
        QVERIFY(ecrit.endsWith("0.12\t0.0569106\t0.0325203\r\n"));
        QCOMPARE(ecrit.count('\n'), 6);

        // The write fails part way (file size limit): message, and the earlier file is intact.
        const QString chemin = host.racine() + "mesures.csv";
        QVERIFY(ecritOctets(chemin, "ancien"));
        choisit(chemin);
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit ancienne{};
        getrlimit(RLIMIT_FSIZE, &ancienne);
        rlimit petite = ancienne;
        petite.rlim_cur = 20;
        setrlimit(RLIMIT_FSIZE, &petite);
        const bool ok = host.transfert().sauve(nullptr, host.racine(), s);
        setrlimit(RLIMIT_FSIZE, &ancienne);
        QVERIFY(!ok);
        QCOMPARE(message, QString("Erreur d'écriture"));
        QCOMPARE(lit(chemin), QByteArray("ancien"));

        // Cancelled: nothing written, nothing run.
        quandModal<QFileDialog>([](QFileDialog* fd) { fd->reject(); });
        QVERIFY(!host.transfert().sauve(nullptr, host.racine(), s));
        QCOMPARE(avant, 2);
    }
};

QTEST_MAIN(TestTransfert)
#include "tst_transfert.moc"

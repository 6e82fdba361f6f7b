// What the stand-in analysis program makes of the lines of a conversation, with a clipboard
// whose successive readings the test gives.
#include "ControleTransfert.h"
#include "NumberText.h"
#include "ReceptionTabulo.h"

#include <QtTest>

namespace {
const QString kEchange = QStringLiteral(
    "/usr/bin/kinexo\r\nAcquisition à fech=44100 Hz\r\n\r\nt\ts\r\ns\t\r\n"
    "0\t0\r\n2.267574e-05\t565\r\n4.535147e-05\t1127\r\n6.802721e-05\t1684\r\n"
    "&1 NOMX\r\nt\r\n&1 NOMY\r\ns\r\n");
// The same table copied for a spreadsheet: read as an exchange text, its third and fourth
// rows would be the names and units of a page.
const QString kCopie = QStringLiteral(
    "t\ts\r\ns\t\r\n0\t0\r\n2.267574e-05\t565\r\n4.535147e-05\t1127\r\n6.802721e-05\t1684\r\n");
const QString kAutreEchange = QString(kEchange).replace("1684", "1685");
}

class TestReceptionTabulo : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    // One command after an optional control line, the clipboard reading `lectures` in turn
    // (the last one from then on).
    void commandAfterControl_data()
    {
        QTest::addColumn<QString>("annonce");   // text announced, null for none
        QTest::addColumn<QStringList>("lectures");
        QTest::addColumn<bool>("page");
        QTest::addColumn<int>("lus");   // readings made, -1 when it does not matter
        QTest::newRow("plain command, exchange text") << QString() << QStringList{kEchange} << true << 1;
        QTest::newRow("plain command, copied table") << QString() << QStringList{kCopie} << false << 1;
        QTest::newRow("plain command, Windows path") << QString()
            << QStringList{QString(kEchange).replace("/usr/bin/kinexo", "C:\\Kinexo\\kinexo.exe")} << true << 1;
        QTest::newRow("announced and found") << kEchange << QStringList{kEchange} << true << 1;
        QTest::newRow("announced, the copy found") << kEchange << QStringList{kCopie} << false << -1;
        QTest::newRow("announced, another whole text found") << kEchange << QStringList{kAutreEchange} << false << -1;
        QTest::newRow("announced, found once the owner serves it")
            << kEchange << QStringList{kCopie, QString(), kEchange} << true << 3;
        QTest::newRow("announced copy is still no page") << kCopie << QStringList{kCopie} << false << 1;
    }

    void commandAfterControl()
    {
        QFETCH(QString, annonce);
        QFETCH(QStringList, lectures);
        QFETCH(bool, page);
        QFETCH(int, lus);
        ReceptionTabulo r;
        r.attenteMs = 300;
        r.intervalleMs = 5;
        int n = 0;
        r.lisPressePapiers = [&] { return lectures[qMin(n++, int(lectures.size()) - 1)]; };
        if (!annonce.isNull()) {
            const ReceptionTabulo::Resultat c = r.traite(ControleTransfert::pour(annonce).ligne(), 7);
            QVERIFY(c.ok && !c.commande && !c.page);
            QCOMPARE(n, 0);
        }
        const ReceptionTabulo::Resultat res = r.traite("CLIP|ADD", 7);
        QVERIFY(res.commande);
        QVERIFY(!res.charge);
        QCOMPARE(res.ok, page);
        QCOMPARE(bool(res.page), page);
        QVERIFY(page == res.erreur.isEmpty());
        if (page)
            QCOMPARE(res.page->noms, QStringList({"t", "s"}));
        if (lus >= 0)
            QCOMPARE(n, lus);
        else
            QVERIFY(n > 1);   // read again before refusing
    }

    // Announcements belong to their conversation and serve once.
    void announcementsPerConversation()
    {
        ReceptionTabulo r;
        r.attenteMs = 100;
        r.intervalleMs = 5;
        QString presse = kEchange;
        r.lisPressePapiers = [&] { return presse; };
        const QString controle = ControleTransfert::pour(kEchange).ligne();
        QVERIFY(r.traite(controle, 1).ok);
        // Another conversation's command is checked as a plain one: the copy is refused.
        presse = kCopie;
        QVERIFY(!r.traite("CLIP|LOAD", 2).ok);
        presse = kEchange;
        const auto load = r.traite("CLIP|LOAD", 1);
        QVERIFY(load.ok && load.charge);
        // The same announcement again (a repeated command) adds nothing.
        QVERIFY(r.traite(controle, 1).ok);
        const auto encore = r.traite("CLIP|ADD", 1);
        QVERIFY(!encore.ok && !encore.page);
        // A fresh one for the same text does.
        QVERIFY(r.traite(ControleTransfert::pour(kEchange).ligne(), 1).ok);
        QVERIFY(r.traite("CLIP|ADD", 1).ok);
        // Unknown lines and damaged control lines are refused and are no command.
        for (const QString& l : {QString("CLIP|EFFACE"), QString("CONTROLE 12"), controle.left(controle.size() - 1)}) {
            const auto x = r.traite(l, 1);
            QVERIFY2(!x.ok && !x.commande, qPrintable(l));
        }
    }

    void controlLine()
    {
        const ControleTransfert a = ControleTransfert::pour(kEchange);
        const ControleTransfert b = ControleTransfert::pour(kEchange);
        QVERIFY(a.jeton != b.jeton);
        QCOMPARE(a.empreinte, b.empreinte);
        const auto lu = ControleTransfert::lis(a.ligne());
        QVERIFY(lu);
        QCOMPARE(lu->jeton, a.jeton);
        QVERIFY(lu->correspond(kEchange));
        QVERIFY(!lu->correspond(kAutreEchange));
        QVERIFY(!lu->correspond(QString(kEchange).chopped(2)));   // a text cut short
    }
};

QTEST_MAIN(TestReceptionTabulo)
#include "tst_receptiontabulo.moc"

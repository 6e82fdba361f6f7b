// Transfers to the real stand-in analysis program, started by path, sharing the clipboard
// through an X display (the test display, or a private Xvfb when there is none).
#include "Conversation.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TableVideo.h"
#include "TestHost.h"
#include "Transfert.h"

#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/prctl.h>

namespace {
QProcess* g_xvfb = nullptr;

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestTabuloBout : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dump;
    TestHost m_host;

    QString journal() const { return QString::fromUtf8(lit(m_dump.filePath("journal.txt"))); }

    static void accepte(const QString& commentaire = QString())
    {
        quandModal<TConstanteDlg>([commentaire](TConstanteDlg* d) {
            if (!commentaire.isNull())
                d->EditComm->setText(commentaire);
            d->accept();
        });
    }

    void arreteTabulo()
    {
        for (qint64 pid : m_host.transfert().formDDE().pidsLances)
            ::kill(pid_t(pid), SIGTERM);
        m_host.transfert().formDDE().pidsLances.clear();
        attendSans([] { return !verrouTenu("Tabulo"); }, 5000);
    }

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a shared clipboard (Xvfb missing)");
        QVERIFY(m_dump.isValid());
        qputenv("KINEXO_TABULO_DUMP", m_dump.path().toUtf8());
        QVERIFY(!verrouTenu("Tabulo"));
        m_host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
    }

    void cleanupTestCase() { arreteTabulo(); }

    // Not running: started by path, gets exactly the clipboard text, answers; then a new page.
    void startsThenAddsPage()
    {
        Transfert& tr = m_host.transfert();
        const TableVideo v = TableVideo::exemple();
        accepte("premier essai");
        QVERIFY(tr.envoie(nullptr, Destination::Tabulo, v.source()));
        const QString premier = QGuiApplication::clipboard()->text();
        QVERIFY(premier.contains("\r\nAcquisition par kinexo\r\npremier essai\r\nt\tx\ty\r\n"));
        QCOMPARE(lit(m_dump.filePath("1.txt")), premier.toUtf8());
        QCOMPARE(journal(), QString("1 CLIP|LOAD OK 1\n"));
        QVERIFY(verrouTenu("Tabulo"));
        QVERIFY(!tr.constanteDlg().nouveauFichier());

        accepte();
        QVERIFY(tr.envoie(nullptr, Destination::Tabulo, v.source()));
        const QString second = QGuiApplication::clipboard()->text();
        QCOMPARE(second.split("\r\n")[1], QString());
        QCOMPARE(lit(m_dump.filePath("2.txt")), second.toUtf8());
        QCOMPARE(journal(), QString("1 CLIP|LOAD OK 1\n2 CLIP|ADD OK 2\n"));
        QCOMPARE(tr.formDDE().pidsLances.size(), 1);   // found running the second time
    }

    // Text the analysis program cannot read is refused, and said so.
    void refusedCommand()
    {
        Transfert& tr = m_host.transfert();
        TableSource s;
        s.table = [](ExchangeText& t) {
            t.addFields({"t", "x"});
            t.addFields({"s", "m"});
            t.addFields({"0"});
        };
        accepte();
        auto texte = std::make_shared<QString>();
        quandModal<QMessageBox>([texte](QMessageBox* m) {
            *texte = m->text();
            m->accept();
        });
        QVERIFY(!tr.envoie(nullptr, Destination::Tabulo, s));
        QCOMPARE(*texte, QString("Transfert non exécuté"));
        QVERIFY(journal().endsWith("3 CLIP|ADD ERREUR 2\n"));
        QVERIFY(QGuiApplication::clipboard()->text().endsWith("t\tx\r\ns\tm\r\n0\r\n"));

        ConversationClient c;   // a command it does not know
        QVERIFY(c.ouvre("Tabulo", "ServeurDDE"));
        QCOMPARE(c.commande("CLIP|EFFACE"), ConversationClient::Refusee);
    }

    // Missing program: reported after the retry, the text stays on the clipboard, and the
    // dialog still turns to "Nouvelle page".
    void missingProgram()
    {
        arreteTabulo();
        QVERIFY(!verrouTenu("Tabulo"));
        Transfert& tr = m_host.transfert();
        tr.formDDE().AppName = m_dump.filePath("absent/tabulo");
        tr.constanteDlg().NewPageCB->setCurrentIndex(0);
        accepte("perdu");
        auto texte = std::make_shared<QString>();
        quandModal<QMessageBox>([texte](QMessageBox* m) {
            *texte = m->text();
            m->accept();
        });
        const TableVideo v = TableVideo::exemple();
        TableSource s = v.source();
        QString attendu;
        s.avant = [&] { attendu = tr.construit(Destination::Tabulo, v.source()).toText(); };
        QVERIFY(!tr.envoie(nullptr, Destination::Tabulo, s));
        QCOMPARE(*texte, QString("Impossible de lancer Tabulo"));
        QVERIFY(attendu.contains("Acquisition par kinexo\r\nperdu\r\n"));
        QCOMPARE(QGuiApplication::clipboard()->text(), attendu);
        QVERIFY(!tr.constanteDlg().nouveauFichier());
        QCOMPARE(tr.formDDE().pidsLances.size(), 0);
    }
};

int main(int argc, char** argv)
{
    QByteArray display = qgetenv("KINEXO_TEST_DISPLAY");
    if (display.isEmpty() && !QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        const int n = 500 + int(QCoreApplication::applicationPid() % 400);
        g_xvfb = new QProcess;
        // Dies with us even if we crash; the stand-in then loses its display and ends too.
        g_xvfb->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        g_xvfb->start("Xvfb", {QString(":%1").arg(n), "-screen", "0", "800x600x24", "-nolisten", "tcp"});
        const QString socket = QString("/tmp/.X11-unix/X%1").arg(n);
        for (int i = 0; i < 100 && !QFile::exists(socket); ++i)
            QThread::msleep(50);
        if (QFile::exists(socket))
            display = ":" + QByteArray::number(n);
    }
    if (!display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", display);
    } else {
        qunsetenv("DISPLAY");
    }
    qputenv("KINEXO_CONVERSATION_ID", "bout-" + QByteArray::number(QCoreApplication::applicationPid()));
    int rc = 0;
    {
        QApplication app(argc, argv);
        setSeparateurDecimal('.');
        TestTabuloBout t;
        rc = QTest::qExec(&t, argc, argv);
    }
    if (g_xvfb) {
        g_xvfb->terminate();
        g_xvfb->waitForFinished(3000);
        delete g_xvfb;
    }
    return rc;
}

#include "tst_tabulo_bout.moc"

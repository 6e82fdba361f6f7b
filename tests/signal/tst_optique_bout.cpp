// The profile sent to the real stand-in analysis program, which must read it as a page.
#include "CameraFactice.h"
#include "Conversation.h"
#include "NumberText.h"
#include "OptiqueMain.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TestHost.h"

#include <QClipboard>
#include <QFile>
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

class TestOptiqueBout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dump;
    TestHost m_host;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a shared clipboard (Xvfb missing)");
        qputenv("KINEXO_TABULO_DUMP", m_dump.path().toUtf8());
        QVERIFY(!verrouTenu("Tabulo"));
        m_host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
    }

    void cleanupTestCase()
    {
        for (qint64 pid : m_host.transfert().formDDE().pidsLances)
            ::kill(pid_t(pid), SIGTERM);
    }

    void profileBecomesAPage()
    {
        TOptiqueForm f(m_host, std::make_unique<CameraFactice>());
        QImage im(40, 20, QImage::Format_RGB888);
        for (int x = 0; x < 40; ++x)
            for (int y = 0; y < 20; ++y)
                im.setPixel(x, y, qRgb(6 * x, 3 * x, 40));
        const QString chemin = m_host.racine() + "franges.png";
        QVERIFY(im.save(chemin));
        QVERIFY(f.ChargeFichier(chemin));
        quandModal<TConstanteDlg>([](TConstanteDlg* d) {
            d->EditComm->setText("fente");
            d->accept();
        });
        f.action("Tabulo")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dump.filePath("journal.txt")), 10000);
        QCOMPARE(QString::fromUtf8(lit(m_dump.filePath("journal.txt"))), QString("1 CLIP|LOAD OK 1\n"));
        const QString texte = QGuiApplication::clipboard()->text();
        QCOMPARE(lit(m_dump.filePath("1.txt")), texte.toUtf8());
        QVERIFY(texte.contains("\r\n\r\nfente\r\nx\tI\r\nm\t\t\t\t\r\nDistance\tIntensité relative\tbleu\trouge\tvert\r\n"));
        QVERIFY(texte.endsWith("&1 FICHIER\r\n" + chemin + "\r\n"));
        QVERIFY(!m_host.transfert().constanteDlg().nouveauFichier());
    }
};

int main(int argc, char** argv)
{
    QByteArray display = qgetenv("KINEXO_TEST_DISPLAY");
    if (display.isEmpty() && !QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        const int n = 500 + int(QCoreApplication::applicationPid() % 400);
        g_xvfb = new QProcess;
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
    qputenv("KINEXO_CONVERSATION_ID", "optique-" + QByteArray::number(QCoreApplication::applicationPid()));
    int rc = 0;
    {
        QApplication app(argc, argv);
        setSeparateurDecimal('.');
        TestOptiqueBout t;
        rc = QTest::qExec(&t, argc, argv);
    }
    if (g_xvfb) {
        g_xvfb->terminate();
        g_xvfb->waitForFinished(3000);
        delete g_xvfb;
    }
    return rc;
}

#include "tst_optique_bout.moc"

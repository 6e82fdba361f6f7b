// The sound tool's transfers to the real stand-in analysis program, mixed with copies to the
// clipboard alone: every page the program gets is a whole exchange text, never a copy meant
// for a spreadsheet read as a page.
#include "Conversation.h"
#include "FakeSound.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TestHost.h"
#include "TransferButton.h"
#include "Transfert.h"
#include "WavMain.h"

#include <QClipboard>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <csignal>
#include <cmath>
#include <sys/prctl.h>

namespace {
QProcess* g_xvfb = nullptr;

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray wav16(int trames, int freq)
{
    QByteArray d(trames * 2, '\0');
    for (int i = 0; i < trames; ++i)
        qToLittleEndian<qint16>(qint16(std::lround(9000 * std::sin(2 * M_PI * 440 * i / freq))), d.data() + 2 * i);
    QByteArray h(44, '\0');
    auto u32 = [&h](int at, quint32 v) { qToLittleEndian<quint32>(v, h.data() + at); };
    auto u16 = [&h](int at, quint16 v) { qToLittleEndian<quint16>(v, h.data() + at); };
    h.replace(0, 4, "RIFF");
    u32(4, quint32(36 + d.size()));
    h.replace(8, 8, "WAVEfmt ");
    u32(16, 16);
    u16(20, 1);
    u16(22, 1);
    u32(24, quint32(freq));
    u32(28, quint32(freq * 2));
    u16(32, 2);
    u16(34, 16);
    h.replace(36, 4, "data");
    u32(40, quint32(d.size()));
    return h + d;
}
} // namespace

class TestWavTabulo : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dump;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a shared clipboard (Xvfb missing)");
        QVERIFY(m_dump.isValid());
        qputenv("KINEXO_TABULO_DUMP", m_dump.path().toUtf8());
        QVERIFY(!verrouTenu("Tabulo"));
    }

    void copiesNeverBecomePages()
    {
        TestHost host;
        host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
        TWaveForm form(host);
        form.setSoundDevices(std::make_unique<FakePlayer>(), std::make_unique<FakeRecorder>(), {});
        QStringList messages;
        form.message = [&messages](const QString& t) { messages << t; };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString chemin = host.racine() + "la.wav";
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(wav16(44100, 44100));
        f.close();
        form.litWav(chemin);
        QVERIFY(form.TabuloBtn->isEnabled());
        QStringList attendus;   // what the program must have read, command by command
        int pages = 0;
        // The first copy goes to the clipboard while the program is not running yet.
        for (const Destination d : {Destination::PressePapiers, Destination::Tabulo, Destination::PressePapiers,
                                    Destination::Tabulo, Destination::PressePapiers, Destination::PressePapiers,
                                    Destination::Tabulo}) {
            form.TabuloBtn->setDestination(d);
            quandModal<TConstanteDlg>([](TConstanteDlg* dlg) { dlg->accept(); });
            auto boite = std::make_shared<QString>();
            quandModal<QMessageBox>([boite](QMessageBox* m) {
                *boite = m->text();
                m->accept();
            });
            form.TabuloBtn->click();
            QVERIFY2(boite->isEmpty(), qPrintable(*boite));
            const QString texte = QGuiApplication::clipboard()->text();
            if (d == Destination::Tabulo) {
                attendus << texte;
                ++pages;
            } else {
                QVERIFY(texte.startsWith("t\ts\r\ns\t\r\n0\t0\r\n"));
            }
            // Whatever the program does later, it has read exactly the transfers meant for it.
            QTest::qWait(300);
            const QStringList journal = QString::fromUtf8(lit(m_dump.filePath("journal.txt"))).split('\n', Qt::SkipEmptyParts);
            QCOMPARE(journal.size(), attendus.size());
            if (!journal.isEmpty())
                QVERIFY2(journal.last().endsWith(QStringLiteral(" OK %1").arg(pages)), qPrintable(journal.last()));
            for (int i = 0; i < attendus.size(); ++i)
                QCOMPARE(QString::fromUtf8(lit(m_dump.filePath(QStringLiteral("%1.txt").arg(i + 1)))), attendus[i]);
        }
        form.close();
        for (qint64 pid : host.transfert().formDDE().pidsLances)
            ::kill(pid_t(pid), SIGTERM);
        attendSans([] { return !verrouTenu("Tabulo"); }, 5000);
    }
};

int main(int argc, char** argv)
{
    QByteArray display = qgetenv("KINEXO_TEST_DISPLAY");
    if (display.isEmpty() && !QStandardPaths::findExecutable("Xvfb").isEmpty()) {
        const int n = 500 + int(QCoreApplication::applicationPid() % 400);
        g_xvfb = new QProcess;
        g_xvfb->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        g_xvfb->start("Xvfb", {QString(":%1").arg(n), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
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
    qputenv("KINEXO_CONVERSATION_ID", "son-" + QByteArray::number(QCoreApplication::applicationPid()));
    int rc = 0;
    {
        QApplication app(argc, argv);
        setSeparateurDecimal('.');
        TestWavTabulo t;
        rc = QTest::qExec(&t, argc, argv);
    }
    if (g_xvfb) {
        g_xvfb->terminate();
        g_xvfb->waitForFinished(3000);
        delete g_xvfb;
    }
    return rc;
}

#include "tst_wavtabulo.moc"

// The sound tool's transfers to the real stand-in analysis program, mixed with copies to the
// clipboard alone: every page the program gets is a whole exchange text, never a copy meant
// for a spreadsheet read as a page, even when the program reads a command late or another
// program takes the clipboard between the copy and the read.
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
#include <QSocketNotifier>
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

// Texts of the message boxes shown while it filters the application's events.
struct BoitesVues : QObject
{
    QStringList textes;
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show)
            if (auto* m = qobject_cast<QMessageBox*>(o))
                textes << m->text();
        return false;
    }
};

// As a clipboard manager or any other program does: takes the clipboard with the text of a
// file and keeps it until stdin closes. Run as this test program with --tient FILE.
int tientPressePapiers(int argc, char** argv)
{
    QApplication app(argc, argv);
    QFile f(QString::fromLocal8Bit(argv[2]));
    if (!f.open(QIODevice::ReadOnly))
        return 2;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(f.readAll()));
    QFile sortie;
    sortie.open(stdout, QIODevice::WriteOnly);
    sortie.write("pret\n");
    sortie.flush();
    QSocketNotifier fin(0, QSocketNotifier::Read);
    QObject::connect(&fin, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    return app.exec();
}

// The first lines of every text the program took as a page must be a whole exchange text:
// the path of the sending program first, never the names of a copied table.
QStringList pagesAcceptees(const QString& dossier)
{
    QStringList textes;
    const QStringList journal = QString::fromUtf8(lit(dossier + "/journal.txt")).split('\n', Qt::SkipEmptyParts);
    for (const QString& l : journal)
        if (l.section(' ', 2, 2) == "OK")
            textes << QString::fromUtf8(lit(dossier + QStringLiteral("/%1.txt").arg(l.section(' ', 0, 0))));
    return textes;
}

int pagesTenues(const QString& dossier)
{
    const QStringList journal = QString::fromUtf8(lit(dossier + "/journal.txt")).split('\n', Qt::SkipEmptyParts);
    return journal.isEmpty() ? 0 : journal.last().section(' ', 3, 3).toInt();
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
        const auto fin = qScopeGuard([&host] { arreteTabulo(host); });   // even when a check fails
        TWaveForm form(host);
        ouvre(host, form);
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
    }

    // The program is busy (stopped here) when a transfer comes: the sender gives up and says so,
    // the user copies the table to the clipboard instead, then the program reads the command it
    // had been sent. It must not make a page of the copy.
    void lateCommandAfterCopy()
    {
        Seance s;
        ouvre(s.host, s.form);
        qint64 pid = 0;
        premierePage(s.host, s.form, s.dump.path(), pid);
        QVERIFY(pid > 0);
        ::kill(pid_t(pid), SIGSTOP);
        s.host.transfert().formDDE().attenteReponseMs = 1500;
        QCOMPARE(envoie(s.form, Destination::Tabulo), QString("Transfert non exécuté"));
        QCOMPARE(envoie(s.form, Destination::PressePapiers), QString());
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("t\ts\r\ns\t\r\n"));
        ::kill(pid_t(pid), SIGCONT);
        // Once it answers again, it has read what it had been sent before; that adds nothing.
        ConversationClient c;
        QVERIFY(c.ouvre("Tabulo", "ServeurDDE", 5000));
        QCOMPARE(c.commande("CLIP|EFFACE"), ConversationClient::Refusee);
        QTest::qWait(300);
        pagesEntieres(s.dump.path(), QString());
        QCOMPARE(pagesTenues(s.dump.path()), 1);
    }

    // Another program (a clipboard manager, a second copy of a tool) takes the clipboard with a
    // copied table after the transfer set it and before the analysis program reads it: the
    // program must not take that table as the page, and the transfer still delivers its own.
    void clipboardTakenBeforeRead()
    {
        Seance s;
        ouvre(s.host, s.form);
        QCOMPARE(envoie(s.form, Destination::PressePapiers), QString());
        const QString copie = QGuiApplication::clipboard()->text();
        QVERIFY(copie.startsWith("t\ts\r\ns\t\r\n"));
        QFile f(s.dump.filePath("copie.txt"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(copie.toUtf8());
        f.close();
        qint64 pid = 0;
        premierePage(s.host, s.form, s.dump.path(), pid);
        QVERIFY(pid > 0);

        // While the sender waits for the answer, the other program takes the clipboard, then
        // the analysis program (stopped until then) reads it.
        ::kill(pid_t(pid), SIGSTOP);
        QProcess autre;
        autre.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QTimer::singleShot(300, &s.form, [&] {
            autre.start(QCoreApplication::applicationFilePath(), {"--tient", f.fileName()});
            autre.waitForReadyRead(10000);
            ::kill(pid_t(pid), SIGCONT);
        });
        QString envoye;
        QCOMPARE(envoie(s.form, Destination::Tabulo, &envoye), QString());
        QCOMPARE(autre.readAll(), QByteArray("pret\n"));
        pagesEntieres(s.dump.path(), copie);
        const QStringList pages = pagesAcceptees(s.dump.path());
        QCOMPARE(pagesTenues(s.dump.path()), 2);
        QCOMPARE(pages.last(), envoye);
        autre.closeWriteChannel();
        autre.waitForFinished(5000);
    }

private:
    // A sound tool of its own with its stand-in, ended even when a check fails.
    struct Seance
    {
        Seance() { qputenv("KINEXO_TABULO_DUMP", dump.path().toUtf8()); }
        ~Seance()
        {
            form.close();
            arreteTabulo(host);
        }
        QTemporaryDir dump;
        TestHost host;
        TWaveForm form{host};
    };

    // The first transfer starts the stand-in; `pid` is its process.
    static void premierePage(TestHost& host, TWaveForm& form, const QString& dump, qint64& pid)
    {
        envoie(form, Destination::Tabulo);
        QTRY_COMPARE(pagesTenues(dump), 1);
        pid = host.transfert().formDDE().pidsLances.value(0);
    }

    // Every page taken is a whole exchange text of this program, and not `copie`.
    static void pagesEntieres(const QString& dump, const QString& copie)
    {
        for (const QString& t : pagesAcceptees(dump))
            QVERIFY2(t != copie && t.startsWith(QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) + "\r\n"),
                     qPrintable(t.left(60)));
    }

    static void arreteTabulo(TestHost& host)
    {
        for (qint64 pid : host.transfert().formDDE().pidsLances) {
            ::kill(pid_t(pid), SIGCONT);
            ::kill(pid_t(pid), SIGTERM);
        }
        attendSans([] { return !verrouTenu("Tabulo"); }, 5000);
    }

    // The sound tool on one second of a 440 Hz tone, transferring to the real stand-in.
    static void ouvre(TestHost& host, TWaveForm& form)
    {
        host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
        form.setSoundDevices(std::make_unique<FakePlayer>(), std::make_unique<FakeRecorder>(), {});
        form.message = [](const QString& t) { QFAIL(qPrintable(t)); };
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const QString chemin = host.racine() + "la.wav";
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(wav16(44100, 44100));
        f.close();
        QVERIFY(form.litWav(chemin));
        QVERIFY(form.TabuloBtn->isEnabled());
    }

    // One transfer as the user makes it; returns the text of the message box shown, if any, and
    // the text the tool put on the clipboard in `texte`.
    static QString envoie(TWaveForm& form, Destination d, QString* texte = nullptr)
    {
        form.TabuloBtn->setDestination(d);
        quandModal<TConstanteDlg>([](TConstanteDlg* dlg) { dlg->accept(); });
        // Every box shown during this transfer is read as it shows (a watcher left by an
        // earlier transfer may be the one that closes it).
        quandModal<QMessageBox>([](QMessageBox* m) { m->accept(); });
        BoitesVues boites;
        qApp->installEventFilter(&boites);
        QString mis;
        QMetaObject::Connection c = QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&mis] {
            if (mis.isEmpty() && QGuiApplication::clipboard()->ownsClipboard())
                mis = QGuiApplication::clipboard()->text();
        });
        form.TabuloBtn->click();
        QObject::disconnect(c);
        qApp->removeEventFilter(&boites);
        if (texte)
            *texte = mis;
        return boites.textes.join('\n');
    }
};

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--tient") == 0)
        return tientPressePapiers(argc, argv);
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

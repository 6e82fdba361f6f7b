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
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {
QString texteDe(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
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
        QCOMPARE(texteDe(m_dump.filePath("journal.txt")), QString("1 CLIP|LOAD OK 1\n"));
        const QString texte = QGuiApplication::clipboard()->text();
        QCOMPARE(texteDe(m_dump.filePath("1.txt")), texte);
        QVERIFY(texte.contains("\r\n\r\nfente\r\nx\tI\r\nm\t\t\t\t\r\nDistance\tIntensité relative\tbleu\trouge\tvert\r\n"));
        QVERIFY(texte.endsWith("&1 FICHIER\r\n" + chemin + "\r\n"));
        QVERIFY(!m_host.transfert().constanteDlg().nouveauFichier());
    }
};

int main(int argc, char** argv)
{
    // The clipboard is shared with the stand-in through the test display (scripts/test).
    const QByteArray display = qgetenv("KINEXO_TEST_DISPLAY");
    if (!display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", display);
    } else {
        qunsetenv("DISPLAY");
    }
    qputenv("KINEXO_CONVERSATION_ID", "optique-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    setSeparateurDecimal('.');
    TestOptiqueBout t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_optique_bout.moc"

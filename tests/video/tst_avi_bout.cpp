// A whole measurement driven through the window: open a clip, scale by two clicks and a typed
// length, origin, four images clicked, transfer to the running stand-in analysis program, whose
// received text is compared line by line with the expected exchange text.
#include "ClipsTest.h"
#include "Conversation.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TestHost.h"
#include "TransferButton.h"
#include "Transfert.h"
#include "aviMain.h"

#include <QLabel>
#include <QMessageBox>
#include <QStackedWidget>
#include <QStatusBar>

#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <csignal>

namespace {
QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestAviBout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static void clic(TAviForm& f, QPoint p)
    {
        QTest::mousePress(f.Image, Qt::LeftButton, {}, p);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, p);
        QCoreApplication::processEvents();
    }

private slots:
    void mesureEtTransfert()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a clipboard shared with the stand-in (set KINEXO_TEST_DISPLAY)");
        QVERIFY(!verrouTenu("Tabulo"));
        qputenv("KINEXO_TABULO_DUMP", m_dir.filePath("dump").toUtf8());
        const QString clipAvi = m_dir.filePath("chute.avi");
        QVERIFY(fabriqueClip(clipAvi, 12, "25", {"-c:v", "mjpeg", "-q:v", "2"}));

        TestHost host;
        host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
        TAviForm f(host);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.OuvreFichier(clipAvi);
        QVERIFY(f.lecteur().ouvert());

        // Scale: 120 pixels typed as 0,6 m.
        f.EchelleBtn->click();
        quandModal<QInputDialog>([](QInputDialog* d) {
            d->setTextValue("0,6");
            d->accept();
        });
        clic(f, {20, 100});
        clic(f, {140, 100});
        QTRY_COMPARE(f.EchelleEdit->text(), QString("0,6"));
        QCOMPARE(f.modele.LongueurEchelle, 0.6);

        f.OrigineBtn->click();
        clic(f, {30, 90});
        QCOMPARE(f.modele.PointRepere[bsOrigine], QPoint(30, 90));

        f.MesureBtn->click();
        const QPoint points[] = {{40, 80}, {55, 70}, {70, 64}, {85, 60}};
        for (int i = 0; i < 4; ++i) {
            QTRY_COMPARE(numeroImage(f.lecteur().imageCourante()), i);
            clic(f, points[i]);
        }
        QTRY_COMPARE(f.modele.Nmes, 4);
        QVERIFY(f.TabuloBtn->isEnabled());
        QCOMPARE(f.TabuloBtn->destination(), Destination::Tabulo);

        quandModal<TConstanteDlg>([](TConstanteDlg* d) {
            d->EditComm->setText("chute");
            d->accept();
        });
        f.TabuloBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath("dump/1.txt")), 15000);

        QStringList attendu{QCoreApplication::applicationFilePath(), "Acquisition par kinexo", "chute", "t\tx\ty",
                            "s\tm\tm"};
        const double s = 0.6 / 120;
        for (int i = 0; i < 4; ++i)
            attendu << QStringList{TexteNombre(0.04 * i), TexteNombre((points[i].x() - 30) * s),
                                   TexteNombre(-(points[i].y() - 90) * s)}
                           .join('\t');
        attendu << "&4 INCERT";
        for (int i = 0; i < 4; ++i)
            attendu << "0.0004\t0.005\t0.005";
        attendu << "&1 NOMX" << "x" << "&1 NOMY" << "y" << "&1 ORTHO" << "1" << "&1 FICHIER" << clipAvi;
        QStringList recu = QString::fromUtf8(lit(m_dir.filePath("dump/1.txt"))).split("\r\n");
        QCOMPARE(recu.takeLast(), QString()); // every line, the last too, ends with CR LF
        QCOMPARE(recu.size(), attendu.size());
        for (int i = 0; i < attendu.size(); ++i)
            QCOMPARE(recu[i], attendu[i]);
        QCOMPARE(recu[6], QString("0.04\t0.125\t0.1"));
        QTRY_COMPARE(QString::fromUtf8(lit(m_dir.filePath("dump/journal.txt"))), QString("1 CLIP|LOAD OK 1\n"));

        for (qint64 pid : host.transfert().formDDE().pidsLances)
            ::kill(pid_t(pid), SIGTERM);
    }
};

int main(int argc, char** argv)
{
    const QByteArray display = qgetenv("KINEXO_TEST_DISPLAY");
    if (!display.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        qputenv("DISPLAY", display);
    } else {
        qunsetenv("DISPLAY");
    }
    qputenv("KINEXO_CONVERSATION_ID", "avi-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    setSeparateurDecimal('.');
    TestAviBout t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_avi_bout.moc"

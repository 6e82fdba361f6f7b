// The pendulum sample measured through the second video tool: on ten frames the plumb-line
// mark, the pivot and the bob's centre are clicked (angle mode), the table goes to the running
// stand-in analysis program, and what it received is checked line by line: every angle within
// half a degree of the one the sample was drawn with, every time the file's.
#include "Conversation.h"
#include "NumberText.h"
#include "Pendule.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TestHost.h"
#include "Transfert.h"
#include "VideoSource.h"
#include "optionsVideo.h"
#include "vidGrab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include "ChronoForm.h"
#include <QSlider>
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

class TestVidGrabBout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    static void clic(TvidGrabForm& f, QPointF p)
    {
        QTRY_VERIFY(!f.imageAttendue());
        const int z = f.zoomAffichage;
        const QPoint ecran(int(std::lround(p.x())) * z, int(std::lround(p.y())) * z);
        QTest::mousePress(f.Image, Qt::LeftButton, {}, ecran);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, ecran);
        QCoreApplication::processEvents();
    }

private slots:
    void penduleVersTabulo()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a clipboard shared with the stand-in (set KINEXO_TEST_DISPLAY)");
        QVERIFY(!verrouTenu("Tabulo"));
        qputenv("KINEXO_TABULO_DUMP", m_dir.filePath("dump").toUtf8());
        const QString clip = QStringLiteral(KX_SAMPLE_PENDULE);
        VideoSource source;
        QVERIFY(source.open(clip));

        TestHost host;
        host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
        TvidGrabForm f(host);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.OuvreFichier(clip);
        QVERIFY(f.fichierOuvert());
        f.StopPlayerBtn->click();
        QTRY_VERIFY(f.VideoGrabber.PlayerState() == ps_Stopped && !f.imageAttendue());
        // From the sixth frame on: the time origin is the frame shown.
        constexpr int kDebut = 6;
        f.demandeImage(kDebut);
        QTRY_VERIFY(!f.imageAttendue());
        QCOMPARE(f.framePosition, kDebut);

        f.options->AngleCB->click();
        f.MesureBtn->click();
        for (int i = 0; i < 10; ++i) {
            QTRY_COMPARE(f.framePosition, kDebut + i);
            const int n = kDebut - 1 + i;
            clic(f, pendule::kRepere);
            clic(f, pendule::kPivot);
            clic(f, pendule::boule(n));
        }
        QTRY_COMPARE(f.modele.Nmes, 10);
        QVERIFY(f.TabuloBtn->isEnabled());
        const QString captures = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!captures.isEmpty()) {
            QVERIFY(f.grab().save(captures + "/vidgrab.png"));
            f.OptionsBtn->click();
            QVERIFY(QTest::qWaitForWindowExposed(f.options));
            QVERIFY(f.options->grab().save(captures + "/options.png"));
            f.options->hide();
        }

        quandModal<TConstanteDlg>([](TConstanteDlg* d) {
            d->EditComm->setText("pendule");
            d->accept();
        });
        f.TabuloBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath("dump/1.txt")), 15000);
        QStringList recu = QString::fromUtf8(lit(m_dir.filePath("dump/1.txt"))).split("\r\n");
        QCOMPARE(recu.takeLast(), QString());
        QCOMPARE(recu.mid(0, 5), (QStringList{QCoreApplication::applicationFilePath(),
                                             "Lecture de fichier video pour Tabulo", "pendule", "t\tα", "s\t°"}));
        const double t0 = source.frameTime(kDebut - 1);
        for (int i = 0; i < 10; ++i) {
            const int n = kDebut - 1 + i;
            const QStringList champs = recu.at(5 + i).split('\t');
            QCOMPARE(champs.size(), 2);
            QCOMPARE(champs[0], TexteNombre(std::nearbyint((source.frameTime(n) - t0) * 1000) / 1000));
            const double alpha = champs[1].toDouble();
            QVERIFY2(std::abs(alpha - pendule::angle(n)) < 0.5,
                     qPrintable(QString("image %1: %2 for %3").arg(n).arg(alpha).arg(pendule::angle(n))));
        }
        QCOMPARE(recu.at(15), QString("&10 INCERT"));
        QCOMPARE(recu.mid(26), (QStringList{"&1 NOMX", "t", "&1 NOMY", "α", "&1 FICHIER", clip}));
        QTRY_COMPARE(QString::fromUtf8(lit(m_dir.filePath("dump/journal.txt"))), QString("1 CLIP|LOAD OK 1\n"));
        QVERIFY(!host.transfert().constanteDlg().nouveauFichier());
        if (!captures.isEmpty()) {
            QTest::qWait(1500);
            QVERIFY(QGuiApplication::primaryScreen()->grabWindow(0).save(captures + "/tabulo.png"));
            // A chronophotograph of the swing, frames 1 to 20.
            f.demandeImage(20);
            QTRY_VERIFY(!f.imageAttendue());
            f.FinPhotoBtn->click();
            f.demandeImage(1);
            QTRY_VERIFY(!f.imageAttendue());
            const QString chemin = m_dir.filePath("pendule-chrono.jpg");
            quandModal<QFileDialog>([chemin](QFileDialog* d) {
                d->selectFile(chemin);
                static_cast<QDialog*>(d)->accept();
            });
            QTimer::singleShot(500, [] { quandModal<QMessageBox>([](QMessageBox* m) { m->button(QMessageBox::No)->click(); }); });
            bool vu = false;
            QTimer::singleShot(600, [&vu, captures] {
                quandModal<TChronoForm>([&vu, captures](TChronoForm* c) {
                    QTest::qWait(200);
                    vu = c->grab().save(captures + "/chrono.png");
                    c->accept();
                });
            });
            f.ChronoPhotoBtn->click();
            QTRY_VERIFY_WITH_TIMEOUT(vu, 20000);
        }

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
    qputenv("KINEXO_CONVERSATION_ID", "vidgrab-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    setSeparateurDecimal('.');
    TestVidGrabBout t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_vidgrab_bout.moc"

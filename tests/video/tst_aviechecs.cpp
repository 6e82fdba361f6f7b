#include "ClipsTest.h"
#include "TestHost.h"
#include "aviMain.h"

#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QTemporaryDir>
#include <QtTest>

// What a failed open leaves: the tool exactly as before.
class TestAviEchecs : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString clip(const QString& n) const { return m_dir.filePath(n); }

    struct Etat
    {
        QString fichier, codec, titre;
        QWidget* page;
        int image, nmes, parSec;
        double torigine, dureeImage;
        bool operator==(const Etat&) const = default;
    };
    static Etat etat(TAviForm& f)
    {
        return {f.lecteur().fichier(), f.CodecLabel->text(), f.windowTitle(), f.PageDroite->currentWidget(),
                f.lecteur().image(), f.modele.Nmes, f.NbreImagesSE->value(), f.modele.torigine, f.DureeImage};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(fabriqueClip(clip("clip.avi"), 12, "30", {"-c:v", "mjpeg", "-q:v", "2"}));
        QVERIFY(fabriqueClip(clip("tete.avi"), 6, "25", {"-c:v", "mjpeg", "-q:v", "2"}));
        // Its first JPEG picture has lost its headers.
        QFile f(clip("tete.avi"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QByteArray d = f.readAll();
        const qsizetype soi = d.indexOf(QByteArray("\xff\xd8", 2), d.indexOf("movi"));
        QVERIFY(soi > 0);
        for (qsizetype p = soi + 2; p < soi + 400; ++p)
            d[p] = 0;
        f.seek(0);
        f.write(d);
        f.close();
        QFile t(clip("texte.mp4"));
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write(QByteArray("pas une video\n").repeated(100));
    }

    void echecs_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("message");
        QTest::newRow("absent") << "absent.mp4" << "n'existe pas";
        QTest::newRow("pas une vidéo") << "texte.mp4" << "format vidéo non reconnu";
        QTest::newRow("première image illisible") << "tete.avi" << "Image 1 illisible";
    }
    void echecs()
    {
        QFETCH(QString, nom);
        QFETCH(QString, message);
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(clip("clip.avi"));
        QVERIFY(f.lecteur().ouvert());
        f.SuivantBtn->click();
        f.SuivantBtn->click();
        f.modele.torigine = 0.5;
        f.modele.Nmes = 2;
        const Etat avant = etat(f);
        QString vu;
        quandModal<QMessageBox>([&](QMessageBox* m) {
            vu = m->text();
            m->accept();
        });
        f.OuvreFichier(clip(nom));
        QVERIFY2(vu.contains(message), qPrintable(vu));
        QVERIFY(etat(f) == avant);
        QCOMPARE(f.PageDroite->currentWidget(), avant.page);
        QCOMPARE(f.CodecLabel->text(), QStringLiteral("MJPG"));
        QCOMPARE(f.modele.torigine, 0.5);
        QCOMPARE(f.lecteur().image(), 2);
    }

    // Phone videos are offered first: every video file, MP4 and MOV among them.
    void filtres()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        QString premier;
        QStringList tous;
        quandModal<QFileDialog>([&](QFileDialog* d) {
            premier = d->selectedNameFilter();
            tous = d->nameFilters();
            d->reject();
        });
        QTimer::singleShot(0, f.OpenBtn, &QToolButton::click);
        QTRY_VERIFY(!premier.isEmpty());
        QVERIFY2(premier.startsWith(QStringLiteral("toutes les vidéos")), qPrintable(premier));
        for (const char* e : {"*.mp4", "*.mov", "*.mkv", "*.webm", "*.avi", "*.mpg"})
            QVERIFY(premier.contains(QLatin1String(e)));
        QVERIFY(std::any_of(tous.begin(), tous.end(), [](const QString& t) { return t.endsWith(QLatin1String("AVI (*.avi)")); }));
        QVERIFY(tous.last().contains(QLatin1String("*.mov")));
    }
};

QTEST_MAIN(TestAviEchecs)
#include "tst_aviechecs.moc"

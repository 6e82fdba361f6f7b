// Files handed to Kinexo from outside: on the command line, by the desktop, or to a second copy.
#include "ImageMain.h"
#include "InstanceUnique.h"
#include "OutilOuvrant.h"
#include "OuvertureFichier.h"
#include "TestHost.h"

#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

bool ffmpeg(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-y", "-v", "error", "-nostdin"} + args);
    return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString ouvert(QWidget* outil)
{
    auto* o = dynamic_cast<OutilOuvrant*>(outil);
    return o ? o->fichierOuvert() : QStringLiteral("<l'outil n'ouvre pas de fichier donné>");
}

} // namespace

class TstOuverture : public QObject
{
    Q_OBJECT
    QTemporaryDir home_;
    QString video_, son_, image_, texte_;

private slots:
    void initTestCase()
    {
        QVERIFY(home_.isValid());
        qputenv("HOME", home_.path().toLocal8Bit());
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "KINEXO_REGISTRE"})
            qunsetenv(v);
        qputenv("KINEXO_INSTANCE", QByteArray("kinexo-essai-ouverture-") + QByteArray::number(QCoreApplication::applicationPid()));
        video_ = home_.path() + "/lancer.mp4";
        son_ = home_.path() + "/diapason.wav";
        image_ = home_.path() + "/courbe.png";
        texte_ = home_.path() + "/notes.odt";
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "testsrc=s=160x120:r=25:d=1", "-c:v", "libx264", "-pix_fmt", "yuv420p", video_}));
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "sine=f=440:d=0.5", son_}));
        QVERIFY(ffmpeg({"-f", "lavfi", "-i", "testsrc=s=160x120:d=1", "-frames:v", "1", image_}));
        QFile t(texte_);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("pas une mesure");
    }

    void outilsParGenre_data()
    {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QList<int>>("outils");
        QTest::newRow("vidéo de téléphone") << "IMG_2031.MOV" << QList<int>{mAVIMediaPlayer};
        QTest::newRow("avi") << "chute.avi" << QList<int>{mAVIMediaPlayer};
        QTest::newRow("son") << "diapason.wav" << QList<int>{mWav};
        QTest::newRow("son de téléphone") << "note.m4a" << QList<int>{mWav};
        QTest::newRow("photo") << "graphe.JPG" << QList<int>{mBMP, mMeca, mOptique};
        QTest::newRow("inconnu") << "notes.odt" << QList<int>{};
        QTest::newRow("sans extension") << "README" << QList<int>{};
    }

    void outilsParGenre()
    {
        QFETCH(QString, fichier);
        QFETCH(QList<int>, outils);
        QList<int> trouves;
        for (Tmode m : outilsPourFichier(fichier))
            trouves << m;
        QCOMPARE(trouves, outils);
    }

    void videoDansLeLecteur()
    {
        TImageFormMain lanceur;
        lanceur.ouvreFichier(video_);
        QWidget* outil = lanceur.fenetreOutil(mAVIMediaPlayer);
        QVERIFY(outil);
        QVERIFY(outil->isVisible());
        QCOMPARE(lanceur.mode(), mAVIMediaPlayer);
        QCOMPARE(ouvert(outil), video_);
    }

    void imageAuChoix()
    {
        TImageFormMain lanceur;
        std::vector<Tmode> proposes;
        lanceur.choisitOutil = [&](QWidget*, const QString&, const std::vector<Tmode>& outils) {
            proposes = outils;
            return mBMP;
        };
        // The digitiser asks for its scale as soon as a picture is loaded.
        quandModal<QDialog>([](QDialog* d) { d->reject(); });
        lanceur.ouvreFichier(image_);
        QVERIFY(proposes.size() >= 2);
        QCOMPARE(proposes.front(), mBMP);
        QVERIFY(lanceur.fenetreOutil(mBMP));
        QCOMPARE(ouvert(lanceur.fenetreOutil(mBMP)), image_);
        // Cancelling the choice opens nothing.
        TImageFormMain autre;
        autre.choisitOutil = [](QWidget*, const QString&, const std::vector<Tmode>&) { return mNone; };
        autre.ouvreFichier(image_);
        QCOMPARE(autre.mode(), mNone);
    }

    void fichierInconnu()
    {
        TImageFormMain lanceur;
        QString message;
        quandModal<QMessageBox>([&](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        lanceur.ouvreFichier(texte_);
        QVERIFY2(message.startsWith("Kinexo ne sait pas ouvrir ce type de fichier : notes.odt"), qPrintable(message));
        QCOMPARE(lanceur.mode(), mNone);
    }

    // A copy is running; a second one started on a sound hands it over and ends at once.
    void secondeCopie()
    {
        InstanceUnique garde;
        QVERIFY(!garde.demandeALaCopieActive());
        TImageFormMain lanceur;
        relieCopiesSuivantes(garde, lanceur);

        QProcess seconde;
        seconde.setProcessChannelMode(QProcess::ForwardedChannels);
        QSignalSpy fin(&seconde, &QProcess::finished);
        seconde.start(KINEXO_EXE, {son_});
        QVERIFY(fin.wait(20000));
        QCOMPARE(seconde.exitStatus(), QProcess::NormalExit);
        QCOMPARE(seconde.exitCode(), 0);
        QTRY_VERIFY(lanceur.fenetreOutil(mWav) != nullptr);
        QTRY_COMPARE(ouvert(lanceur.fenetreOutil(mWav)), son_);
    }
};

QTEST_MAIN(TstOuverture)
#include "tst_ouverture.moc"

#include "About.h"
#include "Curseurs.h"
#include "ImageMain.h"
#include "Registre.h"
#include "RoutageConseils.h"
#include "TestSupport.h"

#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

// A tool as the launcher sees one: made with the host, told its folder, hides on close.
class OutilEssai : public QMainWindow, public FenetreOutil
{
    Q_OBJECT
public:
    OutilEssai(ToolHost& host, QWidget* parent) : QMainWindow(parent), host_(host)
    {
        ++crees;
        bouton = new QPushButton(QStringLiteral("Mesures"), this);
        bouton->setStatusTip(QStringLiteral("Cliquez sur l'objet"));
        setCentralWidget(bouton);
        statusBar();
        resize(300, 200);
    }
    void setDossier(const QString& d) override { dossier = d; }

    static inline int crees = 0;
    QString dossier;
    QPushButton* bouton;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        host_.setMode(mNone);
        e->accept();
    }

private:
    ToolHost& host_;
};

// A tool that shows its hints in its caption.
class OutilLegende : public QWidget, public FenetreOutil
{
    Q_OBJECT
public:
    explicit OutilLegende(QWidget* parent = nullptr) : QWidget(parent)
    {
        bouton = new QPushButton(QStringLiteral("FFT"), this);
    }
    void setDossier(const QString&) override {}
    bool afficheConseil(const QString& c) override
    {
        setWindowTitle(c);
        return true;
    }
    QPushButton* bouton;
};

static QByteArray gif(int l, int h, const QList<QRgb>& palette, const QList<int>& pixels)
{
    return gifQuatreCouleurs(l, h, palette, pixels);
}

class TstLanceur : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home_;

    static std::vector<EntreeOutil> uneFabrique()
    {
        std::vector<EntreeOutil> v = fabriquesOutils();
        for (auto& e : v)
            e.fabrique = nullptr;
        v.push_back({mWav, outil<OutilEssai>});
        return v;
    }

private slots:
    void init()
    {
        home_ = std::make_unique<QTemporaryDir>();
        QVERIFY(home_->isValid());
        qputenv("HOME", home_->path().toLocal8Bit());
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "KINEXO_REGISTRE"})
            qunsetenv(v);
        OutilEssai::crees = 0;
    }

    void boutonsEtLegendes()
    {
        TImageFormMain f(uneFabrique());
        QCOMPARE(f.windowTitle(), QStringLiteral("Lecture d'images pour Tabulo"));
        const QList<std::pair<const char*, QString>> attendus = {
            {"InterfBtn", "Intensité lumineuse"},
            {"BmpBtn", "Courbe"},
            {"BmpMecaBtn", "Chronophotographie"},
            {"VideoBmpBtn", "Chronophotographie image par image"},
            {"AviBtn", "Lecture d'une video"},
            {"WavBtn", "Lecture d'un fichier .WAV ou .MP3"},
            {"VidgrabBtn", "Lecture video (bis !)"},
            {"AboutBtn", "à propos..."},
            {"ExitBtn", "Quitter"},
            {"RepTabuloBtn", "Répertoire de Tabulo"},
        };
        for (const auto& [nom, legende] : attendus) {
            auto* b = f.findChild<QPushButton*>(nom);
            QVERIFY2(b, nom);
            QCOMPARE(b->text(), legende);
        }
        for (const char* nom : {"RepInterfBtn", "RepBmpBtn", "RepVideoBmpBtn", "RepAviBtn", "RepWavBtn"})
            QVERIFY2(f.findChild<QPushButton*>(nom), nom);
        auto* groupe = f.findChild<QGroupBox*>();
        QVERIFY(groupe);
        QCOMPARE(groupe->title(), QStringLiteral("Enregistrement / lecture d'images (BMP, JPEG)"));
        for (const char* nom : {"InterfBtn", "BmpBtn", "BmpMecaBtn", "VideoBmpBtn"})
            QCOMPARE(f.findChild<QPushButton*>(nom)->parentWidget(), groupe);

        // Only the tool that has a window is offered.
        for (Tmode m : {mOptique, mBMP, mMeca, mVideoBmp, mAVIMediaPlayer, mAVI}) {
            QVERIFY(!f.boutonOutil(m)->isEnabled());
            QCOMPARE(f.boutonOutil(m)->toolTip(), QStringLiteral("Outil pas encore disponible"));
        }
        QVERIFY(f.boutonOutil(mWav)->isEnabled());

        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.minimumSize(), f.maximumSize()); // fixed size
        const QString capture = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!capture.isEmpty())
            QVERIFY(f.grab().save(capture + "/lanceur.png"));
    }

    void outilCreeUneFoisEtRamene()
    {
        TImageFormMain f(uneFabrique());
        f.repertoires().repertoireWav = "/sons/";
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.mode(), mNone);

        QTest::mouseClick(f.boutonOutil(mWav), Qt::LeftButton);
        auto* outil = qobject_cast<OutilEssai*>(f.fenetreOutil(mWav));
        QVERIFY(outil);
        QVERIFY(outil->isWindow());
        QCOMPARE(outil->parentWidget(), &f);
        QVERIFY(outil->isVisible());
        QCOMPARE(outil->dossier, QStringLiteral("/sons/"));
        QCOMPARE(f.mode(), mWav);
        QTRY_COMPARE(QApplication::activeWindow(), outil);

        // Activating the launcher brings the active tool forward.
        f.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), outil);

        // Closing hides it; the next click shows the same window with the folder of now.
        outil->close();
        QCOMPARE(f.mode(), mNone);
        QVERIFY(!outil->isVisible());
        f.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &f);
        QTest::qWait(50);
        QCOMPARE(QApplication::activeWindow(), &f);
        f.repertoires().repertoireWav = "/autres/";
        QTest::mouseClick(f.boutonOutil(mWav), Qt::LeftButton);
        QCOMPARE(f.fenetreOutil(mWav), outil);
        QCOMPARE(OutilEssai::crees, 1);
        QVERIFY(outil->isVisible());
        QCOMPARE(outil->dossier, QStringLiteral("/autres/"));
    }

    void fermerLeLanceurFinitLeProgramme()
    {
        TImageFormMain f(uneFabrique());
        f.show();
        QTest::mouseClick(f.boutonOutil(mWav), Qt::LeftButton);
        QVERIFY(f.fenetreOutil(mWav)->isVisible());
        QTimer::singleShot(0, &f, [&f] { f.findChild<QPushButton*>("ExitBtn")->click(); });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); }); // would hang otherwise
        QCOMPARE(QCoreApplication::exec(), 0);
    }

    void setFocusMainSansFenetre()
    {
        TImageFormMain f(uneFabrique());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.setMode(mAVI); // no window of that tool exists
        f.setFocusMain();
        QCOMPARE(f.mode(), mNone);
        QTRY_COMPARE(QApplication::activeWindow(), &f);

        // Asked by a second copy while minimised, with a tool open: both come back, the tool in front.
        QTest::mouseClick(f.boutonOutil(mWav), Qt::LeftButton);
        QWidget* outil = f.fenetreOutil(mWav);
        outil->showMinimized();
        f.showMinimized();
        f.montreDemande();
        QVERIFY(!f.isMinimized());
        QVERIFY(!outil->isMinimized());
        QVERIFY(outil->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), outil);
    }

    void annulationVideLeDossier()
    {
        TImageFormMain f(uneFabrique());
        QStringList titres, departs;
        QString reponse;
        f.choisitDossier = [&](QWidget*, const QString& titre, const QString& depart) {
            titres << titre;
            departs << depart;
            return reponse;
        };
        const QString docs = f.mesDocsDir();
        const QString choisi = home_->path() + "/mesvideos";
        QDir().mkpath(choisi);

        reponse = choisi;
        f.findChild<QPushButton*>("RepAviBtn")->click();
        QCOMPARE(f.repertoires().repertoireAvi, choisi + "/");
        QVERIFY(f.findChild<QPushButton*>("RepAviBtn")->toolTip().endsWith(choisi + "/"));
        reponse.clear();
        f.findChild<QPushButton*>("RepAviBtn")->click();
        QCOMPARE(f.repertoires().repertoireAvi, QString());
        f.findChild<QPushButton*>("RepAviBtn")->click();
        QCOMPARE(departs, QStringList({docs, choisi + "/", docs}));
        QCOMPARE(titres.first(), QStringLiteral("Donnez le répertoire des fichiers Video"));

        f.findChild<QPushButton*>("RepWavBtn")->click();
        f.findChild<QPushButton*>("RepInterfBtn")->click();
        f.findChild<QPushButton*>("RepTabuloBtn")->click();
        QCOMPARE(titres.mid(3), QStringList({"Donnez le répertoire des fichiers Son",
                                              "Donnez le répertoire des fichiers Image",
                                              "Donnez le répertoire de Tabulo"}));
        QCOMPARE(f.repertoires().repertoireWav, QString());
        QCOMPARE(f.repertoires().repertoireBmpOptique, QString());
    }

    void ecritureEnFinDeProgramme()
    {
        const QString choisi = home_->path() + "/Bureau/tp";
        QDir().mkpath(choisi);
        {
            TImageFormMain f(uneFabrique());
            f.choisitDossier = [&](QWidget*, const QString&, const QString&) { return choisi; };
            f.findChild<QPushButton*>("RepVideoBmpBtn")->click();
            f.choisitDossier = [&](QWidget*, const QString&, const QString&) { return QString(); };
            f.findChild<QPushButton*>("RepWavBtn")->click();
            QVERIFY(!QFileInfo::exists(f.fichierIni())); // written only at the end
        }
        const QString h = home_->path();
        for (const auto& [fichier, groupe] :
             {std::pair{h + "/Documents/Tabulo/kinexo.INI", "Repertoire"},
              std::pair{h + "/.local/share/Tabulo/kinexo.INI", "Repertoire"},
              std::pair{fichierRegistre(), "Classes/Tabulo"}}) {
            QSettings s(fichier, QSettings::IniFormat);
            s.beginGroup(groupe);
            QCOMPARE(s.value("Video").toString(), choisi + "/");
            QVERIFY(s.contains("Wav"));
            QCOMPARE(s.value("Wav").toString(), QString());
            QCOMPARE(s.value("Mecanique").toString(), h + "/Pictures/");
        }
        // And the next start finds them.
        TImageFormMain g(uneFabrique());
        QCOMPARE(g.repertoires().repertoireVideoBmp, choisi + "/");
        QCOMPARE(g.repertoires().repertoireWav, QString());
    }

    void conseils()
    {
        TImageFormMain f(uneFabrique());
        // A QMainWindow tool shows hints in its own status bar.
        QTest::mouseClick(f.boutonOutil(mWav), Qt::LeftButton);
        auto* outil = qobject_cast<OutilEssai*>(f.fenetreOutil(mWav));
        QVERIFY(outil);
        QStatusTipEvent e(outil->bouton->statusTip());
        QApplication::sendEvent(outil->bouton, &e);
        QCOMPARE(outil->statusBar()->currentMessage(), QStringLiteral("Cliquez sur l'objet"));

        // A tool that asks for them gets them, and only it.
        OutilLegende legende;
        legende.setWindowTitle("Son");
        QStatusTipEvent e2(QStringLiteral("Transformée de Fourier"));
        QApplication::sendEvent(legende.bouton, &e2);
        QCOMPARE(legende.windowTitle(), QStringLiteral("Transformée de Fourier"));
        QCOMPARE(outil->statusBar()->currentMessage(), QStringLiteral("Cliquez sur l'objet"));
    }

    void gifEnBmp()
    {
        TImageFormMain f(uneFabrique());
        const QString base = home_->path() + "/photo.d/image";
        const QList<QRgb> palette = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255)};
        // Written by a camera as upper case, asked for by its bitmap name.
        QVERIFY(ecritOctets(base + ".GIF", gif(4, 3, palette, {0, 1, 2, 3, 3, 2, 1, 0, 0, 0, 1, 1})));
        // The user's own bitmap of that name, in a folder that cannot be written.
        const QByteArray bmpUtilisateur("BM le dessin de l'élève");
        QVERIFY(ecritOctets(base + ".bmp", bmpUtilisateur));
        QVERIFY(QFile::setPermissions(home_->path() + "/photo.d", QFile::ReadOwner | QFile::ExeOwner));

        const QString bmp = f.ConvertitGifBmp(base + ".bmp");
        QFile::setPermissions(home_->path() + "/photo.d", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY2(bmp.startsWith(f.tamponDir()) && bmp.endsWith("/image.bmp"), qPrintable(bmp));
        QFile utilisateur(base + ".bmp");
        QVERIFY(utilisateur.open(QIODevice::ReadOnly));
        QCOMPARE(utilisateur.readAll(), bmpUtilisateur);
        QStringList fichiers = QDir(home_->path() + "/photo.d").entryList(QDir::Files);
        fichiers.sort();
        QCOMPARE(fichiers, (QStringList{"image.GIF", "image.bmp"}));
        QImage image(bmp, "BMP");
        QCOMPARE(image.size(), QSize(4, 3));
        QFile fichier(bmp);
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        QCOMPARE(int(uchar(fichier.read(30).at(28))), 24); // bits per pixel
        QCOMPARE(image.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(image.pixel(3, 0), qRgb(255, 255, 255));
        QCOMPARE(image.pixel(2, 1), qRgb(0, 255, 0));
        QCOMPARE(image.pixel(3, 2), qRgb(0, 255, 0));

        // A bad GIF is reported in French and leaves the bitmap that was there.
        QVERIFY(QFile::remove(base + ".GIF"));
        QVERIFY(ecritOctets(base + ".gif", "GIF89a pas une image"));
        try {
            f.ConvertitGifBmp(base + ".bmp");
            QFAIL("no exception");
        } catch (const std::runtime_error& e) {
            QVERIFY2(QString::fromUtf8(e.what()).startsWith(QStringLiteral("Image illisible : image.gif")), e.what());
        }
        QCOMPARE(QImage(bmp, "BMP").size(), QSize(4, 3));
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, f.ConvertitGifBmp(home_->path() + "/absent.bmp"));
        QVERIFY(!QFileInfo::exists(home_->path() + "/absent.bmp"));
    }

    void curseurs()
    {
        chargeCurseurs();
        QImage planche(12 * 40, 40, QImage::Format_ARGB32);
        planche.fill(Qt::lightGray);
        QPainter p(&planche);
        QSet<QByteArray> dessins;
        for (int s = crCible1; s <= crOrigineTemps; ++s) {
            const QCursor c = curseur(s);
            QCOMPARE(c.shape(), Qt::BitmapCursor);
            const QImage im = c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
            QVERIFY(QRect(QPoint(), im.size()).contains(c.hotSpot()));
            // Something is drawn within a few pixels of the hot spot, where the user aims.
            int opaques = 0;
            for (int y = c.hotSpot().y() - 4; y <= c.hotSpot().y() + 4; ++y)
                for (int x = c.hotSpot().x() - 4; x <= c.hotSpot().x() + 4; ++x)
                    opaques += im.valid(x, y) && qAlpha(im.pixel(x, y)) > 0;
            QVERIFY2(opaques > 0, qPrintable(QString::number(s)));
            dessins.insert(QByteArray(reinterpret_cast<const char*>(im.constBits()), im.sizeInBytes()));
            p.drawImage((s - 1) * 40 + 4, 4, im);
        }
        QCOMPARE(dessins.size(), 12); // twelve different cursors
        QCOMPARE(curseur(0).shape(), Qt::ArrowCursor);
        QCOMPARE(curseur(13).shape(), Qt::ArrowCursor);
        p.end();
        const QString capture = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!capture.isEmpty())
            QVERIFY(planche.scaled(planche.size() * 3).save(capture + "/curseurs.png"));
    }

    void aPropos()
    {
        TAboutBox a;
        QCOMPARE(a.windowTitle(), QStringLiteral("A propos"));
        QVERIFY(a.findChild<QLabel*>("VersionLabel")->text().contains(QStringLiteral(KINEXO_VERSION_ESSAI)));
        QString ouverte;
        a.ouvreAdresse = [&](const QString& u) {
            ouverte = u;
            return false;
        };
        // The failure message names the address.
        QTimer::singleShot(0, [] {
            auto* m = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(m);
            QCOMPARE(m->text(), QStringLiteral("Impossible d'accéder à ") + TAboutBox::adressePage());
            m->accept();
        });
        a.VersionBtn->click();
        QCOMPARE(ouverte, TAboutBox::adressePage());
        const QString capture = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!capture.isEmpty()) {
            a.show();
            QVERIFY(QTest::qWaitForWindowExposed(&a));
            QVERIFY(a.grab().save(capture + "/apropos.png"));
        }
    }
};

QTEST_MAIN(TstLanceur)
#include "tst_lanceur.moc"

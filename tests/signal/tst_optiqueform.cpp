#include "CameraFactice.h"
#include "ExportOptique.h"
#include "NumberText.h"
#include "OptiqueMain.h"
#include "TestHost.h"
#include "TestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

using enum ProfilIntensite::TstyleDrag;

namespace {

// 10 x 4 pixels of red 51, green 102, blue 153: relative 0.2, 0.4, 0.6, all three 0.4.
QImage uni(int w = 10, int h = 4)
{
    QImage im(w, h, QImage::Format_RGB888);
    im.fill(QColor(51, 102, 153));
    return im;
}

struct Fenetre
{
    TestHost host;
    CameraFactice* camera;
    std::unique_ptr<TOptiqueForm> form;

    explicit Fenetre(QList<CameraFactice::Appareil> appareils = {})
    {
        auto c = std::make_unique<CameraFactice>();
        c->appareils = std::move(appareils);
        camera = c.get();
        form = std::make_unique<TOptiqueForm>(host, std::move(c));
    }
    QString fichier(const QString& nom, const QImage& im, const char* format)
    {
        const QString chemin = host.racine() + nom;
        if (!im.save(chemin, format))
            return {};
        return chemin;
    }
    template <class T>
    T* enfant(const char* nom) const
    {
        return form->findChild<T*>(QString::fromLatin1(nom));
    }
    QStringList tableau()
    {
        return host.transfert().construit(Destination::Tabulo, form->sourceTabulo()).toStrings();
    }
};

QWidget* ligneReglage(const TOptiqueForm& f, int r)
{
    return f.findChild<QGroupBox*>(QStringLiteral("Reglage%1").arg(r));
}

// Types the name as a user does and accepts; the dialog must then name `attendu`.
void tape(QFileDialog* fd, const QString& nom, const QString& attendu)
{
    auto* champ = fd->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(champ);
    champ->clear();
    QTest::keyClicks(champ, nom);
    QCOMPARE(fd->selectedFiles(), QStringList{attendu});
    static_cast<QDialog*>(fd)->done(QDialog::Accepted);
}

void glisse(QWidget* w, QPoint de, QPoint vers, Qt::KeyboardModifiers m = {})
{
    QTest::mousePress(w, Qt::LeftButton, m, de);
    QMouseEvent bouge(QEvent::MouseMove, QPointF(vers), w->mapToGlobal(QPointF(vers)), Qt::NoButton, Qt::LeftButton, m);
    QApplication::sendEvent(w, &bouge);
    QTest::mouseRelease(w, Qt::LeftButton, m, vers);
}

} // namespace

class TestOptiqueForm : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal(QLatin1Char('.')); }

    void startsEmpty()
    {
        Fenetre f;
        QCOMPARE(f.form->windowTitle(), QStringLiteral("KINEXO : lecture d'intensité lumineuse pour Tabulo"));
        for (const char* nom : {"Tabulo", "Sauver", "Enregistrer", "Acquisition"})
            QVERIFY2(!f.form->action(QString::fromUtf8(nom))->isEnabled(), nom);
        QVERIFY(f.form->action("Charger")->isEnabled());
        QCOMPARE(f.form->action("Tabulo")->statusTip(), QStringLiteral("Envoi de données vers Tabulo"));
        // No camera: no webcam button, no sizes, everything else there.
        QVERIFY(!f.form->action("Webcam")->isVisible());
        QVERIFY(!f.form->action("Acquisition")->isVisible());
        QVERIFY(!f.enfant<QComboBox>("TailleCB")->parentWidget()->isVisibleTo(f.form.get()));
        QCOMPARE(f.enfant<QSpinBox>("MoyenneSE")->maximum(), 128);
        QCOMPARE(f.enfant<QSpinBox>("LargeurSE")->minimum(), 1);
        QCOMPARE(f.enfant<QSpinBox>("LargeurSE")->maximum(), 5);
        QCOMPARE(f.enfant<QLineEdit>("EchelleEdit")->text(), QStringLiteral("10.000")); // 0.01 m = 10 mm
        QCOMPARE(f.enfant<QComboBox>("UniteCB")->currentText(), QStringLiteral("mm"));
        QCOMPARE(f.enfant<QLineEdit>("EchelleEdit")->statusTip(), QStringLiteral("Longueur de l'échelle (validez avec Entrée)"));
        QCOMPARE(f.enfant<QLineEdit>("GammaEdit")->text(), QStringLiteral("1"));
        // The mouse does nothing without a picture.
        glisse(f.form->image(), {0, 0}, {5, 5});
        QCOMPARE(f.form->nomFichier(), QString());
    }

    // JPEG and PNG are decoded in memory (no copy beside the user's file); GIF goes through the
    // launcher's conversion and the converted file is the one named.
    void loads_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("nomAttendu");
        QTest::newRow("png") << "motif.png" << "PNG" << "motif.png";
        QTest::newRow("jpeg") << "motif.JPG" << "JPEG" << "motif.JPG";
        QTest::newRow("bmp") << "motif.bmp" << "BMP" << "motif.bmp";
    }
    void loads()
    {
        QFETCH(QString, nom);
        QFETCH(QString, format);
        QFETCH(QString, nomAttendu);
        Fenetre f;
        const QString chemin = f.fichier(nom, uni(200, 100), qPrintable(format));
        QVERIFY(!chemin.isEmpty());
        QVERIFY(f.form->ChargeFichier(chemin));
        QCOMPARE(f.form->nomFichier(), f.host.racine() + nomAttendu);
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Lecture d'images pour Tabulo [%1]").arg(nomAttendu));
        QCOMPARE(QDir(f.host.racine()).entryList(QDir::Files).filter("motif").size(), 1);
        const ProfilIntensite& p = f.form->profil();
        QCOMPARE(p.LargeurI, 200);
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(100, 50));
        QCOMPARE(p.PointRepere[bsDirection], QPoint(160, 50));
        QCOMPARE(p.Debut, -100);
        QCOMPARE(p.Fin, 99);
        for (const char* b : {"Tabulo", "Sauver", "Enregistrer"})
            QVERIFY2(f.form->action(QString::fromUtf8(b))->isEnabled(), b);
        QCOMPARE(f.form->image()->size(), QSize(200, 100));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void gifThroughTheLauncher()
    {
        Fenetre f;
        // 2 x 1 GIF: one black and one white pixel.
        QVERIFY(ecritOctets(f.host.racine() + "g.gif",
                            QByteArray::fromHex("474946383961020001008000"
                                                "00ffffff000000"
                                                "2c000000000200010000"
                                                "02020c0a00"
                                                "3b")));
        QVERIFY(f.form->ChargeFichier(f.host.racine() + "g.gif"));
        // The launcher's copy, in the temporary folder, never beside the user's file.
        QVERIFY2(f.form->nomFichier().startsWith(f.host.tamponDir()), qPrintable(f.form->nomFichier()));
        QVERIFY(f.form->nomFichier().endsWith("/g.bmp"));
        QVERIFY(!QFile::exists(f.host.racine() + "g.bmp"));
        QCOMPARE(f.form->profil().image().size(), QSize(2, 1));
        QCOMPARE(f.form->profil().image().pixelColor(0, 0), QColor(Qt::black));
    }

    void unreadableFileKeepsThePicture()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("bon.png", uni(), "PNG")));
        QVERIFY(ecritOctets(f.host.racine() + "mauvais.jpg", "pas une image"));
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        QVERIFY(!f.form->ChargeFichier(f.host.racine() + "mauvais.jpg"));
        QVERIFY(!message.isEmpty());
        QCOMPARE(f.form->nomFichier(), f.host.racine() + "bon.png");
        QCOMPARE(f.form->profil().LargeurI, 10);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void unreadableLength()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(), "PNG")));
        auto* champ = f.enfant<QLineEdit>("EchelleEdit");
        champ->setText("1%");
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        f.form->CalculeProfil();
        QCOMPARE(message, QStringLiteral("Echelle incorrecte"));
        QCOMPARE(champ->text(), QStringLiteral("10.000"));
        QCOMPARE(f.form->profil().longueurEchelle, 0.01);
        // Only digits, separators, "%" and the apostrophe can be typed.
        champ->clear();
        QTest::keyClicks(champ, "2a5,m");
        QCOMPARE(champ->text(), QStringLiteral("25,"));
    }

    // Line by line, for each kind of abscissa, with all channels and with one.
    void exportedText_data()
    {
        QTest::addColumn<int>("dimension");
        QTest::addColumn<QString>("longueur");
        QTest::addColumn<int>("unite");
        QTest::addColumn<bool>("tous");
        QTest::addColumn<QStringList>("tabulo");   // after the three first lines, before the rows
        QTest::addColumn<QString>("premiere");     // first row
        QTest::addColumn<QStringList>("fichier");  // the file's three first lines
        // Scale ends (2, 3) and (8, 3): 6 pixels for 12 mm.
        QTest::newRow("Echelle, all") << 0 << "12" << 1 << true
                                      << QStringList{"x\tI", "m\t\t\t\t", "Distance\tIntensité relative\tbleu\trouge\tvert"}
                                      << "-0.01\t0.4\t0.6\t0.2\t0.4"
                                      << QStringList{"x\tI\t\t\t", "m\t", "Distance\tIntensité relative\tbleu\trouge\tvert"};
        QTest::newRow("Echelle, red") << 0 << "12" << 1 << false
                                      << QStringList{"x\tI", "m\t\t", "Distance\tIntensité relative\trouge"}
                                      << "-0.01\t0.2\t0.2"
                                      << QStringList{"x\tI\t", "m\t", "Distance\tIntensité relative\trouge"};
        QTest::newRow("Pixel, all") << 1 << "5" << 2 << true
                                    << QStringList{"x\tI", "m\t\t\t\t", "Distance\tIntensité relative\tbleu\trouge\tvert"}
                                    << "-2.5E-05\t0.4\t0.6\t0.2\t0.4"
                                    << QStringList{"x\tI\t\t\t", "m\t", "Distance\tIntensité relative\tbleu\trouge\tvert"};
        QTest::newRow("Index, all") << 2 << "" << 0 << true
                                    << QStringList{"x\tI", "\t\t\t\t", "Numéro pixel\tIntensité relative\tbleu\trouge\tvert"}
                                    << "-5\t0.4\t0.6\t0.2\t0.4"
                                    << QStringList{"x\tI\t\t\t", "\t", "Numéro pixel\tIntensité relative\tbleu\trouge\tvert"};
        QTest::newRow("Index, red") << 2 << "" << 0 << false
                                    << QStringList{"x\tI", "\t\t", "Numéro pixel\tIntensité relative\trouge"}
                                    << "-5\t0.2\t0.2"
                                    << QStringList{"x\tI\t", "\t", "Numéro pixel\tIntensité relative\trouge"};
    }
    void exportedText()
    {
        QFETCH(int, dimension);
        QFETCH(QString, longueur);
        QFETCH(int, unite);
        QFETCH(bool, tous);
        QFETCH(QStringList, tabulo);
        QFETCH(QString, premiere);
        QFETCH(QStringList, fichier);
        Fenetre f;
        const QString chemin = f.fichier("a.png", uni(), "PNG");
        QVERIFY(f.form->ChargeFichier(chemin));
        f.form->profil().PointRepere[bsEchelle1] = {2, 3};
        f.form->profil().PointRepere[bsEchelle2] = {8, 3};
        f.form->findChildren<QRadioButton*>().at(dimension)->click();
        if (dimension != 2) {
            f.enfant<QComboBox>("UniteCB")->setCurrentIndex(unite);
            f.enfant<QLineEdit>("EchelleEdit")->setText(longueur);
        }
        if (!tous)
            for (const char* c : {"bleu", "vert"})
                for (QToolButton* b : f.form->findChildren<QToolButton*>())
                    if (b->accessibleName() == QLatin1String(c))
                        b->setChecked(false);
        f.form->CalculeProfil();
        const QStringList t = f.tableau();
        QCOMPARE(t.size(), 3 + 3 + 10 + 2);
        QCOMPARE(t.at(1), QString()); // this tool's second line is always empty
        QCOMPARE(t.mid(3, 3), tabulo);
        QCOMPARE(t.at(6), premiere);
        if (dimension == 2)
            QCOMPARE(t.at(15).section('\t', 0, 0), QStringLiteral("4"));
        QCOMPARE(t.mid(16), (QStringList{"&1 FICHIER", chemin}));
        // The text file: its own header, then the same rows.
        const QStringList tf = fichierOptique(f.form->profil()).toStrings();
        QCOMPARE(tf.mid(0, 3), fichier);
        QCOMPARE(tf.mid(3), t.mid(6, 10));
    }

    void savesTheTextFile()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(), "PNG")));
        f.form->setDossier(f.host.racine());
        quandModal<QFileDialog>([&f](QFileDialog* d) {
            QCOMPARE(d->nameFilters(), QStringList{"Fichier texte (*.txt)"});
            tape(d, "profil", f.host.racine() + "profil.txt");
        });
        f.form->action("Sauver")->trigger();
        QFile fichier(f.host.racine() + "profil.txt");
        QVERIFY(fichier.open(QIODevice::ReadOnly));
        const QString texte = QString::fromUtf8(fichier.readAll());
        QVERIFY(texte.startsWith("x\tI\t\t\t\r\nm\t\r\nDistance\tIntensité relative\tbleu\trouge\tvert\r\n"));
        QCOMPARE(texte.count("\r\n"), 3 + 10);
    }

    void savesTheImageWithItsOverlay()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(200, 100), "PNG")));
        f.form->setDossier(f.host.racine());
        quandModal<QFileDialog>([&f](QFileDialog* d) {
            QCOMPARE(d->nameFilters(), (QStringList{"Bitmap (*.bmp)", "Jpeg (*.jpg)"}));
            tape(d, "vue", f.host.racine() + "vue.bmp");
        });
        f.form->action("Enregistrer")->trigger();
        const QImage lue(f.host.racine() + "vue.bmp");
        QCOMPARE(lue.size(), QSize(200, 100));
        // The line is drawn inverted across the picture; away from it the picture is intact.
        QCOMPARE(lue.pixelColor(30, 50), QColor(255 - 51, 255 - 102, 255 - 153));
        QCOMPARE(lue.pixelColor(30, 20), QColor(51, 102, 153));
    }

    // Dragging moves the points within their limits and the profile follows.
    void dragging()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(200, 100), "PNG")));
        QWidget* vue = f.form->image();
        glisse(vue, {101, 51}, {120, 40});
        const ProfilIntensite& p = f.form->profil();
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(120, 40));
        QCOMPARE(p.PointRepere[bsDirection], QPoint(180, 40));
        QCOMPARE(p.Debut, -120);
        QCOMPARE(f.form->borneSelect(), bsNone);
        // Shift aligns: the origin comes onto the direction point's vertical.
        glisse(vue, {180, 40}, {125, 90}, Qt::ShiftModifier);
        QCOMPARE(p.PointRepere[bsDirection], QPoint(125, 90));
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(125, 40));
        QVERIFY(!p.selonX);
        QCOMPARE(p.Debut, -40);
        // Off the margin: nothing moves.
        glisse(vue, {125, 40}, {3, 40});
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(125, 40));
    }

    void optionsRecompute()
    {
        Fenetre f;
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(), "PNG")));
        f.enfant<QSpinBox>("MoyenneSE")->setValue(1);
        QCOMPARE(f.form->profil().MoyenneSE, 1);
        QCOMPARE(f.form->profil().Debut, -4);
        auto* plus = f.enfant<QToolButton>("GammaPlus");
        for (int k = 0; k < 25; ++k)
            plus->click();
        QCOMPARE(f.enfant<QLineEdit>("GammaEdit")->text(), QStringLiteral("3"));
        QCOMPARE(f.form->profil().Gamma, 3.0);
        f.enfant<QToolButton>("GammaMoins")->click();
        QCOMPARE(f.enfant<QLineEdit>("GammaEdit")->text(), QStringLiteral("2.9"));
        QVERIFY(std::abs(f.form->profil().ValeurY[0] - std::pow(0.4, 2.9)) < 1e-12);
        // Every channel up: green comes down again by itself.
        for (QToolButton* b : f.form->findChildren<QToolButton*>())
            if (b->text().size() == 1)
                b->setChecked(false);
        auto boutonV = [&f] {
            for (QToolButton* b : f.form->findChildren<QToolButton*>())
                if (b->text() == "V")
                    return b;
            return static_cast<QToolButton*>(nullptr);
        };
        QVERIFY(boutonV()->isChecked());
        QCOMPARE(f.form->profil().IntMax, 255);
        f.enfant<QLineEdit>("GammaEdit")->setText("abc");
        f.form->CalculeProfil();
        QCOMPARE(f.form->profil().Gamma, 1.0);
    }

    void hiddenEditMovesThePointer_data()
    {
        QTest::addColumn<int>("touche");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("bouton");
        QTest::addColumn<QPoint>("attendu");
        QTest::newRow("left, button held") << int(Qt::Key_Left) << "" << true << QPoint(-1, 0);
        QTest::newRow("left, no button") << int(Qt::Key_Left) << "" << false << QPoint();
        QTest::newRow("keypad 8, button held") << int(Qt::Key_8) << "8" << true << QPoint(0, -1);
        QTest::newRow("typed 6") << int(Qt::Key_6) << "6" << false << QPoint(1, 0);
        QTest::newRow("typed 2") << int(Qt::Key_2) << "2" << false << QPoint(0, 1);
        QTest::newRow("typed 5") << int(Qt::Key_5) << "5" << false << QPoint();
    }
    void hiddenEditMovesThePointer()
    {
        QFETCH(int, touche);
        QFETCH(QString, texte);
        QFETCH(bool, bouton);
        QFETCH(QPoint, attendu);
        const auto d = TOptiqueForm::deplacementTouche(touche, texte, bouton);
        QCOMPARE(d.value_or(QPoint()), attendu);
    }

    void settingsSectionOptique()
    {
        TestHost host;
        {
            TOptiqueForm f(host, std::make_unique<CameraFactice>());
            f.show();
            f.findChild<QSpinBox*>("LargeurSE")->setValue(3);
            f.findChild<QSpinBox*>("MoyenneSE")->setValue(7);
            f.findChildren<QRadioButton*>().at(1)->click();
            f.close();
        }
        QSettings ini(host.fichierIni(), QSettings::IniFormat);
        QCOMPARE(ini.value("Optique/Largeur").toInt(), 3);
        QCOMPARE(ini.value("Optique/Moyenne").toInt(), 7);
        QCOMPARE(ini.value("Optique/TypeEchelle").toInt(), 1);
        QCOMPARE(ini.value("Optique/Pixel").toDouble(), 1.4e-05);
        QCOMPARE(ini.value("Optique/Echelle").toDouble(), 0.01);
        QCOMPARE(ini.value("Optique/Gamma").toDouble(), 1.0);
        QCOMPARE(host.mode(), mNone);
        TOptiqueForm g(host, std::make_unique<CameraFactice>());
        QCOMPARE(g.findChild<QSpinBox*>("LargeurSE")->value(), 3);
        QCOMPARE(g.findChild<QSpinBox*>("MoyenneSE")->value(), 7);
        QCOMPARE(g.findChild<QLineEdit*>("EchelleEdit")->text(), QStringLiteral("14.000"));
        QCOMPARE(g.findChild<QComboBox*>("UniteCB")->currentText(), QStringLiteral("µm"));
    }

    // ---- with the stand-in camera ----

    void deviceListVisibility()
    {
        Fenetre un({CameraFactice::appareil("Cam A")});
        QVERIFY(un.form->action("Webcam")->isVisible());
        QVERIFY(!un.enfant<QComboBox>("DeviceCB")->isVisibleTo(un.form.get()));
        QCOMPARE(un.camera->peripherique(), 0);
        auto* tailles = un.enfant<QComboBox>("TailleCB");
        QCOMPARE(tailles->count(), 2);
        QCOMPARE(tailles->itemText(0), QStringLiteral("320 x 240"));
        QCOMPARE(tailles->currentText(), QStringLiteral("640 x 480"));

        Fenetre deux({CameraFactice::appareil("Cam A"), CameraFactice::appareil("Cam B", {{160, 120}})});
        deux.form->show();
        auto* liste = deux.enfant<QComboBox>("DeviceCB");
        QVERIFY(liste->isVisible());
        QCOMPARE(liste->count(), 2);
        QCOMPARE(liste->itemText(1), QStringLiteral("Cam B"));
        liste->setCurrentIndex(1);
        QCOMPARE(deux.camera->peripherique(), 1);
        QCOMPARE(deux.enfant<QComboBox>("TailleCB")->count(), 1);
        // A device unplugged: the list follows; the last one gone hides the webcam.
        deux.camera->change({CameraFactice::appareil("Cam A")});
        QTRY_VERIFY(!liste->isVisible());
        QCOMPARE(deux.camera->peripherique(), 0);
        deux.camera->change({});
        QVERIFY(!deux.form->action("Webcam")->isVisible());
    }

    void acquisitionBecomesThePicture()
    {
        Fenetre f({CameraFactice::appareil("Cam A")});
        f.form->show();
        QAction* webcam = f.form->action("Webcam");
        QAction* acquisition = f.form->action("Acquisition");
        QVERIFY(!acquisition->isEnabled());
        f.enfant<QComboBox>("TailleCB")->setCurrentIndex(0); // 320 x 240, and the preview starts
        QVERIFY(webcam->isChecked());
        QVERIFY(f.camera->apercu);
        QCOMPARE(f.form->nomFichier(), QStringLiteral("Webcam"));
        QVERIFY(acquisition->isEnabled());
        QVERIFY(!f.form->action("Options")->isEnabled());
        QCOMPARE(f.form->action("Options")->toolTip(), QStringLiteral("Options inaccessibles pendant prévisualisation"));
        QTRY_VERIFY(!f.enfant<QLabel>("Apercu")->pixmap().isNull());
        QVERIFY(!f.form->image()->isVisible());
        const QString captures = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!captures.isEmpty())
            QVERIFY(f.form->grab().save(captures + "/optique-webcam.png"));
        acquisition->trigger();
        QTRY_COMPARE(f.form->nomFichier(), f.host.appDataDir() + "interf.bmp");
        QVERIFY(!webcam->isChecked());
        QVERIFY(!f.camera->apercu);
        QCOMPARE(f.camera->captures, 1);
        QCOMPARE(f.form->profil().LargeurI, 320);
        QVERIFY(f.form->image()->isVisible());
        const QImage lue(f.form->fichierWebcam());
        QCOMPARE(lue.size(), QSize(320, 240));
        QCOMPARE(lue.convertToFormat(QImage::Format_RGB888), f.camera->trame());
        QCOMPARE(f.form->windowTitle(), QStringLiteral("Lecture d'images pour Tabulo [interf.bmp]"));
        QVERIFY(f.form->action("Tabulo")->isEnabled());
        QCOMPARE(f.form->profil().Debut, -160);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        if (!captures.isEmpty())
            QVERIFY(f.form->grab().save(captures + "/optique-acquisition.png"));
    }

    void previewReleasedKeepsThePicture()
    {
        Fenetre f({CameraFactice::appareil("Cam A")});
        QVERIFY(f.form->ChargeFichier(f.fichier("a.png", uni(), "PNG")));
        f.form->action("Webcam")->setChecked(true);
        QCOMPARE(f.form->nomFichier(), QStringLiteral("Webcam"));
        f.form->action("Webcam")->setChecked(false);
        QCOMPARE(f.form->nomFichier(), f.host.racine() + "a.png");
        QVERIFY(!f.camera->apercu);
    }

    void settingsShownWhenTheDeviceHasThem()
    {
        CameraFactice::Appareil a = CameraFactice::appareil("Cam A");
        a.reglages[CameraSource::rgGain] = {0, 100, 1, 30, 50};
        a.reglages[CameraSource::rgLuminosite] = {-64, 64, 2, 10, 0};
        Fenetre f({a, CameraFactice::appareil("Cam nue")});
        f.form->show();
        for (int r = 0; r < 3; ++r)
            QVERIFY2(!ligneReglage(*f.form, r)->isVisible(), "hidden without the preview");
        f.form->action("Webcam")->setChecked(true);
        QVERIFY(ligneReglage(*f.form, CameraSource::rgGain)->isVisible());
        QVERIFY(!ligneReglage(*f.form, CameraSource::rgExposition)->isVisible());
        QVERIFY(ligneReglage(*f.form, CameraSource::rgLuminosite)->isVisible());
        const QString captures = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!captures.isEmpty())
            QVERIFY(f.form->grab().save(captures + "/optique-reglages.png"));
        QCOMPARE(ligneReglage(*f.form, CameraSource::rgGain)->property("title").toString(), QStringLiteral("Gain"));
        QCOMPARE(ligneReglage(*f.form, CameraSource::rgLuminosite)->property("title").toString(), QStringLiteral("Luminosité"));
        auto* gain = ligneReglage(*f.form, CameraSource::rgGain)->findChild<QSlider*>();
        QCOMPARE(gain->minimum(), 0);
        QCOMPARE(gain->maximum(), 100);
        QCOMPARE(gain->value(), 30);
        QVERIFY(f.camera->ecritures.empty()); // filling the controls writes nothing
        gain->setValue(70);
        QCOMPARE(f.camera->ecritures.back(), std::make_pair(CameraSource::rgGain, 70));
        ligneReglage(*f.form, CameraSource::rgGain)->findChild<QPushButton*>()->click();
        QCOMPARE(gain->value(), 50);
        QCOMPARE(f.camera->ecritures.size(), std::size_t(1));
        // The other device has none.
        f.enfant<QComboBox>("DeviceCB")->setCurrentIndex(1);
        f.form->action("Webcam")->setChecked(true);
        for (int r = 0; r < 3; ++r)
            QVERIFY(!ligneReglage(*f.form, r)->isVisible());
    }

    void closingStopsThePreview()
    {
        Fenetre f({CameraFactice::appareil("Cam A")});
        f.form->show();
        f.form->action("Webcam")->setChecked(true);
        QVERIFY(f.camera->apercu);
        f.form->close();
        QVERIFY(!f.camera->apercu);
        QVERIFY(!f.form->action("Webcam")->isChecked());
    }
};

QTEST_MAIN(TestOptiqueForm)
#include "tst_optiqueform.moc"

// The stroboscopic-photo tool's window on the generated sample and on small pictures: the scale
// dialog and its refusals, marks fitted to a picture, series and their automatic stop, undo and
// delete per series, grid colours, "Axe Y vers le bas", the ruler distance, the contrast, the
// copy with its extent test, and the settings section shared with the curve digitiser.
#include "Chronophoto.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TestHost.h"
#include "bmpMain.h"
#include "bmpMecaEch.h"
#include "bmpMecaMain.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

namespace {

struct Reglage
{
    QString longueur = "1";
    QString intervalle = "0,04";
    int series = 1;
    bool reference = true;
};

void repondEchelle(const Reglage& r)
{
    quandModal<TEchelleMecaBmpDlg>([r](TEchelleMecaBmpDlg* d) {
        d->EchelleEdit->setText(r.longueur);
        d->ReferenceCB->setChecked(r.reference);
        d->EditT->setText(r.intervalle);
        d->NbreSE->setValue(r.series);
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

void clic(QWidget* w, QPoint p)
{
    QTest::mouseMove(w, p);
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

void glisse(QWidget* w, QPoint de, QPoint a)
{
    QTest::mousePress(w, Qt::LeftButton, {}, de);
    QTest::mouseMove(w, (de + a) / 2);
    QTest::mouseMove(w, a);
    QTest::mouseRelease(w, Qt::LeftButton, {}, a);
}

QPoint eclair(int objet, int i)
{
    return chronophoto::position(objet, i).toPoint();
}

QString messageSuivant(QString* texte)
{
    quandModal<QMessageBox>([texte](QMessageBox* m) {
        *texte = m->text();
        m->accept();
    });
    return QString();
}

} // namespace

class TstBmpMecaForm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestHost> host;
    std::unique_ptr<TBitmapMecaForm> form;

    void cree()
    {
        form = std::make_unique<TBitmapMecaForm>(*host);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    // Marks read from the settings: origin (100, 500), scale from (100, 600) to (300, 600).
    void reperes(QPoint origine, QPoint debut, QPoint fin)
    {
        QSettings ini(host->fichierIni(), QSettings::IniFormat);
        ini.beginGroup("BMP");
        for (auto [nom, p] : {std::pair{"Origine", origine}, {"Echelle1", debut}, {"Echelle2", fin}}) {
            ini.setValue(QString(nom) + "X", p.x());
            ini.setValue(QString(nom) + "Y", p.y());
        }
    }

    void chargeEchantillon(const Reglage& r = {})
    {
        repondEchelle(r);
        QVERIFY(form->ChargeImage(QStringLiteral(KX_STROBO_SAMPLE)));
    }

    QString cellule(int ligne, int col) const
    {
        const QTableWidgetItem* it = form->grille()->item(ligne, col);
        return it ? it->text() : QString();
    }

private slots:
    void initTestCase() { setSeparateurDecimal(QLatin1Char('.')); }

    void init()
    {
        host = std::make_unique<TestHost>();
        // The sample's ruler: graduations 0 and 100 at (150, 880) and (750, 880).
        reperes({150, 100}, {150, 880}, {750, 880});
        cree();
    }

    void cleanup()
    {
        form.reset();
        host.reset();
    }

    void etatInitial()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("KINEXO : lecture de chronophotographie pour Tabulo"));
        for (const char* nom : {"Echelle", "RàZ", "Défaire", "Effacer", "Tabulo", "Copier"})
            QVERIFY2(!form->action(QString::fromUtf8(nom))->isEnabled(), nom);
        QVERIFY(!form->action("Mesurer")->isVisible());
        QVERIFY(!form->serieVisible());
        QVERIFY(!form->scrollBarGamma()->isVisible());
        QCOMPARE(form->grille()->columnCount(), 3);
        QCOMPARE(form->grille()->horizontalHeaderItem(0)->text(), QStringLiteral("t(s)"));
        QCOMPARE(form->grille()->horizontalHeaderItem(2)->text(), QStringLiteral("Y1(m)"));
        QCOMPARE(form->couleurGrille(0), 0);
        QCOMPARE(form->couleurGrille(1), 0x0000FF); // red reads as red
        // Nothing happens before a picture.
        clic(form->vueImage(), QPoint(10, 10));
        form->scrollBarGamma()->setValue(20);
        QCOMPARE(form->series().NbrePoints(1), 0);
    }

    void chargement()
    {
        // As the launcher hands over a file opened from the desktop.
        repondEchelle({"1", "0,04", 1, true});
        QVERIFY(static_cast<OutilOuvrant&>(*form).ouvreFichierExterne(QStringLiteral(KX_STROBO_SAMPLE)));
        QCOMPARE(form->windowTitle(), QStringLiteral("Lecture de bitmap pour Tabulo [chronophoto-chute.jpg]"));
        QCOMPARE(form->image().size(), QSize(chronophoto::kLargeur, chronophoto::kHauteur));
        QCOMPARE(form->texteStatus(), QStringLiteral("Cliquer sur le bouton Echelle pour configurer"));
        QVERIFY(form->action("Mesurer")->isVisible());
        QVERIFY(form->action("Echelle")->isEnabled());
        // Marks inside the picture are kept: the scale is 1 m over 600 pixels.
        QCOMPARE(form->repere(TBitmapMecaForm::bsEchelle2), QPoint(750, 880));
        QCOMPARE(form->echelle().Echelle, 1.0 / 600);
        QCOMPARE(form->echelle().arrondi, 0.001);
        QCOMPARE(form->intervalle(), 0.04);
        // The dark background is noisy but never pure black, the balls bright.
        const QColor fond = form->image().pixelColor(500, 300);
        QVERIFY2(fond.value() > 5 && fond.value() < 45, qPrintable(fond.name()));
        const QColor balle = form->image().pixelColor(eclair(1, 5) + QPoint(4, 4));
        QVERIFY2(balle.value() > 150, qPrintable(balle.name()));
    }

    // Marks beyond a smaller picture come back into it.
    void reperesAjustes()
    {
        const QString chemin = host->racine() + "petite.bmp";
        QImage im(100, 80, QImage::Format_RGB888);
        im.fill(Qt::darkGray);
        QVERIFY(sauveBmp(im, chemin));
        repondEchelle({});
        QVERIFY(form->ChargeImage(chemin));
        QCOMPARE(form->repere(TBitmapMecaForm::bsOrigine), QPoint(50, 40));
        QCOMPARE(form->repere(TBitmapMecaForm::bsEchelle1), QPoint(50, 40));
        QCOMPARE(form->repere(TBitmapMecaForm::bsEchelle2), QPoint(75, 40));
    }

    // A length or an interval that is not a number is refused with a message; the dialog stays
    // open with the previous value, which is kept.
    void saisieIncorrecte_data()
    {
        QTest::addColumn<QString>("longueur");
        QTest::addColumn<QString>("intervalle");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("champ");
        QTest::newRow("longueur en lettres") << "vingt" << "0,04" << "Echelle incorrecte" << "1";
        QTest::newRow("longueur vide") << "" << "0,04" << "Echelle incorrecte" << "1";
        QTest::newRow("intervalle") << "0,5" << "1/25" << "Intervalle incorrect" << "0.04";
    }
    void saisieIncorrecte()
    {
        QFETCH(QString, longueur);
        QFETCH(QString, intervalle);
        QFETCH(QString, message);
        QFETCH(QString, champ);
        chargeEchantillon({"1", "0,04", 1, true});
        TEchelleMecaBmpDlg& d = form->echelleDlg();
        QString vu;
        bool resteOuvert = false;
        QString affiche;
        quandModal<TEchelleMecaBmpDlg>([&](TEchelleMecaBmpDlg* dlg) {
            dlg->EchelleEdit->setText(longueur);
            dlg->EditT->setText(intervalle);
            quandModal<QMessageBox>([&](QMessageBox* m) {
                vu = m->text();
                m->accept();
            });
            dlg->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
            QTRY_VERIFY(!vu.isEmpty());
            resteOuvert = dlg->isVisible();
            affiche = message.startsWith("Echelle") ? dlg->EchelleEdit->text() : dlg->EditT->text();
            dlg->reject();
        });
        form->action("Echelle")->trigger();
        QVERIFY2(vu.startsWith(message), qPrintable(vu));
        QVERIFY(resteOuvert);
        QCOMPARE(affiche, champ);
        QCOMPARE(d.Longueur, 1.0);
        QCOMPARE(form->echelle().Longueur, 1.0);
        QCOMPARE(form->intervalle(), 0.04);
        QCOMPARE(form->echelle().Echelle, 1.0 / 600);
    }

    // SI prefixes and the comma are read; without the time reference the interval is 1 and its
    // fields are hidden.
    void reference()
    {
        chargeEchantillon({"1000 mm", "40ms", 1, true});
        QCOMPARE(form->echelle().Longueur, 1.0);
        QCOMPARE(form->intervalle(), 0.04);
        chargeEchantillon({"0,5", "0,04", 1, false});
        QCOMPARE(form->echelle().Longueur, 0.5);
        QVERIFY(!form->avecT());
        QCOMPARE(form->intervalle(), 1.0);
        bool cache = false;
        quandModal<TEchelleMecaBmpDlg>([&cache](TEchelleMecaBmpDlg* d) {
            cache = d->EditT->isHidden() && d->nomT->isHidden() && d->UniteT->isHidden();
            QCOMPARE(d->EchelleEdit->text(), QStringLiteral("0.5"));
            d->reject();
        });
        form->action("Echelle")->trigger();
        QVERIFY(cache);
    }

    // Two series: series 1 first, then "Mesurer" gives the emptiest series, whose clicking stops
    // by itself at the last flash of series 1. Undo and delete act on one series.
    void deuxSeries()
    {
        chargeEchantillon({"1", "0,04", 2, true});
        QVERIFY(form->serieVisible());
        QWidget* v = form->vueImage();
        form->action("Mesurer")->trigger();
        QCOMPARE(form->objet(), 1);
        QCOMPARE(form->grille()->columnCount(), 5);
        QCOMPARE(form->grille()->horizontalHeaderItem(3)->text(), QStringLiteral("X2(m)"));
        QList<bool> tabulo;
        for (int i = 0; i < 10; ++i) {
            tabulo << form->action("Tabulo")->isEnabled();
            clic(v, form->geometrie().versEcran(eclair(1, i)));
        }
        QCOMPARE(tabulo, (QList<bool>{false, false, false, true, true, true, true, true, true, true}));
        QCOMPARE(form->series().NbrePoints(1), 10);
        form->action("Stop")->trigger();
        form->action("Mesurer")->trigger();
        QCOMPARE(form->objet(), 2);
        QCOMPARE(form->serieSE()->value(), 2);
        for (int i = 0; i < 9; ++i)
            clic(v, form->geometrie().versEcran(eclair(2, i)));
        QCOMPARE(form->etat(), int(TBitmapMecaForm::bsMesure));
        // Undo takes the last position of series 2 only.
        form->action("Défaire")->trigger();
        QCOMPARE(form->series().NbrePoints(2), 8);
        QCOMPARE(form->series().NbrePoints(1), 10);
        clic(v, form->geometrie().versEcran(eclair(2, 8)));
        clic(v, form->geometrie().versEcran(eclair(2, 9)));
        QCOMPARE(form->series().NbrePoints(2), 10);
        QCOMPARE(form->etat(), int(TBitmapMecaForm::bsNone));
        QVERIFY(form->action("Mesurer")->isVisible());
        QCOMPARE(form->texteStatus(), QStringLiteral("Transférer vers Tabulo"));
        // Row 3: t, then the two balls at the same height.
        QCOMPARE(cellule(3, 0), QStringLiteral("0.12"));
        QCOMPARE(cellule(3, 2), cellule(3, 4));
        QCOMPARE(cellule(3, 3), QStringLiteral("0"));

        // Delete the nearest position: position 4 of series 1.
        form->SupprBtnClick();
        clic(v, form->geometrie().versEcran(eclair(1, 4)) + QPoint(2, 1));
        QCOMPARE(form->series().NbrePoints(1), 9);
        QCOMPARE(form->series().point(1, 4), eclair(1, 5));
        QCOMPARE(form->series().NbrePoints(2), 10);
        QCOMPARE(form->etat(), int(TBitmapMecaForm::bsNone));

        form->RazBtnClick();
        QCOMPARE(form->series().NbrePoints(2), 0);
        QCOMPARE(form->nbreObjet(), 1);
        QVERIFY(!form->serieVisible());
        QCOMPARE(cellule(0, 1), QString());
    }

    void couleursDeLaGrille_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<int>("texte");
        QTest::newRow("jaune") << "Jaune" << 0;
        QTest::newRow("argent") << "Argent" << 0;
        QTest::newRow("creme") << "Crème" << 0;
        QTest::newRow("blanc") << "Blanc" << 0;
        QTest::newRow("citron vert") << "Citron vert" << 0x008000;
        QTest::newRow("cyan") << "Cyan" << 0xFF0000;
        QTest::newRow("violet") << "Violet" << 0x800080;
    }
    void couleursDeLaGrille()
    {
        QFETCH(QString, nom);
        QFETCH(int, texte);
        chargeEchantillon({"1", "0,04", 2, true});
        form->serieSE()->setValue(2);
        form->action("Mesurer")->trigger(); // series 1, the emptiest
        clic(form->vueImage(), form->geometrie().versEcran(eclair(1, 0)));
        form->serieSE()->setValue(2);
        clic(form->vueImage(), form->geometrie().versEcran(eclair(2, 0)));
        QComboBox* cb = form->couleurPointsCB();
        cb->setCurrentIndex(cb->findText(nom));
        QCOMPARE(form->couleurGrille(3), texte);
        QCOMPARE(form->couleurGrille(4), texte);
        QCOMPARE(form->couleurGrille(1), 0x0000FF); // series 1 keeps its red
        QCOMPARE(form->grille()->item(0, 4)->foreground().color(),
                 QColor(texte & 0xFF, (texte >> 8) & 0xFF, (texte >> 16) & 0xFF));
    }

    void axeYVersLeBas()
    {
        chargeEchantillon();
        form->action("Mesurer")->trigger();
        clic(form->vueImage(), form->geometrie().versEcran(eclair(1, chronophoto::kEclairs - 1)));
        const QString haut = cellule(0, 2);
        QVERIFY2(haut.startsWith('-'), qPrintable(haut)); // below the origin, y upwards
        form->caseSigneY()->setChecked(true);
        QCOMPARE(form->echelle().signeY, 1.0);
        QCOMPARE(cellule(0, 2), haut.mid(1));
        QCOMPARE(cellule(0, 1), TexteNombre(std::nearbyint((eclair(1, chronophoto::kEclairs - 1).x() - 150) / 0.6) / 1000));
    }

    // 200 px for 0.5 gives 0.0025 per pixel; at zoom 2 a drag of 2 × 85 view pixels is 85 pixels.
    void distanceDeLaRegle()
    {
        reperes({500, 500}, {100, 600}, {300, 600});
        cree();
        chargeEchantillon({"0,5", "0,04", 1, true});
        QCOMPARE(form->echelle().Echelle, 0.0025);
        form->ChangeZoom(2);
        QCOMPARE(form->geometrie().pasZoom, 2.0);
        QWidget* v = form->vueImage();
        const QPoint de(20, 40);
        QTest::mousePress(v, Qt::LeftButton, {}, de);
        QTest::mouseMove(v, QPoint(100, 41));
        QTest::mouseMove(v, QPoint(191, 41));
        QCOMPARE(form->panneauStatus(3), QStringLiteral("distance=0.2125m"));
        QTest::mouseRelease(v, Qt::LeftButton, {}, QPoint(191, 41));
        // Every move empties the panel first; without the button there is no distance.
        QTest::mouseMove(v, QPoint(150, 60));
        QCOMPARE(form->panneauStatus(3), QString());
        QCOMPARE(form->series().NbrePoints(1), 0);
    }

    // The picture shown is the original through the contrast; the reference line moves the level
    // that stays mid-grey.
    void contraste()
    {
        chargeEchantillon();
        const QPoint fond(500, 300);
        const QColor avant = form->original().pixelColor(fond);
        form->contrasteCB()->setChecked(true);
        QTRY_VERIFY(form->scrollBarGamma()->isVisible());
        QTRY_VERIFY(form->gammaPaintBox()->isVisible());
        form->scrollBarGamma()->setValue(25);
        QCOMPARE(form->valeurGamma(), 25);
        QCOMPARE(form->image().pixelColor(fond), QColor(0, 0, 0)); // dark background pushed to black
        QCOMPARE(form->original().pixelColor(fond), avant);
        form->scrollBarGamma()->setValue(0);
        QCOMPARE(form->image(), form->original());

        // Drag the red line from 128 to a quarter of the box.
        QWidget* box = form->gammaPaintBox();
        const int w = box->width();
        const QPoint ligne(128 * w / 255, box->height() / 2);
        glisse(box, ligne, QPoint(w / 4, box->height() / 2));
        QCOMPARE(form->milieuGamma(), (w / 4) * 255 / w);
        const int m = form->milieuGamma();
        const QColor c = form->image().pixelColor(fond);
        // k = 1: every level moves by 128 - reference.
        QCOMPARE(c.red(), std::clamp(avant.red() - m + 128, 0, 255));
        // A press away from the line does nothing.
        glisse(box, QPoint(w - 2, 5), QPoint(w - 40, 5));
        QCOMPARE(form->milieuGamma(), m);
        // Unticking hides the controls and keeps the adjusted picture.
        form->scrollBarGamma()->setValue(8);
        const QImage ajustee = form->image();
        form->contrasteCB()->setChecked(false);
        QTRY_VERIFY(!form->scrollBarGamma()->isVisible());
        QCOMPARE(form->image(), ajustee);
    }

    // The copy: comment, names, units, rows; refused with a message for a motion too small.
    void copie()
    {
        chargeEchantillon();
        form->action("Mesurer")->trigger();
        for (int i = 0; i < 3; ++i)
            clic(form->vueImage(), form->geometrie().versEcran(QPoint(400 + 12 * i, 400 + 10 * i)));
        QGuiApplication::clipboard()->setText("avant");
        QString message;
        messageSuivant(&message);
        form->action("Copier")->trigger();
        QTRY_COMPARE(message, QStringLiteral("Mesures sur zone trop étroite !"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("avant"));

        // With the time reference the motion need only be tall: 40 pixels > 940 div 32.
        form->action("Mesurer")->trigger();
        clic(form->vueImage(), form->geometrie().versEcran(QPoint(404, 440)));
        host->transfert().constanteDlg().EditComm->setText("essai");
        form->action("Copier")->trigger();
        const QStringList lignes = QGuiApplication::clipboard()->text().split("\r\n");
        QCOMPARE(lignes.mid(0, 4), (QStringList{"essai", "t\tX\tY\t", "s\tm\tm\t", "0\t0.417\t-0.5\t"}));
        QCOMPARE(lignes.value(6), QStringLiteral("0.12\t0.423\t-0.567\t"));
        QCOMPARE(lignes.size(), 8);
    }

    // Closing writes section "BMP"; the curve digitiser then reads the shared keys.
    void reglagesPartages()
    {
        chargeEchantillon();
        form->grilleCB()->setChecked(true);
        form->caseSigneY()->setChecked(true);
        form->echelleDlg().UniteEdit->setText("cm");
        form->couleurPointsCB()->setCurrentIndex(form->couleurPointsCB()->findText("Bleu"));
        form->close();
        QCOMPARE(host->mode(), mNone);
        {
            QSettings ini(host->fichierIni(), QSettings::IniFormat);
            ini.beginGroup("BMP");
            QCOMPARE(ini.value("Grille").toBool(), true);
            QCOMPARE(ini.value("SigneY").toBool(), true);
            QCOMPARE(ini.value("UniteX").toString(), QStringLiteral("cm"));
            QCOMPARE(ini.value("Couleur1").toInt(), 0xFF0000);
            QCOMPARE(ini.value("Echelle2X").toInt(), 750);
            QCOMPARE(ini.value("OrigineY").toInt(), 100);
            QCOMPARE(ini.value("Filtre").toInt(), 0);
        }
        TBitmapForm courbes(*host);
        QCOMPARE(courbes.couleur(1), 0xFF0000);
        QCOMPARE(courbes.repere(TBitmapForm::bsOrigine), QPoint(150, 100));
        // And back: a new window reads its boxes.
        cree();
        QVERIFY(form->grilleCB()->isChecked());
        QCOMPARE(form->echelle().signeY, 1.0);
        QCOMPARE(form->echelleDlg().UniteEdit->text(), QStringLiteral("cm"));
        QCOMPARE(form->couleur(1), 0xFF0000);
    }
};

QTEST_MAIN(TstBmpMecaForm)
#include "tst_bmpmecaform.moc"

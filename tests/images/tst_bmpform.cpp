// The curve digitiser's window: loading pictures, dragging marks, pointing with the mouse and
// the keyboard, zoom and overview scrolling, copy to the clipboard.
#include "ImageLoader.h"
#include "JpegFabrique.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "Transfert.h"
#include "bmpEch.h"
#include "bmpMain.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

namespace {

// A graph: axes from (50, 250), x from 0 to 10 over 300 px, y from 0 to 5 over 200 px,
// and the curve y = x²/20 in blue.
QImage graphe(int w = 400, int h = 300)
{
    QImage im(w, h, QImage::Format_RGB888);
    im.fill(Qt::white);
    QPainter p(&im);
    p.setPen(Qt::black);
    p.drawLine(50, 250, 350, 250);
    p.drawLine(50, 250, 50, 50);
    p.setPen(Qt::blue);
    for (int px = 50; px < 350; ++px) {
        const double x0 = (px - 50) / 30.0, x1 = (px + 1 - 50) / 30.0;
        p.drawLine(QPointF(px, 250 - 40 * x0 * x0 / 20), QPointF(px + 1, 250 - 40 * x1 * x1 / 20));
    }
    p.fillRect(360, 20, 20, 20, Qt::blue); // legend
    return im;
}

// Answers the scale dialog opened by a load.
void regleDialogue(const QString& x0, const QString& x, const QString& y0, const QString& y, bool log = false)
{
    quandModal<TEchelleBmpDlg>([=](TEchelleBmpDlg* d) {
        d->logxcb->setChecked(log);
        d->logycb->setChecked(log);
        d->EditX0->setText(x0);
        d->EditX->setText(x);
        d->EditY0->setText(y0);
        d->EditY->setText(y);
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
}

void glisse(QWidget* w, QPoint de, QPoint a)
{
    QTest::mousePress(w, Qt::LeftButton, {}, de);
    QTest::mouseMove(w, (de + a) / 2);
    QTest::mouseMove(w, a);
    QTest::mouseRelease(w, Qt::LeftButton, {}, a);
}

void clic(QWidget* w, QPoint p)
{
    QTest::mouseMove(w, p);
    QTest::mousePress(w, Qt::LeftButton, {}, p);
    QTest::mouseRelease(w, Qt::LeftButton, {}, p);
}

} // namespace

class TstBmpForm : public QObject
{
    Q_OBJECT
    std::unique_ptr<TestHost> host;
    std::unique_ptr<TBitmapForm> form;

    QString ecritGraphe(const QString& nom, const QImage& im = graphe())
    {
        const QString chemin = host->racine() + nom;
        if (nom.endsWith(QLatin1String(".jpg")))
            sauveJpeg(im, chemin);
        else
            im.save(chemin);
        return chemin;
    }

    void charge(const QString& chemin, const QString& x0 = "0", const QString& x = "10",
                const QString& y0 = "0", const QString& y = "5")
    {
        regleDialogue(x0, x, y0, y);
        QVERIFY(form->ChargeImage(chemin));
    }

    // Origin at (50, 250), horizontal end at (350, 250), vertical end at (50, 50), by dragging.
    void placeReperes()
    {
        QWidget* v = form->vueImage();
        const auto ecran = [this](int k) { return form->geometrie().versEcran(form->repere(k)); };
        glisse(v, ecran(TBitmapForm::bsOrigine), form->geometrie().versEcran(QPoint(50, 250)));
        glisse(v, ecran(TBitmapForm::bsEchelleX2), form->geometrie().versEcran(QPoint(350, 250)));
        glisse(v, ecran(TBitmapForm::bsEchelleY2), form->geometrie().versEcran(QPoint(50, 50)));
    }

private slots:
    void initTestCase() { setSeparateurDecimal(QLatin1Char('.')); }

    void init()
    {
        host = std::make_unique<TestHost>();
        form = std::make_unique<TBitmapForm>(*host);
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }

    void cleanup()
    {
        form.reset();
        host.reset();
    }

    void etatInitial()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("KINEXO : lecture de courbes pour Tabulo"));
        QCOMPARE(form->texteStatus(), QStringLiteral("Cliquer sur le bouton image pour charger un fichier"));
        for (const char* nom : {"Echelle", "RàZ", "Défaire", "Effacer", "Tabulo", "Copier"})
            QVERIFY2(!form->action(QString::fromUtf8(nom))->isEnabled(), nom);
        QVERIFY(!form->action("Mesurer")->isVisible());
        QCOMPARE(form->grille()->horizontalHeaderItem(0)->text(), QStringLiteral("X1(m)"));
        // Nothing happens on the view before a picture.
        clic(form->vueImage(), QPoint(10, 10));
        form->ChangeZoom(3);
        QCOMPARE(form->geometrie().pasZoom, 1.0);
    }

    void routes_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::addColumn<QString>("fichier");
        QTest::newRow("bmp") << "g.bmp" << "g.bmp";
        QTest::newRow("png") << "g.png" << "g.bmp";
        QTest::newRow("jpeg") << "g.jpg" << "g.jpg";
    }
    void routes()
    {
        QFETCH(QString, nom);
        QFETCH(QString, fichier);
        charge(ecritGraphe(nom));
        // A PNG is read through its BMP copy, kept in the temporary folder.
        const QString dossier = nom.endsWith(".png") ? host->tamponDir() : host->racine();
        QVERIFY2(form->nomFichier().startsWith(dossier) && form->nomFichier().endsWith("/" + fichier),
                 qPrintable(form->nomFichier()));
        QVERIFY(QFile::exists(form->nomFichier()));
        QCOMPARE(QFile::exists(host->racine() + "g.bmp"), nom == "g.bmp");
        QCOMPARE(form->texteStatus(), QStringLiteral("Cliquer sur le bouton Echelle pour configurer"));
        QVERIFY(form->action("Echelle"));
        QCOMPARE(form->image().size(), QSize(400, 300));
        QCOMPARE(form->image().format(), QImage::Format_RGB888);
        QCOMPARE(form->windowTitle(), QStringLiteral("Lecture de bitmap pour Tabulo [%1]").arg(fichier));
        QVERIFY(form->action("Mesurer")->isVisible());
        // The blue legend survives every route (JPEG within its loss).
        const QColor c = form->image().pixelColor(370, 30);
        QVERIFY2(c.blue() > 150 && c.red() < 120, qPrintable(c.name()));
    }

    void gif()
    {
        // 2 x 1 GIF: one black and one white pixel.
        const QByteArray octets = QByteArray::fromHex(
            "474946383961020001008000" "00ffffff000000"
            "2c000000000200010000" "02020c0a00" "3b");
        QFile f(host->racine() + "g.gif");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(octets);
        f.close();
        // So small a picture puts every mark on the origin: the scale says so.
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        charge(f.fileName());
        QVERIFY2(message.contains("Déplacer le repère"), qPrintable(message));
        QVERIFY2(form->nomFichier().startsWith(host->tamponDir()) && form->nomFichier().endsWith("/g.bmp"),
                 qPrintable(form->nomFichier()));
        QCOMPARE(form->image().size(), QSize(2, 1));
        QCOMPARE(form->image().pixelColor(0, 0), QColor(Qt::black));
    }

    void imageIllisibleGardeLaPrecedente()
    {
        charge(ecritGraphe("g.png"));
        QFile f(host->racine() + "casse.jpg");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\xFF\xD8\xFF\xE0 pas une image");
        f.close();
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        const QString avant = form->nomFichier();
        QVERIFY(!form->ChargeImage(f.fileName()));
        QVERIFY2(message.contains("JPEG"), qPrintable(message));
        QCOMPARE(form->nomFichier(), avant);
        QCOMPARE(form->image().size(), QSize(400, 300));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // Converting a GIF or a PNG never touches the user's folder: a BMP of that name beside it
    // stays byte for byte, and a read-only folder (a CD, a shared class folder) works.
    void conversionsHorsDuDossier_data()
    {
        QTest::addColumn<QString>("nom");
        QTest::newRow("gif") << "photo.gif";
        QTest::newRow("png") << "photo.png";
    }
    void conversionsHorsDuDossier()
    {
        QFETCH(QString, nom);
        const QString dossier = host->racine() + "classe/";
        QVERIFY(QDir().mkpath(dossier));
        QVERIFY(nom.endsWith(".gif") ? ecritOctets(dossier + nom, gifQuatreCouleurs(graphe())) : graphe().save(dossier + nom));
        const QByteArray bmpUtilisateur = "BM pas la meme image";
        QVERIFY(ecritOctets(dossier + "photo.bmp", bmpUtilisateur));
        QVERIFY(QFile::setPermissions(dossier, QFile::ReadOwner | QFile::ExeOwner));
        const QStringList avant = QDir(dossier).entryList(QDir::Files);
        charge(dossier + nom);
        QFile::setPermissions(dossier, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(form->image().size(), QSize(400, 300));
        QCOMPARE(form->image().pixelColor(370, 30), QColor(Qt::blue));
        QVERIFY(form->nomFichier().startsWith(host->tamponDir()));
        QCOMPARE(QImage(form->nomFichier()).size(), QSize(400, 300));
        QFile f(dossier + "photo.bmp");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), bmpUtilisateur);
        QCOMPARE(QDir(dossier).entryList(QDir::Files), avant);
    }

    // A phone photo taken sideways (EXIF orientation 6) shows upright, and a click lands on the
    // upright pixel.
    void photoTournee()
    {
        QImage droite = graphe();
        QPainter(&droite).fillRect(296, 96, 9, 9, Qt::red); // a mark centred on (300, 100)
        QVERIFY(ecritOctets(host->racine() + "tel.jpg", avecOrientation(jpegEncre(stockeSelonOrientation(droite, 6), Encre::Rgb), 6)));
        charge(host->racine() + "tel.jpg");
        QCOMPARE(form->image().size(), QSize(400, 300));
        const QColor c = form->image().pixelColor(300, 100);
        QVERIFY2(c.red() > 200 && c.green() < 60, qPrintable(c.name()));
        // Axes from (50, 250): x 0..10 over 300 px, y 0..5 over 200 px.
        placeReperes();
        form->action("Mesurer")->trigger();
        clic(form->vueImage(), form->geometrie().versEcran(QPoint(300, 100)));
        QCOMPARE(form->series().point(1, 0), QPoint(300, 100));
        QCOMPARE(form->grille()->item(0, 0)->text(), QStringLiteral("8.33"));
        QCOMPARE(form->grille()->item(0, 1)->text(), QStringLiteral("3.75"));
    }

    // A JPEG cut short: the part read is shown and a message says so.
    void jpegCoupe()
    {
        const QByteArray entier = jpegEncre(graphe(), Encre::Rgb);
        QVERIFY(ecritOctets(host->racine() + "coupee.jpg", entier.left(entier.size() * 2 / 3)));
        QString titre, message;
        quandModal<QMessageBox>([&](QMessageBox* m) {
            titre = m->windowTitle();
            message = m->text();
            m->accept();
        });
        charge(host->racine() + "coupee.jpg");
        QCOMPARE(titre, QStringLiteral("Image incomplète"));
        QVERIFY2(message.startsWith(QStringLiteral("Image incomplète : coupee.jpg")), qPrintable(message));
        QCOMPARE(form->image().width(), 400);
        QVERIFY(form->image().height() > 50 && form->image().height() < 300);
        QCOMPARE(form->nomFichier(), host->racine() + "coupee.jpg");
    }

    // The open dialog offers every picture file first.
    void filtreOuverture()
    {
        QString filtre, filtreChoisi;
        quandModal<QFileDialog>([&](QFileDialog* d) {
            filtre = d->nameFilters().join(";;");
            filtreChoisi = d->selectedNameFilter();
            d->reject();
        });
        form->action("Charger")->trigger();
        QVERIFY2(filtre.startsWith("Images (*.png *.jpg *.jpeg *.gif *.bmp"), qPrintable(filtre));
        QCOMPARE(filtreChoisi, filtre.section(";;", 0, 0));
        for (const char* f : {"bitmap (*.bmp", "Jpeg (*.jpg *.jpeg", "GIF (*.gif", "Ping (*.png"})
            QVERIFY2(filtre.contains(QLatin1String(f)), f);
    }

    // Marks dragged on the picture, points clicked along the curve, the copied text read back.
    void releveEtCopie()
    {
        charge(ecritGraphe("g.png"));
        placeReperes();
        QCOMPARE(form->repere(TBitmapForm::bsOrigine), QPoint(50, 250));
        QCOMPARE(form->repere(TBitmapForm::bsEchelleX2), QPoint(350, 250));
        QCOMPARE(form->repere(TBitmapForm::bsEchelleY2), QPoint(50, 50));

        form->action("Mesurer")->trigger();
        QCOMPARE(form->etat(), int(TBitmapForm::bsMesure));
        QVERIFY(!form->action("Echelle")->isEnabled());
        QList<bool> raz, copier;
        for (int x : {0, 2, 4, 6, 8, 10}) {
            raz << form->action("RàZ")->isEnabled();
            copier << form->action("Copier")->isEnabled();
            // Point 4 first lands 96 pixels too low.
            const int faute = x == 8 ? 96 : 0;
            clic(form->vueImage(), form->geometrie().versEcran(QPoint(50 + 30 * x, 250 - 2 * x * x + faute)));
        }
        QCOMPARE(raz, (QList<bool>{false, false, true, true, true, true}));
        QCOMPARE(copier, (QList<bool>{false, false, false, false, true, true}));
        QCOMPARE(form->grille()->item(3, 0)->text(), QStringLiteral("6"));
        QCOMPARE(form->grille()->item(3, 1)->text(), QStringLiteral("1.8"));

        // Press on a point, release elsewhere: the point moves where the button is released.
        QWidget* v = form->vueImage();
        const QPoint p4 = form->geometrie().versEcran(QPoint(290, 218));
        QTest::mousePress(v, Qt::LeftButton, {}, p4 + QPoint(3, 2));
        QTest::mouseRelease(v, Qt::LeftButton, {}, p4 - QPoint(0, 96));
        QCOMPARE(form->series().point(1, 4), QPoint(290, 122));
        QCOMPARE(form->series().NbrePoints(1), 6);

        form->action("Copier")->trigger();
        QCOMPARE(form->action("Stop")->isVisible(), false);
        const QStringList lignes = QGuiApplication::clipboard()->text().split("\r\n");
        const QStringList attendu{"",          "index\tX\tY", "\tm\tm",      "index\t\t", "1\t0\t0",
                                  "2\t2\t0.2", "3\t4\t0.8",   "4\t6\t1.8",   "5\t8\t3.2", "6\t10\t5",
                                  ""};
        QCOMPARE(lignes, attendu);
    }

    // A new Tabulo file carries the option lines after the table; the next page does not.
    void optionsTabulo()
    {
        charge(ecritGraphe("g.png"), "1", "1000", "0", "5");
        placeReperes();
        quandModal<TEchelleBmpDlg>([](TEchelleBmpDlg* d) {
            d->logxcb->setChecked(true);
            d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        form->action("Echelle")->trigger();
        QCOMPARE(form->echelle().echelleX, eLog);
        form->action("Mesurer")->trigger();
        clic(form->vueImage(), QPoint(200, 150));
        Transfert& t = host->transfert();
        t.constanteDlg().NewPageCB->setCurrentIndex(0);
        const QStringList nouveau = t.construit(Destination::Tabulo, form->sourceTabulo()).toStrings();
        QCOMPARE(nouveau.at(1), QStringLiteral("Lecture de bitmap pour Tabulo"));
        const int i = nouveau.indexOf("index\tX\tY");
        QVERIFY(i > 0);
        QCOMPARE(nouveau.mid(i, 4), (QStringList{"index\tX\tY", "\tm\tm", "index\t\t", "1\t31.6\t2.5"}));
        QCOMPARE(nouveau.mid(nouveau.size() - 8),
                 (QStringList{"&1 NOMX", "X", "&1 LOGX", "1", "&1 NOMY", "Y", "&1 FICHIER", form->nomFichier()}));
        t.constanteDlg().setNouvellePage();
        const QStringList page = t.construit(Destination::Tabulo, form->sourceTabulo()).toStrings();
        QCOMPARE(page.at(1), QString());
        QVERIFY(!page.join('\n').contains("NOMX"));
    }

    void effacerEtDefaire()
    {
        charge(ecritGraphe("g.png"));
        form->action("Mesurer")->trigger();
        QWidget* v = form->vueImage();
        for (int i = 0; i < 3; ++i)
            clic(v, QPoint(100 + 40 * i, 100));
        form->action("Effacer")->trigger();
        QCOMPARE(form->etat(), int(TBitmapForm::bsSuppr));
        clic(v, QPoint(143, 102)); // within 10 pixels of point 1
        QCOMPARE(form->series().NbrePoints(1), 2);
        QCOMPARE(form->series().point(1, 1), QPoint(180, 100));
        QCOMPARE(form->etat(), int(TBitmapForm::bsMesure));
        form->action("Effacer")->trigger();
        clic(v, QPoint(300, 280)); // nothing near: nothing deleted, deletion ends
        QCOMPARE(form->series().NbrePoints(1), 2);
        QCOMPARE(form->etat(), int(TBitmapForm::bsMesure));
        form->action("Défaire")->trigger();
        form->action("Défaire")->trigger();
        QCOMPARE(form->series().NbrePoints(1), 0);
        QVERIFY(!form->action("Défaire")->isEnabled());
    }

    void deuxCourbes()
    {
        charge(ecritGraphe("g.png"));
        placeReperes();
        form->nbreSE()->setValue(2);
        QVERIFY(form->serieVisible());
        QCOMPARE(form->grille()->columnCount(), 4);
        form->action("Mesurer")->trigger();
        for (int i = 0; i < 3; ++i)
            clic(form->vueImage(), QPoint(50 + 30 * i, 250));
        form->serieSE()->setValue(2);
        form->signifEdit()->setText("deux");
        for (int i = 0; i < 5; ++i)
            clic(form->vueImage(), QPoint(200, 250 - 40 * i));
        QCOMPARE(form->series().NbrePoints(1), 3);
        QCOMPARE(form->series().NbrePoints(2), 5);
        QCOMPARE(form->grille()->horizontalHeaderItem(3)->text(), QStringLiteral("Y2(m)"));
        QCOMPARE(form->grille()->item(4, 3)->text(), QStringLiteral("4"));
        QCOMPARE(form->grille()->item(4, 0)->text(), QString());
        form->CopieDonnees();
        const QStringList l = QGuiApplication::clipboard()->text().split("\r\n");
        QCOMPARE(l.at(1), QStringLiteral("index\tX1\tY1\tX2\tY2"));
        QCOMPARE(l.at(3), QStringLiteral("index\t\t\tdeux\tdeux"));
        QCOMPARE(l.at(8), QStringLiteral("5\t\t\t5\t4"));
        form->action("RàZ")->trigger();
        QCOMPARE(form->series().total(6), 0);
        QCOMPARE(form->grille()->columnCount(), 2);
        QVERIFY(!form->action("Copier")->isEnabled());
    }

    // Hidden edit: arrows, keypad, Page Up/Down (with Shift), Enter and Space.
    void clavier()
    {
        charge(ecritGraphe("g.png"));
        form->action("Mesurer")->trigger();
        QWidget* v = form->vueImage();
        QWidget* e = form->editBidon();
        // The scale dialog has closed: the window becomes active again with the hidden edit focused.
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTRY_COMPARE(QApplication::focusWidget(), e);
        QTest::mouseMove(v, QPoint(100, 100));
        QCOMPARE(form->positionPointeur(), QPoint(100, 100));
        QTest::keyClick(e, Qt::Key_Right);
        QTest::keyClick(e, Qt::Key_Right);
        QTest::keyClick(e, Qt::Key_6, Qt::KeypadModifier);
        QTest::keyClick(e, Qt::Key_Down);
        QTest::keyClick(e, Qt::Key_PageDown);
        QTest::keyClick(e, Qt::Key_PageDown, Qt::ShiftModifier);
        QTest::keyClick(e, Qt::Key_4, Qt::KeypadModifier);
        QTest::keyClick(e, Qt::Key_6); // a digit outside the pad does nothing
        QCOMPARE(form->positionPointeur(), QPoint(112, 111));
        QTest::keyClick(e, Qt::Key_Return);
        QCOMPARE(form->series().NbrePoints(1), 1);
        QCOMPARE(form->series().point(1, 0), QPoint(112, 111));
        QTest::keyClick(e, Qt::Key_PageUp);
        QTest::keyClick(e, Qt::Key_PageUp, Qt::ShiftModifier);
        QTest::keyClick(e, Qt::Key_Up);
        QTest::keyClick(e, Qt::Key_8, Qt::KeypadModifier);
        QTest::keyClick(e, Qt::Key_2, Qt::KeypadModifier);
        QTest::keyClick(e, Qt::Key_Left);
        QTest::keyClick(e, Qt::Key_Delete);
        QCOMPARE(form->positionPointeur(), QPoint(101, 100));
        QTest::keyClick(e, Qt::Key_Space);
        QCOMPARE(form->series().point(1, 1), QPoint(101, 100));
        QCOMPARE(e->property("text").toString(), QString());
        // Space in deletion mode deletes the point under the pointer.
        form->action("Effacer")->trigger();
        QTest::keyClick(e, Qt::Key_Space);
        QCOMPARE(form->series().NbrePoints(1), 1);
        QCOMPARE(form->series().point(1, 0), QPoint(112, 111));
        QCOMPARE(form->etat(), int(TBitmapForm::bsMesure));
    }

    // At each zoom, after scrolling from the overview, a click lands on the pixel shown under it.
    void zoomEtApercu_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("1/4") << 0.25;
        QTest::newRow("1") << 1.0;
        QTest::newRow("3") << 3.0;
    }
    void zoomEtApercu()
    {
        QFETCH(double, zoom);
        charge(ecritGraphe("grand.png", graphe(1600, 1200)));
        form->action("Mesurer")->trigger();
        form->ChangeZoom(zoom);
        QCOMPARE(form->geometrie().pasZoom, zoom);
        QCOMPARE(form->zoomEdit()->text(), zoom == 3.0   ? QStringLiteral("Zoom X 3")
                                           : zoom == 1.0 ? QStringLiteral("Taille réelle")
                                                         : QStringLiteral("Zoom / 4"));
        // Drag the outline of the shown part 30 overview pixels right and 20 down.
        const QRect rz = form->rectZoom();
        const double k = form->echelleApercu();
        const RectI avant = form->geometrie().RectVisible;
        if (rz.width() > 4 && rz.height() > 4) {
            glisse(form->apercu(), rz.center(), rz.center() + QPoint(30, 20));
            const RectI apres = form->geometrie().RectVisible;
            if (zoom > 1)
                QCOMPARE(apres.Left, avant.Left + qRound(30 / k));
            QCOMPARE(apres.Right - apres.Left, avant.Right - avant.Left);
        }
        const RectI r = form->geometrie().RectVisible;
        const QPoint cible(r.Left + 37, r.Top + 29);
        const QPoint ecran = form->geometrie().versEcran(cible);
        clic(form->vueImage(), ecran);
        const QPoint enregistre = form->series().point(1, 0);
        if (zoom >= 1) {
            QCOMPARE(enregistre, cible);
            // Pressing next to the point moves it to the pixel under the release: within the
            // zoomed pixel it stays.
            clic(form->vueImage(), ecran + QPoint(1, 1));
            QCOMPARE(form->series().point(1, 0), zoom > 1 ? cible : cible + QPoint(1, 1));
            clic(form->vueImage(), ecran - QPoint(1, 1));
            QCOMPARE(form->series().point(1, 0), zoom > 1 ? cible : cible - QPoint(1, 1));
            QCOMPARE(form->series().NbrePoints(1), 1);
        } else {
            QCOMPARE(form->geometrie().versEcran(enregistre), ecran);
            QVERIFY(std::abs(enregistre.x() - cible.x()) < 4 && std::abs(enregistre.y() - cible.y()) < 4);
        }
        // Zooming keeps the recorded pixel under the pixel drawn for it.
        const QPoint fin = form->series().point(1, 0);
        form->ChangeZoom(1);
        QCOMPARE(form->series().point(1, 0), fin);
        QCOMPARE(form->geometrie().versImage(form->geometrie().versEcran(fin)), fin);
    }

    void zoomMenuGardeLePixel()
    {
        charge(ecritGraphe("grand.png", graphe(1600, 1200)));
        QWidget* v = form->vueImage();
        const QPoint P(150, 120);
        const QPoint pixel = form->geometrie().versImage(P);
        QContextMenuEvent ev(QContextMenuEvent::Mouse, P, v->mapToGlobal(P));
        QApplication::sendEvent(v, &ev);
        QVERIFY(form->zoomMenu()->isVisible());
        QAction* x3 = nullptr;
        for (QAction* a : form->zoomMenu()->actions())
            if (a->text() == QStringLiteral("Zoom x&3"))
                x3 = a;
        QVERIFY(x3);
        x3->trigger();
        form->zoomMenu()->hide();
        QCOMPARE(form->geometrie().pasZoom, 3.0);
        QCOMPARE(form->geometrie().versImage(P), pixel);
    }

    // An end mark dropped on the origin's line: a message, and empty cells instead of NaN.
    void finSurLigneOrigine()
    {
        charge(ecritGraphe("g.png"));
        placeReperes();
        form->action("Mesurer")->trigger();
        clic(form->vueImage(), QPoint(200, 150));
        form->action("Stop")->trigger();
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        glisse(form->vueImage(), form->geometrie().versEcran(QPoint(350, 250)),
               form->geometrie().versEcran(QPoint(50, 250)));
        QVERIFY2(message.contains("horizontal"), qPrintable(message));
        QCOMPARE(form->grille()->item(0, 0)->text(), QString());
        QCOMPARE(form->grille()->item(0, 1)->text(), QStringLiteral("2.5"));
    }

    // The log-log sample read at 1 kHz; the window is drawn (and saved when KINEXO_CAPTURES
    // names a folder, to look at).
    void exempleLogLog()
    {
        const QString chemin = QStringLiteral(KX_SAMPLES_DIR "/courbe-loglog.png");
        QVERIFY(QFile::exists(chemin));
        QFile::copy(chemin, host->racine() + "loglog.png");
        regleDialogue("10", "100k", "0,001", "1", true);
        QVERIFY(form->ChargeImage(host->racine() + "loglog.png"));
        // The whole graph shows at zoom 1/2: the marks go on its axes.
        form->ChangeZoom(0.5);
        QWidget* v = form->vueImage();
        const auto ecran = [this](QPoint pixel) { return form->geometrie().versEcran(pixel); };
        glisse(v, ecran(form->repere(TBitmapForm::bsOrigine)), ecran(QPoint(110, 520)));
        glisse(v, ecran(form->repere(TBitmapForm::bsEchelleX2)), ecran(QPoint(710, 520)));
        glisse(v, ecran(form->repere(TBitmapForm::bsEchelleY2)), ecran(QPoint(110, 70)));
        QCOMPARE(form->repere(TBitmapForm::bsEchelleX2), QPoint(710, 520));
        QCOMPARE(form->repere(TBitmapForm::bsEchelleY2), QPoint(110, 70));
        form->ChangeZoom(1);
        form->action("Mesurer")->trigger();
        clic(v, ecran(QPoint(410, 93)));  // 1 kHz on the curve
        clic(v, ecran(QPoint(455, 122))); // 2 kHz
        // Read to the precision of one pixel there (150 pixels per decade: 1.5 % of the value):
        // 1000 and 0.7025 true, 1995 and 0.4501 true.
        QCOMPARE(form->grille()->item(0, 0)->text(), QStringLiteral("1000"));
        QCOMPARE(form->grille()->item(0, 1)->text(), QStringLiteral("0.7"));
        QCOMPARE(form->grille()->item(1, 0)->text(), QStringLiteral("2000"));
        QCOMPARE(form->grille()->item(1, 1)->text(), QStringLiteral("0.45"));
        const QImage fenetre = form->grab().toImage();
        const QImage vue = v->grab().toImage();
        // The picture is drawn where the clicks read it, the points in red over it.
        for (QPoint pixel : {QPoint(300, 300), QPoint(380, 70), QPoint(250, 150)})
            QCOMPARE(vue.pixelColor(ecran(pixel)), form->image().pixelColor(pixel));
        QCOMPARE(vue.pixelColor(ecran(QPoint(410, 93)) + QPoint(3, 0)), QColor(Qt::red));
        const QString dossier = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!dossier.isEmpty()) {
            fenetre.save(dossier + "/courbe-fenetre.png");
            form->ChangeZoom(3);
            form->grab().save(dossier + "/courbe-zoom3.png");
            form->echelleDlg().grab().save(dossier + "/courbe-echelle.png");
        }
    }

    // The polar sample: the cardioid r = 2(1 + cos θ) read at 0° and 90°.
    void exemplePolaire()
    {
        QFile::copy(QStringLiteral(KX_SAMPLES_DIR "/courbe-polaire.png"), host->racine() + "polaire.png");
        quandModal<TEchelleBmpDlg>([](TEchelleBmpDlg* d) {
            d->PolaireCB->setChecked(true);
            QVERIFY(d->logxcb->isHidden());
            for (QLineEdit* e : {d->EditX0, d->EditY0})
                e->setText("0");
            for (QLineEdit* e : {d->EditX, d->EditY})
                e->setText("5");
            d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(form->ChargeImage(host->racine() + "polaire.png"));
        QCOMPARE(form->echelle().echelleX, ePolaire);
        form->ChangeZoom(0.5);
        QWidget* v = form->vueImage();
        const auto ecran = [this](QPoint pixel) { return form->geometrie().versEcran(pixel); };
        glisse(v, ecran(form->repere(TBitmapForm::bsOrigine)), ecran(QPoint(400, 320)));
        glisse(v, ecran(form->repere(TBitmapForm::bsEchelleX2)), ecran(QPoint(650, 320)));
        glisse(v, ecran(form->repere(TBitmapForm::bsEchelleY2)), ecran(QPoint(400, 70)));
        form->action("Mesurer")->trigger();
        clic(v, ecran(QPoint(600, 320)));
        clic(v, ecran(QPoint(400, 220)));
        clic(v, ecran(QPoint(300, 320)));
        const QStringList attendu{"0", "4", "90", "2", "180", "2"};
        QStringList lu;
        for (int i = 0; i < 3; ++i)
            lu << form->grille()->item(i, 0)->text() << form->grille()->item(i, 1)->text();
        QCOMPARE(lu, attendu);
        const QString dossier = qEnvironmentVariable("KINEXO_CAPTURES");
        if (!dossier.isEmpty())
            form->grab().save(dossier + "/courbe-polaire.png");
    }

    void reglagesALaFermeture()
    {
        charge(ecritGraphe("g.png"), "0", "10", "1", "1e6");
        placeReperes();
        host->setMode(mBMP);
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(host->mode(), mNone);
        QSettings ini(host->fichierIni(), QSettings::IniFormat);
        ini.beginGroup("BMP");
        QCOMPARE(ini.value("OrigineX").toInt(), 50);
        QCOMPARE(ini.value("OrigineY").toInt(), 250);
        QCOMPARE(ini.value("MaxiXX").toInt(), 350);
        QCOMPARE(ini.value("MaxiYY").toInt(), 50);
        QCOMPARE(ini.value("SupprX").toInt(), 160);
        QCOMPARE(ini.value("MaxiY").toDouble(), 1e6);
        QCOMPARE(ini.value("MiniY").toDouble(), 1.0);
        QCOMPARE(ini.value("Couleur6").toInt(), 255);
        QCOMPARE(ini.value("UniteY").toString(), QStringLiteral("m"));
        ini.endGroup();
        // A new window reads them back.
        TBitmapForm autre(*host);
        QCOMPARE(autre.echelle().MaxiY, 1e6);
        QCOMPARE(autre.repere(TBitmapForm::bsEchelleX2), QPoint(350, 250));
        // And still shows its picture when opened again.
        form->show();
        QCOMPARE(form->image().size(), QSize(400, 300));
    }
};

QTEST_MAIN(TstBmpForm)
#include "tst_bmpform.moc"

#include "ChronoForm.h"
#include "ClipsImages.h"
#include "NumberText.h"
#include "LoupeForm.h"
#include "TestHost.h"
#include "TestSupport.h"
#include "TransferButton.h"
#include "aviMain.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QStatusBar>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <cmath>

namespace {

// The tracker's box is a twentieth of the picture around the best pixel: it must hold the disc.
constexpr int W = 320, H = 240, R = 5, N = 20;
const QColor kDisque(230, 30, 40);

QImage fond() { return fondDamier(W, H); }

QPoint chemin(int n) { return QPoint(20 + 6 * n, 90 - 2 * n); }

QImage avecDisque(QPoint c) { return disqueSurFond(fond(), c, R, kDisque.rgb()); }

// Answers the next save dialog with a file name, as typed by a user; the dialog's own checks
// (which may wait on its folder model) are not the subject.
void choisitFichier(const QString& nom)
{
    quandModal<QFileDialog>([nom](QFileDialog* d) {
        // Under load the dialog's folder model may still be filling: the name typed is taken
        // once the dialog reports it.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                d->setDirectory(QFileInfo(nom).absolutePath());
                if (auto* champ = d->findChild<QLineEdit*>("fileNameEdit"))
                    champ->setText(QFileInfo(nom).fileName());
                else
                    d->selectFile(nom);
                return d->selectedFiles() == QStringList{nom};
            }(),
            10000);
        static_cast<QDialog*>(d)->done(QDialog::Accepted);
    });
}

} // namespace

class TestAviChrono : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_clip, m_saut;

    static void clic(TAviForm& f, QPoint ecran)
    {
        QTest::mousePress(f.Image, Qt::LeftButton, {}, ecran);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, ecran);
    }

private slots:
    void initTestCase()
    {
        setSeparateurDecimal('.');
        QVector<QImage> images;
        for (int i = 0; i < N; ++i)
            images << avecDisque(chemin(i));
        m_clip = m_dir.filePath("lancer.mkv");
        QVERIFY(fabriqueClipImages(m_clip, images, {"-c:v", "ffv1", "-pix_fmt", "bgr0"}));
        // From image 10 on the disc is far away, out of the tracker's window.
        for (int i = 10; i < N; ++i)
            images[i] = avecDisque(QPoint(280, 200));
        m_saut = m_dir.filePath("saut.mkv");
        QVERIFY(fabriqueClipImages(m_saut, images, {"-c:v", "ffv1", "-pix_fmt", "bgr0"}));
    }

    // "&Chrono" without tracking: every image is taken, the composite written when the last is
    // reached and shown; the rows stay as they were.
    void chronophotographie()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        QVERIFY(f.lecteur().ouvert());
        const QString sortie = m_dir.filePath("chrono.bmp");
        choisitFichier(sortie);
        bool vu = false;
        QImage montree;
        quandModal<TChronoForm>([&](TChronoForm* c) {
            vu = true;
            montree = c->image();
            QCOMPARE(c->windowTitle(), QString("Chronophotographie à partir de AVI"));
            c->accept();
        });
        f.ChronoPhotoBtn->click();
        QTRY_VERIFY_WITH_TIMEOUT(vu, 20000);
        QCOMPARE(f.controleur.BorneSelect, bsNone);
        QVERIFY(!f.ChronoPhotoBtn->isChecked());
        QVERIFY(!f.PhotoPB->isVisible());
        QCOMPARE(f.lecteur().image(), N - 1);
        QCOMPARE(f.modele.Nmes, 0);
        QImage c(sortie);
        QVERIFY(!c.isNull());
        QCOMPARE(c.size(), QSize(W, H));
        QCOMPARE(montree.size(), c.size());
        // The disc of each image is on the picture; the background elsewhere; no overlay.
        for (int i : {3, 10, N - 1})
            QCOMPARE(QColor(c.pixel(chemin(i))), kDisque);
        QCOMPARE(c.pixel(300, 10), fond().pixel(300, 10));
        QVERIFY(f.ChronoPhotoBtn->isEnabled());
    }

    // Releasing "&Chrono" before the first image is taken (or before the target is clicked)
    // goes back without writing anything.
    void relacheAvantDebut_data()
    {
        QTest::addColumn<bool>("auto_");
        QTest::newRow("bsChronoInit") << false;
        QTest::newRow("bsMesureAuto") << true;
    }
    void relacheAvantDebut()
    {
        QFETCH(bool, auto_);
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        f.MesureAutoCB->setChecked(auto_);
        const QString sortie = m_dir.filePath(QStringLiteral("rien-%1.bmp").arg(auto_));
        choisitFichier(sortie);
        if (auto_)
            quandModal<QMessageBox>([](QMessageBox* m) { m->accept(); });
        f.ChronoPhotoBtn->click();
        QCOMPARE(f.controleur.BorneSelect, auto_ ? bsMesureAuto : bsChronoInit);
        f.ChronoPhotoBtn->click();
        QCOMPARE(f.controleur.BorneSelect, bsNone);
        QTest::qWait(200);
        QCOMPARE(f.controleur.BorneSelect, bsNone);
        QCOMPARE(f.lecteur().image(), 0);
        QVERIFY(!QFileInfo::exists(sortie));
        QVERIFY(f.MesureBtn->isEnabled());
    }

    // Tracking with three points per image: one mobile only; then one row per image, each on
    // the disc, row 0 the clicked one at the time of its image.
    void mesuresAutomatiques()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        f.NbreSE->setValue(3);
        f.MesureAutoCB->setChecked(true);
        QStringList messages;
        auto repond = [&messages](QMessageBox* m) {
            messages << m->text();
            m->accept();
        };
        quandModal<QMessageBox>([&](QMessageBox* m) {
            repond(m);
            quandModal<QMessageBox>(repond);
        });
        f.MesureBtn->click();
        QTRY_COMPARE(messages.size(), 2);
        QCOMPARE(messages, QStringList({"Un seul mobile possible", "Cliquer sur la cible à suivre"}));
        QCOMPARE(f.NbreSE->value(), 1);
        QCOMPARE(f.controleur.BorneSelect, bsMesureAuto);
        bool vu = false;
        quandModal<TChronoForm>([&](TChronoForm* c) {
            vu = true;
            c->accept();
        });
        clic(f, chemin(0));
        QTRY_VERIFY_WITH_TIMEOUT(vu, 20000);
        QVERIFY(QFileInfo::exists(host.appDataDir() + "kinexo.bmp"));
        QCOMPARE(f.modele.Nmes, N);
        QCOMPARE(f.modele.Temps[0], 0.0);
        double somme = 0;
        for (int i = 0; i < N; ++i) {
            const QPointF e = QPointF(f.modele.XY[1][i] - chemin(i));
            somme += e.x() * e.x() + e.y() * e.y();
            QCOMPARE(f.modele.Temps[size_t(i)], 0.04 * i);
        }
        QVERIFY2(std::sqrt(somme / N) <= 0.5, qPrintable(QString::number(std::sqrt(somme / N))));
        QVERIFY(!f.MesureBtn->isChecked());
        QVERIFY(f.TabuloBtn->isEnabled());
        QCOMPARE(f.Grid->model()->index(N - 1, 0).data().toString(), QString("0.76"));
    }

    // A target that jumps out of the window gives no row; the stepping goes on to the end.
    void cibleSortie()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_saut);
        f.MesureAutoCB->setChecked(true);
        quandModal<QMessageBox>([](QMessageBox* m) { m->accept(); });
        f.MesureBtn->click();
        bool vu = false;
        quandModal<TChronoForm>([&](TChronoForm* c) {
            vu = true;
            c->accept();
        });
        clic(f, chemin(0));
        QTRY_VERIFY_WITH_TIMEOUT(vu, 20000);
        QCOMPARE(f.modele.Nmes, 10);
        QCOMPARE(f.lecteur().image(), N - 1);
        QCOMPARE(f.modele.XY[1][9], chemin(9));
    }

    // Pressing "&Mesures" over rows asks before they go; "Non" keeps them.
    void effacementDemande()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        f.MesureBtn->click();
        for (int i = 0; i < 3; ++i)
            clic(f, chemin(i));
        QCoreApplication::processEvents();
        QCOMPARE(f.modele.Nmes, 3);
        f.MesureBtn->click();
        QString question;
        quandModal<QMessageBox>([&](QMessageBox* m) {
            question = m->text();
            m->button(QMessageBox::No)->click();
        });
        f.MesureBtn->click();
        QCOMPARE(question, QString("Effacer les 3 mesures ?"));
        QCOMPARE(f.modele.Nmes, 3);
        QVERIFY(!f.MesureBtn->isChecked());
        quandModal<QMessageBox>([](QMessageBox* m) { m->button(QMessageBox::Yes)->click(); });
        f.MesureBtn->click();
        QVERIFY(f.MesureBtn->isChecked());
        QCOMPARE(f.modele.Nmes, 0);
    }

    // The word on the default scale goes once the scale is placed; the length prompt's answer
    // becomes the value the field falls back to; a bad length is said once.
    void echelle()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        QVERIFY(f.EchelleNonDefinie->isVisible());
        QStringList erreurs;
        f.EchelleEdit->afficheErreur = [&erreurs](const QString& t) { erreurs << t; };
        f.EchelleBtn->click();
        quandModal<QInputDialog>([](QInputDialog* d) {
            d->setTextValue("0,5");
            d->accept();
        });
        clic(f, QPoint(20, 20));
        clic(f, QPoint(120, 20));
        QTRY_COMPARE(f.EchelleEdit->text(), QString("0,5"));
        QCOMPARE(f.modele.LongueurEchelle, 0.5);
        QVERIFY(!f.EchelleNonDefinie->isVisible());
        f.EchelleEdit->setFocus();
        f.EchelleEdit->setText("m");
        QTest::keyClick(f.EchelleEdit, Qt::Key_Return);
        f.Image->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(erreurs, QStringList{"Echelle incorrecte"});
        QCOMPARE(f.EchelleEdit->text(), TexteNombreUnite(0.5, "m"));
        QCOMPARE(f.modele.LongueurEchelle, 0.5);
    }

    // Cancelling the page dialog leaves the measuring on.
    void annulationTransfert()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        f.MesureBtn->click();
        for (int i = 0; i < 5; ++i)
            clic(f, chemin(i));
        QCoreApplication::processEvents();
        QVERIFY(f.TabuloBtn->isEnabled());
        quandModal<QDialog>([](QDialog* d) { d->reject(); });
        f.TabuloBtn->click();
        QVERIFY(f.MesureBtn->isChecked());
        QCOMPARE(f.modele.Nmes, 5);
    }

    // Both pages are tabs: a file that is not AVI shows the drawing and keeps the grid at hand;
    // the hint does not hide the "x=", "y=" panels.
    void pagesEtPanneaux()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        QCOMPARE(f.PageDroite->currentWidget(), static_cast<QWidget*>(f.DessinPB));
        QCOMPARE(f.PageDroite->count(), 2);
        QCOMPARE(f.PageDroite->widget(0), static_cast<QWidget*>(f.Grid));
        f.MesureBtn->click();
        QTest::mouseMove(f.Image, QPoint(33, 44));
        QCOMPARE(f.Panneaux[0]->text(), QString("x=33"));
        QVERIFY(f.Panneaux[0]->isVisible());
        QVERIFY(!f.statusBar()->currentMessage().isEmpty());
    }

    // The magnifier follows the mouse while measuring; closing it releases "Loupe".
    void loupe()
    {
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(m_clip);
        f.LoupeBtn->click();
        QTest::mouseMove(f.Image, chemin(0));
        QVERIFY(!f.loupe() || !f.loupe()->isVisible());
        f.MesureBtn->click();
        QTest::mouseMove(f.Image, chemin(0) + QPoint(1, 0));
        QVERIFY(f.loupe() && f.loupe()->isVisible());
        QCOMPARE(f.loupe()->picture().size(), QSize(kTailleLoupe, kTailleLoupe));
        // The centre shows the disc under the mouse, the cross is red.
        QCOMPARE(QColor(f.loupe()->picture().pixel(kTailleLoupe / 2 + 5, kTailleLoupe / 2 + 5)), kDisque);
        QCOMPARE(QColor(f.loupe()->picture().pixel(kTailleLoupe / 2, 3)), QColor(Qt::red));
        f.loupe()->close();
        QVERIFY(!f.LoupeBtn->isChecked());
    }

    // A phone clip stored sideways shows upright, and a click lands on the upright pixel.
    void rotation()
    {
        const QString f90 = m_dir.filePath("portrait.mp4");
        QImage droite(96, 160, QImage::Format_RGB32);
        droite.fill(qRgb(90, 90, 90));
        for (int y = 120; y < 130; ++y)
            for (int x = 20; x < 30; ++x)
                droite.setPixel(x, y, qRgb(20, 40, 220));
        // Stored turned a quarter anticlockwise; the matrix asks for a quarter clockwise.
        const QImage stockee = droite.transformed(QTransform().rotate(-90));
        QCOMPARE(stockee.size(), QSize(160, 96));
        QVERIFY(fabriqueClipImages(f90, {stockee, stockee, stockee},
                                   {"-c:v", "libx264", "-qp", "0", "-pix_fmt", "yuv444p"}));
        QVERIFY(poseRotation(f90, 90));
        TestHost host;
        TAviForm f(host);
        f.show();
        f.OuvreFichier(f90);
        QVERIFY(f.lecteur().ouvert());
        QCOMPARE(f.modele.Largeur, 96);
        QCOMPARE(f.modele.Hauteur, 160);
        const QColor bleu(f.lecteur().imageCourante().pixel(25, 125));
        QVERIFY2(bleu.blue() > 180 && bleu.red() < 60, qPrintable(bleu.name()));
        f.MesureBtn->click();
        clic(f, QPoint(25, 125));
        QCoreApplication::processEvents();
        QCOMPARE(f.modele.Nmes, 1);
        QCOMPARE(f.modele.XY[1][0], QPoint(25, 125));
        // Default scale: 1 m over a quarter of the width (24 pixels), origin at the middle.
        QCOMPARE(f.modele.CoordX(1, 0), (25 - 48) / 24.0);
        QCOMPARE(f.modele.CoordY(1, 0), (80 - 125) / 24.0);
    }
};

QTEST_MAIN(TestAviChrono)
#include "tst_avichrono.moc"

// The image-series window driven as a user does: open a generated series, scale by two clicks
// and a typed length, origin, two points per image over five images, undo, the moving origin
// and back, then the clipboard and a .csv file; a folder of more than 128 images; a video
// opened as a series, and cancelled.
#include "../video/ClipsTest.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TestHost.h"
#include "TransferButton.h"
#include "videoBMP.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QImage image(int n)
{
    QImage img(320, 240, QImage::Format_RGB32);
    img.fill(QColor(220, 226, 232));
    QPainter p(&img);
    p.setBrush(Qt::black);
    p.drawEllipse(QPoint(60 + 20 * n, 190 - 10 * n), 3, 3);
    return img;
}

QPoint point1(int i) { return {60 + 20 * i, 190 - 10 * i}; }
QPoint point2(int i) { return {100 + 20 * i, 150 - 12 * i}; }

} // namespace

class TstVideoBmp : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_serie;

    static void clic(TvideoBmpForm& f, QPoint p)
    {
        QTest::mousePress(f.Image, Qt::LeftButton, {}, p);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, p);
        QCoreApplication::processEvents();
    }

    // The table as the model holds it now: t, then x and y of each point.
    static QStringList lignes(const TvideoBmpForm& f, QChar sep)
    {
        QStringList r;
        const double e = 0.5 / 200;
        for (int i = 0; i < f.modele.Nmes; ++i)
            r << QStringList{TexteNombre(i * 0.1), TexteNombre((point1(i).x() - 50) * e),
                             TexteNombre(-(point1(i).y() - 200) * e), TexteNombre((point2(i).x() - 50) * e),
                             TexteNombre(-(point2(i).y() - 200) * e)}
                     .join(sep);
        return r;
    }

    static QStringList lignesDe(QString texte)
    {
        texte.replace("\r\n", "\n");
        QStringList l = texte.split('\n');
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }

private slots:
    void initTestCase()
    {
        setSeparateurDecimal('.');
        m_serie = m_dir.filePath("chute");
        QDir().mkpath(m_serie);
        // Named so that only natural order puts them right.
        for (int n = 0; n < 6; ++n)
            QVERIFY(sauveJpeg(image(n), QStringLiteral("%1/im%2.jpg").arg(m_serie).arg(n * 4 + 2), nullptr, 95));
    }

    void mesureComplete()
    {
        TestHost host;
        TvideoBmpForm f(host);
        f.setDossier(m_dir.path() + "/");
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(f.windowTitle(), QString("Chronophotographie à partir d'un répertoire d'images pour Tabulo"));
        QVERIFY(!f.MesureBtn->isEnabled());

        f.OuvreSerie(m_serie + "/im6.jpg");
        QCOMPARE(f.nombreImages(), 6);
        QCOMPARE(QFileInfo(f.imageFile[1]).fileName(), QString("im6.jpg"));
        QCOMPARE(QFileInfo(f.imageFile[5]).fileName(), QString("im22.jpg"));
        QCOMPARE(f.windowTitle(), QString("Chronophotographie à partir d'un répertoire d'images [chute]"));
        QCOMPARE(f.TrackBar1->maximum(), 5);
        QCOMPARE(f.Abitmap.size(), QSize(320, 240));
        QVERIFY(f.MesureBtn->isEnabled() && f.EchelleBtn->isEnabled() && f.BmpToAviBtn->isEnabled());
        QVERIFY(!f.TabuloBtn->isEnabled());

        // Scale: 200 pixels are 0,5 m.
        f.EchelleBtn->click();
        quandModal<QInputDialog>([](QInputDialog* d) {
            QCOMPARE(d->windowTitle(), QString("Echelle"));
            d->setTextValue("0,5");
            d->accept();
        });
        clic(f, {20, 220});
        clic(f, {220, 220});
        QTRY_COMPARE(f.EchelleEdit->text(), QString("0,5"));
        QCOMPARE(f.modele.LongueurEchelle, 0.5);
        f.OrigineBtn->click();
        clic(f, {50, 200});
        QCOMPARE(f.modele.PointRepere[bsOrigine], QPoint(50, 200));
        f.DeltatEdit->clear();
        QTest::keyClicks(f.DeltatEdit, "0,1");
        QTest::keyClick(f.DeltatEdit, Qt::Key_Return);
        QCOMPARE(f.modele.deltat, 0.1);

        // Two points per image over five images; the tool moves on by itself.
        f.NbreSE->setValue(2);
        f.MesureBtn->click();
        QVERIFY(!f.EchelleBtn->isEnabled() && !f.NbreSE->isEnabled());
        for (int i = 0; i < 5; ++i) {
            QTRY_COMPARE(f.TrackBar1->value(), i);
            clic(f, point1(i));
            clic(f, point2(i));
        }
        QTRY_COMPARE(f.TrackBar1->value(), 5);
        QCOMPARE(f.modele.Nmes, 5);
        QVERIFY(f.TabuloBtn->isEnabled() && f.UndoBtn->isEnabled());

        // Undo takes the last image away and goes back to it; measured again.
        f.UndoBtn->click();
        QCOMPARE(f.modele.Nmes, 4);
        QTRY_COMPARE(f.TrackBar1->value(), 4);
        clic(f, point1(4));
        clic(f, point2(4));
        QTRY_COMPARE(f.TrackBar1->value(), 5);
        QCOMPARE(f.modele.Nmes, 5);
        f.MesureBtn->click();
        QVERIFY(f.EchelleBtn->isEnabled());

        // Moving origin: point 1 becomes each image's origin; back: it is point 1 again.
        f.OrigineMobileItem->trigger();
        QCOMPARE(f.NbreSE->value(), 1);
        QCOMPARE(f.modele.NbreSE, 1);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(f.modele.XY[0][size_t(i)], point1(i));
            QCOMPARE(f.modele.XY[1][size_t(i)], point2(i));
        }
        QCOMPARE(f.grille->columnCount(), 3);
        f.OrigineItem->trigger();
        QCOMPARE(f.NbreSE->value(), 2);
        QCOMPARE(f.grille->columnCount(), 5);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(f.modele.XY[1][size_t(i)], point1(i));
            QCOMPARE(f.modele.XY[2][size_t(i)], point2(i));
        }

        // Clipboard: names, units, rows (after the page dialog).
        quandModal<TConstanteDlg>([](TConstanteDlg* d) { d->accept(); });
        f.TabuloBtn->ClipM->trigger();
        QStringList attendu{"t\tx1\ty1\tx2\ty2", "s\tm\tm\tm\tm"};
        attendu << lignes(f, '\t');
        QTRY_COMPARE(lignesDe(QApplication::clipboard()->text()), attendu);
        QCOMPARE(attendu[3], QString("0.1\t0.075\t0.05\t0.175\t0.155"));

        // A .csv file: "," between values under a "." separator.
        quandModal<QFileDialog>([](QFileDialog* fd) {
            auto* nom = fd->findChild<QLineEdit*>("fileNameEdit");
            QVERIFY(nom);
            nom->clear();
            QTest::keyClicks(nom, "mesures.csv");
            static_cast<QDialog*>(fd)->done(QDialog::Accepted);
        });
        f.UniteEdit->setText("s");
        f.TabuloBtn->FileM->trigger();
        QFile csv(m_dir.filePath("mesures.csv"));
        QTRY_VERIFY(csv.exists());
        QVERIFY(csv.open(QIODevice::ReadOnly));
        attendu = QStringList{"t,x1,y1,x2,y2", "s,m,m,m,m"} + lignes(f, ',');
        QCOMPARE(lignesDe(QString::fromUtf8(csv.readAll())), attendu);
        f.close();
        QCOMPARE(host.mode(), mNone);
    }

    void petitesSeries_data()
    {
        QTest::addColumn<int>("images");
        QTest::addColumn<bool>("titreAvecDossier");
        QTest::addColumn<bool>("mesurable");
        QTest::addColumn<bool>("video");
        QTest::newRow("2") << 2 << false << false << false;
        QTest::newRow("3") << 3 << true << false << false;
        QTest::newRow("4") << 4 << true << true << false;
        QTest::newRow("5") << 5 << true << true << true;
    }
    void petitesSeries()
    {
        QFETCH(int, images);
        QFETCH(bool, titreAvecDossier);
        QFETCH(bool, mesurable);
        QFETCH(bool, video);
        QTemporaryDir dir;
        for (int n = 0; n < images; ++n)
            QVERIFY(sauveBmp(image(n), dir.filePath(QStringLiteral("b%1.BMP").arg(n))));
        TestHost host;
        TvideoBmpForm f(host);
        f.OuvreSerie(dir.filePath("b0.BMP"));
        QCOMPARE(f.nombreImages(), images);
        QCOMPARE(f.windowTitle().contains('['), titreAvecDossier);
        QCOMPARE(f.MesureBtn->isEnabled(), mesurable);
        QCOMPARE(f.OrigineBtn->isEnabled(), mesurable);
        QCOMPARE(f.BmpToAviBtn->isEnabled(), video);
    }

    // More than 128 images: the first 128 form the series and the user is told of the rest.
    void plusDe128()
    {
        QTemporaryDir dir;
        const QImage petite = image(0).scaled(32, 24);
        for (int n = 1; n <= 130; ++n)
            QVERIFY(sauveBmp(petite, dir.filePath(QStringLiteral("p%1.bmp").arg(n))));
        TestHost host;
        TvideoBmpForm f(host);
        QString texte;
        quandModal<QMessageBox>([&texte](QMessageBox* m) {
            texte = m->text();
            m->accept();
        });
        f.OuvreSerie(dir.filePath("p1.bmp"));
        QTRY_VERIFY(!texte.isEmpty());
        QCOMPARE(f.nombreImages(), 128);
        QCOMPARE(QFileInfo(f.imageFile.last()).fileName(), QString("p128.bmp"));
        QVERIFY2(texte.contains("130") && texte.contains("128") && texte.contains(" 2 "), qPrintable(texte));
    }

    // "Ouvrir AVI": as many images as frames, the interval from the rate, the series open;
    // a cancelled run leaves the series before it as it was.
    void ouvrirAvi()
    {
        const QString clip = m_dir.filePath("clip.mp4");
        QVERIFY(fabriqueClip(clip, 10, "25", {"-c:v", "libx264", "-pix_fmt", "yuv420p"}));
        const QString longClip = m_dir.filePath("long.avi");
        QVERIFY(fabriqueClip(longClip, 120, "25", {"-c:v", "mjpeg"}));
        TestHost host;
        TvideoBmpForm f(host);
        f.show();
        QVERIFY(f.OuvreAvi(clip));
        QCOMPARE(f.nombreImages(), 10);
        QCOMPARE(f.NbreTrames, 10);
        QCOMPARE(f.DeltatEdit->text(), QString("0.04"));
        QCOMPARE(f.modele.deltat, 0.04);
        QCOMPARE(f.windowTitle(), QString("Chronophotographie à partir d'un répertoire d'images [videoBmp]"));
        QVERIFY(f.imageFile[0].startsWith(host.tamponDir() + "videoBmp/"));
        QCOMPARE(numeroImage(f.Abitmap), 0);
        f.SuivantBtn->click();
        QCOMPARE(numeroImage(f.Abitmap), 1);
        QVERIFY(f.MesureBtn->isEnabled());

        quandModal<QProgressDialog>([](QProgressDialog* p) {
            QCOMPARE(p->windowTitle(), QString("Patience"));
            QCOMPARE(p->labelText(), QString("Patientez"));
            p->cancel();
        });
        QVERIFY(!f.OuvreAvi(longClip));
        QCOMPARE(f.nombreImages(), 10);
        QCOMPARE(QDir(host.tamponDir() + "videoBmp").entryList({"*.bmp"}).size(), 10);
        QVERIFY(!QFileInfo::exists(host.tamponDir() + "videoBmp.part"));
    }
};

QTEST_MAIN(TstVideoBmp)
#include "tst_videobmp.moc"

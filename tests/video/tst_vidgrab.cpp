// The second video tool driven through its window: opening, time base, handles and zoom,
// measuring, the exchange text, the chronophotograph and automatic measuring, its settings.
#include "ClipsTest.h"
#include "ChampNombre.h"
#include "ChronoForm.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TestSupport.h"
#include "TestHost.h"
#include "Transfert.h"
#include "aviMain.h"
#include "optionsVideo.h"
#include "vidGrab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QClipboard>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QByteArray debutFichier(const QString& chemin, int n)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.read(n) : QByteArray();
}

// A clip whose frames are drawn here and stored losslessly (FFV1), so pixel values survive.
bool clipExact(const QString& chemin, const QVector<QImage>& images, int cadence = 25)
{
    QProcess p;
    const QSize s = images.first().size();
    p.start("ffmpeg", {"-y", "-v", "error", "-f", "rawvideo", "-pix_fmt", "bgra", "-s",
                       QStringLiteral("%1x%2").arg(s.width()).arg(s.height()), "-r", QString::number(cadence), "-i",
                       "-", "-c:v", "ffv1", "-pix_fmt", "bgr0", chemin});
    if (!p.waitForStarted())
        return false;
    for (const QImage& i : images) {
        const QImage b = i.convertToFormat(QImage::Format_ARGB32);
        p.write(reinterpret_cast<const char*>(b.constBits()), b.sizeInBytes());
        p.waitForBytesWritten(-1);
    }
    p.closeWriteChannel();
    return p.waitForFinished(60000) && p.exitCode() == 0;
}

void carre(QImage& img, QPoint coin, QRgb c)
{
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            img.setPixel(coin + QPoint(x, y), c);
}

// Plays the user in every modal window while it lives: message boxes (keeping their texts;
// "Mobile visible" answered by `oui`), the save dialog (given `fichier`), the chronophotograph
// viewer (noting it showed a picture).
class Repondeur
{
public:
    explicit Repondeur(bool oui = true, const QString& fichier = {})
    {
        QObject::connect(&m_minuterie, &QTimer::timeout, [this, oui, fichier] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w || !w->isVisible())
                return;
            if (auto* m = qobject_cast<QMessageBox*>(w)) {
                textes << m->text();
                if (QAbstractButton* b = m->button(oui ? QMessageBox::Yes : QMessageBox::No))
                    b->click();
                else
                    m->accept();
            } else if (auto* d = qobject_cast<QFileDialog*>(w)) {
                // The name typed in, as a user does; the dialog's own checks are not the subject.
                if (auto* nom = d->findChild<QLineEdit*>("fileNameEdit"))
                    nom->setText(fichier);
                if (d->selectedFiles() == QStringList{fichier})
                    static_cast<QDialog*>(d)->done(QDialog::Accepted);
            } else if (auto* c = qobject_cast<TChronoForm*>(w)) {
                chronoVu = !c->image().isNull();
                c->accept();
            }
        });
        m_minuterie.start(10);
    }
    QStringList textes;
    bool chronoVu = false;

private:
    QTimer m_minuterie;
};

} // namespace

class TestVidGrab : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_clip;   // 160 x 120, 10 images at 25 images/s
    QString m_clip30; // the same at 30 images/s

    // Opens and waits for the first frame, playing stopped.
    static void ouvre(TvidGrabForm& f, const QString& clip)
    {
        f.OuvreFichier(clip);
        QVERIFY(f.fichierOuvert());
        f.StopPlayerBtn->click();
        QTRY_VERIFY(f.VideoGrabber.PlayerState() == ps_Stopped && !f.imageAttendue());
        f.demandeImage(1);
        QTRY_VERIFY(!f.imageAttendue());
        QCOMPARE(f.framePosition, 1);
    }

    // Until the frame asked for has come (10 s at most).
    static bool attend(TvidGrabForm& f)
    {
        QDeadlineTimer limite(10000);
        while (f.imageAttendue() && !limite.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        return !f.imageAttendue();
    }

    // A click at a frame pixel, as the mouse gives it at the display zoom.
    static void clic(TvidGrabForm& f, QPoint p, Qt::KeyboardModifiers mods = {})
    {
        QVERIFY(attend(f));
        const int z = f.zoomAffichage;
        const QPoint ecran = p * z + QPoint(z - 1, z - 1);
        QTest::mousePress(f.Image, Qt::LeftButton, mods, ecran);
        QTest::mouseRelease(f.Image, Qt::LeftButton, mods, ecran);
        QCoreApplication::processEvents();
    }

    static void glisse(TvidGrabForm& f, QPoint de, QPoint vers)
    {
        const int z = f.zoomAffichage;
        QTest::mousePress(f.Image, Qt::LeftButton, {}, de * z);
        QMouseEvent move(QEvent::MouseMove, QPointF(vers * z), f.Image->mapToGlobal(QPointF(vers * z)), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(f.Image, &move);
        QTest::mouseRelease(f.Image, Qt::LeftButton, {}, vers * z);
        QCoreApplication::processEvents();
    }

    static QStringList texteTabulo(TestHost& host, TvidGrabForm& f)
    {
        return host.transfert().construit(Destination::Tabulo, f.sourceTabulo()).toStrings();
    }

private slots:
    void initTestCase()
    {
        setSeparateurDecimal('.');
        m_clip = m_dir.filePath("clip.avi");
        QVERIFY(fabriqueClip(m_clip, 10, "25", {"-c:v", "mjpeg", "-q:v", "3"}));
        m_clip30 = m_dir.filePath("clip30.avi");
        QVERIFY(fabriqueClip(m_clip30, 10, "30", {"-c:v", "mjpeg", "-q:v", "3"}));
    }

    void ouvertureDuPendule()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, KX_SAMPLE_PENDULE);
        QCOMPARE(f.DurationLabel->text(), QString("Durée : 2.00 s"));
        QCOMPARE(f.FrameCountLabel->text(), QString("Nombre de trames : 50"));
        QCOMPARE(f.CodecLabel->text(), QString("video codec : mjpeg"));
        QCOMPARE(f.FrameRateEdit->text(), QString("25.00"));
        QCOMPARE(f.windowTitle(), QString("Lecture de fichier video pour Tabulo [pendule.avi]mjpeg"));
        QCOMPARE(f.TrackBar->maximum(), 50);
        QCOMPARE(f.modele.Largeur, 640);
        QCOMPARE(f.modele.PointRepere[bsOrigine], QPoint(320, 240));
        QCOMPARE(f.modele.PointRepere[bsEchelle1], QPoint(160, 120));
        QCOMPARE(f.modele.PointRepere[bsEchelle2], QPoint(320, 120));
        QCOMPARE(f.TimePositionLabel->text(), QString("N°=1 0.000s"));
        QCOMPARE(f.options->ZoomSE->value(), 2 * f.zoomAffichage);
        QVERIFY(f.PanelPlayer->isVisible());
    }

    void problemeCodec()
    {
        const QString faux = m_dir.filePath("faux.avi");
        QVERIFY(ecritOctets(faux, "pas une video"));
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        QString vu;
        quandModal<QMessageBox>([&vu](QMessageBox* m) {
            vu = m->text();
            m->accept();
        });
        f.OuvreFichier(faux);
        QCOMPARE(vu, QString("Problème avec Codec ?"));
        QVERIFY(!f.fichierOuvert());
        QVERIFY(!f.MesureBtn->isEnabled());
        QVERIFY(!f.ChronoPhotoBtn->isEnabled());
    }

    // Times are the file's, from the frame shown when measuring starts, scaled by the declared
    // rate and rounded to the millisecond.
    void baseDeTemps_data()
    {
        QTest::addColumn<QString>("cadence");
        QTest::addColumn<QStringList>("temps");
        QTest::addColumn<bool>("refusee");
        QTest::newRow("file's 30") << "30" << QStringList{"0", "0.033", "0.067"} << false;
        QTest::newRow("240 declared: divided by 8") << "240" << QStringList{"0", "0.004", "0.008"} << false;
        QTest::newRow("comma") << "7,5" << QStringList{"0", "0.133", "0.267"} << false;
        QTest::newRow("unreadable") << "%%" << QStringList{"0", "0.033", "0.067"} << true;
        QTest::newRow("zero") << "0" << QStringList{"0", "0.033", "0.067"} << true;
    }
    void baseDeTemps()
    {
        QFETCH(QString, cadence);
        QFETCH(QStringList, temps);
        QFETCH(bool, refusee);
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip30);
        f.demandeImage(3);
        QTRY_VERIFY(!f.imageAttendue());
        f.MesureBtn->click();
        // The component gives times in 100 ns.
        QVERIFY(std::abs(f.modele.torigine - 2.0 / 30) < 1e-7);
        for (int i = 0; i < 3; ++i)
            clic(f, QPoint(20 + 10 * i, 50));
        QTRY_COMPARE(f.modele.Nmes, 3);
        QCOMPARE(f.modele.NumFrame[0], 3);
        Repondeur messages;
        f.FrameRateEdit->setText(cadence);
        emit f.FrameRateEdit->editingFinished();
        QStringList vus;
        for (int i = 0; i < 3; ++i)
            vus << f.grille->data(f.grille->index(i, 0), Qt::DisplayRole).toString();
        QCOMPARE(vus, temps);
        QTest::qWait(50);
        QCOMPARE(messages.textes, refusee ? QStringList{"Nombre de trames par seconde incorrecte"} : QStringList{});
        if (refusee) {
            QCOMPARE(f.FrameRateEdit->text(), QString("30.00"));
            QCOMPARE(f.cadence.EchelleT, 1.0);
        }
        // The exported times follow too.
        QCOMPARE(texteTabulo(host, f).at(6).section('\t', 0, 0), temps[1]);
    }

    // Origin of time: the frame shown while nothing is measured; once measured, the recorded
    // point 1 nearest a click within 64 pixels, or a grid row.
    void origineDesTemps()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.demandeImage(4);
        QTRY_VERIFY(!f.imageAttendue());
        QVERIFY(!f.OrigineTempsBtn->isCheckable());
        f.OrigineTempsBtn->click();
        QCOMPARE(f.modele.torigine, 0.12);
        f.demandeImage(1);
        QTRY_VERIFY(!f.imageAttendue());
        f.MesureBtn->click();
        const QPoint pts[] = {{20, 60}, {60, 60}, {100, 60}};
        for (const QPoint& p : pts)
            clic(f, p);
        QTRY_COMPARE(f.modele.Nmes, 3);
        QVERIFY(f.OrigineTempsBtn->isCheckable());
        // 70 pixels from every point: nothing changes.
        f.OrigineTempsBtn->click();
        QVERIFY(f.OrigineTempsBtn->isChecked());
        clic(f, QPoint(60, 130 - 0));
        QCOMPARE(f.modele.torigine, 0.0);
        f.OrigineTempsBtn->setChecked(true);
        f.OrigineTempsBtn->click();
        f.OrigineTempsBtn->click();
        clic(f, QPoint(63, 57));
        QCOMPARE(f.modele.torigine, 0.04);
        QCOMPARE(f.modele.TexteTemps(0), QString("-0.04"));
        QVERIFY(!f.OrigineTempsBtn->isChecked());
        // By grid row: row 3 is measurement 2.
        f.OrigineTempsBtn->click();
        emit f.Grid->ligneChoisie(2);
        QCOMPARE(f.modele.torigine, 0.08);
    }

    // Handles are grabbed within magnet (6 div zoom, at least 2) in frame pixels; scale ends
    // closer than 8 are refused with the 16-pixel move.
    void poignees_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("magnet");
        QTest::newRow("1") << 1 << 6;
        QTest::newRow("2") << 2 << 3;
        QTest::newRow("3") << 3 << 2;
        QTest::newRow("4") << 4 << 2;
    }
    void poignees()
    {
        QFETCH(int, zoom);
        QFETCH(int, magnet);
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.options->ZoomImageSE->setValue(zoom);
        QCOMPARE(f.zoomAffichage, zoom);
        QCOMPARE(f.magnet, magnet);
        QCOMPARE(f.Image->width(), 160 * zoom);
        QCOMPARE(f.options->ZoomSE->minimum(), zoom);

        // The origin (80, 60): a press at magnet (city-block) misses it, one nearer takes it.
        glisse(f, QPoint(80 + magnet, 60), QPoint(100, 100));
        QCOMPARE(f.modele.PointRepere[bsOrigine], QPoint(80, 60));
        glisse(f, QPoint(80 + magnet - 1, 60), QPoint(100, 90));
        QCOMPARE(f.modele.PointRepere[bsOrigine], QPoint(100, 90));
        QCOMPARE(f.modele.OrigineX, 100);

        // Scale start (40, 30) dropped 5 from the end (80, 30): put at the end - (16, 16).
        QString message;
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        glisse(f, QPoint(40, 30), QPoint(75, 30));
        QCOMPARE(message, QString("Points trop proches"));
        QCOMPARE(f.modele.PointRepere[bsEchelle1], QPoint(64, 14));
        // Scale end dropped on the start: put at the start + (16, 16).
        message.clear();
        quandModal<QMessageBox>([&message](QMessageBox* m) {
            message = m->text();
            m->accept();
        });
        glisse(f, QPoint(80, 30), QPoint(66, 16));
        QCOMPARE(message, QString("Points trop proches"));
        QCOMPARE(f.modele.PointRepere[bsEchelle2], QPoint(80, 30));
        // A drop 8 away is accepted.
        glisse(f, QPoint(80, 30), QPoint(72, 14));
        QCOMPARE(f.modele.PointRepere[bsEchelle2], QPoint(72, 14));
    }

    // Whatever the display zoom, a click lands in frame pixels.
    void zoomClics_data()
    {
        QTest::addColumn<int>("zoom");
        for (int z = 1; z <= 4; ++z)
            QTest::newRow(qPrintable(QString::number(z))) << z;
    }
    void zoomClics()
    {
        QFETCH(int, zoom);
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.options->ZoomImageSE->setValue(zoom);
        f.MesureBtn->click();
        clic(f, QPoint(123, 45));
        clic(f, QPoint(7, 119));
        QTRY_COMPARE(f.modele.Nmes, 2);
        QCOMPARE(f.modele.XY[1][0], QPoint(123, 45));
        QCOMPARE(f.modele.XY[1][1], QPoint(7, 119));
        QCOMPARE(f.modele.NumFrame[1], 2);
    }

    // Two points per frame: every value rounded to Arrondi, the uncertainty block, the graph
    // lines, the file.
    void echangeDeuxPoints()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.options->ZoomImageSE->setValue(1);
        f.options->NbreSE->setValue(2);
        f.options->IncertitudeSE->setValue(3);
        f.MesureBtn->click();
        QVERIFY(!f.options->NbreSE->isEnabled());
        QVERIFY(!f.options->OrigineRG->button(1)->isEnabled());
        clic(f, {100, 40});
        clic(f, {60, 80});
        clic(f, {110, 40});
        clic(f, {50, 90});
        QTRY_COMPARE(f.modele.Nmes, 2);
        host.transfert().constanteDlg().EditComm->setText("deux");
        const QStringList attendu{QCoreApplication::applicationFilePath(),
                                  "Lecture de fichier video pour Tabulo",
                                  "deux",
                                  "t\tx1\ty1\tx2\ty2",
                                  "s\tm\tm\tm\tm",
                                  "0\t0.5\t0.5\t-0.5\t-0.5",
                                  "0.04\t0.75\t0.5\t-0.75\t-0.75",
                                  "&2 INCERT",
                                  "0.0004\t0.075\t0.075\t0.075\t0.075",
                                  "0.0004\t0.075\t0.075\t0.075\t0.075",
                                  "&2 NOMX",
                                  "x1",
                                  "x2",
                                  "&2 NOMY",
                                  "y1",
                                  "y2",
                                  "&1 ORTHO",
                                  "1",
                                  "&1 FICHIER",
                                  m_clip};
        const QStringList vu = texteTabulo(host, f);
        QCOMPARE(vu.size(), attendu.size());
        for (int i = 0; i < attendu.size(); ++i)
            QCOMPARE(vu[i], attendu[i]);
    }

    // Angle mode: t and α only, in s and °; the straight angle is +180 whichever way it opens.
    void echangeAngle()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.options->ZoomImageSE->setValue(1);
        f.options->AngleCB->click();
        QVERIFY(!f.options->NbreSE->isVisible());
        f.MesureBtn->click();
        QCOMPARE(f.modele.NbreSE, 3);
        for (const QPoint& p : {QPoint(120, 60), QPoint(80, 60), QPoint(80, 20)})
            clic(f, p);
        for (const QPoint& p : {QPoint(120, 60), QPoint(80, 60), QPoint(40, 60)})
            clic(f, p);
        QTRY_COMPARE(f.modele.Nmes, 2);
        QCOMPARE(f.grille->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QString("α(°)"));
        const QStringList vu = texteTabulo(host, f);
        QCOMPARE(vu.mid(3), (QStringList{"t\tα", "s\t°", "0\t90", "0.04\t180", "&2 INCERT", "0.0004\t0.025",
                                         "0.0004\t0.025", "&1 NOMX", "t", "&1 NOMY", "α", "&1 FICHIER", m_clip}));
    }

    // The extent test picks the graph lines only: every column is written.
    void etendue_data()
    {
        QTest::addColumn<QPoint>("pas");
        QTest::addColumn<QStringList>("graphe");
        QTest::newRow("x only") << QPoint(10, 0) << QStringList{"&1 NOMX", "t", "&1 NOMY", "x"};
        QTest::newRow("y only") << QPoint(0, 10) << QStringList{"&1 NOMX", "t", "&1 NOMY", "y"};
        QTest::newRow("both") << QPoint(10, 10) << QStringList{"&1 NOMX", "x", "&1 NOMY", "y", "&1 ORTHO", "1"};
    }
    void etendue()
    {
        QFETCH(QPoint, pas);
        QFETCH(QStringList, graphe);
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.options->ZoomImageSE->setValue(1);
        f.MesureBtn->click();
        for (int i = 0; i < 3; ++i)
            clic(f, QPoint(40, 30) + i * pas);
        QTRY_COMPARE(f.modele.Nmes, 3);
        const QStringList vu = texteTabulo(host, f);
        QCOMPARE(vu.at(3), QString("t\tx\ty"));
        QCOMPARE(vu.at(5).count('\t'), 2);
        QCOMPARE(vu.at(8), QString("&3 INCERT"));
        QCOMPARE(vu.mid(12, graphe.size()), graphe);
    }

    // No motion at all: the message, nothing sent, the dialog left as it was.
    void zoneTropEtroite()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.MesureBtn->click();
        clic(f, {40, 30});
        clic(f, {41, 31});
        QTRY_COMPARE(f.modele.Nmes, 2);
        QGuiApplication::clipboard()->setText("avant");
        QString message;
        quandModal<TConstanteDlg>([&message](TConstanteDlg* d) {
            quandModal<QMessageBox>([&message](QMessageBox* m) {
                message = m->text();
                m->accept();
            });
            d->accept();
        });
        f.TabuloBtn->click();
        QCOMPARE(message, QString("Mesures sur zone trop étroite !"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("avant"));
        QVERIFY(host.transfert().constanteDlg().nouveauFichier());
    }

    // Undo removes the last row and goes back one frame; completing the last frame stops.
    void defaireEtDerniereImage()
    {
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, m_clip);
        f.demandeImage(8);
        QTRY_VERIFY(!f.imageAttendue());
        f.MesureBtn->click();
        clic(f, {10, 10});
        clic(f, {20, 10});
        QTRY_COMPARE(f.framePosition, 10);
        f.UndoBtn->click();
        QCOMPARE(f.modele.Nmes, 1);
        QTRY_COMPARE(f.framePosition, 9);
        QTRY_VERIFY(!f.imageAttendue());
        clic(f, {20, 10});
        QTRY_COMPARE(f.framePosition, 10);
        clic(f, {30, 10});
        QCOMPARE(f.modele.Nmes, 3);
        QVERIFY(!f.MesureBtn->isChecked());
        QCOMPARE(f.controleur.BorneSelect, bsNone);
        QCOMPARE(f.MesureBtn->text(), QString("&Mesures"));
    }

    // The chronophotograph's rules, on frames stored exactly: a change above 192, and with a
    // chosen mobile a colour distance below 65 of its colour; without "Fin" up to the last frame.
    void chronophotographie_data()
    {
        QTest::addColumn<bool>("mobile");
        QTest::addColumn<int>("fin");
        QTest::addColumn<QString>("nom");
        QTest::newRow("all changes, jpeg name") << false << 0 << "chrono.jpeg";
        QTest::newRow("mobile, bmp") << true << 0 << "chrono.bmp";
        QTest::newRow("mobile, Fin on 3, png") << true << 3 << "chrono.png";
    }
    void chronophotographie()
    {
        QFETCH(bool, mobile);
        QFETCH(int, fin);
        QFETCH(QString, nom);
        const QRgb fond = qRgb(100, 100, 100), objet = qRgb(230, 20, 20);
        QVector<QImage> images(4, QImage(64, 48, QImage::Format_RGB32));
        for (QImage& i : images)
            i.fill(fond);
        carre(images[0], {10, 10}, objet);
        carre(images[1], {30, 10}, qRgb(164, 164, 164)); // change 192
        carre(images[1], {40, 10}, qRgb(165, 164, 164)); // change 193
        carre(images[2], {20, 30}, qRgb(230, 20, 85));   // distance 65 from the object
        carre(images[2], {26, 30}, qRgb(230, 20, 84));   // distance 64
        carre(images[3], {50, 30}, objet);               // the last frame
        const QString clip = m_dir.filePath("exact.avi");
        QVERIFY(clipExact(clip, images));

        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, clip);
        f.options->ZoomImageSE->setValue(1);
        if (fin) {
            f.demandeImage(fin);
            QTRY_VERIFY(!f.imageAttendue());
            f.FinPhotoBtn->click();
            f.demandeImage(1);
            QTRY_VERIFY(!f.imageAttendue());
        }
        const QString chemin = m_dir.filePath(nom);
        Repondeur messages(mobile, chemin);
        f.ChronoPhotoBtn->click();
        if (mobile) {
            QTRY_COMPARE(f.controleur.BorneSelect, bsCible);
            clic(f, {11, 11});
        }
        QTRY_VERIFY_WITH_TIMEOUT(messages.chronoVu, 15000);
        QCOMPARE(messages.textes.first(), QString("Mobile visible"));
        QCOMPARE(f.controleur.BorneSelect, bsNone);
        QVERIFY(!f.ChronoPhotoBtn->isChecked());

        // Written by its extension: ".jpeg" too is a JPEG.
        const QByteArray tete = debutFichier(chemin, 4);
        if (nom.endsWith("bmp"))
            QVERIFY(tete.startsWith("BM"));
        else if (nom.endsWith("png"))
            QVERIFY(tete.startsWith("\x89PNG"));
        else
            QVERIFY(tete.startsWith("\xFF\xD8"));
        if (nom.endsWith("jpeg"))
            return; // lossy: the rules are read on the lossless ones
        const QImage r = QImage(chemin).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(r.pixel(31, 11), fond);                    // change of exactly 192
        QCOMPARE(r.pixel(41, 11), mobile ? fond : qRgb(165, 164, 164));
        QCOMPARE(r.pixel(21, 31), mobile ? fond : qRgb(230, 20, 85)); // distance of exactly 65
        QCOMPARE(r.pixel(27, 31), qRgb(230, 20, 84));
        QCOMPARE(r.pixel(51, 31), fin ? fond : objet);      // the last frame
        QCOMPARE(r.pixel(11, 11), objet);                   // the first frame is the background
    }

    // Automatic measuring: a frame without the target gives no row and the run goes on; ten in
    // a row stop it with a message saying where the target was lost.
    void mesuresAuto_data()
    {
        QTest::addColumn<int>("cachees");   // frames without the dot, from frame 5 on
        QTest::addColumn<int>("lignes");
        QTest::addColumn<bool>("perdue");
        QTest::newRow("two hidden") << 2 << 18 << false;
        QTest::newRow("ten hidden") << 10 << 4 << true;
    }
    void mesuresAuto()
    {
        QFETCH(int, cachees);
        QFETCH(int, lignes);
        QFETCH(bool, perdue);
        QVector<QImage> images;
        for (int n = 0; n < 20; ++n) {
            QImage i(160, 120, QImage::Format_RGB32);
            i.fill(qRgb(200, 200, 200));
            if (!(n >= 4 && n < 4 + cachees))
                for (int y = -3; y <= 3; ++y)
                    for (int x = -3; x <= 3; ++x)
                        i.setPixel(20 + 5 * n + x, 60 + y, qRgb(20, 20, 180));
            images << i;
        }
        const QString clip = m_dir.filePath("suivi.avi");
        QVERIFY(clipExact(clip, images));

        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, clip);
        f.options->ZoomImageSE->setValue(1);
        f.options->NbreSE->setValue(2);
        f.MesureAutoCB->setChecked(true);
        Repondeur reponses;
        const QStringList& messages = reponses.textes;
        f.MesureBtn->click();
        QTRY_COMPARE(f.controleur.BorneSelect, bsMesureAuto);
        QCOMPARE(messages.mid(0, 2), (QStringList{"Un seul mobile possible", "Cliquer sur la cible à suivre"}));
        QCOMPARE(f.modele.NbreSE, 1);
        clic(f, {20, 60});
        QTRY_VERIFY_WITH_TIMEOUT(f.controleur.BorneSelect == bsNone, 20000);
        QCOMPARE(f.modele.Nmes, lignes);
        for (int i = 0; i < f.modele.Nmes; ++i) {
            const int n = f.modele.NumFrame[i] - 1;
            // Where the dot still overlaps its first place, only its changed part is seen.
            QVERIFY(std::abs(f.modele.XY[1][i].x() - (20 + 5 * n)) <= (n == 1 ? 1 : 0));
            QCOMPARE(f.modele.XY[1][i].y(), 60);
            QCOMPARE(f.modele.TempsMesure(i), std::round(n * 40.0) / 1000);
        }
        if (perdue)
            QVERIFY2(messages.last().startsWith("Cible perdue à partir de l'image n° 5"), qPrintable(messages.last()));
        else
            QCOMPARE(f.modele.NumFrame[f.modele.Nmes - 1], 20);
        QVERIFY(QFile::exists(host.appDataDir() + "kinexo.bmp"));
        QVERIFY(reponses.chronoVu);
        QVERIFY(!f.MesureBtn->isChecked());
    }

    // The options dialog updates the media-player tool too: colour of the next point, points
    // per image, display zoom.
    void lecteurSuitLesOptions()
    {
        TestHost host;
        TAviForm a(host);
        a.OuvreFichier(m_clip);
        QVERIFY(a.lecteur().ouvert());
        TvidGrabForm f(host);
        f.show();
        QVERIFY(!f.options->creation);
        f.options->NbreSE->setValue(2);
        QCOMPARE(a.NbreSE->value(), 2);
        QCOMPARE(f.modele.NbreSE, 2);
        f.options->setCouleurPoints(QColor(Qt::blue));
        QCOMPARE(a.modele.Couleur[1], QColor(Qt::blue));
        QCOMPARE(f.modele.Couleur[1], QColor(Qt::blue));
        f.options->ZoomImageSE->setValue(3);
        QCOMPARE(a.pasZoom, 3);
    }

    // The store holds 1025 measurements: the last one is kept, then a message and measuring
    // stops.
    void capacite()
    {
        const QString clip = m_dir.filePath("long.avi");
        QVERIFY(fabriqueClip(clip, 1030, "25", {"-c:v", "mjpeg", "-q:v", "5"}, "80x16"));
        TestHost host;
        TvidGrabForm f(host);
        f.show();
        ouvre(f, clip);
        f.options->ZoomImageSE->setValue(1);
        Repondeur messages;
        f.MesureBtn->click();
        for (int i = 0; i < kLignesCapture; ++i)
            clic(f, QPoint(i % 80, 3 + i % 13));
        QTRY_VERIFY(!f.MesureBtn->isChecked());
        QCOMPARE(f.modele.Nmes, kLignesCapture);
        QCOMPARE(f.modele.XY[1][kLignesCapture - 1], QPoint(1024 % 80, 3 + 1024 % 13));
        QCOMPARE(messages.textes, QStringList{"Nombre maximal de mesures atteint"});
        QCOMPARE(f.framePosition, kLignesCapture);
        QCOMPARE(f.controleur.BorneSelect, bsNone);
    }

    // Section "AVI": a stored uncertainty 0 shows 1, "Grille" wins over "TracePoints", the
    // orientation is "Axes"; closing writes them back.
    void reglages()
    {
        TestHost host;
        {
            QSettings s(host.fichierIni(), QSettings::IniFormat);
            s.setValue("AVI/PixelIncert", 0);
            s.setValue("AVI/Grille", true);
            s.setValue("AVI/TracePoints", true);
            s.setValue("AVI/Axes", 3);
            s.setValue("AVI/Cible", 9);
            s.setValue("AVI/Couleur2", 255);
        }
        TvidGrabForm f(host);
        QCOMPARE(f.options->IncertitudeSE->value(), 1);
        QCOMPARE(f.options->tracePoints(), int(TOptionsVideoForm::tpReticule));
        QCOMPARE(f.options->axes(), 3);
        QCOMPARE(f.controleur.CurseurPointage, 9);
        QCOMPARE(f.modele.Couleur[2], QColor(Qt::red));
        f.options->setTracePoints(TOptionsVideoForm::tpCroix);
        f.options->IncertitudeSE->setValue(4);
        host.setMode(mAVI);
        f.show();
        f.close();
        QCOMPARE(host.mode(), mNone);
        QSettings s(host.fichierIni(), QSettings::IniFormat);
        QCOMPARE(s.value("AVI/TracePoints").toBool(), true);
        QCOMPARE(s.value("AVI/Grille").toBool(), false);
        QCOMPARE(s.value("AVI/PixelIncert").toInt(), 4);
        QCOMPARE(s.value("AVI/Axes").toInt(), 3);
    }
};

QTEST_MAIN(TestVidGrab)
#include "tst_vidgrab.moc"

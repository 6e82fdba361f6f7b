// A whole measurement on the sample stroboscopic photograph, driven through the window as a
// teacher would: scale marks dragged onto the ruler, origin on the first flash, every flash of
// the thrown ball (series 1) and of the dropped ball (series 2) clicked, the table sent to the
// running stand-in analysis program. Its received text is compared line by line, and a fit of
// y(t) from that text gives back the sample's g.
#include "Chronophoto.h"
#include "Conversation.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TFormDDE.h"
#include "TestHost.h"
#include "Transfert.h"
#include "bmpMecaEch.h"
#include "bmpMecaMain.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <array>
#include <csignal>
#include <cmath>

namespace {

QByteArray lit(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void glisse(QWidget* w, QPoint de, QPoint a)
{
    QTest::mouseMove(w, de);
    QTest::mousePress(w, Qt::LeftButton, {}, de);
    QTest::mouseMove(w, (de + a) / 2, 5);
    QTest::mouseMove(w, a, 5);
    QTest::mouseRelease(w, Qt::LeftButton, {}, a, 5);
}

// Least-squares parabola y = a t² + b t + c; returns a.
double courbure(const QList<double>& t, const QList<double>& y)
{
    // Normal equations, solved by Cramer's rule.
    std::array<double, 5> s{};
    std::array<double, 3> r{};
    for (int i = 0; i < t.size(); ++i) {
        double p = 1;
        for (int k = 0; k < 5; ++k) {
            s[k] += p;
            if (k < 3)
                r[k] += p * y[i];
            p *= t[i];
        }
    }
    auto det = [](double a, double b, double c, double d, double e, double f, double g, double h, double i) {
        return a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    };
    // Unknowns (c, b, a): rows [s0 s1 s2 | r0], [s1 s2 s3 | r1], [s2 s3 s4 | r2].
    const double D = det(s[0], s[1], s[2], s[1], s[2], s[3], s[2], s[3], s[4]);
    const double Da = det(s[0], s[1], r[0], s[1], s[2], r[1], s[2], s[3], r[2]);
    return Da / D;
}

} // namespace

class TestBmpMecaBout : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    // Scrolls the view (by dragging the overview's outline) until `pixel` is well inside it.
    static void montre(TBitmapMecaForm& f, QPoint pixel)
    {
        QWidget* v = f.vueImage();
        const QRect interieur = v->rect().adjusted(20, 20, -20, -20);
        if (interieur.contains(f.geometrie().versEcran(pixel)))
            return;
        const double k = f.echelleApercu();
        const RectI& r = f.geometrie().RectVisible;
        const QPoint centre((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        const QRect rz = f.rectZoom();
        const QPoint de = rz.center();
        const QPoint delta(std::lround((pixel.x() - centre.x()) * k), std::lround((pixel.y() - centre.y()) * k));
        glisse(f.apercu(), de, de + delta);
    }

    static void clicPixel(TBitmapMecaForm& f, QPoint pixel)
    {
        montre(f, pixel);
        const QPoint e = f.geometrie().versEcran(pixel);
        QVERIFY2(f.vueImage()->rect().contains(e), "point hors de la vue");
        QTest::mouseMove(f.vueImage(), e);
        QTest::mousePress(f.vueImage(), Qt::LeftButton, {}, e);
        QTest::mouseRelease(f.vueImage(), Qt::LeftButton, {}, e);
    }

private slots:
    void mesureEtTransfert()
    {
        if (qEnvironmentVariable("DISPLAY").isEmpty())
            QSKIP("no X display for a clipboard shared with the stand-in (set KINEXO_TEST_DISPLAY)");
        QVERIFY(!verrouTenu("Tabulo"));
        qputenv("KINEXO_TABULO_DUMP", m_dir.filePath("dump").toUtf8());

        TestHost host;
        host.transfert().formDDE().AppName = QStringLiteral(KX_TABULO_PATH);
        TBitmapMecaForm f(host);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));

        // The scale dialog opens with the picture: 1 m, flashes 1/25 s apart, two balls.
        quandModal<TEchelleMecaBmpDlg>([](TEchelleMecaBmpDlg* d) {
            d->EchelleEdit->setText("1");
            d->EditT->setText("0,04");
            d->NbreSE->setValue(2);
            d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        QVERIFY(f.ChargeImage(QStringLiteral(KX_STROBO_SAMPLE)));
        QCOMPARE(f.nbreObjet(), 2);

        // Whole picture in view ("Zoom /2"), marks dragged: the ruler's 0 and 100, the origin on
        // the thrown ball's first image.
        f.ChangeZoom(0.5);
        QCOMPARE(f.geometrie().pasZoom, 0.5);
        QWidget* v = f.vueImage();
        auto ecran = [&f](QPoint pixel) { return f.geometrie().versEcran(pixel); };
        const QPoint debut = chronophoto::kRegleDebut.toPoint(), fin = chronophoto::kRegleFin.toPoint();
        const QPoint premier = chronophoto::position(1, 0).toPoint();
        glisse(v, ecran(f.repere(TBitmapMecaForm::bsEchelle1)), ecran(debut));
        glisse(v, ecran(f.repere(TBitmapMecaForm::bsEchelle2)), ecran(fin));
        glisse(v, ecran(f.repere(TBitmapMecaForm::bsOrigine)), ecran(premier));
        QCOMPARE(f.repere(TBitmapMecaForm::bsEchelle1), debut);
        QCOMPARE(f.repere(TBitmapMecaForm::bsEchelle2), fin);
        const QPoint origine = f.repere(TBitmapMecaForm::bsOrigine);
        QVERIFY2((origine - premier).manhattanLength() <= 2, qPrintable(QString("%1,%2").arg(origine.x()).arg(origine.y())));
        QCOMPARE(f.echelle().Echelle, 1.0 / 600);

        // Back to full size to click the centre dots, scrolling through the overview.
        f.ChangeZoom(1);
        f.action("Mesurer")->trigger();
        QCOMPARE(f.objet(), 1);
        std::array<QList<QPoint>, 3> clics;
        for (int i = 0; i < chronophoto::kEclairs; ++i) {
            clics[1] << chronophoto::position(1, i).toPoint();
            clicPixel(f, clics[1].last());
        }
        QCOMPARE(f.series().NbrePoints(1), chronophoto::kEclairs);
        f.action("Stop")->trigger();
        f.action("Mesurer")->trigger();
        QCOMPARE(f.objet(), 2);
        for (int i = 0; i < chronophoto::kEclairs; ++i) {
            clics[2] << chronophoto::position(2, i).toPoint();
            clicPixel(f, clics[2].last());
        }
        // Series 2 stopped by itself at its eleventh position.
        QCOMPARE(f.etat(), int(TBitmapMecaForm::bsNone));
        for (int s : {1, 2})
            for (int i = 0; i < chronophoto::kEclairs; ++i)
                QCOMPARE(f.series().point(s, i), clics[s][i]);

        QString message;
        quandModal<TConstanteDlg>([&message](TConstanteDlg* d) {
            d->EditComm->setText("chute et lancer");
            d->NomConstEdit->setText("g");
            d->UniteConstEdit->setText("m/s²");
            d->ValeurConstEdit->setText("9,81");
            d->accept();
            // A refusal by the analysis program would show a message: note it, close it.
            quandModal<QMessageBox>([&message](QMessageBox* m) {
                message = m->text();
                m->accept();
            });
        });
        f.action("Tabulo")->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir.filePath("dump/1.txt")), 15000);
        QTRY_VERIFY(QFile::exists(m_dir.filePath("dump/journal.txt")));
        QCOMPARE(message, QString());

        QStringList attendu{QCoreApplication::applicationFilePath(), "Lecture de bitmap pour Tabulo", "chute et lancer",
                            "t\tX1\tY1\tX2\tY2\t", "s\tm\tm\tm\tm\t"};
        // Millimetres: 1 m over 600 pixels, snapped to 0.001.
        auto mm = [](int pixels) { return TexteNombre(std::nearbyint(pixels * 1000.0 / 600) / 1000); };
        for (int i = 0; i < chronophoto::kEclairs; ++i) {
            QStringList ligne{TexteNombre(i * 0.04)};
            for (int s : {1, 2})
                ligne << mm(clics[s][i].x() - origine.x()) << mm(origine.y() - clics[s][i].y());
            attendu << ligne.join('\t') + '\t';
        }
        attendu << "" << "g\t" << "m/s²\t" << "9.81\t";
        attendu << "&2 NOMX" << "X1" << "X2" << "&2 NOMY" << "Y1" << "Y2" << "&2 ORTHO" << "1" << "1";
        attendu << "&1 FICHIER" << QStringLiteral(KX_STROBO_SAMPLE);
        QStringList recu = QString::fromUtf8(lit(m_dir.filePath("dump/1.txt"))).split("\r\n");
        QCOMPARE(recu.takeLast(), QString()); // every line, the last too, ends with CR LF
        for (int i = 0; i < std::min(recu.size(), attendu.size()); ++i)
            QCOMPARE(recu[i], attendu[i]);
        QCOMPARE(recu.size(), attendu.size());
        QTRY_COMPARE(QString::fromUtf8(lit(m_dir.filePath("dump/journal.txt"))), QString("1 CLIP|LOAD OK 1\n"));

        // What Tabulo would model: y(t) of each ball is a parabola of curvature −g/2.
        for (int s : {1, 2}) {
            QList<double> t, y;
            for (int i = 0; i < chronophoto::kEclairs; ++i) {
                const QStringList champs = recu[5 + i].split('\t');
                t << LitNombre(champs[0]).value();
                y << LitNombre(champs[2 * s]).value();
            }
            const double g = -2 * courbure(t, y);
            qInfo("series %d: g = %.4f m/s2", s, g);
            QVERIFY2(std::fabs(g - chronophoto::kG) < 0.01 * chronophoto::kG, qPrintable(QString::number(g)));
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
    qputenv("KINEXO_CONVERSATION_ID", "meca-" + QByteArray::number(QCoreApplication::applicationPid()));
    QApplication app(argc, argv);
    setSeparateurDecimal('.');
    TestBmpMecaBout t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_bmpmeca_bout.moc"

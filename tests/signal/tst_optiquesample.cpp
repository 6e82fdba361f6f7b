// The shipped single-slit photograph, read as a teacher would: the default line crosses the
// fringes through the centre of the pattern.
#include "DiffractionFente.h"
#include "ExportOptique.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "ProfilIntensite.h"

#include <QtTest>
#include <map>

using enum ProfilIntensite::TstyleDrag;

class TestOptiqueSample : public QObject
{
    Q_OBJECT
    QImage m_image;

    ProfilIntensite profil(int moyenne) const
    {
        ProfilIntensite p;
        p.setImage(m_image);
        p.pointsParDefaut();
        p.dimension = teIndex;
        p.MoyenneSE = moyenne;
        p.calcule();
        return p;
    }

private slots:
    void initTestCase()
    {
        setSeparateurDecimal(QLatin1Char('.'));
        QString erreur;
        m_image = chargeImage(QStringLiteral(KX_SAMPLES_DIR "/") + QLatin1String(fente::kNom), &erreur);
        QVERIFY2(!m_image.isNull(), qPrintable(erreur));
        QCOMPARE(m_image.size(), QSize(fente::kLargeur, fente::kHauteur));
    }

    // Each dark fringe, found in the exported numbers by a parabola through the samples around
    // the lowest one, lies within a pixel of where the slit puts it.
    void minimaAtTheFringes_data()
    {
        QTest::addColumn<int>("moyenne");
        // One line of a noisy photograph is too noisy to place a minimum: a teacher smooths.
        QTest::newRow("Lissage 10") << 10;
        QTest::newRow("Lissage 20") << 20;
        QTest::newRow("Lissage 40") << 40;
        QTest::newRow("Lissage 80") << 80;
    }
    void minimaAtTheFringes()
    {
        QFETCH(int, moyenne);
        const ProfilIntensite p = profil(moyenne);
        QCOMPARE(p.PointRepere[bsOrigine], QPoint(fente::kCentreX, fente::kCentreY));
        ExchangeText t;
        tableOptique(p, t);
        std::map<int, double> intensite;
        for (int l = 3; l < t.lineCount(); ++l) {
            const QStringList champs = t.lines().at(l);
            const auto x = LitNombre(champs.at(0));
            const auto i = LitNombre(champs.at(1));
            QVERIFY(x && i);
            intensite[int(*x)] = *i;
        }
        QCOMPARE(int(intensite.size()), p.Fin - p.Debut + 1);
        // The two first dark fringes on each side; beyond, the lobes (0.8 % of the peak and
        // less) sink into the noise.
        for (int k : {-2, -1, 1, 2}) {
            const double attendu = k * fente::kInterfrange;
            int bas = 0;
            double mini = 1e9;
            for (int x = int(attendu) - 15; x <= int(attendu) + 15; ++x) {
                double m = 0; // a five-sample mean keeps single noisy samples from winning
                for (int d = -2; d <= 2; ++d)
                    m += intensite.at(x + d) / 5;
                if (m < mini) {
                    mini = m;
                    bas = x;
                }
            }
            // Least-squares parabola over 11 samples centred on the lowest.
            double s[5] = {}, sy = 0, sxy = 0, sx2y = 0;
            for (int d = -5; d <= 5; ++d) {
                const double y = intensite.at(bas + d);
                for (int e = 0; e < 5; ++e)
                    s[e] += std::pow(d, e);
                sy += y;
                sxy += d * y;
                sx2y += d * d * y;
            }
            // Symmetric sums: s1 = s3 = 0.
            const double b = sxy / s[2];
            const double a = (sx2y * s[0] - sy * s[2]) / (s[4] * s[0] - s[2] * s[2]);
            QVERIFY2(a > 0, qPrintable(QStringLiteral("no dip at fringe %1").arg(k)));
            const double sommet = bas - b / (2 * a);
            QVERIFY2(std::abs(sommet - attendu) <= 1.0,
                     qPrintable(QStringLiteral("fringe %1: %2 instead of %3").arg(k).arg(sommet).arg(attendu)));
        }
    }

    // The saturated samples are exactly the line's pixels (over the averaged band) with a
    // channel at 255; the central peak has a few, the rest none.
    void saturatedCount_data()
    {
        QTest::addColumn<int>("moyenne");
        QTest::newRow("Lissage 0") << 0;
        QTest::newRow("Lissage 5") << 5;
    }
    void saturatedCount()
    {
        QFETCH(int, moyenne);
        const ProfilIntensite p = profil(moyenne);
        int attendu = 0;
        for (int x = p.Debut + fente::kCentreX; x <= p.Fin + fente::kCentreX; ++x) {
            bool sature = false;
            for (int y = fente::kCentreY - moyenne; y <= fente::kCentreY + moyenne; ++y) {
                const QColor c = m_image.pixelColor(x, y);
                sature |= c.red() == 255 || c.green() == 255 || c.blue() == 255;
            }
            attendu += sature;
            QCOMPARE(p.sature(x - fente::kCentreX), sature);
        }
        QCOMPARE(p.nombreSatures(), attendu);
        QVERIFY(attendu > 0);
        QVERIFY(attendu < 40);
        // Slightly: the peak is flattened over a few pixels around the centre only.
        for (int i = p.Debut; i <= p.Fin; ++i)
            if (p.sature(i))
                QVERIFY2(std::abs(i) < 15, qPrintable(QString::number(i)));
    }
};

QTEST_APPLESS_MAIN(TestOptiqueSample)
#include "tst_optiquesample.moc"

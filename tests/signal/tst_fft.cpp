#include "Fft.h"

#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>
#include <complex>
#include <numbers>

namespace {
constexpr double pi = std::numbers::pi;

QByteArray en16(const std::vector<double>& v)
{
    QByteArray b(qsizetype(v.size()) * 2, '\0');
    for (std::size_t i = 0; i < v.size(); ++i) {
        const qint16 s = qint16(std::clamp(std::lround(v[i]), -32768L, 32767L));
        b[qsizetype(2 * i)] = char(s & 0xFF);
        b[qsizetype(2 * i + 1)] = char((s >> 8) & 0xFF);
    }
    return b;
}

std::vector<double> sinus(int n, double bin, double amplitude, double phase = 0.3)
{
    std::vector<double> v(std::size_t(n), 0.0);
    for (int i = 0; i < n; ++i)
        v[std::size_t(i)] = amplitude * std::sin(2 * pi * bin * i / 2048 + phase);
    return v;
}

// Plain DFT magnitudes of the 2048 frames debut+1..debut+2048 (zero past the data), bins 0..1024.
std::vector<double> dft(const TvecteurSon& s, int debut)
{
    std::vector<double> y(2048, 0.0);
    for (int j = 0; j < 2048; ++j) {
        const int k = debut + 1 + j;
        if (k < s.nombreTrames())
            y[std::size_t(j)] = s.valeurAnalyse(k);
    }
    // Direct sum over a table of the 2048 roots of unity, in long double.
    std::vector<std::complex<long double>> racines(2048);
    for (int j = 0; j < 2048; ++j)
        racines[std::size_t(j)] = std::polar(1.0L, -2 * std::numbers::pi_v<long double> * j / 2048);
    std::vector<double> m(1025);
    for (int k = 0; k <= 1024; ++k) {
        std::complex<long double> somme = 0;
        for (int j = 0; j < 2048; ++j)
            somme += (long double)y[std::size_t(j)] * racines[std::size_t((k * j) % 2048)];
        m[std::size_t(k)] = double(std::abs(somme));
    }
    return m;
}

int compteDifferents(const QImage& im, QRgb fond)
{
    int n = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            n += (im.pixel(x, y) & 0xFFFFFF) != (fond & 0xFFFFFF);
    return n;
}
}

class TestFft : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { initFFT(); }

    void spectrumMatchesPlainDft_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("donnees");
        QTest::addColumn<int>("debut");
        QRandomGenerator alea(7);
        QByteArray bruit(2 * 3000, '\0');
        for (auto& c : bruit)
            c = char(alea.bounded(256));
        QTest::newRow("noise f16") << int(f16) << bruit << 500;
        std::vector<double> deux = sinus(3000, 37.3, 9000);
        const auto autre = sinus(3000, 411.0, 3000, 1.1);
        for (std::size_t i = 0; i < deux.size(); ++i)
            deux[i] += autre[i];
        QTest::newRow("two tones f16") << int(f16) << en16(deux) << 0;
        QByteArray huit(3000, '\0');
        for (int i = 0; i < huit.size(); ++i)
            huit[i] = char(128 + int(100 * std::sin(i * 0.21)));
        QTest::newRow("tone f8") << int(f8) << huit << 100;
        QTest::newRow("noise f16stereo") << int(f16stereo) << bruit << 10;
        QTest::newRow("noise f8stereo") << int(f8stereo) << bruit << 0;
        QTest::newRow("noise f24stereo") << int(f24stereo) << bruit << 0;
        QTest::newRow("short file") << int(f16) << bruit.left(2 * 900) << 0;
    }
    void spectrumMatchesPlainDft()
    {
        QFETCH(int, format);
        QFETCH(QByteArray, donnees);
        QFETCH(int, debut);
        TvecteurSon s;
        s.assigne(TformatWave(format), donnees);
        TvecteurFFT spectre;
        spectreAmplitudes(debut, debut + 2048, s, spectre);
        const auto attendu = dft(s, debut);
        const double echelle = *std::max_element(attendu.begin(), attendu.end());
        QVERIFY(echelle > 0);
        for (int k = 0; k <= 1024; ++k)
            QVERIFY2(std::fabs(spectre[std::size_t(k)] - attendu[std::size_t(k)]) <= 1e-9 * echelle,
                     qPrintable(QStringLiteral("bin %1: %2 vs %3").arg(k).arg(spectre[std::size_t(k)]).arg(attendu[std::size_t(k)])));
        QCOMPARE(spectre[1025], 0.0);
    }

    // 1000 Hz at 11025 Hz lies at bin 185.76: one bar at 186 of the sinc-corrected height.
    void toneCollapsesToOneCorrectedBar()
    {
        std::vector<double> v(4000);
        for (int i = 0; i < 4000; ++i)
            v[std::size_t(i)] = 12000 * std::sin(2 * pi * 1000 * i / 11025.0);
        TvecteurSon s;
        s.assigne(f16, en16(v));
        const auto brut = dft(s, 0);
        QVERIFY(brut[186] > brut[185] && brut[185] > brut[187]);
        const double delta = 1 - brut[186] / (brut[186] + brut[185]);
        const double hauteur = brut[186] / (std::sin(pi * delta) / (pi * delta));
        TvecteurFFT spectre;
        double maxi = 0;
        spectreFFT(0, 2048, &s, maxi, spectre);
        QVERIFY(std::fabs(spectre[186] - hauteur) < 1e-9 * hauteur);
        // The true amplitude of the tone: A * N / 2.
        QVERIFY(std::fabs(hauteur / (12000.0 * 1024) - 1) < 0.02);
        for (int k = 150; k <= 230; ++k)
            if (k != 186)
                QCOMPARE(spectre[std::size_t(k)], 0.0);
        QCOMPARE(maxi, hauteur * 1.05);
    }

    void smallPeaksLeftAlone_data()
    {
        QTest::addColumn<double>("relatif");
        QTest::addColumn<bool>("corrige");
        QTest::newRow("1.5 % of the maximum") << 0.015 << false;
        QTest::newRow("2 % tone") << 0.02 << false;
        QTest::newRow("4 % of the maximum") << 0.04 << true;
    }
    void smallPeaksLeftAlone()
    {
        QFETCH(double, relatif);
        QFETCH(bool, corrige);
        // The large tone sits on a bin; the small one between bins 300 and 301.
        auto v = sinus(2100, 100, 20000);
        const auto petit = sinus(2100, 300.3, 20000 * relatif, 0.7);
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] += petit[i];
        TvecteurSon s;
        s.assigne(f16, en16(v));
        TvecteurFFT brut, spectre;
        spectreAmplitudes(0, 2048, s, brut);
        double maxi = 0;
        spectreFFT(0, 2048, &s, maxi, spectre);
        if (corrige) {
            QVERIFY(spectre[300] > brut[300] * 1.05);
            QCOMPARE(spectre[301], 0.0);
        } else {
            QCOMPARE(spectre[300], brut[300]);
            QCOMPARE(spectre[301], brut[301]);
        }
    }

    void silenceGivesUnitMaximum()
    {
        TvecteurSon s;
        s.assigne(f8, QByteArray(3000, char(128)));
        TvecteurFFT spectre;
        double maxi = 0;
        spectreFFT(0, 2048, &s, maxi, spectre);
        QCOMPARE(maxi, 1.0);
        QCOMPARE(sinc(0), 1.0);
    }

    void peakFrequencyAccuracy_data()
    {
        QTest::addColumn<double>("bin");
        for (int base : {10, 20, 100, 400})
            for (int d = -5; d <= 5; ++d)
                QTest::addRow("bin %d %+.1f", base, d / 10.0) << base + d / 10.0;
    }
    void peakFrequencyAccuracy()
    {
        QFETCH(double, bin);
        double pire = 0;
        for (double phase : {0.0, 1.0, 2.2, 4.0}) {
            TvecteurSon s;
            s.assigne(f16, en16(sinus(2100, bin, 15000, phase)));
            const auto f = frequencePic(0, 2048, s);
            QVERIFY(f.has_value());
            pire = std::max(pire, std::fabs(*f - bin));
        }
        QVERIFY2(pire <= 0.01, qPrintable(QStringLiteral("error %1 bin").arg(pire)));
    }

    void peakFrequencyInHertz()
    {
        std::vector<double> v(2100);
        for (int i = 0; i < 2100; ++i)
            v[std::size_t(i)] = 10000 * std::sin(2 * pi * 1000 * i / 11025.0);
        TvecteurSon s;
        s.assigne(f16, en16(v));
        const auto f = frequencePicHz(0, 2048, s, 11025);
        QVERIFY(f.has_value());
        QVERIFY(std::fabs(*f - 1000) < 0.01 * 11025 / 2048);
    }

    void peakFrequencyOfSilenceIsEmpty()
    {
        TvecteurSon s;
        s.assigne(f16, QByteArray(5000, '\0'));
        QVERIFY(!frequencePic(0, 2048, s).has_value());
    }

    void sonagramColumns_data()
    {
        QTest::addColumn<int>("longueur");
        QTest::addColumn<int>("colonnes");
        QTest::newRow("1023 frames: none") << 1023 << 0;
        QTest::newRow("1024 frames: one") << 1024 << 1;
        QTest::newRow("5000 frames") << 5000 << 8;
        QTest::newRow("2,999,999 frames: the cap") << 2999999 << 4096;
    }
    void sonagramColumns()
    {
        QFETCH(int, longueur);
        QFETCH(int, colonnes);
        TvecteurSon s;
        QByteArray b(3000000, '\0');
        for (int i = 0; i < b.size(); ++i)
            b[i] = char(128 + ((i / 3) % 2 ? 60 : -60));
        s.assigne(f8, b);
        auto sonagramme = std::make_unique<Tsonagramme>();
        sonagramme->Calcul(0, longueur, &s);
        QCOMPARE(std::max(sonagramme->NbreSonagramme, 0), colonnes);
    }

    // A tone's column, checked against a plain Hamming-windowed DFT.
    void sonagramMatchesPlainTransform()
    {
        std::vector<double> v(512 * 6);
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] = (i < 512 * 3 ? 8000 : 2000) * std::sin(2 * pi * 50.3 * double(i) / 512) + 300 * std::sin(i * 1.3);
        TvecteurSon s;
        s.assigne(f16, en16(v));
        auto g = std::make_unique<Tsonagramme>();
        QCOMPARE(g->decadedB, 2);
        g->Calcul(0, int(v.size()) - 1, &s);
        QCOMPARE(g->NbreSonagramme, 4);
        std::vector<std::vector<double>> attendu(4, std::vector<double>(257, 0.0));
        double maximum = 0;
        for (int c = 0; c < 4; ++c)
            for (int b = 2; b <= 255; ++b) {
                std::complex<double> somme = 0;
                for (int i = 0; i < 512; ++i)
                    somme += s.valeurAnalyse(512 * c + i) * (0.54 - 0.46 * std::cos(2 * pi * i / 512)) *
                             std::polar(1.0, -2 * pi * b * i / 512);
                attendu[std::size_t(c)][std::size_t(b)] = std::abs(somme);
                maximum = std::max(maximum, std::abs(somme));
            }
        for (int c = 0; c < 4; ++c) {
            QCOMPARE(g->MatriceSon(c, 0), 0.0f);
            QCOMPARE(g->MatriceSon(c, 1), 0.0f);
            QCOMPARE(g->MatriceSon(c, 256), 0.0f);
            for (int b = 2; b <= 255; ++b)
                QVERIFY(std::fabs(g->MatriceSon(c, b) - attendu[std::size_t(c)][std::size_t(b)] / maximum) < 1e-5);
        }
        QVERIFY(std::fabs(g->MatriceSon(0, 50) - 1.0f) < 0.2f);
        // Silence: zeros, no division by zero.
        TvecteurSon silence;
        silence.assigne(f16, QByteArray(20000, '\0'));
        g->Calcul(0, 9999, &silence);
        QCOMPARE(g->NbreSonagramme, 18);
        QCOMPARE(g->MatriceSon(3, 40), 0.0f);
    }

    void binsShown_data()
    {
        QTest::addColumn<int>("freq");
        QTest::addColumn<int>("fft");
        QTest::addColumn<int>("sonagramme");
        QTest::addColumn<int>("grille");
        QTest::newRow("44100") << 44100 << 464 << 116 << 1000;
        QTest::newRow("48000") << 48000 << 426 << 106 << 1000;
        QTest::newRow("11025") << 11025 << 1024 << 256 << 1000;
        QTest::newRow("8000") << 8000 << 1024 << 256 << 500;
        QTest::newRow("20000") << 20000 << 1024 << 256 << 1000;
        QTest::newRow("3000") << 3000 << 1024 << 256 << 200;
    }
    void binsShown()
    {
        QFETCH(int, freq);
        QFETCH(int, fft);
        QFETCH(int, sonagramme);
        QFETCH(int, grille);
        QCOMPARE(TvueFFT::binsAffiches(quint32(freq)), fft);
        QCOMPARE(TvueSonagramme::binsAffiches(quint32(freq)), sonagramme);
        QCOMPARE(TvueFFT::pasGrille(quint32(freq)), grille);
    }

    void transformWindowStart_data()
    {
        QTest::addColumn<double>("secondes");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("debut");
        QTest::newRow("start of file") << 0.05 << 100000 << 0;
        QTest::newRow("middle") << 1.0 << 100000 << 11025 - 1024;
        QTest::newRow("near the end") << 9.0 << 100000 << 100000 - 2049;
        QTest::newRow("short file") << 0.01 << 1500 << 0;
    }
    void transformWindowStart()
    {
        QFETCH(double, secondes);
        QFETCH(int, points);
        QFETCH(int, debut);
        QCOMPARE(TvueFFT::debutFenetre(11025, secondes, points), debut);
    }

    void colourMap_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("decades");
        QTest::addColumn<QColor>("couleur");
        QTest::newRow("2 decades: 1 % black") << 0.01 << 2 << QColor(0, 0, 0);
        QTest::newRow("2 decades: maximum red") << 1.0 << 2 << QColor(255, 0, 0);
        QTest::newRow("2 decades: 10 % green") << 0.1 << 2 << QColor(0, 255, 0);
        QTest::newRow("3 decades: 1 % green-cyan") << 0.01 << 3 << QColor(0, 255, 170);
        QTest::newRow("3 decades: 0.1 % black") << 0.001 << 3 << QColor(0, 0, 0);
        QTest::newRow("zero in dB black") << 0.0 << 2 << QColor(0, 0, 0);
        QTest::newRow("linear below 1/128 black") << 0.0078 << 0 << QColor(0, 0, 0);
        QTest::newRow("linear at 1/128 blue") << 1.0 / 128 << 0 << QColor(0, 8, 255);
        QTest::newRow("linear 0.25 cyan") << 0.25 << 0 << QColor(0, 255, 255);
        QTest::newRow("linear 0.75 yellow") << 0.75 << 0 << QColor(255, 255, 0);
        QTest::newRow("linear above 1 red") << 3.0 << 0 << QColor(255, 0, 0);
    }
    void colourMap()
    {
        QFETCH(double, v);
        QFETCH(int, decades);
        QFETCH(QColor, couleur);
        QCOMPARE(QColor(couleurSonagramme(v, decades)), couleur);
    }

    void fftViewDrawsBars()
    {
        TvecteurFFT spectre{};
        spectre[186] = 100;
        spectre[400] = 50;
        QImage im(1024, 200, QImage::Format_RGB32);
        QPainter p(&im);
        QPalette pal;
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Highlight, QColor(0, 0, 128));
        pal.setColor(QPalette::Link, QColor(0, 128, 255));
        TvueFFT::peint(p, im.rect(), spectre, 105, 11025, pal);
        p.end();
        // x = k * 1024 / 1024; height 200 - round(200/105*100) = 10.
        QCOMPARE(QColor(im.pixel(186, 11)), QColor(0, 0, 128));
        QCOMPARE(QColor(im.pixel(186, 8)), QColor(Qt::white));
        QCOMPARE(QColor(im.pixel(400, 110)), QColor(0, 0, 128));
        QCOMPARE(QColor(im.pixel(400, 100)), QColor(Qt::white));
        // Grid every 1000 Hz: 2 * 1024 / 11025 pixels per hertz.
        const int x1 = qRound(1000 * 2.0 * 1024 / 11025);
        int pointilles = 0;
        for (int y = 0; y < 200; ++y)
            pointilles += QColor(im.pixel(x1, y)) == QColor(0, 128, 255);
        QVERIFY(pointilles > 40 && pointilles < 160);
        if (!qEnvironmentVariableIsEmpty("KX_IMAGES"))
            im.save(qEnvironmentVariable("KX_IMAGES") + "/fft.png");
    }

    void sonagramViewLinesUpWithSelection()
    {
        std::vector<double> v(512 * 40);
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] = i >= 512 * 20 ? 10000 * std::sin(2 * pi * 64 * double(i) / 512) : 0;
        TvecteurSon s;
        s.assigne(f16, en16(v));
        auto g = std::make_unique<Tsonagramme>();
        g->Calcul(0, int(v.size()) - 1, &s);
        QCOMPARE(g->NbreSonagramme, 38);
        TgrapheSon zoom;
        zoom.Son = &s;
        zoom.LimiteCourbe = {0, 0, 400, 100};
        zoom.debutS = 0;
        zoom.finS = int(v.size()) - 1;
        zoom.coefficients();
        QImage im(400, 256, QImage::Format_RGB32);
        im.fill(Qt::gray);
        QPainter p(&im);
        TvueSonagramme vue;
        vue.peint(p, im.rect(), *g, 11025, zoom, QPalette());
        p.end();
        // Bin 64 is row 256 - 64 = 192; the tone starts at column 20, x = 20 * 512 * 400 / 20479.
        const int xTon = qRound(20 * 512 * 400.0 / 20479);
        QCOMPARE(QColor(im.pixel(xTon + 5, 192)), QColor(255, 0, 0));
        QCOMPARE(QColor(im.pixel(xTon - 15, 192)), QColor(0, 0, 0));
        QCOMPARE(QColor(im.pixel(xTon + 5, 40)), QColor(0, 0, 0));
        if (!qEnvironmentVariableIsEmpty("KX_IMAGES"))
            im.save(qEnvironmentVariable("KX_IMAGES") + "/sonagramme.png");

        // No column: nothing but the background.
        g->Calcul(0, 1000, &s);
        QImage vide(200, 100, QImage::Format_RGB32);
        QPainter p2(&vide);
        QPalette pal;
        pal.setColor(QPalette::Base, Qt::white);
        vue.peint(p2, vide.rect(), *g, 11025, zoom, pal);
        p2.end();
        QCOMPARE(compteDifferents(vide, qRgb(255, 255, 255)), 0);
    }

    void inviteToPlay()
    {
        QImage im(300, 100, QImage::Format_RGB32);
        QPainter p(&im);
        QPalette pal;
        pal.setColor(QPalette::Base, Qt::white);
        TvueFFT::peintInvite(p, im.rect(), pal);
        p.end();
        int rouges = 0;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 300; ++x)
                rouges += QColor(im.pixel(x, y)).red() > 200 && QColor(im.pixel(x, y)).green() < 100;
        QVERIFY(rouges > 20);
    }
};

QTEST_MAIN(TestFft)
#include "tst_fft.moc"

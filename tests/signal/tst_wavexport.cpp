#include "ExchangeText.h"
#include "NumberText.h"
#include "WavExport.h"

#include <QTest>
#include <QtEndian>
#include <cmath>

namespace {

TvecteurSon vecteur(TformatWave f, const QByteArray& octets)
{
    TvecteurSon s;
    s.assigne(f, octets);
    return s;
}

QByteArray mots16(const QList<int>& v)
{
    QByteArray b(v.size() * 2, '\0');
    for (int i = 0; i < v.size(); ++i)
        qToLittleEndian<qint16>(qint16(v[i]), b.data() + 2 * i);
    return b;
}

} // namespace

class TestWavExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }
    void pasExport_data();
    void pasExport();
    void pasExportKeepsMarkerOutsideFamilies();
    void sizeControl_data();
    void sizeControl();
    void timerOnlyAboveLimit_data();
    void timerOnlyAboveLimit();
    void general7_data();
    void general7();
    void textFileLineByLine();
    void stereoColumns_data();
    void stereoColumns();
    void normalTransferKeepsOneFrameInPasReg();
    void envelopeOfOneSecond();
    void sections();
};

void TestWavExport::pasExport_data()
{
    QTest::addColumn<int>("largeur");
    QTest::addColumn<int>("freq");
    QTest::addColumn<int>("pas");
    QTest::addColumn<int>("freqReg");
    QTest::addColumn<QString>("texte");
    QTest::newRow("8191 at 11025") << 8191 << 11025 << 1 << 11025 << "Fech=11025 Hz";
    QTest::newRow("8192 at 11025") << 8192 << 11025 << 2 << 5512 << "Fech=5512 Hz ?!";
    QTest::newRow("16383 at 44100") << 16383 << 44100 << 2 << 22050 << "Fech=22050 Hz";
    QTest::newRow("30000 at 44100") << 30000 << 44100 << 4 << 11025 << "Fech=11025 Hz";
    QTest::newRow("16384 at 44100 back to 11025") << 16384 << 44100 << 4 << 11025 << "Fech=11025 Hz";
    QTest::newRow("100000 at 44100") << 100000 << 44100 << 13 << 3392 << "Fech=3392 Hz ?!";
    QTest::newRow("20000 at 22050") << 20000 << 22050 << 3 << 7350 << "Fech=7350 Hz ?!";
    QTest::newRow("40000 at 48000") << 40000 << 48000 << 6 << 8000 << "Fech=8000 Hz";
    QTest::newRow("20000 at 48000") << 20000 << 48000 << 3 << 16000 << "Fech=16000 Hz";
    QTest::newRow("70000 at 8000") << 70000 << 8000 << 9 << 888 << "Fech=888 Hz ?!";
}

void TestWavExport::pasExport()
{
    QFETCH(int, largeur);
    QFETCH(int, freq);
    QFETCH(int, pas);
    QFETCH(int, freqReg);
    QFETCH(QString, texte);
    TpasExport p;
    p.calcule(1000, 1000 + largeur, std::uint32_t(freq));
    QCOMPARE(int(p.pasReg), pas);
    QCOMPARE(int(p.FreqReg), freqReg);
    QCOMPARE(p.texte(), texte);
}

void TestWavExport::pasExportKeepsMarkerOutsideFamilies()
{
    TpasExport p;
    p.calcule(0, 100, 10000);
    QVERIFY(!p.schannonOK);   // initially false
    QCOMPARE(p.texte(), QStringLiteral("Fech=10000 Hz ?!"));
    p.calcule(0, 100, 44100);
    QVERIFY(p.schannonOK);
    p.calcule(0, 20000, 10000);
    QCOMPARE(int(p.FreqReg), 3333);
    QVERIFY(p.schannonOK);    // kept from the previous selection
}

void TestWavExport::sizeControl_data()
{
    QTest::addColumn<bool>("agrandir");
    QTest::addColumn<int>("debut");
    QTest::addColumn<int>("fin");
    QTest::addColumn<bool>("accepte");
    QTest::addColumn<int>("debutApres");
    QTest::addColumn<int>("finApres");
    const int n = 100000;
    Q_UNUSED(n);
    QTest::newRow("shrink refused at 512") << false << 1000 << 1512 << false << 1000 << 1512;
    QTest::newRow("shrink refused below") << false << 1000 << 1100 << false << 1000 << 1100;
    QTest::newRow("shrink at 513") << false << 1000 << 1513 << true << 1128 << 1384;
    QTest::newRow("shrink 3000") << false << 0 << 3000 << true << 988 << 2012;
    QTest::newRow("enlarge refused at start") << true << 0 << 3000 << false << 0 << 3000;
    QTest::newRow("enlarge refused at end") << true << 5000 << 99999 << false << 5000 << 99999;
    QTest::newRow("enlarge 100") << true << 1000 << 1100 << true << 922 << 1178;
    QTest::newRow("enlarge clamped") << true << 100 << 99000 << true << 0 << 99999;
}

void TestWavExport::sizeControl()
{
    QFETCH(bool, agrandir);
    QFETCH(int, debut);
    QFETCH(int, fin);
    QFETCH(bool, accepte);
    QFETCH(int, debutApres);
    QFETCH(int, finApres);
    const bool ok = agrandir ? agranditSelection(debut, fin, 100000) : reduitSelection(debut, fin);
    QCOMPARE(ok, accepte);
    QCOMPARE(debut, debutApres);
    QCOMPARE(fin, finApres);
}

void TestWavExport::timerOnlyAboveLimit_data()
{
    QTest::addColumn<int>("trames");
    QTest::addColumn<int>("freq");
    QTest::addColumn<bool>("timer");
    QTest::newRow("0.55 s at 44100") << 24255 << 44100 << false;
    QTest::newRow("0.55 s at 8000") << 4400 << 8000 << false;
    QTest::newRow("one frame more") << 24256 << 44100 << true;
    QTest::newRow("short") << 100 << 11025 << false;
}

void TestWavExport::timerOnlyAboveLimit()
{
    QFETCH(int, trames);
    QFETCH(int, freq);
    QFETCH(bool, timer);
    QCOMPARE(lectureAvecTimer(500, 500 + trames, std::uint32_t(freq)), timer);
}

void TestWavExport::general7_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("texte");
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("1/44100") << 1.0 / 44100 << "0.00002267574";
    QTest::newRow("small") << 1.5e-6 << "1.5E-6";
    QTest::newRow("1/11025") << 1.0 / 11025 << "0.00009070295";
    QTest::newRow("10 s plus one frame") << 10 + 1.0 / 44100 << "10.00002";
    QTest::newRow("rounded to 7 digits") << 1234567.8 << "1234568";
    QTest::newRow("large") << 12345678.0 << "1.234568E7";
    QTest::newRow("negative") << -0.25 << "-0.25";
}

void TestWavExport::general7()
{
    QFETCH(double, x);
    QFETCH(QString, texte);
    QCOMPARE(texteGeneral7(x), texte);
    setSeparateurDecimal(',');
    QCOMPARE(texteGeneral7(x), QString(texte).replace('.', ','));
    setSeparateurDecimal('.');
}

void TestWavExport::textFileLineByLine()
{
    const TvecteurSon s = vecteur(f8, QByteArray::fromHex("80ff00407f"));
    const QStringList l = lignesTexte(s, 1, 4, 8000, true);   // "Stéréo" means nothing in mono
    QCOMPARE(l, (QStringList{"t\tson", "s\t", "0\t127", "0.000125\t-128", "0.00025\t-64", "0.000375\t-1"}));
}

void TestWavExport::stereoColumns_data()
{
    QTest::addColumn<int>("format");
    QTest::addColumn<QByteArray>("octets");
    QTest::addColumn<bool>("stereo");
    QTest::addColumn<QStringList>("lignes");
    const QByteArray s16 = mots16({100, -200, -32768, 32767});
    QTest::newRow("f16stereo both") << int(f16stereo) << s16 << true
                                    << QStringList{"t\tsonGauche\tsonDroit", "s\t\t", "0\t100\t-200", "0.0001\t-32768\t32767"};
    QTest::newRow("f16stereo left only") << int(f16stereo) << s16 << false
                                         << QStringList{"t\tson", "s\t", "0\t100", "0.0001\t-32768"};
    QTest::newRow("f8stereo both") << int(f8stereo) << QByteArray::fromHex("ff0080c0") << true
                                   << QStringList{"t\tsonGauche\tsonDroit", "s\t\t", "0\t127\t-128", "0.0001\t0\t64"};
    // 24-bit: -1 and 0.5 of full scale, through the number text.
    QTest::newRow("f24stereo both") << int(f24stereo) << QByteArray::fromHex("ffffff000040") << true
                                    << QStringList{"t\tsonGauche\tsonDroit", "s\t\t",
                                                   "0\t" + TexteNombre(-1.0 / 8388608) + "\t" + TexteNombre(0.5)};
}

void TestWavExport::stereoColumns()
{
    QFETCH(int, format);
    QFETCH(QByteArray, octets);
    QFETCH(bool, stereo);
    QFETCH(QStringList, lignes);
    const TvecteurSon s = vecteur(TformatWave(format), octets);
    QCOMPARE(lignesTexte(s, 0, s.nombreTrames() - 1, 10000, stereo), lignes);
    // The transfer writes the same values under the names sG / sD.
    ExchangeText t;
    tableTabulo(t, s, 0, s.nombreTrames() - 1, 10000, 1, stereo, false);
    QStringList attendu = lignes;
    attendu[0] = stereo ? "t\tsG\tsD" : "t\ts";
    QCOMPARE(t.toStrings(), attendu);
}

void TestWavExport::normalTransferKeepsOneFrameInPasReg()
{
    QByteArray b(30, '\0');
    for (int i = 0; i < 30; ++i)
        b[i] = char(128 + i);
    const TvecteurSon s = vecteur(f8, b);
    ExchangeText t;
    tableTabulo(t, s, 5, 20, 1000, 4, false, false);
    // Frames 8, 12, 16, 20 (index multiple of the step), timed from the selection start.
    QCOMPARE(t.toStrings(), (QStringList{"t\ts", "s\t", "0.003\t8", "0.007\t12", "0.011\t16", "0.015\t20"}));
    QCOMPARE(titreAcquisition(44100, 13), QStringLiteral("Acquisition à fech=3392 Hz"));
    QCOMPARE(titreAcquisition(11025, 2), QStringLiteral("Acquisition à fech=5512 Hz"));  // 5512.5 to even
}

void TestWavExport::envelopeOfOneSecond()
{
    // One second at 11025 Hz, 8 bits: each 40 ms block swings by 2k around the middle.
    QByteArray b(11025, char(128));
    for (int k = 0; k < 25; ++k)
        for (int i = 0; i < 441; ++i)
            b[k * 441 + i] = char(128 + ((i % 2) ? k : -k));
    const TvecteurSon s = vecteur(f8, b);
    ExchangeText t;
    tableTabulo(t, s, 0, s.nombreTrames() - 1, 11025, 1, false, true);
    const QStringList l = t.toStrings();
    QCOMPARE(l.size(), 2 + 24);
    for (int k = 0; k < 24; ++k)
        QCOMPARE(l[2 + k], QString::number(k) + "\t" + texteGeneral7(2.0 * k / 256));
    // 16 bits: scale 1/65536; the block's first frame starts min and max.
    QList<int> v(2 * 441 + 1, 0);   // two whole blocks at 11025 Hz
    v[0] = 1000;
    v[5] = -31768;
    v[441] = -5;
    const TvecteurSon s16 = vecteur(f16, mots16(v));
    ExchangeText t16;
    tableTabulo(t16, s16, 0, s16.nombreTrames() - 1, 11025, 1, false, true);
    QCOMPARE(t16.toStrings().mid(2), (QStringList{"0\t0.5", "1\t" + texteGeneral7(5.0 / 65536)}));
}

void TestWavExport::sections()
{
    ExchangeText mono;
    sectionsTabulo(mono, false, "/SONS/LA.WAV");
    QCOMPARE(mono.toStrings(), (QStringList{"&1 NOMX", "t", "&1 NOMY", "s", "&1 LIGNE", "2", "&1 FICHIER", "/SONS/LA.WAV"}));
    ExchangeText stereo;
    sectionsTabulo(stereo, true, QString());
    QCOMPARE(stereo.toStrings(), (QStringList{"&2 NOMX", "t", "t", "&2 NOMY", "sG", "sD", "&2 LIGNE", "2", "2",
                                              "&1 ANALOG", "1"}));
}

QTEST_GUILESS_MAIN(TestWavExport)
#include "tst_wavexport.moc"

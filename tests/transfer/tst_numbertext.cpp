#include "NumberText.h"

#include <QtTest>

// Every case runs under both decimal separators: `attendu` is written with "." and the
// comma variant is derived from it.
class TestNumberText : public QObject
{
    Q_OBJECT

    static QString enVirgule(QString s) { return s.replace('.', ','); }

private slots:
    void cleanup() { setSeparateurDecimal('.'); }

    void texteNombre_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("1/82") << 1.0 / 82 << "0.0121951";
        QTest::newRow("0.04") << 0.04 << "0.04";
        QTest::newRow("12") << 12.0 << "12";
        QTest::newRow("0.00012345") << 0.00012345 << "0.00012345";
        QTest::newRow("0.0001") << 0.0001 << "0.0001";
        QTest::newRow("0.00005") << 0.00005 << "5E-05";
        QTest::newRow("1234567") << 1234567.0 << "1.23457E06";
        QTest::newRow("123456.7") << 123456.7 << "123457";
        QTest::newRow("999999") << 999999.0 << "999999";
        QTest::newRow("999999.6 rounds up to sci") << 999999.6 << "1E06";
        QTest::newRow("0") << 0.0 << "0";
        QTest::newRow("negative") << -0.0162602 << "-0.0162602";
        QTest::newRow("1/123") << 1.0 / 123 << "0.00813008";
        QTest::newRow("large exponent") << 1.5e123 << "1.5E123";
        QTest::newRow("tiny") << -2.5e-30 << "-2.5E-30";
    }
    void texteNombre()
    {
        QFETCH(double, x);
        QFETCH(QString, attendu);
        setSeparateurDecimal('.');
        QCOMPARE(TexteNombre(x), attendu);
        QCOMPARE(TexteNombrePoint(x), attendu);
        setSeparateurDecimal(',');
        QCOMPARE(TexteNombre(x), enVirgule(attendu));
        QCOMPARE(TexteNombrePoint(x), attendu);
    }

    void texteNombreUnite_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("unite");
        QTest::addColumn<QString>("attendu");
        QTest::newRow("mm") << 0.0123 << "m" << "12.300 mm";
        QTest::newRow("s") << 1.5 << "s" << "1.5000 s";
        QTest::newRow("ms") << 0.04 << "s" << "40.000 ms";
        QTest::newRow("km") << 123456.0 << "m" << "123.46 km";
        QTest::newRow("negative") << -0.5 << "m" << "-500.00 mm";
        QTest::newRow("zero has no unit") << 0.0 << "m" << "0";
        QTest::newRow("below 1e-19") << 5e-20 << "m" << "0";
        QTest::newRow("999.6 m") << 999.6 << "m" << "0.9996 km";
        QTest::newRow("1/123 m") << 1.0 / 123 << "m" << "8.1301 mm";
        QTest::newRow("micro") << 2.5e-6 << "s" << "2.5000 µs";
        QTest::newRow("too large") << 1e30 << "m" << "";
    }
    void texteNombreUnite()
    {
        QFETCH(double, x);
        QFETCH(QString, unite);
        QFETCH(QString, attendu);
        setSeparateurDecimal('.');
        QCOMPARE(TexteNombreUnite(x, unite), attendu);
        setSeparateurDecimal(',');
        QCOMPARE(TexteNombreUnite(x, unite), enVirgule(attendu));
    }

    void texteMantisse_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<QString>("attendu");
        QTest::addColumn<int>("code");
        QTest::newRow("unit range") << 2.5 << "2.5000" << 0;
        QTest::newRow("milli") << 0.0123 << "12.300" << 1;
        QTest::newRow("micro") << 4.5e-6 << "4.5000" << 2;
        QTest::newRow("nano") << 7e-9 << "7.0000" << 3;
        QTest::newRow("kilo clamps to none") << 1500.0 << "1.5000" << 0;
        QTest::newRow("below threshold") << 1e-16 << "1" << 0;
    }
    void texteMantisse()
    {
        QFETCH(double, x);
        QFETCH(QString, attendu);
        QFETCH(int, code);
        setSeparateurDecimal('.');
        int c = -1;
        QCOMPARE(TexteMantisse(x, c), attendu);
        QCOMPARE(c, code);
    }

    void litNombre_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<bool>("lisible");
        QTest::addColumn<double>("valeur");
        QTest::newRow("3.2") << "3.2" << true << 3.2;
        QTest::newRow("3,2") << "3,2" << true << 3.2;
        QTest::newRow("1.000,5 fails") << "1.000,5" << false << 0.0;
        QTest::newRow("1,5 m") << "1,5 m" << true << 1.5;
        QTest::newRow("0.04 s") << "0.04 s" << true << 0.04;
        QTest::newRow("40ms") << "40ms" << true << 0.04;
        QTest::newRow("40 ms") << "40 ms" << true << 0.04;
        QTest::newRow("2 km") << "2 km" << true << 2000.0;
        QTest::newRow("12 m") << "12 m" << true << 12.0;
        QTest::newRow("12m is milli") << "12m" << true << 0.012;
        QTest::newRow("20 cm") << "20 cm" << true << 0.2;
        QTest::newRow("20cm") << "20cm" << true << 0.2;
        QTest::newRow("2,5 cm") << "2,5 cm" << true << 0.025;
        QTest::newRow("15 cs") << "15 cs" << true << 0.15;
        QTest::newRow("c alone fails") << "c" << false << 0.0;
        QTest::newRow("cm alone fails") << "cm" << false << 0.0;
        QTest::newRow("5 s") << "5 s" << true << 5.0;
        QTest::newRow("5s") << "5s" << true << 5.0;
        QTest::newRow("s alone fails") << "s" << false << 0.0;
        QTest::newRow("micro") << "3µm" << true << 3e-6;
        QTest::newRow("mega") << "2M" << true << 2e6;
        QTest::newRow("exponent") << "1.5E-3" << true << 1.5e-3;
        QTest::newRow("negative") << "-0.25" << true << -0.25;
        QTest::newRow("Z is not read") << "3Z" << false << 0.0;
        QTest::newRow("words fail") << "abc" << false << 0.0;
        QTest::newRow("empty fails") << "" << false << 0.0;
    }
    void litNombre()
    {
        QFETCH(QString, texte);
        QFETCH(bool, lisible);
        QFETCH(double, valeur);
        for (QChar sep : {QChar('.'), QChar(',')}) {
            setSeparateurDecimal(sep);
            const std::optional<double> v = LitNombre(texte);
            QCOMPARE(v.has_value(), lisible);
            if (lisible)
                QVERIFY2(qAbs(*v - valeur) <= 1e-12 * qMax(1.0, qAbs(valeur)), qPrintable(QString::number(*v)));
        }
    }

    void litNombreEchelle_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("code");
        QTest::addColumn<double>("valeur");
        QTest::newRow("plain") << "2,5" << 0 << 2.5;
        QTest::newRow("milli") << "250" << 1 << 0.25;
        QTest::newRow("micro") << "3" << 2 << 3e-6;
        QTest::newRow("nano") << "4.5" << 3 << 4.5e-9;
        QTest::newRow("unreadable is 1") << "x" << 1 << 1e-3;
    }
    void litNombreEchelle()
    {
        QFETCH(QString, texte);
        QFETCH(int, code);
        QFETCH(double, valeur);
        for (QChar sep : {QChar('.'), QChar(',')}) {
            setSeparateurDecimal(sep);
            QVERIFY(qAbs(LitNombreEchelle(texte, code) - valeur) <= 1e-15 * qMax(1.0, qAbs(valeur)));
        }
    }
};

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"

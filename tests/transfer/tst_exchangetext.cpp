#include "ExchangeText.h"
#include "NumberText.h"

#include <QtTest>

class TestExchangeText : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void linesEndWithCrLf()
    {
        ExchangeText t;
        t.addFields({"t", "x", "y"});
        t.addSection("NOMX", {"x"});
        t.addLine(QString());
        QCOMPARE(t.toText(), QString("t\tx\ty\r\n&1 NOMX\r\nx\r\n\r\n"));
        QCOMPARE(t.toText(';'), QString("t;x;y\r\n&1 NOMX\r\nx\r\n\r\n"));
    }

    void constantBlock_data()
    {
        QTest::addColumn<QString>("symbole");
        QTest::addColumn<QString>("valeur");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("named") << "g" << "9,81" << QStringList{"", "g\t", "m/s2\t", "9.81\t"};
        QTest::newRow("empty symbol adds nothing") << "" << "9.81" << QStringList{};
        QTest::newRow("unreadable value adds nothing") << "g" << "neuf" << QStringList{};
    }
    void constantBlock()
    {
        QFETCH(QString, symbole);
        QFETCH(QString, valeur);
        QFETCH(QStringList, attendu);
        ExchangeText t;
        AjouteConst(t, symbole, "m/s2", valeur);
        QCOMPARE(t.toStrings(), attendu);
    }
};

QTEST_GUILESS_MAIN(TestExchangeText)
#include "tst_exchangetext.moc"

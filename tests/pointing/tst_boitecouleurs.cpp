#include "BoiteCouleurs.h"
#include "SectionReglages.h"

#include <QSignalSpy>
#include <QtTest>

class TestBoiteCouleurs : public QObject
{
    Q_OBJECT
private slots:
    // Settings numbers are red + green * 256 + blue * 65536; the box shows the colour they mean.
    void nomsDesNombresDuFichier_data()
    {
        QTest::addColumn<qint64>("nombre");
        QTest::addColumn<QString>("nom");
        QTest::newRow("red") << qint64(0x0000FF) << "Rouge";
        QTest::newRow("navy") << qint64(0x800000) << "Bleu marine";
        QTest::newRow("aqua") << qint64(0xFFFF00) << "Cyan";
        QTest::newRow("maroon") << qint64(0x000080) << "Marron";
        QTest::newRow("other") << qint64(0x123456) << "Personnalisée";
    }
    void nomsDesNombresDuFichier()
    {
        QFETCH(qint64, nombre);
        QFETCH(QString, nom);
        BoiteCouleurs b;
        QSignalSpy change(&b, &QComboBox::currentIndexChanged);
        b.setCouleur(couleurDeNombre(nombre));
        QCOMPARE(b.currentText(), nom);
        QCOMPARE(nombreDeCouleur(b.couleur()), nombre);
        QCOMPARE(change.size(), 0);
    }

    void etendues()
    {
        QCOMPARE(BoiteCouleurs().count(), 16);
        BoiteCouleurs b(nullptr, true);
        QCOMPARE(b.count(), 20);
        b.setCouleur(QColor(166, 202, 240));
        QCOMPARE(b.currentText(), QStringLiteral("Bleu ciel"));
    }
};

QTEST_MAIN(TestBoiteCouleurs)
#include "tst_boitecouleurs.moc"

#include "TransferButton.h"

#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestTransferButton : public QObject
{
    Q_OBJECT
private slots:
    void choosingAnItemTransfersAtOnce_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("legende");
        QTest::newRow("vers Tabulo") << 0 << "Tabulo";
        QTest::newRow("vers presse papiers") << 1 << "Copier";
        QTest::newRow("vers fichier") << 2 << "Sauver";
    }
    void choosingAnItemTransfersAtOnce()
    {
        QFETCH(int, tag);
        QFETCH(QString, legende);
        TransferButton b;
        b.setDestination(tag == 0 ? Destination::Fichier : Destination::Tabulo);
        QSignalSpy spy(&b, &TransferButton::transfert);
        QAction* item = b.SavePopupMenu->actions().at(tag);
        QCOMPARE(item->data().toInt(), tag);
        item->trigger();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy[0][0].value<Destination>(), Destination(tag));
        QCOMPARE(b.text(), legende);
        QCOMPARE(int(b.destination()), tag);
        int coches = 0;
        for (QAction* a : b.SavePopupMenu->actions())
            coches += a->isChecked();
        QCOMPARE(coches, 1);
        QVERIFY(b.icon().cacheKey() == item->icon().cacheKey());

        QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, b.height() / 2));   // the button part
        QCOMPARE(spy.size(), 2);
        QCOMPARE(spy[1][0].value<Destination>(), Destination(tag));
    }

    void settingsSection()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("kinexo.INI");
        TransferButton b;
        b.lisReglages(ini);   // nothing written yet: Tabulo
        QCOMPARE(b.destination(), Destination::Tabulo);
        QCOMPARE(b.SavePopupMenu->actions().at(0)->text(), QString("vers Tabulo"));
        QCOMPARE(b.SavePopupMenu->actions().at(1)->text(), QString("vers presse papiers"));
        QCOMPARE(b.SavePopupMenu->actions().at(2)->text(), QString("vers fichier"));
        b.FileM->trigger();
        b.ecritReglages(ini);
        QSettings s(ini, QSettings::IniFormat);
        QCOMPARE(s.value("Save/Tabulo").toBool(), false);
        QCOMPARE(s.value("Save/Clip").toBool(), false);
        QCOMPARE(s.value("Save/File").toBool(), true);
        TransferButton c;
        c.lisReglages(ini);
        QCOMPARE(c.destination(), Destination::Fichier);
        QCOMPARE(c.text(), QString("Sauver"));

        const QString png = qEnvironmentVariable("KINEXO_SCREENSHOTS");
        if (!png.isEmpty()) {
            c.show();
            c.grab().save(png + "/TransferButton.png");
            c.SavePopupMenu->popup(QPoint(0, 0));
            c.SavePopupMenu->grab().save(png + "/SavePopupMenu.png");
        }
    }
};

QTEST_MAIN(TestTransferButton)
#include "tst_transferbutton.moc"

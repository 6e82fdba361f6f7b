// Qt's own dialogs read in French whatever the locale (this test runs under LANG=C.UTF-8), and
// plain top-level windows are announced as windows with their caption.
#include "Bureau.h"
#include "ImageMain.h"
#include "TestSupport.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TstBureau : public QObject
{
    Q_OBJECT
    QTemporaryDir home_;

private slots:
    void initTestCase()
    {
        // The launcher reads and writes its folders under HOME.
        QVERIFY(home_.isValid());
        qputenv("HOME", home_.path().toLocal8Bit());
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "KINEXO_REGISTRE"})
            qunsetenv(v);
        QCOMPARE(qEnvironmentVariable("LANG"), QString("C.UTF-8"));
        QVERIFY(installeTraductionsQt(*qApp));
        installeAccessibilite();
    }

    void boiteDeMessage()
    {
        QMessageBox m(QMessageBox::Question, "Kinexo", "Effacer ?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(m.button(QMessageBox::Yes)->text().remove('&'), QString("Oui"));
        QCOMPARE(m.button(QMessageBox::No)->text().remove('&'), QString("Non"));
        QCOMPARE(m.button(QMessageBox::Cancel)->text().remove('&'), QString("Annuler"));
    }

    void dialogueDeFichier_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("bouton");
        QTest::newRow("ouvrir") << int(QFileDialog::AcceptOpen) << "Ouvrir";
        QTest::newRow("enregistrer") << int(QFileDialog::AcceptSave) << "Enregistrer";
    }

    void dialogueDeFichier()
    {
        QFETCH(int, mode);
        QFETCH(QString, bouton);
        QFileDialog d(nullptr, "Ouvrir un fichier");
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setAcceptMode(QFileDialog::AcceptMode(mode));
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        const auto* boutons = d.findChild<QDialogButtonBox*>();
        QVERIFY(boutons);
        QStringList textes;
        for (QAbstractButton* b : boutons->buttons())
            textes << b->text().remove('&');
        QVERIFY2(textes.contains(bouton), qPrintable(textes.join(", ")));
        QVERIFY2(textes.contains("Annuler"), qPrintable(textes.join(", ")));
        QStringList etiquettes;
        for (QLabel* l : d.findChildren<QLabel*>())
            etiquettes << l->text().remove('&');
        QVERIFY2(etiquettes.join('|').contains("Nom de fichier"), qPrintable(etiquettes.join('|')));
    }

    void menuDeChampDeTexte()
    {
        QLineEdit e("12,5");
        QScopedPointer<QMenu> menu(e.createStandardContextMenu());
        QStringList textes;
        for (QAction* a : menu->actions())
            textes << a->text().remove('&').section('\t', 0, 0);
        QVERIFY2(textes.contains("Copier") && textes.contains("Coller"), qPrintable(textes.join(", ")));
    }

    void lanceurEstUneFenetre()
    {
        TImageFormMain lanceur(std::vector<EntreeOutil>{});
        lanceur.show();
        QVERIFY(QTest::qWaitForWindowExposed(&lanceur));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&lanceur);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Window);
        QCOMPARE(a->text(QAccessible::Name), lanceur.windowTitle());
        QVERIFY(!lanceur.windowTitle().isEmpty());
        // Qt's own windows keep their interfaces.
        QDialog d;
        d.setWindowTitle("Options");
        QCOMPARE(QAccessible::queryAccessibleInterface(&d)->role(), QAccessible::Dialog);
    }
};

QTEST_MAIN(TstBureau)
#include "tst_bureau.moc"

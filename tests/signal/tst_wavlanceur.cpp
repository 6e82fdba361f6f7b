// The launcher's sound button makes the sound window and hands it its folder.
#include "TestHost.h"
#include "ToolFactories.h"
#include "WavMain.h"

#include <QTest>

class TestWavLanceur : public QObject
{
    Q_OBJECT
private slots:
    void factoryMakesTheSoundWindow()
    {
        TestHost host;
        QWidget lanceur;
        const auto& liste = fabriquesOutils();
        auto e = std::find_if(liste.begin(), liste.end(), [](const EntreeOutil& x) { return x.mode == mWav; });
        QVERIFY(e != liste.end());
        QVERIFY(e->fabrique);
        QWidget* w = e->fabrique(host, &lanceur);
        auto* form = qobject_cast<TWaveForm*>(w);
        QVERIFY(form);
        QVERIFY(form->isWindow());
        QCOMPARE(form->windowTitle(), QStringLiteral("KINEXO : lecture de fichier .Wav pour Tabulo"));
        auto* outil = dynamic_cast<FenetreOutil*>(w);
        QVERIFY(outil);
        outil->setDossier(QStringLiteral("/sons/"));
        QCOMPARE(form->repertoire, QStringLiteral("/sons/"));
    }
};

QTEST_MAIN(TestWavLanceur)
#include "tst_wavlanceur.moc"

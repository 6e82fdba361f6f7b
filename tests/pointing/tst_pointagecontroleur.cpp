#include "ActionClavier.h"
#include "NumberText.h"
#include "PointageControleur.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

struct Banc
{
    explicit Banc(const ReglesPointage& r = ReglesPointage::lecteur()) : modele(r), ctrl(modele)
    {
        modele.mediaOuvert = true;
        modele.PointRepere[bsOrigine] = QPoint(100, 100);
        modele.PointRepere[bsEchelle1] = QPoint(10, 10);
        modele.PointRepere[bsEchelle2] = QPoint(110, 10);
        modele.CalculEchelle();
        modele.CalculEchelle();
        ctrl.tempsImage = [](int i) { return i * 0.04; };
    }
    void clic(QPoint p)
    {
        ctrl.appui(p, Qt::LeftButton);
        ctrl.relache(p, Qt::LeftButton);
    }
    PointageModel modele;
    PointageControleur ctrl;
};

QString dernier(const QSignalSpy& spy) { return spy.isEmpty() ? QString() : spy.last().at(0).toString(); }

} // namespace

class TestPointageControleur : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void echelleEtLongueur_data()
    {
        QTest::addColumn<bool>("glisser");
        QTest::addColumn<QString>("reponse"); // "<annule>" for a cancelled box
        QTest::addColumn<double>("longueur");
        QTest::newRow("clicks, answer 2") << false << "2" << 2.0;
        QTest::newRow("drag, answer 2") << true << "2" << 2.0;
        QTest::newRow("unreadable answer takes the field") << false << "deux" << 0.5;
        QTest::newRow("cancel takes the field") << true << "<annule>" << 0.5;
    }
    void echelleEtLongueur()
    {
        QFETCH(bool, glisser);
        QFETCH(QString, reponse);
        QFETCH(double, longueur);
        Banc b;
        QString defautVu;
        b.ctrl.texteLongueur = [] { return QStringLiteral("0,5 m"); };
        b.ctrl.demandeLongueur = [&](const QString& defaut) -> std::optional<QString> {
            defautVu = defaut;
            if (reponse == "<annule>")
                return std::nullopt;
            return reponse;
        };
        QSignalSpy hints(&b.ctrl, &PointageControleur::hint);
        QSignalSpy texte(&b.ctrl, &PointageControleur::texteLongueurChange);
        b.ctrl.EchelleBtnClick();
        QCOMPARE(b.modele.PointRepere[bsEchelle1], QPoint(0, 0));
        QVERIFY(b.ctrl.echelleEnCours());
        if (glisser) {
            b.ctrl.appui(QPoint(20, 30), Qt::LeftButton);
            b.ctrl.deplacement(QPoint(22, 31), Qt::LeftButton); // 3 pixels: not yet a drag
            QCOMPARE(b.ctrl.BorneSelect, bsEchelle1);
            b.ctrl.deplacement(QPoint(60, 30), Qt::LeftButton);
            QCOMPARE(b.ctrl.BorneSelect, bsEchelle2);
            QCOMPARE(dernier(hints), QString("|Glisser jusqu'à la fin de l'échelle"));
            QCOMPARE(b.ctrl.bande(), QLine(QPoint(20, 30), QPoint(60, 30)));
            b.ctrl.relache(QPoint(70, 30), Qt::LeftButton);
        } else {
            b.clic(QPoint(20, 30));
            QCOMPARE(b.ctrl.BorneSelect, bsEchelle2);
            QCOMPARE(dernier(hints), QString("Fin|Cliquer sur la fin de l'échelle"));
            b.ctrl.deplacement(QPoint(40, 30), Qt::NoButton);
            QCOMPARE(b.ctrl.bande(), QLine(QPoint(20, 30), QPoint(40, 30)));
            b.clic(QPoint(70, 30));
        }
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        QVERIFY(!b.ctrl.bande());
        QCOMPARE(defautVu, QString("0,5 m"));
        QCOMPARE(b.modele.PointRepere[bsEchelle2], QPoint(70, 30));
        QCOMPARE(b.modele.LongueurEchelle, longueur);
        QCOMPARE(b.modele.EchelleX, longueur / 50);
        QCOMPARE(texte.size(), longueur == 2.0 ? 1 : 0);
        QCOMPARE(dernier(hints), QString("Clic droit pour choix du curseur"));
    }

    void origineMobileTroisClicsParImage()
    {
        Banc b;
        b.modele.origineMobile = true;
        b.modele.NbreSE = 2;
        QSignalSpy hints(&b.ctrl, &PointageControleur::hint);
        QSignalSpy curseurs(&b.ctrl, &PointageControleur::curseur);
        QSignalSpy suivante(&b.ctrl, &PointageControleur::imageSuivante);
        b.ctrl.MesureBtnClick(true);
        QCOMPARE(dernier(hints), QString("Origine du point n°1"));
        QCOMPARE(curseurs.last().at(0).toInt(), int(crOrigine));
        QVERIFY(!b.ctrl.menuContextuel());
        b.clic(QPoint(100, 100));
        QCOMPARE(dernier(hints), QString("|Cliquer sur le premier point de l'image n° 1"));
        b.clic(QPoint(110, 100));
        QCOMPARE(dernier(hints), QString("|Cliquer sur le 2ième point de l'image n° 1"));
        QCOMPARE(suivante.size(), 0);
        b.clic(QPoint(120, 100));
        QCOMPARE(suivante.size(), 1);
        QCOMPARE(b.modele.Nmes, 1);
        QCOMPARE(dernier(hints), QString("|Cliquer sur l'origine du point n°2"));
        QCOMPARE(curseurs.last().at(0).toInt(), int(crOrigine));
        QCOMPARE(b.modele.Temps[0], 0.0);
        QCOMPARE(b.modele.XY[2][0], QPoint(120, 100));
    }

    void derniereImageTermineLesMesures()
    {
        Banc b;
        bool encore = true;
        b.ctrl.imageSuivanteExiste = [&] { return encore; };
        QSignalSpy suivante(&b.ctrl, &PointageControleur::imageSuivante);
        QSignalSpy fin(&b.ctrl, &PointageControleur::mesuresTerminees);
        b.ctrl.MesureBtnClick(true);
        b.clic(QPoint(120, 100));
        encore = false;
        b.clic(QPoint(130, 100));
        QCOMPARE(suivante.size(), 1);
        QCOMPARE(fin.size(), 1);
        QCOMPARE(b.modele.Nmes, 2);
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        QVERIFY(!b.ctrl.mesure());
        b.clic(QPoint(300, 300)); // no longer recorded
        QCOMPARE(b.modele.Nmes, 2);
    }

    void defaireAZeroReculeQuandMeme()
    {
        Banc b;
        QSignalSpy recul(&b.ctrl, &PointageControleur::imagePrecedente);
        QSignalSpy hints(&b.ctrl, &PointageControleur::hint);
        b.ctrl.MesureBtnClick(true);
        b.ctrl.UndoBtnClick();
        QCOMPARE(b.modele.Nmes, 0);
        QCOMPARE(recul.size(), 1);
        QCOMPARE(dernier(hints), QString("|Cliquer sur le point à repérer (image n° 1)"));
    }

    void repereProche_data()
    {
        QTest::addColumn<QPoint>("p");
        QTest::addColumn<int>("attendu");
        QTest::newRow("origin") << QPoint(102, 102) << int(bsOrigine);
        QTest::newRow("scale start") << QPoint(14, 10) << int(bsEchelle1Move);
        QTest::newRow("scale end") << QPoint(110, 6) << int(bsEchelle2Move);
        QTest::newRow("5 away is outside") << QPoint(103, 98) << int(bsNone);
        QTest::newRow("last click") << QPoint(201, 200) << int(bsMesure);
    }
    void repereProche()
    {
        QFETCH(QPoint, p);
        QFETCH(int, attendu);
        Banc b;
        b.modele.PointRepere[bsMesure] = QPoint(200, 200);
        QCOMPARE(b.ctrl.RepereProche(QPoint(200, 200)), bsNone); // nothing recorded yet
        b.ctrl.MesureBtnClick(true);
        b.clic(QPoint(200, 200));
        b.ctrl.MesureBtnClick(false);
        QCOMPARE(int(b.ctrl.RepereProche(p)), attendu);
    }

    void deplacerLesPoignees()
    {
        Banc b;
        QSignalSpy curseurs(&b.ctrl, &PointageControleur::curseur);
        QSignalSpy hints(&b.ctrl, &PointageControleur::hint);
        b.ctrl.deplacement(QPoint(12, 11), Qt::NoButton);
        QCOMPARE(curseurs.last().at(0).toInt(), int(crCibleMove));
        QCOMPARE(dernier(hints), QString("Déplacer le début de l'échelle"));
        b.ctrl.appui(QPoint(12, 11), Qt::LeftButton);
        QCOMPARE(b.ctrl.BorneSelect, bsEchelle1Move);
        b.ctrl.deplacement(QPoint(30, 40), Qt::LeftButton);
        QCOMPARE(b.ctrl.bande(), QLine(QPoint(110, 10), QPoint(30, 40)));
        b.ctrl.relache(QPoint(60, 10), Qt::LeftButton);
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        QCOMPARE(b.modele.EchelleX, 0.02);

        b.ctrl.appui(QPoint(99, 101), Qt::LeftButton);
        QCOMPARE(curseurs.last().at(0).toInt(), int(crOrigine));
        b.ctrl.relache(QPoint(150, 120), Qt::LeftButton);
        QCOMPARE(b.modele.OrigineX, 150);
        QCOMPARE(b.modele.OrigineY, 120);
        QCOMPARE(curseurs.last().at(0).toInt(), int(crDefaut));
    }

    void boutonOrigine()
    {
        Banc b;
        b.ctrl.OrigineBtnClick();
        QCOMPARE(b.ctrl.BorneSelect, bsOrigine);
        b.clic(QPoint(300, 200));
        QCOMPARE(b.modele.OrigineX, 300);
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        b.modele.origineMobile = true;
        b.ctrl.OrigineBtnClick();
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
    }

    // Image series: a scale end 7 pixels or less from the start is refused and the next
    // click is taken as the end again; clicks outside the image are ignored.
    void serieEchelleTropProche()
    {
        Banc b(ReglesPointage::serie());
        b.modele.Largeur = 320;
        b.modele.Hauteur = 240;
        b.ctrl.demandeLongueur = [](const QString&) { return std::optional<QString>("1"); };
        QSignalSpy messages(&b.ctrl, &PointageControleur::message);
        QCOMPARE(b.ctrl.RepereProche(QPoint(100, 100)), bsNone); // no handles here
        b.ctrl.EchelleBtnClick();
        b.clic(QPoint(50, 50));
        b.clic(QPoint(54, 53));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(dernier(messages), QString("Points trop proches"));
        QCOMPARE(b.modele.PointRepere[bsEchelle2], QPoint(66, 66));
        QCOMPARE(b.ctrl.BorneSelect, bsEchelle2);
        b.clic(QPoint(400, 50)); // outside the image
        QCOMPARE(b.ctrl.BorneSelect, bsEchelle2);
        b.clic(QPoint(58, 50));
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        QCOMPARE(b.modele.EchelleX, 0.125);
    }

    // Capture tool: handles dragged within magnet; a scale end put too close is moved away.
    void captureDeplaceLesPoignees()
    {
        Banc b(ReglesPointage::capture(3));
        QSignalSpy messages(&b.ctrl, &PointageControleur::message);
        b.ctrl.appui(QPoint(108, 10), Qt::LeftButton);
        QCOMPARE(b.ctrl.BorneSelect, bsEchelle2);
        b.ctrl.deplacement(QPoint(40, 10), Qt::LeftButton);
        QCOMPARE(b.ctrl.bande(), QLine(QPoint(10, 10), QPoint(40, 10)));
        b.ctrl.relache(QPoint(14, 12), Qt::LeftButton);
        QCOMPARE(dernier(messages), QString("Points trop proches"));
        QCOMPARE(b.modele.PointRepere[bsEchelle2], QPoint(26, 26));
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
        b.ctrl.appui(QPoint(11, 11), Qt::LeftButton);
        QCOMPARE(b.ctrl.BorneSelect, bsEchelle1);
        b.ctrl.relache(QPoint(24, 24), Qt::LeftButton);
        QCOMPARE(b.modele.PointRepere[bsEchelle1], QPoint(10, 10));
        b.ctrl.appui(QPoint(104, 100), Qt::LeftButton); // 4 away: outside magnet 3
        QCOMPARE(b.ctrl.BorneSelect, bsNone);
    }

    void origineDesTemps()
    {
        Banc b;
        b.ctrl.MesureBtnClick(true);
        for (int i = 0; i < 3; ++i)
            b.clic(QPoint(100 + 50 * i, 100));
        QSignalSpy temps(&b.ctrl, &PointageControleur::tempsChanges);
        QSignalSpy relache(&b.ctrl, &PointageControleur::origineTempsRelachee);
        QSignalSpy statut(&b.ctrl, &PointageControleur::statut);
        b.ctrl.OrigineTempsBtnClick(true);
        QCOMPARE(dernier(statut), QString("cliquer sur le point origine des temps"));
        b.clic(QPoint(270, 100)); // 70 pixels from the last point
        QCOMPARE(temps.size(), 0);
        QCOMPARE(b.modele.Nmes, 3);
        QCOMPARE(relache.size(), 1);
        QCOMPARE(dernier(statut), QString("cliquer sur le point à enregistrer"));
        b.ctrl.OrigineTempsBtnClick(true);
        b.clic(QPoint(152, 104));
        QCOMPARE(temps.size(), 1);
        QCOMPARE(b.modele.torigine, 0.04);
        QCOMPARE(b.modele.Nmes, 3);
        b.ctrl.OrigineTempsBtnClick(true);
        b.ctrl.GrilleLigneChoisie(2);
        QCOMPARE(b.modele.torigine, 0.08);
        QVERIFY(!b.ctrl.attenteOrigineTemps());
    }

    void touches_data()
    {
        QTest::addColumn<int>("touche");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QPoint>("deplacement");
        QTest::addColumn<bool>("clic");
        QTest::addColumn<bool>("traitee");
        QTest::newRow("left") << int(Qt::Key_Left) << 0 << QPoint(-1, 0) << false << true;
        QTest::newRow("pad 8") << int(Qt::Key_8) << int(Qt::KeypadModifier) << QPoint(0, -1) << false << true;
        QTest::newRow("digit 8 off the pad") << int(Qt::Key_8) << 0 << QPoint() << false << false;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << 0 << QPoint(0, -10) << false << true;
        QTest::newRow("shift page down") << int(Qt::Key_PageDown) << int(Qt::ShiftModifier) << QPoint(10, 0)
                                         << false << true;
        QTest::newRow("enter") << int(Qt::Key_Return) << 0 << QPoint() << true << true;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << QPoint() << true << true;
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << QPoint() << false << true;
    }
    void touches()
    {
        QFETCH(int, touche);
        QFETCH(int, mods);
        QFETCH(QPoint, deplacement);
        QFETCH(bool, clic);
        QFETCH(bool, traitee);
        const auto a = actionClavier(touche, Qt::KeyboardModifiers(mods));
        QCOMPARE(a.deplacement, deplacement);
        QCOMPARE(a.clic, clic);
        QCOMPARE(a.traitee, traitee);
    }

    void clicClavierSeulementEnMesure()
    {
        Banc b;
        b.ctrl.clicClavier(QPoint(120, 100));
        QCOMPARE(b.modele.Nmes, 0);
        b.ctrl.MesureBtnClick(true);
        b.ctrl.clicClavier(QPoint(120, 100));
        QCOMPARE(b.modele.Nmes, 1);
        QCOMPARE(b.modele.XY[1][0], QPoint(120, 100));
    }

    void magasinPleinArreteLesMesures()
    {
        ReglesPointage r = ReglesPointage::lecteur();
        r.capacite = 2;
        Banc b(r);
        QSignalSpy fin(&b.ctrl, &PointageControleur::mesuresTerminees);
        b.ctrl.MesureBtnClick(true);
        b.clic(QPoint(110, 100));
        b.clic(QPoint(120, 100));
        QCOMPARE(b.modele.Nmes, 2);
        QCOMPARE(fin.size(), 1);
        QVERIFY(!b.ctrl.mesure());
    }
};

QTEST_GUILESS_MAIN(TestPointageControleur)
#include "tst_pointagecontroleur.moc"

#include "NumberText.h"
#include "TConstanteDlg.h"
#include "TestHost.h"
#include "Transfert.h"
#include "TransfertPointage.h"

#include <QtTest>

// The pointing table through the transfer service's own assembly of lines.
class TestTransfertPointage : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { setSeparateurDecimal('.'); }

    void exempleTravaille()
    {
        // 1 m over 123 pixels, 25 images per second, four rows.
        PointageModel m;
        m.mediaOuvert = true;
        m.PointRepere[bsEchelle1] = QPoint(0, 0);
        m.PointRepere[bsEchelle2] = QPoint(123, 0);
        m.PointRepere[bsOrigine] = QPoint(50, 50);
        m.CalculEchelle();
        m.DebutMesures();
        const QPoint pts[] = {QPoint(51, 52), QPoint(53, 51), QPoint(54, 50), QPoint(56, 49)};
        for (int i = 0; i < 4; ++i) {
            m.PointRepere[bsMesure] = pts[i];
            m.EnregistrePoint(PointageModel::tempsLecteur(i, 0, 0.04));
        }
        // The origin reaches the rows through the scale computation run before the lines.
        TestHost host;
        const TableSource s = sourcePointage(m, {}, 1, "/data/chute.avi");
        s.avant();
        const QStringList l = host.transfert().construit(Destination::Tabulo, s).toStrings();
        QCOMPARE(l.at(1), QString("Acquisition par kinexo"));
        QCOMPARE(l.mid(3, 4), (QStringList{"t\tx\ty", "s\tm\tm", "0\t0.00813008\t-0.0162602",
                                          "0.04\t0.0243902\t-0.00813008"}));
        QCOMPARE(l.at(9), QString("&4 INCERT"));
        QCOMPARE(l.mid(10, 4), QStringList(4, "0.0004\t0.00813008\t0.00813008"));
        QCOMPARE(l.mid(14), (QStringList{"&1 NOMX", "x", "&1 NOMY", "y", "&1 ORTHO", "1", "&1 FICHIER",
                                        "/data/chute.avi"}));

        const QStringList clip = host.transfert().construit(Destination::PressePapiers, s).toStrings();
        QCOMPARE(clip.size(), 6);
        QCOMPARE(clip.first(), QString("t\tx\ty"));

        host.transfert().constanteDlg().setNouvellePage();
        const QStringList page = host.transfert().construit(Destination::Tabulo, s).toStrings();
        QCOMPARE(page.at(1), QString());
        QCOMPARE(page.at(9), QString("&4 INCERT"));
        QCOMPARE(page.size(), 14);
    }
};

QTEST_MAIN(TestTransfertPointage)
#include "tst_transfertpointage.moc"

#include "InstanceUnique.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Two copies of a program started one after the other, as a user would.
class TstInstance : public QObject
{
    Q_OBJECT

    QString nom_;

    QProcess* lance(const QString& programme, QObject* parent)
    {
        auto* p = new QProcess(parent);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KINEXO_INSTANCE"), nom_);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p->setProcessEnvironment(env);
        p->start(programme, {});
        return p;
    }

    static bool attendLigne(QProcess* p, const QByteArray& ligne)
    {
        QDeadlineTimer fin(10000);
        while (!fin.hasExpired()) {
            if (p->readAllStandardOutput().split('\n').contains(ligne))
                return true;
            if (p->state() == QProcess::NotRunning)
                return false;
            p->waitForReadyRead(200);
        }
        return false;
    }

    static void arrete(QProcess* p)
    {
        if (p->state() != QProcess::NotRunning) {
            p->kill();
            p->waitForFinished(5000);
        }
    }

private slots:
    void init()
    {
        nom_ = QStringLiteral("kx-essai-%1-%2").arg(QCoreApplication::applicationPid()).arg(QRandomGenerator::global()->generate());
    }

    void nomParDefautSuitUtilisateur()
    {
        qunsetenv("KINEXO_INSTANCE");
        QVERIFY(InstanceUnique::nomServeur().startsWith(QStringLiteral("KINEXO-")));
        QVERIFY(InstanceUnique::nomServeur().size() > 7);
    }

    void secondeCopieDemandeEtFinit()
    {
        QObject proprietaire;
        QProcess* a = lance(QStringLiteral(ESSAI_INSTANCE), &proprietaire);
        QVERIFY(attendLigne(a, "premiere"));

        QProcess* b = lance(QStringLiteral(ESSAI_INSTANCE), &proprietaire);
        QVERIFY(b->waitForFinished(10000));
        QCOMPARE(b->exitStatus(), QProcess::NormalExit);
        QCOMPARE(b->exitCode(), 0);
        QVERIFY(!b->readAllStandardOutput().contains("premiere"));
        // The running copy was asked to show its tool and is still there.
        QVERIFY(attendLigne(a, "montre"));
        QCOMPARE(a->state(), QProcess::Running);
        arrete(a);
    }

    void serveurAbandonneNeBloquePas()
    {
        QObject proprietaire;
        QProcess* a = lance(QStringLiteral(ESSAI_INSTANCE), &proprietaire);
        QVERIFY(attendLigne(a, "premiere"));
        arrete(a); // killed: its socket file stays behind
        const QString socket = QDir::tempPath() + QLatin1Char('/') + nom_;
        QVERIFY(QFileInfo::exists(socket));

        QProcess* c = lance(QStringLiteral(ESSAI_INSTANCE), &proprietaire);
        QVERIFY(attendLigne(c, "premiere"));
        // And it answers the next copy.
        QProcess* d = lance(QStringLiteral(ESSAI_INSTANCE), &proprietaire);
        QVERIFY(d->waitForFinished(10000));
        QCOMPARE(d->exitCode(), 0);
        QVERIFY(attendLigne(c, "montre"));
        arrete(c);
    }

    void kinexoLanceDeuxFois()
    {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toLocal8Bit());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");

        QObject proprietaire;
        QProcess* a = lance(QStringLiteral(KINEXO_EXE), &proprietaire);
        QVERIFY(a->waitForStarted(5000));
        // Wait until the first copy listens (a connection without a request asks for nothing).
        bool ecoute = false;
        for (QDeadlineTimer fin(15000); !fin.hasExpired() && !ecoute && a->state() == QProcess::Running;) {
            QLocalSocket s;
            s.connectToServer(nom_);
            ecoute = s.waitForConnected(500);
            if (!ecoute)
                QTest::qWait(100);
        }
        QVERIFY(ecoute);

        QProcess* b = lance(QStringLiteral(KINEXO_EXE), &proprietaire);
        QVERIFY(b->waitForFinished(15000));
        QCOMPARE(b->exitStatus(), QProcess::NormalExit);
        QCOMPARE(b->exitCode(), 0);
        QCOMPARE(a->state(), QProcess::Running);
        arrete(a);
    }
};

QTEST_GUILESS_MAIN(TstInstance)
#include "tst_instance.moc"

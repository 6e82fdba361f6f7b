#include "Conversation.h"
#include "TFormDDE.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QtTest>

// Conversations in one process: the server answers while the client waits, since both waits
// turn the event loop.
class TestConversation : public QObject
{
    Q_OBJECT
private:
    static QByteArray echange(QLocalSocket& s, const QByteArray& envoi, int lignes)
    {
        s.write(envoi);
        s.flush();
        QByteArray recu;
        attendSans([&] {
            recu += s.readAll();
            return recu.count('\n') >= lignes || s.state() != QLocalSocket::ConnectedState;
        }, 3000);
        return recu;
    }

private slots:
    void initTestCase()
    {
        qputenv("KINEXO_CONVERSATION_ID", "conv-" + QByteArray::number(QCoreApplication::applicationPid()));
    }

    void focusOnOpenAndOnEachCommand()
    {
        TFormDDE dde;
        int focus = 0;
        QVERIFY(dde.demarreServeur([&] { ++focus; }));
        ConversationClient c;
        QVERIFY(c.ouvre("kinexo", "ServeurDDE"));
        QVERIFY(attendSans([&] { return focus == 1; }, 3000));
        QCOMPARE(c.commande("n'importe quoi"), ConversationClient::Acceptee);
        QCOMPARE(focus, 2);
        c.ferme();
        QVERIFY(!c.estOuverte());

        TFormDDE autre;
        QVERIFY(!autre.demarreServeur([] {}));   // a second copy does not take it over
        QVERIFY(c.ouvre("kinexo", "ServeurDDE"));
        QVERIFY(attendSans([&] { return focus >= 3; }, 3000));
    }

    void linesInPiecesAndTogether()
    {
        ConversationServeur serveur;
        QStringList recues;
        serveur.surCommande = [&](const QString& l) {
            recues << l;
            return l != "NON";
        };
        QVERIFY(serveur.ecoute("Essai", "Sujet"));
        QLocalSocket s;
        s.connectToServer(nomConversation("Essai", "Sujet"));
        QVERIFY(s.waitForConnected(2000));
        s.write("CLIP");
        s.flush();
        attendSans([] { return false; }, 50);
        QCOMPARE(echange(s, "|ADD\r\n", 1), QByteArray("OK\n"));
        QCOMPARE(echange(s, "UN\nNON\nTROIS\n", 3), QByteArray("OK\nERREUR\nOK\n"));
        QCOMPARE(recues, QStringList({"CLIP|ADD", "UN", "NON", "TROIS"}));
    }

    void peersThatMisbehave()
    {
        ConversationServeur serveur;
        int commandes = 0;
        serveur.surCommande = [&](const QString&) { return ++commandes, true; };
        QVERIFY(serveur.ecoute("Essai", "Sujet"));
        const QString nom = nomConversation("Essai", "Sujet");
        {   // vanishes in the middle of a line
            QLocalSocket s;
            s.connectToServer(nom);
            QVERIFY(s.waitForConnected(2000));
            s.write("CLIP|LO");
            s.flush();
            s.abort();
        }
        {   // a line that never ends is cut off
            QLocalSocket s;
            s.connectToServer(nom);
            QVERIFY(s.waitForConnected(2000));
            echange(s, QByteArray(100 * 1024, 'a'), 1);
            QVERIFY(attendSans([&] { return s.state() != QLocalSocket::ConnectedState; }, 3000));
        }
        QCOMPARE(commandes, 0);
        ConversationClient c;
        QVERIFY(c.ouvre("Essai", "Sujet"));
        QCOMPARE(c.commande("CLIP|ADD"), ConversationClient::Acceptee);
        QCOMPARE(commandes, 1);
    }

    void clientNeverHangs()
    {
        ConversationClient c;
        QVERIFY(!c.ouvre("Personne", "Sujet", 500));
        QCOMPARE(c.commande("CLIP|ADD"), ConversationClient::SansReponse);

        // A server that never answers, then one that hangs up on reading.
        QLocalServer muet;
        QVERIFY(muet.listen(nomConversation("Muet", "Sujet")));
        QVERIFY(c.ouvre("Muet", "Sujet"));
        QCOMPARE(c.commande("CLIP|ADD", 300), ConversationClient::SansReponse);
        connect(&muet, &QLocalServer::newConnection, &muet, [&muet] {
            while (QLocalSocket* s = muet.nextPendingConnection())
                connect(s, &QLocalSocket::readyRead, s, [s] { s->abort(); });
        });
        QVERIFY(c.ouvre("Muet", "Sujet"));
        QCOMPARE(c.commande("CLIP|ADD", 5000), ConversationClient::SansReponse);
    }

    // A name left behind by a program that died is taken over.
    void staleNameTakenOver()
    {
        const QString chemin = QDir::tempPath() + "/" + nomConversation("Mort", "Sujet");
        QFile f(chemin);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        ConversationServeur serveur;
        QVERIFY(serveur.ecoute("Mort", "Sujet"));
        ConversationClient c;
        QVERIFY(c.ouvre("Mort", "Sujet"));
        QCOMPARE(c.commande("X"), ConversationClient::Acceptee);
    }

    void lockHeldWhileRunning()
    {
        QVERIFY(!verrouTenu("Essai"));
        QLockFile verrou(cheminVerrou("Essai"));
        QVERIFY(verrou.tryLock(0));
        QVERIFY(verrouTenu("Essai"));
        verrou.unlock();
        QVERIFY(!verrouTenu("Essai"));
    }
};

QTEST_MAIN(TestConversation)
#include "tst_conversation.moc"

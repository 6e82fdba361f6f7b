#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

// Conversations between programs of one user (this program and the analysis program): a local
// socket named from service and topic. A command is one line of text; the answer is one line,
// "OK" or "ERREUR". Every wait is bounded and keeps the event loop turning (without user input),
// so the clipboard can still be served to the peer while we wait for its answer.

// Per-user name of a conversation. KINEXO_CONVERSATION_ID, when set, is appended so that tests
// running at once do not meet.
QString nomConversation(const QString& service, const QString& topic);

// Per-user lock file a running program holds (the analysis program holds "Tabulo").
// KINEXO_CONVERSATION_ID is appended as above.
QString cheminVerrou(const QString& nom);

// True when another process holds the lock `nom` right now.
bool verrouTenu(const QString& nom);

// Runs the event loop (user input excluded) until `fini` is true, checked after each event
// source fires and every 20 ms, or until `delaiMs` has passed. Returns fini().
bool attendSans(const std::function<bool()>& fini, int delaiMs);

class ConversationClient
{
public:
    enum Reponse { Acceptee, Refusee, SansReponse };

    ConversationClient();
    ~ConversationClient();
    ConversationClient(const ConversationClient&) = delete;
    ConversationClient& operator=(const ConversationClient&) = delete;

    // Opens the conversation; false when nobody serves it within `delaiMs`.
    bool ouvre(const QString& service, const QString& topic, int delaiMs = 1000);
    bool estOuverte() const;
    // Sends one command line and waits for its answer.
    Reponse commande(const QString& ligne, int delaiMs = 10000);
    void ferme();

private:
    QLocalSocket* m_socket = nullptr;
};

class ConversationServeur : public QObject
{
    Q_OBJECT
public:
    explicit ConversationServeur(QObject* parent = nullptr);
    ~ConversationServeur() override;

    // Called when a client opens a conversation.
    std::function<void()> surOuverture;
    // Called for each command line; the answer is "OK" when it returns true.
    std::function<bool(const QString&)> surCommande;
    // The same with a number naming the conversation the line came on (never reused), for a
    // peer that remembers what a conversation announced; used instead of surCommande when set.
    std::function<bool(const QString&, quint64 conversation)> surCommandeDe;

    // Serves (service, topic). A name left by a program that died is taken over; false when a
    // live program already serves it.
    bool ecoute(const QString& service, const QString& topic);
    bool enEcoute() const;
    void arrete();

private:
    void nouvelleConnexion();
    void lit(QLocalSocket* socket);

    QLocalServer* m_serveur = nullptr;
    quint64 m_conversations = 0;
};

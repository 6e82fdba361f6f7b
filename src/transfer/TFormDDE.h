#pragma once
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class ConversationServeur;
class QWidget;

// Delivers the command to the analysis program (started by path when it is not running) and
// serves this program's own conversation, through which that program brings us to the front.
class TFormDDE : public QObject
{
    Q_OBJECT
public:
    explicit TFormDDE(QObject* parent = nullptr);
    ~TFormDDE() override;

    // Path of the analysis program, from the launcher's folder, else the registry stand-in,
    // else the stand-in beside this executable.
    void MajTabulo(const QString& repertoireTabulo = QString());
    QString AppName;

    // The text must already be on the clipboard. Reports failures with a message box (over
    // `parent`) and returns false; true when the analysis program accepted the command.
    // With `texte` (what was put on the clipboard), the command is announced by its control
    // line, and when the program refuses what it read because another program took the
    // clipboard meanwhile, the text is put back and the command sent once more.
    bool Execute(bool nouveauFichier, QWidget* parent = nullptr, const QString& texte = QString());

    // Serves service "kinexo", topic "ServeurDDE": `setFocusMain` runs on each opened
    // conversation and on each command. False when another copy already serves it.
    bool demarreServeur(std::function<void()> setFocusMain);

    // Waits, for tests and for the launch; keeps painting, ignores user input.
    int attenteLancementMs = 3000;
    int attenteReessaiMs = 1500;
    int attenteReponseMs = 15000;

    // Processes this object started (the analysis program keeps running after us).
    QList<qint64> pidsLances;

private:
    bool ouvre(class ConversationClient& client);
    void message(QWidget* parent, const QString& texte);

    ConversationServeur* m_serveur = nullptr;
    bool m_occupe = false;
};

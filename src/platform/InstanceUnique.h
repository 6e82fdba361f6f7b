#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

// Keeps one copy of the program per user. The first copy listens on a local server named after
// the program and the user; a later copy connects, asks it to show its active tool (or to open
// the file it was given), and ends.
//
//   InstanceUnique garde;
//   if (garde.demandeALaCopieActive()) return 0;   // the running copy was found and asked
//   garde.ecoute();                                 // this is the first copy
//   connect(&garde, &InstanceUnique::montreDemande, ...);
class InstanceUnique : public QObject
{
    Q_OBJECT
public:
    explicit InstanceUnique(QObject* parent = nullptr);
    ~InstanceUnique() override;

    // "KINEXO-" + user name; KINEXO_INSTANCE overrides it (tests).
    static QString nomServeur();

    // True when a running copy accepted the request to show itself (and to open `fichier`, an
    // absolute path, when given): this copy should end. A server left behind by a copy that
    // died is removed and false is returned.
    bool demandeALaCopieActive(const QString& fichier = {});

    // Starts answering later copies. False when the name cannot be taken.
    bool ecoute();

signals:
    // A later copy asked this one to show its active tool.
    void montreDemande();
    // A later copy was started on a file: this one opens it.
    void ouvertureDemandee(const QString& fichier);

private:
    void nouvelleConnexion();

    QLocalServer* serveur_ = nullptr;
};

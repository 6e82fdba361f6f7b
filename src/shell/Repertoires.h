#pragma once
#include <QString>

// The per-kind default folders of the launcher and where they are kept: section "Repertoire"
// of the shared settings file, then of the user settings file, then the "Classes/Tabulo" key of
// the registry file; each later place wins. Every folder ends with "/" (or is empty).
// No window here: the launcher shows the folder browser and stores what it returns.
class Repertoires
{
public:
    // The user's special folders; empty members are taken from QStandardPaths.
    struct Bases
    {
        QString documents, musique, images, videos, donnees;
    };

    enum Champ { Wav, Avi, BmpMeca, BmpOptique, VideoBmp, Tabulo, NbChamps };

    Repertoires();                       // QStandardPaths
    explicit Repertoires(const Bases& b);

    QString MesDocsDir;   // documents + "Tabulo/", created
    QString appDataDir;   // application data + "Tabulo/", created
    QString tamponDir;    // temporary folder
    QString systemDir;    // system libraries

    QString repertoireWav, repertoireAvi, repertoireBmpMeca, repertoireBmpOptique,
        repertoireVideoBmp, repertoireTabulo;

    QString& champ(Champ c);
    const QString& champ(Champ c) const;
    static QString cle(Champ c);         // key in section "Repertoire"

    QString fichierIni() const { return MesDocsDir + QStringLiteral("kinexo.INI"); }
    QString fichierPartage() const { return appDataDir + QStringLiteral("kinexo.INI"); }

    // Shared file, user file, then the registry key when it exists. Errors are ignored.
    void lit();
    // User file, shared file, then the registry key (created). Errors are ignored.
    void ecrit() const;

    // Where the folder browser starts for a field: its folder, or MesDocsDir when that is
    // empty or no longer exists.
    QString departNavigateur(Champ c) const;
    // What the browser returned: a folder (ended with "/"), or empty when cancelled.
    void choisi(Champ c, const QString& dossier);

    static QString termineParSlash(const QString& chemin);

private:
    void litFichier(const QString& fichier, const QString& groupe);
    void ecritFichier(const QString& fichier, const QString& groupe) const;
};

#pragma once
#include <QSettings>
#include <QString>
#include <QTemporaryFile>

#include <memory>

// An ini settings file that is never replaced by a cut copy. Qt's own writer buffers and renames
// its temporary file into place even when a write was cut short (full disk, quota); here the
// values go to a private copy first, are read back to check that nothing was lost, and only then
// replace the file, in one rename. Reading works as with QSettings.
class FichierIni
{
public:
    explicit FichierIni(const QString& chemin);
    ~FichierIni(); // writes nothing: call enregistre()
    FichierIni(const FichierIni&) = delete;
    FichierIni& operator=(const FichierIni&) = delete;

    QSettings& reglages() { return *m_reglages; }
    QSettings* operator->() { return m_reglages.get(); }
    // False when the file is missing or not a readable ini file.
    bool lisible() const { return m_lisible; }

    // Puts the values in place. False (and the file on disk left as it was) when anything failed.
    bool enregistre();

    const QString& chemin() const { return m_chemin; }

private:
    QString m_chemin;
    QTemporaryFile m_copie;
    std::unique_ptr<QSettings> m_reglages;
    QByteArray m_original;
    bool m_lisible = false;
};

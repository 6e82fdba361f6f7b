#pragma once
#include "SoundPlayer.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

// Shown when the machine has no sound input.
QString texteAucuneEntreeSon();

// A mono PCM WAV file (44-byte header) of the given samples.
QByteArray fichierWavMono(const QByteArray& pcm, int frequence, int bits);

// Records mono PCM from the default sound input into a WAV file.
class SoundRecorder : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundRecorder() override = default;

    // Empty when a sound input exists, else the French reason.
    virtual QString indisponible() const = 0;
    // Starts recording mono at `frequence` Hz, 8 or 16 bits. False with erreur() on failure.
    virtual bool demarre(int frequence, int bits) = 0;
    virtual bool enregistre() const = 0;
    // Frames recorded so far.
    virtual qint64 trames() const = 0;
    // Stops and writes what was recorded to `fichierWav` (atomically). False with erreur().
    virtual bool arrete(const QString& fichierWav) = 0;
    // Stops and drops what was recorded.
    virtual void abandonne() = 0;

    QString erreur() const { return m_erreur; }

protected:
    QString m_erreur;
};

std::unique_ptr<SoundRecorder> creeSoundRecorder(QObject* parent = nullptr);

// Live input for the level meter: delivers fixed-size buffers of mono PCM as they fill.
class SoundCapture : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundCapture() override = default;

    // Name of the default input; empty when there is none.
    virtual QString nomEntree() const = 0;
    // Whether the default input takes mono `frequence` Hz at `bits` bits.
    virtual bool supporte(int frequence, int bits) const = 0;
    // Opens the input; buffers of `taille` bytes then arrive through tamponTermine.
    virtual bool ouvre(int frequence, int bits, int taille) = 0;
    // Hands back the buffer being filled now (tamponTermine, queued) and stops capturing.
    virtual void reinitialise() = 0;
    virtual void ferme() = 0;
    virtual bool ouverte() const = 0;

signals:
    // One buffer done (full, or partial after reinitialise()).
    void tamponTermine(const QByteArray& donnees);
};

std::unique_ptr<SoundCapture> creeSoundCapture(QObject* parent = nullptr);

#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

// PCM layout of samples given to the sound output or asked of the sound input.
struct FormatSon
{
    int frequence = 11025;  // frames per second
    int voies = 1;          // 1 or 2
    int bits = 8;           // 8 (unsigned) or 16 (signed, little-endian)
    int octetsParTrame() const { return voies * (bits / 8); }
};

// Shown when the machine has no sound output.
QString texteAucuneSortieSon();

// Plays a range of PCM frames and tells which frame is being heard.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SoundPlayer() override = default;

    // Empty when sound can be played here, else the French reason.
    virtual QString indisponible() const = 0;
    // Plays `pcm` (whole frames of `format`), whose first frame is frame `premiereTrame` of the
    // file. False with erreur() set when the output refuses.
    virtual bool joue(const QByteArray& pcm, const FormatSon& format, qint64 premiereTrame) = 0;
    // Stops at once; termine() is not sent.
    virtual void arrete() = 0;
    virtual bool enLecture() const = 0;
    // Frame of the file heard now: from premiereTrame up to the end of the range.
    virtual qint64 position() const = 0;

    QString erreur() const { return m_erreur; }

signals:
    // The last frame of the range has been heard.
    void termine();

protected:
    QString m_erreur;
};

// The player on the default sound output (Qt Multimedia).
std::unique_ptr<SoundPlayer> creeSoundPlayer(QObject* parent = nullptr);

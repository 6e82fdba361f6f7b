#pragma once
#include "VideoSource.h"

#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// States of the player, as the second video tool knows them.
enum TPlayerState { ps_Closed, ps_Stopped, ps_Paused, ps_Playing, ps_PlayingBackward };

// What AVIInfo reports about a file.
struct TAVIInfo
{
    qint64 Duration = 0; // 100-nanosecond units
    QString VideoCodec;
    double FrameRate = 0; // images per second (the file's, or count / duration)
    int Width = 0;
    int Height = 0;
    qint64 FrameCount = 0;
};

// The picture the player paints into while it plays (frames at the file's pace), scaled to
// its own size.
class AffichageLecteur : public QWidget
{
public:
    explicit AffichageLecteur(QWidget* parent = nullptr);
    void montre(const QImage& image);
    const QImage& image() const { return m_image; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_image;
};

// The capture and playback component the second video tool is written against, on a
// VideoSource. Frames are numbered 1 .. PlayerFrameCount(). Setting PlayerFramePosition asks
// for that frame; it arrives later, on this object's thread, through OnFrameCaptureCompleted
// with its own time from the file. At most one request is outstanding: a position set while
// one is pending replaces it, and only the latest is delivered. Playing shows the frames in
// the display at the file's pace (and reports each one too); it never records.
class TVideoGrabber : public QObject
{
    Q_OBJECT
public:
    explicit TVideoGrabber(QObject* parent = nullptr);
    ~TVideoGrabber() override;

    void setPlayerFileName(const QString& nom) { m_nom = nom; }
    QString PlayerFileName() const { return m_nom; }
    // Opens PlayerFileName; false when it cannot be read (erreur() says why, nothing open).
    bool OpenPlayer();
    void ClosePlayer();
    QString erreur() const { return m_erreur; }

    // Duration, codec, rate, size and count of a file; false when it cannot be described.
    bool AVIInfo(const QString& fichier, TAVIInfo& info);

    int VideoWidth() const;
    int VideoHeight() const;
    qint64 PlayerFrameCount() const;
    qint64 PlayerFramePosition() const { return m_position; }
    void setPlayerFramePosition(qint64 position);
    // A frame has been asked for and not delivered yet.
    bool requeteEnCours() const { return m_demande >= 0; }

    TPlayerState PlayerState() const { return m_etat; }
    void RunPlayer();
    void StopPlayer();
    void PausePlayer();
    void Stop() { StopPlayer(); }

    // Capture devices by name (Qt Multimedia's video inputs), and the chosen one (-1: none).
    QStringList VideoDevices() const;
    int VideoDevice() const { return m_device; }
    void setVideoDevice(int index) { m_device = index; }
    // Nothing records here: kept for the tool's device change.
    void StopRecording() {}

    // The player's own display, made on first call with `parent`.
    AffichageLecteur* Display(QWidget* parent = nullptr);
    void setDisplay_Visible(bool visible);
    bool Display_Visible() const { return m_affichage && m_affichage->isVisible(); }

    VideoSource& source() { return m_source; }

signals:
    // FrameTime in 100-nanosecond units from the first frame.
    void OnFrameCaptureCompleted(const QImage& FrameBitmap, int BitmapWidth, int BitmapHeight, qint64 FrameNumber,
                                 qint64 FrameTime);
    void OnPlayerStateChanged(TPlayerState OldPlayerState, TPlayerState NewPlayerState);

private:
    void changeEtat(TPlayerState e);
    void demande(qint64 position);
    void recu(const VideoSource::Frame& f);
    void imageSuivanteLecture();
    void finLecture(TPlayerState e);

    VideoSource m_source;
    QString m_nom;
    QString m_erreur;
    TPlayerState m_etat = ps_Closed;
    qint64 m_position = 0;
    qint64 m_demande = -1;
    int m_device = -1;
    QPointer<AffichageLecteur> m_affichage;
    // Playing: wall clock from the first frame played, and that frame's file time.
    QElapsedTimer m_horloge;
    double m_tempsDepart = 0;
    QTimer m_minuterie;
};

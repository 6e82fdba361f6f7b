#pragma once
#include "VideoDepuisImages.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// "Video à partir d'images": previews the series of a folder at 20 images/s, or records it as
// "video.avi" in that folder at the rate typed.
class TVideoFromJpegForm : public QWidget
{
    Q_OBJECT
public:
    explicit TVideoFromJpegForm(QWidget* parent = nullptr);

    // A file of the series, set before the window is shown.
    QString NomFichier;
    QString Chemin;
    QString extension;

    QLabel* VideoGrabber;   // preview display
    QLineEdit* edtFinalFrameRate;
    QPushButton *btnStartPreview, *btnStartRecording, *btnStop;
    QLabel* memoLog;
    QTimer Timer;           // the stop, one second after the last image

    static constexpr int kCadenceApercu = 20;

    void FormActivate();
    void btnStartPreviewClick();
    void btnStartRecordingClick();
    void btnStopClick();
    bool enregistre() const { return m_enregistre; }
    bool actif() const { return m_cadence.isActive() || Timer.isActive(); }

signals:
    // The recording ended ("Terminé" or "Erreur durant l'enregistrement" in memoLog).
    void RecordingCompleted(const QString& fichier, bool succes);

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void OnVideoFromBitmapsNextFrameNeeded();
    void Stop();
    void montre(const QImage& image);

    VideoDepuisImages m_video;
    TFileSearch SearchForFiles;
    ImagesAnticipees m_apercu;
    int m_image = 0;
    QTimer m_cadence;       // asks for the next frame
    bool m_enregistre = false;
    bool m_fin = false;
};

#pragma once
#include <QElapsedTimer>
#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;
class VideoSource;

// Long work on a video (opening and indexing, a jump far from a keyframe, a chronophotograph):
// the wait cursor at once, and past a second a progress window whose "Annuler" cancels an
// opening. Hooks itself into the source's progress for its lifetime.
class AttenteVideo
{
public:
    AttenteVideo(QWidget* parent, VideoSource* source, const QString& texte);
    ~AttenteVideo();
    AttenteVideo(const AttenteVideo&) = delete;
    AttenteVideo& operator=(const AttenteVideo&) = delete;

    // Part done, 0..1; false once the user has cancelled.
    bool progres(double part);
    bool montree() const { return m_dialogue != nullptr; }

private:
    QWidget* m_parent;
    VideoSource* m_source;
    QString m_texte;
    QElapsedTimer m_debut;
    std::unique_ptr<QProgressDialog> m_dialogue;
    bool m_annule = false;
};

#include "AttenteVideo.h"

#include "VideoSource.h"

#include <QApplication>
#include <QProgressDialog>

namespace {
constexpr int kDelaiProgression = 1000; // ms before the progress window shows
}

AttenteVideo::AttenteVideo(QWidget* parent, VideoSource* source, const QString& texte)
    : m_parent(parent), m_source(source), m_texte(texte)
{
    m_debut.start();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (m_source)
        m_source->progression = [this](double p) { return progres(p); };
}

AttenteVideo::~AttenteVideo()
{
    if (m_source)
        m_source->progression = nullptr;
    m_dialogue.reset();
    QApplication::restoreOverrideCursor();
}

bool AttenteVideo::progres(double part)
{
    if (!m_dialogue && m_debut.elapsed() >= kDelaiProgression) {
        m_dialogue = std::make_unique<QProgressDialog>(m_texte, QStringLiteral("Annuler"), 0, 1000, m_parent);
        m_dialogue->setWindowTitle(QStringLiteral("Patientez..."));
        m_dialogue->setWindowModality(Qt::WindowModal);
        m_dialogue->setMinimumDuration(0);
        m_dialogue->setAutoClose(false);
        m_dialogue->setAutoReset(false);
    }
    if (m_dialogue) {
        m_dialogue->setValue(int(std::clamp(part, 0.0, 1.0) * 1000));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_annule = m_annule || m_dialogue->wasCanceled();
    }
    return !m_annule;
}

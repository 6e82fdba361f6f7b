#include "VideoGrabber.h"

#include <QCameraDevice>
#include <QMediaDevices>
#include <QPainter>

#include <cmath>

namespace {

constexpr double kCentNanosecondes = 1e7;

} // namespace

AffichageLecteur::AffichageLecteur(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AffichageLecteur::montre(const QImage& image)
{
    m_image = image;
    update();
}

void AffichageLecteur::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_image.isNull())
        p.fillRect(rect(), Qt::black);
    else
        p.drawImage(rect(), m_image);
}

TVideoGrabber::TVideoGrabber(QObject* parent) : QObject(parent)
{
    m_minuterie.setSingleShot(true);
    connect(&m_minuterie, &QTimer::timeout, this, &TVideoGrabber::imageSuivanteLecture);
    connect(&m_source, &VideoSource::frameReady, this, &TVideoGrabber::recu);
}

TVideoGrabber::~TVideoGrabber() = default;

bool TVideoGrabber::OpenPlayer()
{
    m_minuterie.stop();
    m_demande = -1;
    if (m_nom.isEmpty() || !m_source.open(m_nom)) {
        m_erreur = m_nom.isEmpty() ? QStringLiteral("Aucun fichier") : m_source.erreur();
        // A failed opening leaves nothing open, whatever was open before.
        m_source.close();
        changeEtat(ps_Closed);
        return false;
    }
    m_erreur.clear();
    m_position = 1;
    changeEtat(ps_Stopped);
    return true;
}

void TVideoGrabber::ClosePlayer()
{
    m_minuterie.stop();
    m_demande = -1;
    m_source.close();
    m_position = 0;
    changeEtat(ps_Closed);
}

bool TVideoGrabber::AVIInfo(const QString& fichier, TAVIInfo& info)
{
    VideoSource autre;
    VideoSource* s = &m_source;
    if (!m_source.isOpen() || m_source.fileName() != fichier) {
        if (!autre.open(fichier))
            return false;
        s = &autre;
    }
    const int n = s->frameCount();
    const double duree = s->duration();
    if (n <= 0 || !(duree > 0))
        return false;
    info.Duration = qint64(std::llround(duree * kCentNanosecondes));
    info.VideoCodec = s->codecName();
    // A file that declares no rate is described by its mean rate.
    info.FrameRate = s->nominalRate() > 0 ? s->nominalRate() : n / duree;
    info.Width = s->size().width();
    info.Height = s->size().height();
    info.FrameCount = n;
    return true;
}

int TVideoGrabber::VideoWidth() const { return m_source.size().width(); }
int TVideoGrabber::VideoHeight() const { return m_source.size().height(); }
qint64 TVideoGrabber::PlayerFrameCount() const { return m_source.frameCount(); }

void TVideoGrabber::setPlayerFramePosition(qint64 position)
{
    if (!m_source.isOpen())
        return;
    m_position = std::clamp<qint64>(position, 1, PlayerFrameCount());
    if (m_etat == ps_Playing) {
        // Playing goes on from there.
        m_tempsDepart = m_source.frameTime(int(m_position - 1));
        m_horloge.restart();
    }
    demande(m_position);
}

void TVideoGrabber::demande(qint64 position)
{
    m_demande = position;
    m_source.requestFrame(int(position - 1));
}

void TVideoGrabber::recu(const VideoSource::Frame& f)
{
    if (m_demande < 0 || f.index + 1 != m_demande)
        return;
    m_demande = -1;
    if (!f.isValid())
        m_erreur = m_source.erreur();
    const qint64 numero = f.index + 1;
    if (m_etat == ps_Playing && m_affichage)
        m_affichage->montre(f.image);
    emit OnFrameCaptureCompleted(f.image, f.image.width(), f.image.height(), numero,
                                 qint64(std::llround(f.time * kCentNanosecondes)));
    if (m_etat != ps_Playing)
        return;
    if (numero >= PlayerFrameCount()) {
        finLecture(ps_Stopped);
        return;
    }
    const double prochain = m_source.frameTime(int(numero)) - m_tempsDepart;
    const double ecoule = m_horloge.elapsed() / 1000.0;
    m_minuterie.start(std::max(0, int(std::lround((prochain - ecoule) * 1000))));
}

void TVideoGrabber::imageSuivanteLecture()
{
    if (m_etat != ps_Playing || !m_source.isOpen())
        return;
    m_position = std::min(m_position + 1, PlayerFrameCount());
    demande(m_position);
}

void TVideoGrabber::RunPlayer()
{
    if (!m_source.isOpen() || m_etat == ps_Playing)
        return;
    // From the frame shown, or from the start when it is the last one.
    if (m_position >= PlayerFrameCount() || m_position < 1)
        m_position = 1;
    m_tempsDepart = m_source.frameTime(int(m_position - 1));
    m_horloge.start();
    changeEtat(ps_Playing);
    demande(m_position);
}

void TVideoGrabber::finLecture(TPlayerState e)
{
    m_minuterie.stop();
    changeEtat(e);
    // The frame where playing stopped, for the picture that takes over from the display.
    demande(m_position);
}

void TVideoGrabber::StopPlayer()
{
    if (m_etat == ps_Playing || m_etat == ps_PlayingBackward)
        finLecture(ps_Stopped);
}

void TVideoGrabber::PausePlayer()
{
    if (m_etat == ps_Playing || m_etat == ps_PlayingBackward)
        finLecture(ps_Paused);
}

void TVideoGrabber::changeEtat(TPlayerState e)
{
    if (e == m_etat)
        return;
    const TPlayerState ancien = m_etat;
    m_etat = e;
    emit OnPlayerStateChanged(ancien, e);
}

QStringList TVideoGrabber::VideoDevices() const
{
    QStringList noms;
    for (const QCameraDevice& c : QMediaDevices::videoInputs())
        noms << c.description();
    return noms;
}

AffichageLecteur* TVideoGrabber::Display(QWidget* parent)
{
    if (!m_affichage && parent) {
        m_affichage = new AffichageLecteur(parent);
        m_affichage->hide();
    }
    return m_affichage;
}

void TVideoGrabber::setDisplay_Visible(bool visible)
{
    if (m_affichage)
        m_affichage->setVisible(visible);
}

#include "VideoFromJPEG.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kDelaiArret = 1000; // ms after the last image
}

TVideoFromJpegForm::TVideoFromJpegForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Video à partir d'images"));
    auto* v = new QVBoxLayout(this);
    VideoGrabber = new QLabel(this);
    VideoGrabber->setMinimumSize(320, 240);
    VideoGrabber->setAlignment(Qt::AlignCenter);
    VideoGrabber->setStyleSheet(QStringLiteral("background: black"));
    v->addWidget(VideoGrabber, 1);
    auto* h = new QHBoxLayout;
    auto* Label3 = new QLabel(QStringLiteral("Nombre d'images par seconde"), this);
    edtFinalFrameRate = new QLineEdit(QStringLiteral("10"), this);
    edtFinalFrameRate->setMaximumWidth(60);
    Label3->setBuddy(edtFinalFrameRate);
    btnStartPreview = new QPushButton(QStringLiteral("Prévisualisation"), this);
    btnStartRecording = new QPushButton(QStringLiteral("Enregistrement"), this);
    btnStop = new QPushButton(QStringLiteral("Stop"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{Label3, edtFinalFrameRate, btnStartPreview, btnStartRecording, btnStop})
        h->addWidget(w);
    h->addStretch();
    v->addLayout(h);
    memoLog = new QLabel(QStringLiteral("..."), this);
    v->addWidget(memoLog);
    resize(680, 560);

    Timer.setSingleShot(true);
    Timer.setInterval(kDelaiArret);
    connect(&Timer, &QTimer::timeout, this, [this] {
        Timer.stop();
        Stop();
    });
    connect(&m_cadence, &QTimer::timeout, this, &TVideoFromJpegForm::OnVideoFromBitmapsNextFrameNeeded);
    connect(btnStartPreview, &QPushButton::clicked, this, &TVideoFromJpegForm::btnStartPreviewClick);
    connect(btnStartRecording, &QPushButton::clicked, this, &TVideoFromJpegForm::btnStartRecordingClick);
    connect(btnStop, &QPushButton::clicked, this, &TVideoFromJpegForm::btnStopClick);
}

void TVideoFromJpegForm::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    FormActivate();
}

void TVideoFromJpegForm::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TVideoFromJpegForm::FormActivate()
{
    Chemin = VideoDepuisImages::cheminDe(NomFichier);
    extension = VideoDepuisImages::extensionDe(NomFichier);
}

void TVideoFromJpegForm::btnStartPreviewClick()
{
    Stop();
    FormActivate();
    QStringList fichiers;
    for (QString f = SearchForFiles.FirstFile(Chemin, extension); !f.isEmpty(); f = SearchForFiles.NextFile())
        fichiers << f;
    m_apercu.setFichiers(fichiers);
    m_image = 0;
    m_enregistre = false;
    m_fin = false;
    m_cadence.start(1000 / kCadenceApercu);
}

void TVideoFromJpegForm::btnStartRecordingClick()
{
    Stop();
    FormActivate();
    memoLog->setText(QStringLiteral("Enregistrement en cours"));
    const int cadence = VideoDepuisImages::cadenceLue(edtFinalFrameRate->text());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = m_video.demarre(Chemin, extension, cadence);
    QApplication::restoreOverrideCursor();
    if (!ok) {
        memoLog->setText(QStringLiteral("Erreur durant l'enregistrement"));
        memoLog->setToolTip(m_video.erreur());
        emit RecordingCompleted(VideoDepuisImages::fichierVideo(Chemin), false);
        return;
    }
    m_enregistre = true;
    m_fin = false;
    // One frame per turn of the event loop: the window stays live and "Stop" is heard.
    m_cadence.start(0);
}

void TVideoFromJpegForm::btnStopClick() { Stop(); }

void TVideoFromJpegForm::OnVideoFromBitmapsNextFrameNeeded()
{
    if (m_fin)
        return;
    if (!m_enregistre) {
        if (m_image >= m_apercu.fichiers().size()) {
            m_fin = true;
            m_cadence.stop();
            Timer.start();
            return;
        }
        const QImage image = m_apercu.image(m_image++);
        if (!image.isNull())
            montre(image);
        return;
    }
    switch (m_video.suivante()) {
    case VideoDepuisImages::Etape::Image:
        memoLog->setText(QStringLiteral("Enregistrement en cours (%1 images)").arg(m_video.images()));
        return;
    case VideoDepuisImages::Etape::Fin:
        m_fin = true;
        m_cadence.stop();
        Timer.start();
        return;
    case VideoDepuisImages::Etape::Erreur:
        m_cadence.stop();
        m_enregistre = false;
        memoLog->setText(QStringLiteral("Erreur durant l'enregistrement"));
        memoLog->setToolTip(m_video.erreur());
        emit RecordingCompleted(m_video.sortie(), false);
        return;
    }
}

void TVideoFromJpegForm::Stop()
{
    Timer.stop();
    const bool actif = m_cadence.isActive() || m_fin;
    m_cadence.stop();
    m_fin = false;
    if (m_enregistre) {
        m_enregistre = false;
        const bool succes = m_video.termine();
        memoLog->setText(succes ? QStringLiteral("Terminé") : QStringLiteral("Erreur durant l'enregistrement"));
        memoLog->setToolTip(succes ? QString() : m_video.erreur());
        emit RecordingCompleted(m_video.sortie(), succes);
    } else if (actif) {
        memoLog->setText(QStringLiteral("Terminé"));
    }
}

void TVideoFromJpegForm::montre(const QImage& image)
{
    VideoGrabber->setPixmap(QPixmap::fromImage(
        image.scaled(VideoGrabber->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

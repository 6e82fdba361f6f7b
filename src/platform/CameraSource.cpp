#include "CameraSource.h"

#include <QCamera>
#include <QCameraDevice>
#include <QCameraFormat>
#include <QDir>
#include <QFile>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QVideoFrame>
#include <QVideoSink>
#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The settings Qt Multimedia does not offer, read and written through the device's own
// controls. The device is opened only for each query: the camera pipeline keeps its own handle.
class ControlesV4l2
{
public:
    void setChemin(const QString& chemin) { m_chemin = chemin; }
    QString chemin() const { return m_chemin; }

    static quint32 identifiant(CameraSource::Reglage r)
    {
        switch (r) {
        case CameraSource::rgGain: return V4L2_CID_GAIN;
        case CameraSource::rgExposition: return V4L2_CID_EXPOSURE_ABSOLUTE;
        case CameraSource::rgLuminosite: return V4L2_CID_BRIGHTNESS;
        }
        return 0;
    }

    std::optional<CameraSource::Plage> plage(CameraSource::Reglage r) const
    {
        const int fd = ouvre();
        if (fd < 0)
            return std::nullopt;
        std::optional<CameraSource::Plage> resultat;
        quint32 id = identifiant(r);
        v4l2_queryctrl q{};
        q.id = id;
        bool trouve = ioctlSur(fd, VIDIOC_QUERYCTRL, &q);
        if (!trouve && r == CameraSource::rgExposition) {
            // Older drivers have only the relative exposure control.
            q = {};
            q.id = id = V4L2_CID_EXPOSURE;
            trouve = ioctlSur(fd, VIDIOC_QUERYCTRL, &q);
        }
        if (trouve && !(q.flags & V4L2_CTRL_FLAG_DISABLED) && q.type == V4L2_CTRL_TYPE_INTEGER) {
            v4l2_control c{};
            c.id = id;
            if (ioctlSur(fd, VIDIOC_G_CTRL, &c))
                resultat = CameraSource::Plage{q.minimum, q.maximum, std::max(1, q.step), c.value, q.default_value};
        }
        ::close(fd);
        return resultat;
    }

    bool ecrit(CameraSource::Reglage r, int valeur) const
    {
        const int fd = ouvre();
        if (fd < 0)
            return false;
        quint32 id = identifiant(r);
        v4l2_queryctrl q{};
        q.id = id;
        if (!ioctlSur(fd, VIDIOC_QUERYCTRL, &q) && r == CameraSource::rgExposition)
            id = V4L2_CID_EXPOSURE;
        if (r == CameraSource::rgExposition) {
            // A set exposure only holds once the automatic exposure is off.
            v4l2_control manuel{};
            manuel.id = V4L2_CID_EXPOSURE_AUTO;
            manuel.value = V4L2_EXPOSURE_MANUAL;
            ioctlSur(fd, VIDIOC_S_CTRL, &manuel);
        }
        v4l2_control c{};
        c.id = id;
        c.value = valeur;
        const bool ok = ioctlSur(fd, VIDIOC_S_CTRL, &c);
        ::close(fd);
        return ok;
    }

    // Back to the driver's defaults, the automatic exposure included.
    void remetDefaut(CameraSource::Reglage r) const
    {
        if (const auto p = plage(r))
            ecrit(r, p->defaut);
        if (r != CameraSource::rgExposition)
            return;
        const int fd = ouvre();
        if (fd < 0)
            return;
        v4l2_queryctrl q{};
        q.id = V4L2_CID_EXPOSURE_AUTO;
        if (ioctlSur(fd, VIDIOC_QUERYCTRL, &q)) {
            v4l2_control c{};
            c.id = V4L2_CID_EXPOSURE_AUTO;
            c.value = q.default_value;
            ioctlSur(fd, VIDIOC_S_CTRL, &c);
        }
        ::close(fd);
    }

    // The device node whose driver names itself `nom`, for back-ends whose ids are not paths.
    static QString cheminDe(const QByteArray& id, const QString& nom)
    {
        if (id.startsWith("/dev/"))
            return QString::fromLocal8Bit(id);
        const QStringList noeuds = QDir(QStringLiteral("/dev")).entryList({QStringLiteral("video*")}, QDir::System);
        for (const QString& n : noeuds) {
            const QString chemin = QStringLiteral("/dev/") + n;
            const int fd = ::open(QFile::encodeName(chemin).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0)
                continue;
            v4l2_capability cap{};
            const bool ok = ioctlSur(fd, VIDIOC_QUERYCAP, &cap);
            ::close(fd);
            if (ok && QString::fromUtf8(reinterpret_cast<const char*>(cap.card)) == nom)
                return chemin;
        }
        return {};
    }

private:
    int ouvre() const
    {
        if (m_chemin.isEmpty())
            return -1;
        return ::open(QFile::encodeName(m_chemin).constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    }
    template <typename T>
    static bool ioctlSur(int fd, unsigned long requete, T* arg)
    {
        int r;
        do
            r = ::ioctl(fd, requete, arg);
        while (r < 0 && errno == EINTR);
        return r == 0;
    }

    QString m_chemin;
};

class CameraQt : public CameraSource
{
public:
    explicit CameraQt(QObject* parent) : CameraSource(parent)
    {
        m_session.setVideoSink(&m_sink);
        connect(&m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& f) { trame(f); });
        connect(&m_devices, &QMediaDevices::videoInputsChanged, this, [this] {
            m_liste = QMediaDevices::videoInputs();
            // The device in use may have gone: keep it only if it is still listed.
            const int i = m_camera ? int(m_liste.indexOf(m_camera->cameraDevice())) : -1;
            if (m_camera && i < 0) {
                ferme();
                emit erreur(QStringLiteral("La webcam a été déconnectée"));
            }
            m_index = i;
            emit peripheriquesChanges();
        });
        m_liste = QMediaDevices::videoInputs();
    }
    ~CameraQt() override { ferme(); }

    QList<Peripherique> peripheriques() const override
    {
        QList<Peripherique> l;
        for (const QCameraDevice& d : m_liste)
            l.append({QString::fromLocal8Bit(d.id()), d.description()});
        return l;
    }
    int peripherique() const override { return m_index; }

    void choisit(int index) override
    {
        ferme();
        if (index < 0 || index >= m_liste.size())
            return;
        m_index = index;
        const QCameraDevice& d = m_liste[index];
        m_camera = std::make_unique<QCamera>(d);
        m_session.setCamera(m_camera.get());
        connect(m_camera.get(), &QCamera::errorOccurred, this, [this](QCamera::Error e, const QString& texte) {
            if (e == QCamera::NoError)
                return;
            m_capture = false;
            emit erreur(QStringLiteral("Erreur de la webcam : %1").arg(texte));
        });
        m_formats = d.videoFormats();
        m_v4l2.setChemin(ControlesV4l2::cheminDe(d.id(), d.description()));
        const QList<QSize> t = tailles();
        if (!t.isEmpty())
            setTaille(t.last());
    }

    QList<QSize> tailles() const override
    {
        QList<QSize> t;
        for (const QCameraFormat& f : m_formats)
            if (!t.contains(f.resolution()))
                t.append(f.resolution());
        std::sort(t.begin(), t.end(), [](QSize a, QSize b) {
            return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
        });
        return t;
    }
    QSize taille() const override { return m_camera ? m_camera->cameraFormat().resolution() : QSize(); }
    void setTaille(const QSize& taille) override
    {
        if (!m_camera)
            return;
        // Of the formats of that size, the fastest.
        QCameraFormat meilleur;
        for (const QCameraFormat& f : m_formats)
            if (f.resolution() == taille && (meilleur.isNull() || f.maxFrameRate() > meilleur.maxFrameRate()))
                meilleur = f;
        if (!meilleur.isNull())
            m_camera->setCameraFormat(meilleur);
    }

    std::optional<Plage> reglage(Reglage r) const override
    {
        if (!m_camera)
            return std::nullopt;
        return m_v4l2.plage(r);
    }
    void setReglage(Reglage r, int valeur) override
    {
        if (m_camera)
            m_v4l2.ecrit(r, valeur);
    }
    int razReglage(Reglage r) override
    {
        if (!m_camera)
            return 0;
        m_v4l2.remetDefaut(r);
        const auto p = m_v4l2.plage(r);
        return p ? p->valeur : 0;
    }

    void demarreApercu() override
    {
        if (!m_camera)
            return;
        m_apercu = true;
        m_camera->start();
    }
    void arreteApercu() override
    {
        m_apercu = false;
        if (m_camera && !m_capture)
            m_camera->stop();
    }
    bool apercuActif() const override { return m_apercu; }

    void captureImage() override
    {
        if (!m_camera) {
            emit erreur(QStringLiteral("Aucune webcam"));
            return;
        }
        m_capture = true;
        if (!m_camera->isActive())
            m_camera->start();
    }

private:
    void trame(const QVideoFrame& f)
    {
        if (!f.isValid() || (!m_apercu && !m_capture))
            return;
        const QImage image = f.toImage().convertToFormat(QImage::Format_RGB888);
        if (image.isNull())
            return;
        if (m_capture) {
            m_capture = false;
            if (!m_apercu)
                m_camera->stop();
            emit imageCapturee(image);
            return;
        }
        emit imageApercu(image);
    }

    void ferme()
    {
        m_apercu = m_capture = false;
        if (m_camera) {
            m_camera->stop();
            m_session.setCamera(nullptr);
            m_camera.reset();
        }
        m_formats.clear();
        m_v4l2.setChemin(QString());
        m_index = -1;
    }

    QMediaDevices m_devices;
    QList<QCameraDevice> m_liste;
    QMediaCaptureSession m_session;
    QVideoSink m_sink;
    std::unique_ptr<QCamera> m_camera;
    QList<QCameraFormat> m_formats;
    ControlesV4l2 m_v4l2;
    int m_index = -1;
    bool m_apercu = false, m_capture = false;
};

} // namespace

std::unique_ptr<CameraSource> creeCameraSource(QObject* parent)
{
    return std::make_unique<CameraQt>(parent);
}

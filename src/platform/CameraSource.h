#pragma once
#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

// A camera: the device list, the frame sizes of the chosen device, a live preview, one frame
// captured as a picture, and the settings gain, exposure and brightness where the device has
// them. The program's one uses Qt Multimedia, with the Linux video-device controls for the
// settings Qt Multimedia does not offer; tests use a stand-in behind this interface.
class CameraSource : public QObject
{
    Q_OBJECT
public:
    enum Reglage { rgGain, rgExposition, rgLuminosite };
    struct Plage
    {
        int mini = 0, maxi = 0, pas = 1, valeur = 0, defaut = 0;
    };
    struct Peripherique
    {
        QString id;   // how the system names it (a device path on Linux)
        QString nom;  // what the user sees
    };

    using QObject::QObject;
    ~CameraSource() override = default;

    virtual QList<Peripherique> peripheriques() const = 0;
    // Index in peripheriques() of the device in use, -1 when none is chosen.
    virtual int peripherique() const = 0;
    // Chooses a device (stops the preview first). Out of range: none.
    virtual void choisit(int index) = 0;

    // Frame sizes of the device in use, smallest first; the size in use.
    virtual QList<QSize> tailles() const = 0;
    virtual QSize taille() const = 0;
    virtual void setTaille(const QSize& taille) = 0;

    // The setting's range and value; empty when the device in use lacks it.
    virtual std::optional<Plage> reglage(Reglage r) const = 0;
    virtual void setReglage(Reglage r, int valeur) = 0;
    // Back to the device's default; returns the value it then has.
    virtual int razReglage(Reglage r) = 0;

    // Frames arrive through imageApercu while the preview runs.
    virtual void demarreApercu() = 0;
    virtual void arreteApercu() = 0;
    virtual bool apercuActif() const = 0;
    // The next frame arrives through imageCapturee (or erreur), preview running or not.
    virtual void captureImage() = 0;

signals:
    void peripheriquesChanges();
    void imageApercu(const QImage& image);
    void imageCapturee(const QImage& image);
    // A French message: the device was lost or refused to start.
    void erreur(const QString& message);
};

std::unique_ptr<CameraSource> creeCameraSource(QObject* parent = nullptr);

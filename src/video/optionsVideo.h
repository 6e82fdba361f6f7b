#pragma once
#include "DessinPointage.h"

#include <QColor>
#include <QDialog>
#include <QPointer>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QPushButton;

// What the video options say to every video tool that follows them (the media-player tool
// connects here too; the dialog may not exist yet when it is made).
class LiensOptionsVideo : public QObject
{
    Q_OBJECT
public:
    static LiensOptionsVideo& instance();

signals:
    // The colour of the point about to be clicked.
    void couleurPoints(const QColor& c);
    // Labels, marks, axis colour or orientation changed.
    void redessiner();
    void nbrePoints(int n);
    void zoomImage(int z);
};

// "Options lecture Video": display and measuring options of the second video tool, made by it
// on its creation when none exists; it lives as long as that tool.
class TOptionsVideoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TOptionsVideoForm(QWidget* parent = nullptr);
    ~TOptionsVideoForm() override;

    // The one dialog, or null before a capture tool made it.
    static TOptionsVideoForm* existant();

    // Loading: from the tool's creation to its first activation the colour, label, mark, axis,
    // points and angle handlers do nothing.
    bool creation = true;

    enum TracePoints { tpReticule, tpCroix, tpSans };

    QComboBox* CouleurPointsCB;
    QCheckBox* EtiquetteCB;
    QButtonGroup* TracePointsRG;
    QSpinBox* IncertitudeSE;
    QCheckBox* TraceEchCB;
    QComboBox* CouleurAxeCB;
    QLabel* LabelNbreSE;
    QSpinBox* NbreSE;
    QCheckBox* AngleCB;
    QSpinBox* ZoomSE;
    QSpinBox* ZoomImageSE;
    QButtonGroup* OrigineRG;
    QButtonGroup* AxesRG;
    QComboBox* cboVideoDevices;
    QComboBox* cboVideoSizes;
    QPushButton* DeviceDialogBtn;
    QLineEdit* VitesseEdit;
    QLineEdit* StopRecordEdit;

    // Readings of the controls.
    int tracePoints() const;
    void setTracePoints(int i);
    bool angle() const;
    bool origineMobile() const;
    int axes() const;
    void setAxes(int i);
    void setOrigineMobile(bool mobile);
    QColor couleurAxe() const;
    void setCouleurAxe(const QColor& c);
    QColor couleurPoints() const;
    void setCouleurPoints(const QColor& c);
    // Drawing options as the overlay wants them.
    OptionsDessin options() const;

    // Fills the device list (one name per entry); shown only with two devices or more.
    void remplitPeripheriques(const QStringList& noms, int choisi);

signals:
    // Only to the capture tool.
    void origineChoisie(bool mobile);
    void zoomImageChange(int z);
    void peripheriqueChoisi(int index);

private:
    void AngleCBClick(bool coche);
    void ZoomImageSEChange(int z);
};

// The colour boxes of the video options: the sixteen standard colours by name.
QComboBox* boiteCouleursVideo(QWidget* parent);
void choisitCouleurVideo(QComboBox* cb, const QColor& c);

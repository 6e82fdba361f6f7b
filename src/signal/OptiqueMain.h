#pragma once
#include "CameraSource.h"
#include "Grapheu.h"
#include "OutilOuvrant.h"
#include "ProfilIntensite.h"
#include "Transfert.h"

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>

class QAction;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QToolButton;
class ToolHost;

// "KINEXO : lecture d'intensité lumineuse pour Tabulo": the relative light intensity along a
// line drawn across a photograph (or a webcam frame) of a diffraction or interference pattern.
class TOptiqueForm : public QMainWindow, public OutilOuvrant
{
    Q_OBJECT
public:
    // With the system's cameras.
    explicit TOptiqueForm(ToolHost& host, QWidget* parent = nullptr);
    TOptiqueForm(ToolHost& host, std::unique_ptr<CameraSource> camera, QWidget* parent = nullptr);
    ~TOptiqueForm() override;

    // Folder of the open and save dialogs (the launcher's picture folder).
    Q_INVOKABLE void setDossier(const QString& dossier) { repertoire = dossier; }

    void ChargerBtnClick();
    // Loads a picture by its extension; on failure says why and keeps the previous one.
    bool ChargeFichier(const QString& nom);
    // OutilOuvrant: a picture given from outside.
    bool ouvreFichierExterne(const QString& chemin) override { return ChargeFichier(chemin); }
    QString fichierOuvert() const override { return NomFichier; }
    // Default points, empty profile, caption and buttons, then the profile.
    void Reset();
    // Reads the fields and computes the profile (after any change of points or options).
    void CalculeProfil();
    void TabuloBtnClick();
    void SauverBtnClick();
    void EnregistrerBtnClick();
    void WebcamBtnClick(bool enfonce);
    void AcquisitionBtnClick();
    // Device list, sizes, buttons and settings from the camera.
    void RafraichitCamera();
    void AfficheChamps();

    // What TabuloBtnClick hands to the transfer service.
    TableSource sourceTabulo();
    // The displayed image with its overlay.
    QImage imageAffichee() const;
    // The pointer move asked by a key while the hidden edit has the focus; empty when the key
    // does not move it.
    static std::optional<QPoint> deplacementTouche(int touche, const QString& texte, bool boutonEnfonce);

    const ProfilIntensite& profil() const { return m_profil; }
    ProfilIntensite& profil() { return m_profil; }
    QString nomFichier() const { return NomFichier; }
    QString fichierWebcam() const { return fichierImage; }
    QWidget* image() const { return ImageVue; }
    QWidget* intensitePB() const { return IntensitePB; }
    QString texteSatures() const;
    QAction* action(const QString& texte) const;
    ProfilIntensite::TstyleDrag borneSelect() const { return BorneSelect; }

protected:
    void closeEvent(QCloseEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* objet, QEvent* e) override;

private:
    void construit();
    void branche();
    void litReglages();
    void ecritReglages() const;
    void ImageMouseDown(QMouseEvent* e);
    void ImageMouseMove(QMouseEvent* e);
    void ImageMouseUp(QMouseEvent* e);
    void Glisse(QPoint p, bool aligne);
    void peintImage(QPainter& p) const;
    void peintIntensite(QPainter& p) const;
    void peintDessin(QPainter& p) const;
    void litChamps();
    void couleursBoutons();
    void gammaPas(double pas);
    void arreteWebcam();
    void imageWebcam(const QImage& image);
    void reglageChange(CameraSource::Reglage r, int valeur);
    void razReglage(CameraSource::Reglage r);
    void TailleCBChange(int index);
    void DeviceCBChange(int index);
    void montreSatures();

    ToolHost& host;
    std::unique_ptr<CameraSource> m_camera;
    ProfilIntensite m_profil;
    mutable Tgraphe graphe; // DrawG derives its coefficients at each draw
    QImage m_apercu;

    ProfilIntensite::TstyleDrag BorneSelect = ProfilIntensite::bsNone, BorneSelectUp = ProfilIntensite::bsNone;
    int largeurTrait = 1;
    QString fichierImage;
    QString NomFichier;
    QString nomAvantWebcam;
    QString repertoire;
    int FilterSave = 0, FilterOpen = 0;
    bool FInitializing = false;
    bool m_calcul = false;

    QAction *ChargerBtn, *OptionsBtn, *DeviceAct, *WebcamBtn, *AcquisitionBtn, *TabuloBtn, *SauverBtn,
        *EnregistrerBtn, *QuitterBtn;
    QComboBox* DeviceCB;
    struct ReglageCamera
    {
        QWidget* ligne;
        QSlider* barre;
        QPushButton* raz;
    };
    std::array<ReglageCamera, 3> Reglages{};
    QWidget* TailleBox;
    QComboBox* TailleCB;
    QSpinBox* MoyenneSE;
    QLabel* EchelleLabel;
    QLineEdit* EchelleEdit;
    QComboBox* UniteCB;
    QButtonGroup* EchelleRG;
    QSpinBox* LargeurSE;
    QToolButton *BBtn, *RBtn, *VBtn;
    QLineEdit* GammaEdit;
    QLineEdit* EditBidon;
    QStackedWidget* Pages;
    QScrollArea* Defilement;
    QWidget* ImageVue;
    QLabel* ApercuLabel;
    QScrollArea* ApercuDefilement;
    QWidget* IntensitePB;
    QLabel* SaturesLabel;
};

#pragma once
#include "CadenceCapture.h"
#include "CompositeChrono.h"
#include "GrillePointage.h"
#include "PointageControleur.h"
#include "PointageModel.h"
#include "SuiviCouleur.h"
#include "ToolHost.h"
#include "Transfert.h"
#include "VideoGrabber.h"
#include "VuePointage.h"

#include <QImage>
#include <QMainWindow>

class ChampNombre;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSlider;
class QProgressBar;
class QToolButton;
class TChronoForm;
class TOptionsVideoForm;

// Frames in a row without the target after which automatic measuring stops.
constexpr int kManquesMax = 10;

// "Lecture de fichier video pour Tabulo": the second video tool. Frames come one at a time from
// the capture component, each with its own time; one to five points, or an angle, per frame.
class TvidGrabForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TvidGrabForm(ToolHost& host, QWidget* parent = nullptr);
    ~TvidGrabForm() override;

    Q_INVOKABLE void setDossier(const QString& dossier) { m_dossier = dossier; }

    // Opens a file as the open button does once its dialog has given a name.
    void OuvreFichier(const QString& nom);
    bool fichierOuvert() const { return !VideoGrabber.PlayerFileName().isEmpty(); }
    // Display zoom 1..4: picture size, clicks, grab distance.
    void ZoomAffichage(int z);
    // First activation ends the options' loading state; each fills the device list.
    void Activation();
    void Enabling();
    void Dessine();
    // A frame is awaited: stepping and clicks wait for it.
    bool imageAttendue() const { return m_attente; }
    // Asks the component for a frame (1..count), as the track bar does.
    void demandeImage(int position);
    // What the transfer to Tabulo sends.
    TableSource sourceTabulo();

    // State (names of the tool).
    PointageModel modele;
    PointageControleur controleur;
    TVideoGrabber VideoGrabber;
    CadenceCapture cadence;
    TOptionsVideoForm* options = nullptr;
    double timePosition = 0;
    int framePosition = 0;
    int fOrigine = 0;
    qint64 nbreTrames = 0;
    QString videoCodec;
    int zoomAffichage = 1;
    int magnet = 6;
    QImage bitmapCourant;
    QImage bitmapZoom;
    QString nomFichierBmp;
    // The track bar's selection end: last frame of a chronophotograph (0: none).
    int finSelection = 0;
    // Chronophotograph and automatic measuring.
    CompositeChrono composite;
    SuiviCouleur suivi;
    int xCibleChrono = 0;
    int yCibleChrono = 0;
    QRgb CouleurCible = 0;
    bool mesureAuto = false;
    TChronoForm* chronoForm() const { return m_chronoForm; }

    // Controls.
    QToolButton *OpenBtn, *OptionsBtn, *ResetBtn, *MesureBtn, *UndoBtn, *RazBtn, *ChronoPhotoBtn, *OrigineTempsBtn,
        *HelpBtn, *CibleBtn, *TabuloBtn, *AcquireBtn, *ConnectBtn;
    QLabel *DurationLabel, *FrameCountLabel, *CodecLabel, *TimePositionLabel;
    QLineEdit* FrameRateEdit;
    QCheckBox* MesureAutoCB;
    QToolButton *StartPlayerBtn, *StopPlayerBtn, *SuivantBtn, *PrecedentBtn, *FinPhotoBtn;
    QSlider* TrackBar;
    // Progress of a chronophotograph (hidden otherwise).
    QProgressBar* PhotoPB;
    QWidget* PanelPlayer;
    QScrollArea* ScrollBox;
    VuePointage* Image;
    GrilleVue* Grid;
    GrillePointage* grille;
    ChampNombre* EchelleEdit;
    QLabel* ImageZoom;
    QMenu* CibleMenu;

public slots:
    void ImageSuivante();   // the next frame is asked for
    void ImagePrecedente();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void construit();
    void lisReglages();
    void ecritReglages();
    void OpenBtnClick();
    void FrameCaptureCompleted(const QImage& image, int largeur, int hauteur, qint64 numero, qint64 temps);
    void PlayerStateChanged(TPlayerState ancien, TPlayerState nouveau);
    void FrameRateEditExit();
    void MesureBtnClick(bool enfonce);
    void OrigineTempsBtnClick(bool enfonce);
    void TabuloBtnClick();
    void HelpBtnClick();
    void CibleBtnClick();
    void sauveImage(const QString& filtre, const QString& extension);
    void metLoupe(QPoint pixel);
    void grilleReconstruite();
    void ChronoPhotoBtnClick(bool enfonce);
    void MesureAutoDebut();
    void cliqueCible(QPoint p);
    void debutComposite();
    void PremiereImageChrono(const QImage& image);
    void ImageChrono(const QImage& image);
    void FinChrono();
    void finProgression();
    void AbandonChrono();
    void montreChrono(const QString& fichier);
    void fermeChrono();
    void hint(const QString& h);
    QPoint pixelImage(QPoint ecran) const;

    ToolHost& m_host;
    QString m_dossier;
    int m_filterIndex = 1;
    bool m_attente = false;
    bool m_recoitImages = true;
    bool m_lectureOuverture = false;
    bool m_lectureCadence = false;
    bool m_premiereActivation = true;
    bool m_menuRetire = false;
    bool m_progression = false; // hourglass and PhotoPB of a chronophotograph
    int m_manques = 0;
    int m_premierManque = 0;
    TChronoForm* m_chronoForm = nullptr;
};

#pragma once
#include "LecteurAvi.h"
#include "ChampNombre.h"
#include "Comparaison.h"
#include "DessinPointage.h"
#include "GrillePointage.h"
#include "VuePointage.h"
#include "PointageControleur.h"
#include "PointageModel.h"
#include "ToolHost.h"
#include "Transfert.h"

#include <QMainWindow>
#include <QTimer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStackedWidget;
class QTableWidget;
class QToolButton;
class TransferButton;

// "KINEXO : lecture de fichier AVI pour Tabulo (mediaPlayer)": steps through a video file image
// by image and points on it.
class TAviForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TAviForm(ToolHost& host, QWidget* parent = nullptr);
    ~TAviForm() override;

    // Folder of the open and save dialogs (the launcher's video folder).
    Q_INVOKABLE void setDossier(const QString& dossier) { m_dossier = dossier; }

    // Opens a file as the open button does after its dialog.
    void OuvreFichier(QString nom);
    void LitCodec(const QString& nom);
    void LitDureeImage();
    void InitLecture();
    double TempsPosition(qint64 p) const { return m_lecteur.TempsPosition(p, DureeImage); }
    void EffectuerZoom(int z);
    void MajBoutons();

    // State (names of the tool).
    PointageModel modele;
    PointageControleur controleur;
    LecteurAvi& lecteur() { return m_lecteur; }
    int NbreImagesParSec = 25;
    double DureeImage = 0.04;
    double dureeTotale = 0;
    double TempsCourant = 0;
    int pasZoom = 1;
    bool isMVC = false;
    int PositionV = 0, PositionH = 0;
    QTimer scrollTimer;
    QString nomFichier;

    // Controls.
    QToolButton *LectureBtn, *PauseBtn, *StopBtn; // the player's own buttons
    QToolButton *DebutBtn, *PrecedentBtn, *SuivantBtn, *FinBtn;
    QTimer lectureTimer;
    QLabel *TempsLabel, *CodecLabel;
    QProgressBar* ProgressBar;
    QCheckBox *TraceEchCB, *TracePointsCB, *GrilleCB, *EtiquetteCB;
    QComboBox *CouleurAxeCB, *CouleurPointsCB;
    QToolButton *OpenBtn, *VidcapBtn, *OrigineBtn, *EchelleBtn, *MesureBtn, *UndoBtn, *RazBtn, *RefreshBtn,
        *OrigineTempsBtn, *HelpBtn, *ExitBtn;
    TransferButton* TabuloBtn;
    QAction *OrigineItem, *OrigineMobileItem;
    QAction *Axeverslehautdroite, *Axeverslebasdroite, *Axeverslehautgauche, *Axeverslebasgauche;
    QSpinBox *NbreSE, *NbreImagesSE, *IncertitudeSE, *ZoomSE;
    QLineEdit* DureeEdit;
    ChampNombre* EchelleEdit;
    QLabel *DureeLabel, *NbreImagesLabel;
    QScrollArea* ScrollBox;
    VuePointage* Image;
    QSlider* TrackBar;
    QStackedWidget* PageDroite;
    GrilleVue* Grid;
    GrillePointage* grille;
    QWidget* DessinPB;
    ComparaisonWidget* PaintBox;
    QLabel* Panneaux[3];
    QMenu* ImageMenu;

    OptionsDessin options() const;

public slots:
    void Rafraichir();        // the image shown redrawn with its overlay
    void ImageSuivante();
    void ImagePrecedente();

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void construit();
    void lisReglages();
    void ecritReglages() const;
    void Notification();
    void RemplitGrille();
    void OpenBtnClick();
    void MesureBtnClick(bool enfonce);
    void TrackBarChange(int v);
    void ScrollTimerTimer();
    void NbreImagesSEChange(int v);
    void DureeEditExit();
    void EchelleEditExit();
    void Transfere(Destination d);
    void HelpBtnClick();
    void ChoisitAxes(QAction* a);
    void ChoisitOrigine(bool mobile);
    void pas(int delta);

    ToolHost& m_host;
    LecteurAvi m_lecteur;
    QString m_dossier;
    int m_filterIndex = 1;
    bool m_refreshPoste = false;
    bool m_majTrack = false;
    QList<QAction*> m_actionsDuree, m_actionsDebit;
};

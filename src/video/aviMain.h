#pragma once
#include "CadrePointage.h"
#include "CompositeChrono.h"
#include "LecteurAvi.h"
#include "OutilOuvrant.h"
#include "SuiviCouleur.h"

#include <QTimer>

class QCheckBox;
class QLabel;
class QLineEdit;
class TChronoForm;
class TLoupeForm;
class QProgressBar;
class QSlider;
class QToolButton;

// "KINEXO : lecture de fichier AVI pour Tabulo (mediaPlayer)": steps through a video file image
// by image and points on it. The pointing frame does the pointing; this window adds the player,
// its time base and its controls.
class TAviForm : public CadrePointage, public OutilOuvrant
{
    Q_OBJECT
public:
    explicit TAviForm(ToolHost& host, QWidget* parent = nullptr);
    ~TAviForm() override;

    // Opens a file as the open button does after its dialog.
    void OuvreFichier(QString nom);
    // OutilOuvrant: a video given from outside.
    bool ouvreFichierExterne(const QString& chemin) override
    {
        OuvreFichier(chemin);
        return nomFichier == chemin;
    }
    QString fichierOuvert() const override { return nomFichier; }
    void LitCodec(const QString& nom);
    void LitDureeImage();
    void InitLecture();
    double TempsPosition(qint64 p) const { return m_lecteur.TempsPosition(p, DureeImage); }

    // State (names of the tool).
    LecteurAvi& lecteur() { return m_lecteur; }
    int NbreImagesParSec = 25;
    double DureeImage = 0.04;
    double dureeTotale = 0;
    double TempsCourant = 0;
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
    QToolButton *OpenBtn, *VidcapBtn, *RefreshBtn, *HelpBtn, *ExitBtn;
    QSpinBox* NbreImagesSE;
    QLineEdit* DureeEdit;
    QLabel *DureeLabel, *NbreImagesLabel;
    QSlider* TrackBar;

    // Chronophotograph, automatic measurement, saved images, magnifier.
    QToolButton *ChronoPhotoBtn, *LoupeBtn;
    QCheckBox* MesureAutoCB;
    QProgressBar* PhotoPB;
    QAction *BitmapItem, *JpegItem;
    QString nomFichierBmp;
    // Where the target was clicked, in image pixels (the composite and the tracker work on
    // the decoded images, so zoom and overlay never reach them).
    int xCibleChrono = 0, yCibleChrono = 0;
    CompositeChrono composite;
    SuiviCouleur suivi;
    // The picture as shown, overlay included, 24 bits.
    QImage CopieImage();
    void DebutChrono();
    void ChronoImage();
    void FinChrono();
    // Saves the picture shown ("Bitmap" or "JPEG" of the picture's menu).
    void SauveImage(bool jpeg);
    TChronoForm* chronoForm() const { return m_chronoForm; }
    TLoupeForm* loupe() const { return m_loupe; }

public slots:
    void Rafraichir() override;
    void MajBoutons() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void imageMontree() override { Notification(); }
    QString nomMedia() const override { return nomFichier; }
    void avantTransfert() override { scrollTimer.stop(); }
    void MesureBtnClick(bool enfonce) override;

private:
    class Source;
    void construit();
    void Notification();
    void OpenBtnClick();
    void TrackBarChange(int v);
    void ScrollTimerTimer();
    void NbreImagesSEChange(int v);
    void DureeEditExit();
    void HelpBtnClick();
    void pas(int delta);
    void ChronoPhotoBtnClick(bool enfonce);
    void DebutMesureAuto();
    void CibleChoisie(QPoint p);
    void SuitCible(const SuiviCouleur::Trouve& t);
    void EtapeChrono();
    void AbandonChrono();
    // Releasing "&Chrono" or "&Mesures" during a chronophotograph or its set-up.
    void ArreteChrono();
    bool enChrono() const;
    void montreChrono(const QString& fichier);
    void LoupeMontre(QPoint ecran);

    LecteurAvi m_lecteur;
    std::unique_ptr<Source> m_sourceLecteur;
    bool m_majTrack = false;
    QList<QAction*> m_actionsDuree, m_actionsDebit;
    TChronoForm* m_chronoForm = nullptr;
    TLoupeForm* m_loupe = nullptr;
    bool m_curseurAttente = false;
    bool m_auto = false; // the run tracks the target
};

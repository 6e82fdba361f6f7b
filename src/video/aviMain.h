#pragma once
#include "CadrePointage.h"
#include "LecteurAvi.h"
#include "OutilOuvrant.h"

#include <QTimer>

class QLabel;
class QLineEdit;
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

public slots:
    void Rafraichir() override;
    void MajBoutons() override;

protected:
    void closeEvent(QCloseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void imageMontree() override { Notification(); }
    QString nomMedia() const override { return nomFichier; }
    void avantTransfert() override { scrollTimer.stop(); }

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

    LecteurAvi m_lecteur;
    std::unique_ptr<Source> m_sourceLecteur;
    bool m_majTrack = false;
    QList<QAction*> m_actionsDuree, m_actionsDebit;
};

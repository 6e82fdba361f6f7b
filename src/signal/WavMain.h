#pragma once
#include "AnalyseSon.h"
#include "DocumentSon.h"
#include "Fft.h"
#include "Graduation.h"
#include "OutilOuvrant.h"
#include "Grapheu.h"
#include "TestInWav.h"
#include "WavExport.h"
#include "SoundPlayer.h"

#include <QDateTime>
#include <QMainWindow>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QSplitter;
class QToolButton;
class SoundCapture;
class SoundPlayer;
class SoundRecorder;
class ToolHost;
class TransferButton;
enum class Destination;

// A paint box: the window paints it and answers its mouse.
class TvueSon : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> peint;
    std::function<void(QMouseEvent*)> appui, deplacement, relache;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override { if (appui) appui(e); }
    void mouseMoveEvent(QMouseEvent* e) override { if (deplacement) deplacement(e); }
    void mouseReleaseEvent(QMouseEvent* e) override { if (relache) relache(e); }
};

enum TcurseurTemps { curNormal, curDebut, curFin, curDeplace };

// The sound tool: waveform, selection, play, record, spectrum, sonagram and exports.
class TWaveForm : public QMainWindow, public OutilOuvrant
{
    Q_OBJECT
public:
    explicit TWaveForm(ToolHost& host, QWidget* parent = nullptr);
    ~TWaveForm() override;

    // Sound card access; tests put stand-ins here.
    void setSoundDevices(std::unique_ptr<SoundPlayer> player, std::unique_ptr<SoundRecorder> recorder,
                         std::function<std::unique_ptr<SoundCapture>()> capture);
    // Folder the open and save dialogs start in.
    QString repertoire;
    Q_INVOKABLE void setDossier(const QString& dossier) { repertoire = dossier; }
    // Error and question boxes; tests replace them.
    std::function<void(const QString&)> message;
    std::function<bool(const QString&)> question;
    // Save dialogs; tests replace it. Returns the chosen path, empty when cancelled.
    std::function<QString(const QString& filtre)> nomSauvegarde;

    // Opens a sound file as "Ouvrir" does after its dialog: WAV read directly, the compressed
    // formats decoded through a WAV in the temporary folder.
    // True when the file is the sound shown now.
    bool ouvreFichier(const QString& chemin);
    bool ouvreFichierExterne(const QString& chemin) override { return ouvreFichier(chemin); }
    // The WAV reader with all its effects on the window. A refused file is named in a message
    // and the sound already loaded stays. `nom`: the file to show (the source of a decoded WAV).
    bool litWav(const QString& chemin, const QString& nom = QString());

    // The sound shown: samples, rate, file, selection.
    TdocumentSon document;
    // Recording rate (settings "freq"); it follows the last sound loaded.
    std::uint32_t FreqEch = 11025;
    int pasTrace = 1;
    TgrapheSon graphe, grapheZoom;
    // What the FFT view shows, computed when the sound, the selection or the heard frame changes.
    TspectreSon spectre;
    TcurseurTemps curseurT = curNormal;
    int debutPB = 0, finPB = 0, positionPB = 0;
    int Xdeplace = 0;
    TpasExport pas;
    QString nomFichierWav;
    bool stopEnCours = false;
    QDateTime startRecord;
    int compteur = 0, compteurMax = 0;
    bool changeDF = true;
    int NBits = 8, IndexMode = 0;
    Tsonagramme sonagramme;

    // Controls.
    QAction *OuvrirBtn, *JouerBtn, *StopBtn, *EnregistrerBtn, *ModeBtn, *SauverWavBtn,
        *SauverTxtBtn, *FFTBtn, *SonagrammeBtn, *QuitterBtn, *DivBtn, *sonagrammeAction, *spectreAction;
    TransferButton* TabuloBtn;
    QComboBox* sonagrammeCB;
    QCheckBox *BoucleCB, *StereoCB, *EnveloppeCB;
    QLabel *LabelDuree, *LabelFreq, *LabelSelection, *LabelFreqReg, *LabelPosition;
    QToolButton *TailleMoinsBtn, *TaillePlusBtn;
    TvueSon *PaintBox, *PaintBoxZoom, *PaintBoxFFT;
    QSplitter* Splitter;
    QTimer Timer1;
    // Transfer of the spectrum shown (f, amplitude).
    TransferButton* SpectreBtn;
    QProgressBar* Progression;
    // Work lasting longer than this shows its progress.
    int delaiProgressionMs = 1000;
    // Frequency of the spectrum's strongest peak, shown in the FFT view; empty when none.
    QString textePic() const { return spectre.textePic(); }
    // Scales drawn on the views, for the current sound and sizes.
    std::vector<Tgraduation> graduationsTemps(bool zoom) const;
    std::vector<Tgraduation> graduationsAmplitude() const;
    std::vector<Tgraduation> graduationsSonagramme() const;

    bool enLecture() const;
    bool timerLecture() const { return Timer1.isActive() && !stopEnCours; }

public slots:
    void OuvrirBtnClick();
    void JouerBtnClick();
    void StopBtnClick();
    void EnregistrerBtnClick();
    void ModeBtnClick();
    void TabuloBtnClick(Destination destination);
    void SpectreBtnClick(Destination destination);
    void SauverWavBtnClick();
    void SauverTxtBtnClick();
    void DivBtnClick();
    void QuitterBtnClick();
    void TailleClick(bool agrandir);
    void Timer1Timer();
    void finLecture();
    // "Sauver (txt)" once the name is chosen; false (with a message) when the write fails.
    bool ecritTexte(const QString& chemin);

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void PaintBoxPaint(QPainter& p);
    void PaintBoxZoomPaint(QPainter& p);
    void PaintBoxFFTPaint(QPainter& p);
    void PaintBoxMouseDown(QMouseEvent* e);
    void PaintBoxMouseMove(QMouseEvent* e);
    void PaintBoxMouseUp(QMouseEvent* e);
    void dessineCurseur(QPainter& p, int hauteur);
    void FFTSonagrammeClick(QAction* a);
    void sonagrammeCBChange(int index);
    void sonChange();
    void selectionChangee();
    void metsAJourAnalyses();
    void miseAJourSelection();
    void arreteLecture();
    bool lancePlayer();
    void lectureFichierTerminee();
    void arretEnregistrement();
    void ecritIni();
    void placeVues();
    bool fichierEstEnregistrement() const;
    bool copieEnregistrement(const QString& cible);
    FormatSon formatLecture() const;

    ToolHost& m_host;
    std::unique_ptr<SoundPlayer> m_player;
    std::unique_ptr<SoundRecorder> m_recorder;
    std::function<std::unique_ptr<SoundCapture>()> m_capture;
    TvueSonagramme m_vueSonagramme;
    bool m_jouable = false;   // "Jouer" visible: 8- or 16-bit samples
    bool m_tronque = false;
};

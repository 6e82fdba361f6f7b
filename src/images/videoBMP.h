#pragma once
#include "ChampNombre.h"
#include "ExtractionVideo.h"
#include "FileSearch.h"
#include "GrillePointage.h"
#include "ImagesAnticipees.h"
#include "PointageControleur.h"
#include "PointageModel.h"
#include "ReglagesPointage.h"
#include "ToolHost.h"
#include "Transfert.h"
#include "VuePointage.h"

#include <QMainWindow>
#include <QPointer>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QScrollArea;
class QSlider;
class QSpinBox;
class QToolButton;
class TransferButton;
class TVideoFromJpegForm;

// The picture of a series at its own size with the overlay. Paints only what is exposed, so
// that a 12-megapixel photo is shown as fast as the part of it on the screen.
class VueSerie : public VuePointage
{
    Q_OBJECT
public:
    VueSerie(PointageControleur& controleur, QWidget* parent = nullptr)
        : VuePointage(controleur, parent), m_ctrl(controleur)
    {
    }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    PointageControleur& m_ctrl;
};

// "Chronophotographie à partir d'un répertoire d'images pour Tabulo": points moving objects
// on a folder of still images taken at a fixed interval (BMP or JPEG), or on the frames of a
// video written out as such a folder.
class TvideoBmpForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TvideoBmpForm(ToolHost& host, QWidget* parent = nullptr);
    ~TvideoBmpForm() override;

    Q_INVOKABLE void setDossier(const QString& dossier) { m_dossier = dossier; }

    // What the open buttons do after their dialogs.
    void OuvreSerie(const QString& nomChoisi);
    bool OuvreAvi(const QString& nomVideo);
    void MajBoutons();
    int nombreImages() const { return int(imageFile.size()); }

    // State (names of the tool).
    PointageModel modele;
    PointageControleur controleur;
    TFileSearch SearchForFiles;
    ImagesAnticipees chargeur;
    QImage Abitmap;
    QStringList imageFile;
    int timePosition = 0;
    QString nomFichierSerie;   // the file that designated the series
    // The last video read by "Ouvrir AVI".
    double Duration = 0;
    qint64 NbreTrames = 0;
    double VideoFrameRateFps = 1;
    QString videoCodec;
    QString nomFichierBmp;
    int FFrameNo = 0;

    // Controls.
    QToolButton *OpenBmpBtn, *OpenAviBtn, *BmpToAviBtn, *OrigineBtn, *EchelleBtn, *MesureBtn, *UndoBtn,
        *ExitBtn, *PrecedentBtn, *SuivantBtn;
    TransferButton* TabuloBtn;
    QAction *OrigineItem, *OrigineMobileItem;
    QAction *Axeverslehautdroite, *Axeverslebasdroite, *Axeverslehautgauche, *Axeverslebasgauche;
    QSpinBox* NbreSE;
    ChampNombre* EchelleEdit;
    QLineEdit *DeltatEdit, *UniteEdit;
    QCheckBox *TraceEchCB, *TracePointCB, *EtiquetteCB;
    QComboBox *CouleurAxeCB, *CouleurPointsCB;
    QSlider* TrackBar1;
    QScrollArea* ScrollBox;
    VueSerie* Image;
    GrilleVue* Grid;
    GrillePointage* grille;
    QLabel* AideLabel;  // the help bar
    QMenu* ImageMenu;
    QPointer<TVideoFromJpegForm> VideoFromJpegForm;

    OptionsDessin options() const;

public slots:
    void Rafraichir();
    void ImageSuivante();   // what SuivantBtn does, after a completed image
    void ImagePrecedente();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void construit();
    void lisReglages();
    void ecritReglages() const;
    void OpenBmpBtnClick();
    void OpenAviBtnClick();
    void BmpToAviBtnClick();
    void TrackBar1Change(int position);
    void MesureBtnClick(bool enfonce);
    void DeltatEditExit();
    void ChoisitAxes(QAction* a);
    void ChoisitOrigine(bool mobile);
    void Transfere(Destination d);
    bool court() const;

    ToolHost& m_host;
    QString m_dossier;
    int m_filterIndex = 1;
    ReglagesPointage m_reglages;
};

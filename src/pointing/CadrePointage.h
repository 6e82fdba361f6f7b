#pragma once
#include "ChampNombre.h"
#include "Comparaison.h"
#include "DessinPointage.h"
#include "GrillePointage.h"
#include "PointageControleur.h"
#include "PointageModel.h"
#include "ReglagesPointage.h"
#include "ToolHost.h"
#include "Transfert.h"
#include "VuePointage.h"

#include <QImage>
#include <QMainWindow>

class BoiteCouleurs;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QScrollArea;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QToolButton;
class TransferButton;

// Where the images of a pointing tool come from, and what the time of a row is: the one thing
// that tells a media player, a capture component and a folder of images apart.
class SourcePointage
{
public:
    virtual ~SourcePointage() = default;
    virtual bool ouverte() const = 0;
    virtual int nombreImages() const = 0;
    // Index of the image shown, 0 .. nombreImages() - 1.
    virtual int numeroImage() const = 0;
    // Shows image i (within the source); false, with erreur(), when it cannot.
    virtual bool allerImage(int i) = 0;
    // The image shown, at its own size (image pixels).
    virtual QImage image() const = 0;
    // The time stored with row `ligne` when it is recorded on the image shown.
    virtual double tempsImage(int ligne) const = 0;
    // The time of the image shown, which the time-origin button takes before any row exists.
    virtual double tempsMontre() const = 0;
    // Frame number stored with a row (the capture tool shows it); the index by default.
    virtual int numeroTrame() const { return numeroImage(); }
    virtual QString erreur() const { return {}; }
};

// The frame every "one to five points per image" tool is built on. It owns the pointing model
// and its controller (configured by ReglesPointage), and creates the pieces they share:
//   - the picture area `Image` in the scroll box `ScrollBox`, with its zoom (`ZoomSE`, 1..zoomMax)
//     and keyboard pointing, and its cursor menu `ImageMenu`;
//   - the drawing options (`TraceEchCB`, `CouleurAxeCB`, `TracePointsCB`, `CouleurPointsCB`,
//     `GrilleCB`, `EtiquetteCB`), which ajouteOptions() lays out in a row;
//   - `OrigineBtn` with its origin menu, `EchelleBtn` with its axis menu, `MesureBtn`, `UndoBtn`,
//     `RazBtn`, `OrigineTempsBtn`, the comparison picture `PaintBox`, the transfer button
//     `TabuloBtn`, `NbreSE`, `IncertitudeSE`, `EchelleEdit`;
//   - the results grid `Grid` and the drawing page `DessinPB` as two tabs of `PageDroite`, and
//     the status panels `Panneaux` (permanent, so hints never hide "x=", "y=");
//   - `EchelleNonDefinie`, a status-bar word shown while the scale is still the default one.
// The tool places these widgets in its own tool bars (zonePrincipale() gives the image area and
// the right page in a splitter), adds its own, gives the frame its SourcePointage, and calls
// lisReglages() at the end of its constructor. Hooks below are where the tools differ.
class CadrePointage : public QMainWindow, public FenetreOutil
{
    Q_OBJECT
public:
    // `section` is the tool's section of the settings file ("AVI", "Save"...).
    CadrePointage(ToolHost& host, const ReglesPointage& regles, const QString& section, QWidget* parent = nullptr);
    ~CadrePointage() override;

    PointageModel modele;
    PointageControleur controleur;
    int pasZoom = 1;

    QCheckBox *TraceEchCB, *TracePointsCB, *GrilleCB, *EtiquetteCB;
    BoiteCouleurs *CouleurAxeCB, *CouleurPointsCB;
    QToolButton *OrigineBtn, *EchelleBtn, *MesureBtn, *UndoBtn, *RazBtn, *OrigineTempsBtn;
    TransferButton* TabuloBtn;
    QAction *OrigineItem, *OrigineMobileItem;
    QAction *Axeverslehautdroite, *Axeverslebasdroite, *Axeverslehautgauche, *Axeverslebasgauche;
    QSpinBox *NbreSE, *IncertitudeSE, *ZoomSE;
    ChampNombre* EchelleEdit;
    QScrollArea* ScrollBox;
    VuePointage* Image;
    QTabWidget* PageDroite;
    GrilleVue* Grid;
    GrillePointage* grille;
    QWidget* DessinPB;
    ComparaisonWidget* PaintBox;
    QLabel* Panneaux[3];
    QLabel* EchelleNonDefinie;
    QMenu* ImageMenu;

    OptionsDessin options() const;
    SourcePointage* source() const { return m_source; }
    // Folder the open and save dialogs start in (the launcher's folder of this kind of tool).
    void setDossier(const QString& d) override { m_dossier = d; }
    QString dossier() const { return m_dossier; }

    // Image area and right page side by side, ready for the tool's central layout.
    QSplitter* zonePrincipale(QWidget* sousImage = nullptr);
    // The six drawing options in a row, in their usual order.
    void ajouteOptions(class QBoxLayout* ligne);
    // A text-only tool button with its hint, as every tool bar uses.
    QToolButton* bouton(const QString& texte, const QString& conseil = {});

    // Settings: the shared keys of the tool's section and the transfer choice, then the hooks.
    void lisReglages();
    void ecritReglages() const;

    void EffectuerZoom(int z);
    void RemplitGrille();
    // Shows image i of the source (the model takes its size), then imageMontree().
    void allerImage(int i);
    // False until the user places the scale or types its length after a file is opened: the
    // default scale gives plausible but false values.
    bool echelleDefinie() const { return m_echelleDefinie; }
    void setEchelleDefinie(bool d);

public slots:
    // The image shown redrawn with its overlay; the scale is computed first.
    virtual void Rafraichir();
    virtual void MajBoutons();
    void ImageSuivante();
    void ImagePrecedente();

protected:
    void setSource(SourcePointage* s) { m_source = s; }
    ToolHost& host() const { return m_host; }

    // Hooks.
    // After the source moved to another image (the media player updates its time and bars).
    virtual void imageMontree() { Rafraichir(); }
    // The tool's own keys of its section, read after and written after the shared ones.
    virtual void lisReglagesOutil(const SectionReglages&, const ReglagesPointage&) {}
    virtual void ecritReglagesOutil(SectionReglages&, ReglagesPointage&) const {}
    // The axis keys: "Altitude"/"Droite" or "Axes" (capture tool).
    virtual bool cleAxes() const { return false; }
    // Name of the media in the transfer.
    virtual QString nomMedia() const { return {}; }
    // Before a transfer is built (the media player stops its timer).
    virtual void avantTransfert() {}
    // "&Mesures" pressed or released; pressing it over existing rows asks first.
    virtual void MesureBtnClick(bool enfonce);
    // Asks "Effacer les N mesures ?" when rows exist; true when they may go.
    bool confirmeEffacement();
    void Transfere(Destination d);
    void ChoisitAxes(QAction* a);
    void ChoisitOrigine(bool mobile);
    void EchelleEditExit();

private:
    void construitCadre();
    void relieControleur();

    ToolHost& m_host;
    QString m_section;
    QString m_dossier;
    SourcePointage* m_source = nullptr;
    int m_filterIndex = 1;
    bool m_echelleDefinie = false;

protected:
    int filterIndex() const { return m_filterIndex; }
    void setFilterIndex(int i) { m_filterIndex = i; }
};

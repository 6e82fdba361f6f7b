#pragma once
#include "MecaTableau.h"
#include "OutilOuvrant.h"
#include "Transfert.h"
#include "VueImageForm.h"

#include <array>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class TEchelleMecaBmpDlg;
class ZoneDessin;

// "KINEXO : lecture de chronophotographie pour Tabulo": motion measured on one stroboscopic
// photograph. A scale segment of known length, an origin, then the successive positions of one
// to five objects; each position gets the time of its flash (number × interval).
class TBitmapMecaForm : public TVueImageForm, public OutilOuvrant
{
    Q_OBJECT
public:
    // Marks of this tool, beside the common states of the view.
    static constexpr int bsEchelle1 = 4; // start of the scale segment
    static constexpr int bsEchelle2 = 5; // end of the scale segment
    static constexpr int kMaxSeries = 5;

    explicit TBitmapMecaForm(ToolHost& host, QWidget* parent = nullptr);
    ~TBitmapMecaForm() override;

    // Folder of the open dialog (the launcher's picture folder).
    Q_INVOKABLE void setDossier(const QString& dossier) { repertoire = dossier; }

    void FileBtnClick();
    // A picture handed from outside opens as "Charger" would open it.
    bool ouvreFichierExterne(const QString& chemin) override { return ChargeImage(chemin); }
    QString fichierOuvert() const override { return fichierSource(); }
    void EchelleBtnClick() override;
    void MesureBtnClick();
    void StopBtnClick();
    void RazBtnClick();
    void UndoBtnClick();
    void TabuloBtnClick();
    void CopierBtnClick();
    void SerieSEChange(int valeur);
    void CouleurPointsCBChange();
    void GrilleCBClick();
    void signeYCBClick();
    void ContrasteCBClick();
    void ScrollBarGammaChanging(int valeur);
    void AppliqueContraste();
    void CalculEchelle();
    void RemplitGrille();
    // False, with "Mesures sur zone trop étroite !", when the positions span too small an area.
    bool CopieDonnees();
    bool EnvoiTabulo();
    // What EnvoiTabulo hands to the transfer service.
    TableSource sourceTabulo();

    const EchelleMeca& echelle() const { return m_echelle; }
    MecaTableau tableau() const;
    TEchelleMecaBmpDlg& echelleDlg() { return *m_dlg; }
    QTableWidget* grille() const { return Grid; }
    QAction* action(const QString& texte) const;
    QSpinBox* serieSE() const { return SerieSE; }
    bool serieVisible() const;
    QComboBox* couleurPointsCB() const { return CouleurPointsCB; }
    QCheckBox* grilleCB() const { return GrilleCB; }
    QCheckBox* caseSigneY() const { return signeYCB; }
    QCheckBox* contrasteCB() const { return ContrasteCB; }
    QSpinBox* scrollBarGamma() const { return ScrollBarGamma; }
    QWidget* gammaPaintBox() const;
    QString panneauStatus(int i) const;
    int couleur(int i) const { return Couleur[i]; }
    int couleurGrille(int colonne) const { return CouleurGrid[colonne]; }
    int objet() const { return objetCourant; }
    int nbreObjet() const { return NbreObjet; }
    int milieuGamma() const { return MilieuGamma; }
    int valeurGamma() const { return ValeurGamma; }
    const QImage& original() const { return bitmapOriginal; }
    bool avecT() const { return AvecT; }
    double intervalle() const { return deltaT; }

protected:
    void InitImage() override;
    QString hintRepere(int repere) const override;
    void PlaceRepere(QPoint p) override;
    void dessineVue(QPainter& p) override;
    void dessineApercu(QPainter& p, double k) override;
    void reglesBoutons() override;
    QColor couleurAxes() const override;
    QColor couleurSerie(int s) const override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void litReglages();
    void ecritReglages() const;
    void montreSerie();
    void ImageMouseMove(QMouseEvent* e);
    void GammaPaintBoxPaint(QPainter& p);
    void GammaPaintBoxMouseDown(QMouseEvent* e);
    void GammaPaintBoxMouseMove(QMouseEvent* e);
    void GammaPaintBoxMouseUp(QMouseEvent* e);
    bool etendueSuffit();

    EchelleMeca m_echelle;
    double deltaT = 1;
    bool AvecT = true;
    std::array<int, kMaxSeries + 1> Couleur{};
    std::array<int, 2 * kMaxSeries + 1> CouleurGrid{};
    int MilieuGamma = 128;
    int ValeurGamma = 8;
    int e_MilieuGamma = 0;
    bool CaptureMilieu = false;
    QImage bitmapGamma;
    int Filtre = 0;
    QString repertoire;
    bool dejaMontre = false;
    // Count of the current series at the last button update: a new position shows as one more.
    int compteSerie = 0;

    TEchelleMecaBmpDlg* m_dlg = nullptr;
    QAction *FileBtn, *EchelleBtn, *MesureBtn, *StopBtn, *RazBtn, *UndoBtn, *SupprBtn, *TabuloBtn, *CopierBtn,
        *ExitBtn, *SerieAct, *SerieLabelAct, *GammaAct, *GammaBoxAct;
    QSpinBox *SerieSE, *ScrollBarGamma;
    QComboBox* CouleurPointsCB;
    QCheckBox *GrilleCB, *signeYCB, *ContrasteCB;
    ZoneDessin* GammaPaintBox;
    QTableWidget* Grid;
    std::array<QLabel*, 4> Panneau{};
};

#pragma once
#include "OutilOuvrant.h"
#include "CourbesTableau.h"
#include "EchelleCourbe.h"
#include "Transfert.h"
#include "VueImageForm.h"

#include <array>

class BoiteCouleurs;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableWidget;
class QToolButton;
class TEchelleBmpDlg;

// "KINEXO : lecture de courbes pour Tabulo": reads the values of up to six curves off a
// picture of a graph with linear, logarithmic or polar axes.
class TBitmapForm : public TVueImageForm, public OutilOuvrant
{
    Q_OBJECT
public:
    // Marks of this tool, beside the common states of the view.
    static constexpr int bsEchelleX2 = 4; // end of the horizontal axis
    static constexpr int bsEchelleY2 = 5; // end of the vertical axis
    static constexpr int kMaxCourbes = 6;

    explicit TBitmapForm(ToolHost& host, QWidget* parent = nullptr);
    ~TBitmapForm() override;

    // Folder of the open and save dialogs (the launcher's picture folder).
    void setDossier(const QString& dossier) override { repertoire = dossier; }

    // OutilOuvrant: a picture given from outside.
    bool ouvreFichierExterne(const QString& chemin) override { return ChargeImage(chemin); }
    QString fichierOuvert() const override { return fichierSource(); }

    void OpenFileBtnClick();
    void SaveFileBtnClick();
    void SourceBtnClick();
    void EchelleBtnClick() override;
    void MesureBtnClick();
    void StopBtnClick();
    void RazBtnClick();
    void UndoBtnClick();
    void TabuloBtnClick();
    void CopierBtnClick();
    void NbreSEChange(int valeur);
    void SerieSEChange(int valeur);
    // Computes the axis mapping; false (and a message when `avertir`) when an end mark is on
    // the origin's line.
    bool CalculEchelle(bool avertir = false);
    void RemplitGrille();
    void CopieDonnees();
    void EnvoiTabulo();
    // What EnvoiTabulo hands to the transfer service.
    TableSource sourceTabulo();

    EchelleCourbe& echelle() { return m_echelle; }
    TEchelleBmpDlg& echelleDlg() { return *m_dlg; }
    CourbesTableau tableau() const;
    QTableWidget* grille() const { return Grid; }
    QAction* action(const QString& texte) const;
    QSpinBox* nbreSE() const { return NbreSE; }
    QSpinBox* serieSE() const { return SerieSE; }
    bool serieVisible() const;
    QLineEdit* signifEdit() const { return SignifEdit; }
    int couleur(int i) const { return Couleur[i]; }

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

private:
    void remetUneCourbe();
    void litReglages();
    void ecritReglages() const;
    void CouleurPointsCBChange();
    void CouleurAxeCBChange();

    EchelleCourbe m_echelle;
    std::array<QString, kMaxCourbes + 1> Signif{};
    std::array<int, kMaxCourbes + 1> Couleur{};
    int FilterSave = 2;
    QString repertoire;
    bool dejaMontre = false;

    TEchelleBmpDlg* m_dlg = nullptr;
    QAction *FileAct, *SourceBtn, *EchelleBtn, *MesureBtn, *StopBtn, *RazBtn, *UndoBtn, *SupprBtn, *TabuloBtn,
        *CopierBtn, *ExitBtn, *SaveFileBtn, *OpenFileBtn, *SerieAct, *SerieLabelAct;
    QSpinBox *NbreSE, *SerieSE;
    QLineEdit* SignifEdit;
    BoiteCouleurs *CouleurPointsCB, *CouleurAxeCB;
    QTableWidget* Grid;
};

#pragma once
#include <QDialog>

class QComboBox;
class QLineEdit;

// "Renseignements sur la page courante": comment, one named constant and new file / new page.
// Created once; keeps its contents between transfers (not saved).
class TConstanteDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TConstanteDlg(QWidget* parent = nullptr);

    QString symbole() const;
    QString unite() const;
    QString valeur() const;
    QString commentaire() const;
    bool nouveauFichier() const;   // "Nouveau fichier" chosen

    void setNouvellePage();        // after each transfer to Tabulo or the clipboard

    QLineEdit* NomConstEdit;
    QLineEdit* UniteConstEdit;
    QLineEdit* ValeurConstEdit;
    QLineEdit* EditComm;
    QComboBox* NewPageCB;
};

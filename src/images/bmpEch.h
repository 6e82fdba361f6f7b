#pragma once
#include <QDialog>

class EchelleCourbe;
class QCheckBox;
class QLabel;
class QLineEdit;

// "Détermination de l'échelle": names, units, values and kinds of the two axes of a graph.
// Created once with its window; its boxes keep their contents from one opening to the next.
class TEchelleBmpDlg : public QDialog
{
    Q_OBJECT
public:
    TEchelleBmpDlg(EchelleCourbe& echelle, QWidget* parent = nullptr);

    QLineEdit *NomX, *NomY, *UniteX, *UniteY, *EditX0, *EditY0, *EditX, *EditY;
    QCheckBox *logxcb, *logycb, *PolaireCB;

    void FormActivate();
    void PolaireCBClick();
    void OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    EchelleCourbe& echelle;
    QLabel *labelX, *labelY, *labelLog;
};

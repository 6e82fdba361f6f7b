#pragma once
#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;

// "Détermination de l'échelle" of the stroboscopic-photo tool: names, time reference and flash
// interval, scale length and unit, number of series, axes colour. Created with its window; its
// boxes keep their contents from one opening to the next.
class TEchelleMecaBmpDlg : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kMaxSeries = 5;

    explicit TEchelleMecaBmpDlg(QWidget* parent = nullptr);

    // What the window hands in before an opening and reads back after OK.
    double Longueur = 1;
    double deltaT = 1;
    bool AvecT = true;
    int CouleurAxe = 255; // 0x00BBGGRR

    QLineEdit *NomX, *NomY, *nomT, *EditT, *UniteT, *EchelleEdit, *UniteEdit;
    QCheckBox* ReferenceCB;
    QSpinBox* NbreSE;
    QComboBox* CouleurAxeCB;

    void FormActivate();
    void ReferenceCBClick();
    // False, with a message, when the length or the interval is not a number: the dialog then
    // stays open and the field shows the previous value again.
    bool OKBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    QList<QWidget*> champsTemps;
};

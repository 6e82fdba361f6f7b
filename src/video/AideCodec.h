#pragma once
#include <QDialog>

// "Résolution des problèmes de lecture des fichiers AVI": advice on files that will not open,
// shown by both video tools.
class TAideCodecDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TAideCodecDlg(QWidget* parent = nullptr);
};

#include "TConstanteDlg.h"

#include "Aide.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TConstanteDlg::TConstanteDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ConstanteDlg"));
    setWindowTitle(QStringLiteral("Renseignements sur la page courante"));

    auto* GroupBox2 = new QGroupBox(QStringLiteral("Paramètre"), this);
    NomConstEdit = new QLineEdit(GroupBox2);
    NomConstEdit->setObjectName(QStringLiteral("NomConstEdit"));
    NomConstEdit->setMaxLength(8);
    UniteConstEdit = new QLineEdit(GroupBox2);
    UniteConstEdit->setObjectName(QStringLiteral("UniteConstEdit"));
    ValeurConstEdit = new QLineEdit(GroupBox2);
    ValeurConstEdit->setObjectName(QStringLiteral("ValeurConstEdit"));
    auto* param = new QFormLayout(GroupBox2);
    param->addRow(QStringLiteral("Symbole"), NomConstEdit);
    param->addRow(QStringLiteral("Unité"), UniteConstEdit);
    param->addRow(QStringLiteral("Valeur"), ValeurConstEdit);

    auto* GroupBox1 = new QGroupBox(QStringLiteral("Commentaire"), this);
    EditComm = new QLineEdit(GroupBox1);
    EditComm->setObjectName(QStringLiteral("EditComm"));
    EditComm->setMinimumWidth(260);
    auto* comm = new QVBoxLayout(GroupBox1);
    comm->addWidget(EditComm);

    NewPageCB = new QComboBox(this);
    NewPageCB->setObjectName(QStringLiteral("NewPageCB"));
    NewPageCB->addItems({QStringLiteral("Nouveau fichier"), QStringLiteral("Nouvelle page")});
    NewPageCB->setCurrentIndex(0);
    auto* page = new QFormLayout;
    page->addRow(QStringLiteral("Données vers Tabulo"), NewPageCB);

    auto* boutons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(boutons, &QDialogButtonBox::helpRequested, this, [this] { afficheAide(3, this); });

    auto* tout = new QVBoxLayout(this);
    tout->addWidget(GroupBox2);
    tout->addWidget(GroupBox1);
    tout->addLayout(page);
    tout->addWidget(boutons);
    setLayout(tout);
}

QString TConstanteDlg::symbole() const { return NomConstEdit->text().trimmed(); }
QString TConstanteDlg::unite() const { return UniteConstEdit->text(); }
QString TConstanteDlg::valeur() const { return ValeurConstEdit->text(); }
QString TConstanteDlg::commentaire() const { return EditComm->text(); }
bool TConstanteDlg::nouveauFichier() const { return NewPageCB->currentIndex() == 0; }
void TConstanteDlg::setNouvellePage() { NewPageCB->setCurrentIndex(1); }

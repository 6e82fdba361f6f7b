#include "bmpEch.h"

#include "EchelleCourbe.h"
#include "NumberText.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kLongueurNom = 8;
}

TEchelleBmpDlg::TEchelleBmpDlg(EchelleCourbe& e, QWidget* parent) : QDialog(parent), echelle(e)
{
    setWindowTitle(QStringLiteral("Détermination de l'échelle"));
    auto* groupe = new QGroupBox(QStringLiteral("Données"), this);
    auto* g = new QGridLayout(groupe);
    const QStringList titres{QStringLiteral("Symbole"), QStringLiteral("Unité"), QStringLiteral("Origine"),
                             QStringLiteral("Extrémité"), QStringLiteral("Echelle log.")};
    for (int c = 0; c < titres.size(); ++c) {
        auto* l = new QLabel(titres[c], groupe);
        g->addWidget(l, 0, c + 1);
        if (c == 4)
            labelLog = l;
    }
    labelX = new QLabel(QStringLiteral("Axe horizontal"), groupe);
    labelY = new QLabel(QStringLiteral("Axe vertical"), groupe);
    auto edit = [groupe](const QString& texte) {
        auto* ed = new QLineEdit(texte, groupe);
        ed->setMinimumWidth(70);
        return ed;
    };
    NomX = edit(QStringLiteral("X"));
    NomY = edit(QStringLiteral("Y"));
    NomX->setMaxLength(kLongueurNom);
    NomY->setMaxLength(kLongueurNom);
    UniteX = edit(QStringLiteral("m"));
    UniteY = edit(QStringLiteral("m"));
    EditX0 = edit(QString());
    EditY0 = edit(QString());
    EditX = edit(QString());
    EditY = edit(QString());
    const QString hintX = QStringLiteral("Longueur du vecteur horizontal tracé sur l'image ultérieurement");
    const QString hintY = QStringLiteral("Longueur du vecteur vertical tracé sur l'image ultérieurement");
    for (QLineEdit* ed : {EditX0, EditX}) {
        ed->setToolTip(QStringLiteral("Longueur vecteur"));
        ed->setStatusTip(hintX);
        ed->setWhatsThis(hintX);
    }
    for (QLineEdit* ed : {EditY0, EditY}) {
        ed->setToolTip(QStringLiteral("Longueur vecteur"));
        ed->setStatusTip(hintY);
        ed->setWhatsThis(hintY);
    }
    logxcb = new QCheckBox(groupe);
    logycb = new QCheckBox(groupe);
    int col = 0;
    g->addWidget(labelX, 1, col);
    g->addWidget(labelY, 2, col);
    for (auto [x, y] : {std::pair<QWidget*, QWidget*>{NomX, NomY}, {UniteX, UniteY}, {EditX0, EditY0},
                        {EditX, EditY}, {logxcb, logycb}}) {
        ++col;
        g->addWidget(x, 1, col);
        g->addWidget(y, 2, col);
    }
    PolaireCB = new QCheckBox(QStringLiteral("Courbe en polaire"), this);
    connect(PolaireCB, &QCheckBox::toggled, this, &TEchelleBmpDlg::PolaireCBClick);

    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, [this] {
        OKBtnClick();
        accept();
    });
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(groupe);
    lay->addWidget(PolaireCB);
    lay->addWidget(boutons);
}

void TEchelleBmpDlg::showEvent(QShowEvent* e)
{
    FormActivate();
    QDialog::showEvent(e);
}

void TEchelleBmpDlg::FormActivate()
{
    EditX->setText(TexteNombre(echelle.MaxiX));
    EditY->setText(TexteNombre(echelle.MaxiY));
    EditX0->setText(TexteNombre(echelle.MiniX));
    EditY0->setText(TexteNombre(echelle.MiniY));
    logxcb->setChecked(echelle.echelleX == eLog);
    logycb->setChecked(echelle.echelleY == eLog);
    PolaireCBClick();
}

void TEchelleBmpDlg::PolaireCBClick()
{
    const bool polaire = PolaireCB->isChecked();
    labelX->setText(polaire ? QStringLiteral("angle") : QStringLiteral("axe horizontal"));
    labelY->setText(polaire ? QStringLiteral("rayon") : QStringLiteral("axe vertical"));
    logxcb->setVisible(!polaire);
    logycb->setVisible(!polaire);
    labelLog->setVisible(!polaire);
}

void TEchelleBmpDlg::OKBtnClick()
{
    echelle.regleAxes(SaisieAxe{EditX0->text(), EditX->text(), logxcb->isChecked()},
                      SaisieAxe{EditY0->text(), EditY->text(), logycb->isChecked()}, PolaireCB->isChecked());
}

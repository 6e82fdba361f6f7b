#include "bmpMecaEch.h"

#include "BoiteCouleur.h"
#include "NumberText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kLongueurNom = 8;
constexpr int kChiffresDialogue = 5;

void aide(QWidget* w, const QString& hint)
{
    const int i = hint.indexOf(QLatin1Char('|'));
    w->setToolTip(i < 0 ? hint : hint.left(i));
    w->setStatusTip(i < 0 ? hint : hint.mid(i + 1));
    w->setWhatsThis(i < 0 ? hint : hint.mid(i + 1));
}
} // namespace

TEchelleMecaBmpDlg::TEchelleMecaBmpDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Détermination de l'échelle"));
    auto* groupe = new QGroupBox(QStringLiteral("Données"), this);
    auto* g = new QGridLayout(groupe);
    auto edit = [groupe](const QString& texte, int longueur = 0) {
        auto* ed = new QLineEdit(texte, groupe);
        ed->setMinimumWidth(80);
        if (longueur > 0)
            ed->setMaxLength(longueur);
        return ed;
    };
    auto label = [groupe](const QString& texte, QWidget* pour = nullptr) {
        auto* l = new QLabel(texte, groupe);
        if (pour)
            l->setBuddy(pour);
        return l;
    };

    NomX = edit(QStringLiteral("X"), kLongueurNom);
    NomY = edit(QStringLiteral("Y"), kLongueurNom);
    g->addWidget(label(QStringLiteral("Symbole")), 0, 1);
    g->addWidget(label(QStringLiteral("Axe &horizontal"), NomX), 1, 0);
    g->addWidget(NomX, 1, 1);
    g->addWidget(label(QStringLiteral("Axe &vertical"), NomY), 2, 0);
    g->addWidget(NomY, 2, 1);

    ReferenceCB = new QCheckBox(QStringLiteral("&Référence"), groupe);
    ReferenceCB->setChecked(true);
    aide(ReferenceCB, QStringLiteral("Temps ou numéro|Grandeur permettant de conserver l'ordre d'acquisition des points"));
    g->addWidget(ReferenceCB, 3, 0);
    nomT = edit(QStringLiteral("t"), kLongueurNom);
    EditT = edit(QString());
    aide(EditT, QStringLiteral("Incrément|Intervalle entre deux points"));
    UniteT = edit(QStringLiteral("s"));
    auto* lNomT = label(QStringLiteral("Symbole"), nomT);
    auto* lEditT = label(QStringLiteral("&Intervalle"), EditT);
    auto* lUniteT = label(QStringLiteral("Unité"), UniteT);
    g->addWidget(lNomT, 4, 0);
    g->addWidget(nomT, 4, 1);
    g->addWidget(lEditT, 5, 0);
    g->addWidget(EditT, 5, 1);
    g->addWidget(lUniteT, 6, 0);
    g->addWidget(UniteT, 6, 1);
    champsTemps = {nomT, EditT, UniteT, lNomT, lEditT, lUniteT};

    EchelleEdit = edit(QString());
    UniteEdit = edit(QStringLiteral("m"));
    g->addWidget(label(QStringLiteral("&Echelle"), EchelleEdit), 7, 0);
    g->addWidget(EchelleEdit, 7, 1);
    g->addWidget(label(QStringLiteral("&Unité"), UniteEdit), 8, 0);
    g->addWidget(UniteEdit, 8, 1);

    NbreSE = new QSpinBox(groupe);
    NbreSE->setRange(1, kMaxSeries);
    aide(NbreSE, QStringLiteral("|Deux série de points peuvent correspondre à deux courbes"));
    g->addWidget(NbreSE, 9, 0, Qt::AlignRight);
    g->addWidget(label(QStringLiteral("&séries de points"), NbreSE), 9, 1);

    CouleurAxeCB = new QComboBox(groupe);
    remplitCouleurs(CouleurAxeCB);
    g->addWidget(label(QStringLiteral("&Couleur des axes"), CouleurAxeCB), 10, 0);
    g->addWidget(CouleurAxeCB, 10, 1);

    connect(ReferenceCB, &QCheckBox::toggled, this, &TEchelleMecaBmpDlg::ReferenceCBClick);

    auto* boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));
    connect(boutons, &QDialogButtonBox::accepted, this, [this] {
        if (OKBtnClick())
            accept();
    });
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(groupe);
    lay->addWidget(boutons);
}

void TEchelleMecaBmpDlg::showEvent(QShowEvent* e)
{
    FormActivate();
    QDialog::showEvent(e);
}

void TEchelleMecaBmpDlg::FormActivate()
{
    NbreSE->setMaximum(kMaxSeries);
    ReferenceCB->setChecked(AvecT);
    ReferenceCBClick();
    EchelleEdit->setText(TexteNombreChiffres(Longueur, kChiffresDialogue));
    EditT->setText(TexteNombreChiffres(deltaT, kChiffresDialogue));
    choisitCouleur(CouleurAxeCB, CouleurAxe);
}

void TEchelleMecaBmpDlg::ReferenceCBClick()
{
    for (QWidget* w : champsTemps)
        w->setVisible(ReferenceCB->isChecked());
}

bool TEchelleMecaBmpDlg::OKBtnClick()
{
    const std::optional<double> longueur = LitNombre(EchelleEdit->text());
    if (!longueur) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Echelle incorrecte"));
        EchelleEdit->setText(TexteNombreChiffres(Longueur, kChiffresDialogue));
        EchelleEdit->setFocus();
        EchelleEdit->selectAll();
        return false;
    }
    const bool avecT = ReferenceCB->isChecked();
    std::optional<double> intervalle = 1.0;
    if (avecT) {
        intervalle = LitNombre(EditT->text());
        if (!intervalle) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("Intervalle incorrect : taper la durée entre deux éclairs, par exemple 0,04 ou 40 ms"));
            EditT->setText(TexteNombreChiffres(deltaT, kChiffresDialogue));
            EditT->setFocus();
            EditT->selectAll();
            return false;
        }
    }
    Longueur = *longueur;
    AvecT = avecT;
    deltaT = *intervalle;
    CouleurAxe = couleurChoisie(CouleurAxeCB);
    return true;
}

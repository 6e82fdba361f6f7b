#include "optionsVideo.h"

#include "ChampNombre.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QPointer<TOptionsVideoForm> g_options;

// Digits, "%" and the apostrophe only: these two fields take no separator.
const char* const kCaracteresEntier = "0123456789%'";

struct CouleurNommee
{
    const char* nom;
    QRgb rgb;
};
const CouleurNommee kCouleurs[] = {
    {"Noir", 0x000000}, {"Marron", 0x800000}, {"Vert", 0x008000}, {"Olive", 0x808000},
    {"Bleu marine", 0x000080}, {"Violet", 0x800080}, {"Sarcelle", 0x008080}, {"Gris", 0x808080},
    {"Argent", 0xC0C0C0}, {"Rouge", 0xFF0000}, {"Citron vert", 0x00FF00}, {"Jaune", 0xFFFF00},
    {"Bleu", 0x0000FF}, {"Fuchsia", 0xFF00FF}, {"Turquoise", 0x00FFFF}, {"Blanc", 0xFFFFFF},
};

// A spin box whose value changes by its arrows only.
QSpinBox* compteur(QWidget* parent, int min, int max, int valeur)
{
    auto* s = new QSpinBox(parent);
    s->setRange(min, max);
    s->setValue(valeur);
    s->findChild<QLineEdit*>()->setReadOnly(true);
    return s;
}

QButtonGroup* groupeRadio(QGroupBox* boite, const QStringList& textes)
{
    auto* g = new QButtonGroup(boite);
    auto* l = new QVBoxLayout(boite);
    for (int i = 0; i < textes.size(); ++i) {
        auto* r = new QRadioButton(textes[i], boite);
        g->addButton(r, i);
        l->addWidget(r);
    }
    g->button(0)->setChecked(true);
    return g;
}

void conseil(QWidget* w, const QString& hint)
{
    w->setToolTip(hint.section(QChar('|'), 0, 0));
    w->setStatusTip(hint.contains(QChar('|')) ? hint.section(QChar('|'), 1) : hint);
}

} // namespace

LiensOptionsVideo& LiensOptionsVideo::instance()
{
    static LiensOptionsVideo liens;
    return liens;
}

QComboBox* boiteCouleursVideo(QWidget* parent)
{
    auto* cb = new QComboBox(parent);
    for (const CouleurNommee& c : kCouleurs) {
        QPixmap pm(12, 12);
        pm.fill(QColor(c.rgb));
        cb->addItem(QIcon(pm), QString::fromUtf8(c.nom), QColor(c.rgb));
    }
    return cb;
}

void choisitCouleurVideo(QComboBox* cb, const QColor& c)
{
    int i = cb->findData(c);
    if (i < 0) {
        QPixmap pm(12, 12);
        pm.fill(c);
        cb->addItem(QIcon(pm), c.name(), c);
        i = cb->count() - 1;
    }
    cb->setCurrentIndex(i);
}

TOptionsVideoForm* TOptionsVideoForm::existant() { return g_options; }

TOptionsVideoForm::TOptionsVideoForm(QWidget* parent) : QDialog(parent)
{
    g_options = this;
    setWindowTitle(QStringLiteral("Options lecture Video"));
    auto* grille = new QGridLayout(this);

    auto* points = new QGroupBox(QStringLiteral("Options des points"), this);
    auto* lp = new QVBoxLayout(points);
    CouleurPointsCB = boiteCouleursVideo(points);
    conseil(CouleurPointsCB, QStringLiteral("Couleur des points|Couleur du prochain point à acquérir"));
    EtiquetteCB = new QCheckBox(QStringLiteral("Etiquette"), points);
    lp->addWidget(CouleurPointsCB);
    lp->addWidget(EtiquetteCB);
    grille->addWidget(points, 0, 0);

    auto* trace = new QGroupBox(QStringLiteral("Tracé des points"), this);
    TracePointsRG = groupeRadio(trace, {QStringLiteral("Réticule"), QStringLiteral("Croix"), QStringLiteral("Sans")});
    grille->addWidget(trace, 1, 0);

    auto* incert = new QGroupBox(QStringLiteral("Incertitude"), this);
    auto* li = new QHBoxLayout(incert);
    IncertitudeSE = compteur(incert, 1, 8, 1);
    conseil(IncertitudeSE, QStringLiteral("Incertitude|Incertitude en pixels (0 si pas d'incertitude)"));
    li->addWidget(IncertitudeSE);
    li->addWidget(new QLabel(QStringLiteral(" pixels"), incert));
    grille->addWidget(incert, 2, 0);

    auto* axes = new QGroupBox(QStringLiteral("Axes"), this);
    auto* la = new QVBoxLayout(axes);
    TraceEchCB = new QCheckBox(QStringLiteral("visibles"), axes);
    CouleurAxeCB = boiteCouleursVideo(axes);
    conseil(CouleurAxeCB, QStringLiteral("Couleur axes|Couleur des axes et de l'échelle"));
    la->addWidget(TraceEchCB);
    la->addWidget(CouleurAxeCB);
    grille->addWidget(axes, 3, 0);

    auto* mesures = new QGroupBox(QStringLiteral("Mesures"), this);
    auto* lm = new QHBoxLayout(mesures);
    NbreSE = compteur(mesures, 1, 5, 1);
    LabelNbreSE = new QLabel(QStringLiteral(" points/image   "), mesures);
    AngleCB = new QCheckBox(QStringLiteral("Angle"), mesures);
    lm->addWidget(NbreSE);
    lm->addWidget(LabelNbreSE);
    lm->addWidget(AngleCB);
    grille->addWidget(mesures, 0, 1);

    auto* zoom = new QGroupBox(QStringLiteral("Zoom"), this);
    zoom->setToolTip(QStringLiteral("Zoom au voisinage du curseur en-dessous du tableau"));
    auto* lz = new QGridLayout(zoom);
    ZoomSE = compteur(zoom, 1, 8, 1);
    conseil(ZoomSE, QStringLiteral("Zoom au voisinage du curseur en bas à gauche"));
    ZoomImageSE = compteur(zoom, 1, 4, 1);
    lz->addWidget(new QLabel(QStringLiteral("Curseur"), zoom), 0, 0);
    lz->addWidget(ZoomSE, 0, 1);
    lz->addWidget(new QLabel(QStringLiteral("Image"), zoom), 1, 0);
    lz->addWidget(ZoomImageSE, 1, 1);
    grille->addWidget(zoom, 1, 1);

    auto* origine = new QGroupBox(QStringLiteral("Origine"), this);
    OrigineRG = groupeRadio(origine, {QStringLiteral("Origine unique"), QStringLiteral("Origine mobile")});
    grille->addWidget(origine, 2, 1);

    auto* sens = new QGroupBox(QStringLiteral("Axes"), this);
    AxesRG = groupeRadio(sens, {QStringLiteral("vers le haut et la droite"), QStringLiteral("vers le bas et la droite"),
                                QStringLiteral("vers le haut et la gauche"), QStringLiteral("vers le bas et la gauche")});
    grille->addWidget(sens, 3, 1);

    // Right panel: the capture device (this tool only reads files, it never records).
    auto* droite = new QVBoxLayout;
    cboVideoDevices = new QComboBox(this);
    cboVideoDevices->setVisible(false);
    droite->addWidget(cboVideoDevices);
    auto* taille = new QGroupBox(QStringLiteral("Taille"), this);
    auto* lt = new QVBoxLayout(taille);
    cboVideoSizes = new QComboBox(taille);
    DeviceDialogBtn = new QPushButton(QStringLiteral("Options"), taille);
    // Neither has anything to act on.
    cboVideoSizes->setEnabled(false);
    DeviceDialogBtn->setEnabled(false);
    lt->addWidget(cboVideoSizes);
    lt->addWidget(DeviceDialogBtn);
    droite->addWidget(taille);
    auto* vitesse = new QGroupBox(QStringLiteral("Vitesse (images par seconde)"), this);
    auto* lv = new QVBoxLayout(vitesse);
    VitesseEdit = new QLineEdit(QStringLiteral("25"), vitesse);
    VitesseEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresEntier), VitesseEdit));
    lv->addWidget(VitesseEdit);
    auto* arret = new QHBoxLayout;
    StopRecordEdit = new QLineEdit(QStringLiteral("5"), vitesse);
    StopRecordEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresEntier), StopRecordEdit));
    StopRecordEdit->setMaximumWidth(40);
    arret->addWidget(new QLabel(QStringLiteral("Arrêt auto au bout de "), vitesse));
    arret->addWidget(StopRecordEdit);
    arret->addWidget(new QLabel(QStringLiteral("secondes"), vitesse));
    lv->addLayout(arret);
    droite->addWidget(vitesse);
    droite->addStretch();
    grille->addLayout(droite, 0, 2, 4, 1);

    LiensOptionsVideo& liens = LiensOptionsVideo::instance();
    connect(CouleurPointsCB, &QComboBox::currentIndexChanged, this, [this, &liens] {
        if (!creation)
            emit liens.couleurPoints(couleurPoints());
    });
    auto redessine = [this, &liens] {
        if (!creation)
            emit liens.redessiner();
    };
    connect(EtiquetteCB, &QCheckBox::clicked, this, redessine);
    connect(TracePointsRG, &QButtonGroup::idClicked, this, redessine);
    connect(AxesRG, &QButtonGroup::idClicked, this, redessine);
    connect(TraceEchCB, &QCheckBox::clicked, this, redessine);
    connect(CouleurAxeCB, &QComboBox::currentIndexChanged, this, redessine);
    connect(NbreSE, &QSpinBox::valueChanged, this, [this, &liens](int n) {
        if (!creation)
            emit liens.nbrePoints(n);
    });
    connect(AngleCB, &QCheckBox::clicked, this, &TOptionsVideoForm::AngleCBClick);
    connect(OrigineRG, &QButtonGroup::idClicked, this, [this](int id) { emit origineChoisie(id == 1); });
    connect(ZoomImageSE, &QSpinBox::valueChanged, this, &TOptionsVideoForm::ZoomImageSEChange);
    connect(cboVideoDevices, &QComboBox::currentIndexChanged, this, [this](int i) { emit peripheriqueChoisi(i); });
    setFixedSize(sizeHint());
}

TOptionsVideoForm::~TOptionsVideoForm() = default;

void TOptionsVideoForm::AngleCBClick(bool coche)
{
    if (creation)
        return;
    LabelNbreSE->setVisible(!coche);
    NbreSE->setVisible(!coche);
    if (coche)
        NbreSE->setValue(3);
}

void TOptionsVideoForm::ZoomImageSEChange(int z)
{
    emit zoomImageChange(z);
    emit LiensOptionsVideo::instance().zoomImage(z);
    // The magnifier never shows less than the picture.
    ZoomSE->setMinimum(z);
}

int TOptionsVideoForm::tracePoints() const { return TracePointsRG->checkedId(); }
void TOptionsVideoForm::setTracePoints(int i) { TracePointsRG->button(std::clamp(i, 0, 2))->setChecked(true); }
bool TOptionsVideoForm::angle() const { return AngleCB->isChecked(); }
bool TOptionsVideoForm::origineMobile() const { return OrigineRG->checkedId() == 1; }
void TOptionsVideoForm::setOrigineMobile(bool mobile) { OrigineRG->button(mobile ? 1 : 0)->setChecked(true); }
int TOptionsVideoForm::axes() const { return AxesRG->checkedId(); }
void TOptionsVideoForm::setAxes(int i) { AxesRG->button(std::clamp(i, 0, 3))->setChecked(true); }
QColor TOptionsVideoForm::couleurAxe() const { return CouleurAxeCB->currentData().value<QColor>(); }
void TOptionsVideoForm::setCouleurAxe(const QColor& c) { choisitCouleurVideo(CouleurAxeCB, c); }
QColor TOptionsVideoForm::couleurPoints() const { return CouleurPointsCB->currentData().value<QColor>(); }
void TOptionsVideoForm::setCouleurPoints(const QColor& c) { choisitCouleurVideo(CouleurPointsCB, c); }

OptionsDessin TOptionsVideoForm::options() const
{
    OptionsDessin o;
    o.axes = TraceEchCB->isChecked();
    o.couleurAxe = couleurAxe();
    o.points = tracePoints() != tpSans;
    o.reticule = tracePoints() == tpReticule;
    o.etiquette = EtiquetteCB->isChecked();
    return o;
}

void TOptionsVideoForm::remplitPeripheriques(const QStringList& noms, int choisi)
{
    {
        const QSignalBlocker b(cboVideoDevices);
        cboVideoDevices->clear();
        cboVideoDevices->addItems(noms);
        cboVideoDevices->setCurrentIndex(choisi < noms.size() ? choisi : -1);
    }
    cboVideoDevices->setVisible(noms.size() > 1);
    // A single device is chosen if it was not.
    if (noms.size() == 1 && choisi != 0)
        cboVideoDevices->setCurrentIndex(0);
}

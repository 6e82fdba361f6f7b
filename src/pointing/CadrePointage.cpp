#include "CadrePointage.h"

#include "BoiteCouleurs.h"
#include "TransferButton.h"
#include "TransfertPointage.h"

#include <QActionGroup>
#include <QApplication>
#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QStatusBar>
#include <QToolButton>

namespace {

// The drawing page: the same marks on a blank page, scaled to it.
class PageDessin : public QWidget
{
public:
    explicit PageDessin(const CadrePointage* f, QWidget* parent) : QWidget(parent), m_f(f) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        const PointageModel& m = m_f->modele;
        if (!m.mediaOuvert)
            return;
        DessinPointage(p, SurfaceDessin::page(size(), m.Largeur, m.Hauteur), m, m_f->options()).Dessine();
    }

private:
    const CadrePointage* m_f;
};

} // namespace

CadrePointage::CadrePointage(ToolHost& host, const ReglesPointage& regles, const QString& section, QWidget* parent)
    : QMainWindow(parent, Qt::Window), modele(regles), controleur(modele), m_host(host), m_section(section)
{
    modele.Couleur.fill(Qt::black);
    construitCadre();
    relieControleur();
}

CadrePointage::~CadrePointage() = default;

QToolButton* CadrePointage::bouton(const QString& texte, const QString& conseil)
{
    auto* b = new QToolButton(this);
    b->setText(texte);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    if (!conseil.isEmpty())
        b->setToolTip(conseil);
    return b;
}

void CadrePointage::construitCadre()
{
    // Drawing options.
    TraceEchCB = new QCheckBox(QStringLiteral("Axes"), this);
    TraceEchCB->setToolTip(QStringLiteral("Tracé des axes et de l'échelle"));
    CouleurAxeCB = new BoiteCouleurs(this);
    TracePointsCB = new QCheckBox(QStringLiteral("Points"), this);
    CouleurPointsCB = new BoiteCouleurs(this);
    GrilleCB = new QCheckBox(QStringLiteral("Réticule"), this);
    EtiquetteCB = new QCheckBox(QStringLiteral("Etiquette"), this);
    for (QCheckBox* cb : {TraceEchCB, TracePointsCB, GrilleCB, EtiquetteCB})
        connect(cb, &QCheckBox::toggled, this, &CadrePointage::Rafraichir);
    connect(CouleurAxeCB, &QComboBox::currentIndexChanged, this, &CadrePointage::Rafraichir);
    connect(CouleurPointsCB, &QComboBox::activated, this, [this] {
        modele.Couleur[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))] = CouleurPointsCB->couleur();
        Rafraichir();
    });

    // Origin and axis menus, measuring buttons.
    OrigineBtn = bouton(QStringLiteral("&Origine"), QStringLiteral("Indique l'origine à l'aide de la souris"));
    auto* menuOrigine = new QMenu(this);
    OrigineItem = menuOrigine->addAction(QStringLiteral("Origine unique"));
    OrigineMobileItem = menuOrigine->addAction(QStringLiteral("Origine mobile"));
    for (QAction* a : {OrigineItem, OrigineMobileItem})
        a->setCheckable(true);
    OrigineItem->setChecked(true);
    OrigineBtn->setMenu(menuOrigine);
    OrigineBtn->setPopupMode(QToolButton::MenuButtonPopup);
    EchelleBtn = bouton(QStringLiteral("&Echelle"));
    auto* menuAxes = new QMenu(this);
    Axeverslehautdroite = menuAxes->addAction(QStringLiteral("Axe vers le haut et la droite"));
    Axeverslebasdroite = menuAxes->addAction(QStringLiteral("Axe vers le bas et la droite"));
    Axeverslehautgauche = menuAxes->addAction(QStringLiteral("Axe vers le haut et la gauche"));
    Axeverslebasgauche = menuAxes->addAction(QStringLiteral("Axe vers le bas et la gauche"));
    auto* groupeAxes = new QActionGroup(this);
    for (QAction* a : {Axeverslehautdroite, Axeverslebasdroite, Axeverslehautgauche, Axeverslebasgauche}) {
        a->setCheckable(true);
        groupeAxes->addAction(a);
    }
    Axeverslehautdroite->setChecked(true);
    EchelleBtn->setMenu(menuAxes);
    EchelleBtn->setPopupMode(QToolButton::MenuButtonPopup);
    MesureBtn = bouton(QStringLiteral("&Mesures"));
    MesureBtn->setCheckable(true);
    PaintBox = new ComparaisonWidget(this);
    UndoBtn = bouton(QStringLiteral("Défaire"));
    RazBtn = bouton(QStringLiteral("RàZ"));
    TabuloBtn = new TransferButton(this);
    OrigineTempsBtn = bouton(QStringLiteral("Origine"), QStringLiteral("L'image courante sera l'origine des temps"));

    connect(OrigineBtn, &QToolButton::clicked, this, [this] {
        if (!modele.origineMobile)
            controleur.OrigineBtnClick();
    });
    connect(OrigineItem, &QAction::triggered, this, [this] { ChoisitOrigine(false); });
    connect(OrigineMobileItem, &QAction::triggered, this, [this] { ChoisitOrigine(true); });
    connect(EchelleBtn, &QToolButton::clicked, this, [this] { controleur.EchelleBtnClick(); });
    connect(groupeAxes, &QActionGroup::triggered, this, &CadrePointage::ChoisitAxes);
    connect(MesureBtn, &QToolButton::toggled, this, &CadrePointage::MesureBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, [this] { controleur.UndoBtnClick(); });
    connect(RazBtn, &QToolButton::clicked, this, [this] {
        if (QMessageBox::question(this, windowTitle(), QStringLiteral("Suppression des données"),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            modele.Raz();
            MajBoutons();
            Rafraichir();
        }
    });
    connect(TabuloBtn, &TransferButton::transfert, this, &CadrePointage::Transfere);
    connect(OrigineTempsBtn, &QToolButton::clicked, this, [this](bool enfonce) {
        if (modele.Nmes <= 0) {
            OrigineTempsBtn->setChecked(false);
            if (m_source && m_source->ouverte())
                controleur.OrigineTempsImage(m_source->tempsMontre());
        } else {
            controleur.OrigineTempsBtnClick(enfonce);
        }
        Rafraichir();
    });

    // Settings of the measurement.
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, kPointsMax);
    NbreSE->setToolTip(QStringLiteral("Nombre de points par image"));
    IncertitudeSE = new QSpinBox(this);
    IncertitudeSE->setRange(kIncertitudeMin, kIncertitudeMax);
    IncertitudeSE->setToolTip(QStringLiteral("Incertitude en pixels"));
    ZoomSE = new QSpinBox(this);
    ZoomSE->setRange(1, 5);
    EchelleEdit = new ChampNombre(QStringLiteral("m"), QStringLiteral("Echelle incorrecte"), this);
    EchelleEdit->afficheErreur = [this](const QString& t) { QMessageBox::warning(this, windowTitle(), t); };
    EchelleEdit->setText(QStringLiteral("1"));
    EchelleEdit->setMaximumWidth(90);
    for (QSpinBox* s : {NbreSE, IncertitudeSE})
        s->findChild<QLineEdit*>()->setReadOnly(true);
    connect(NbreSE, &QSpinBox::valueChanged, this, [this](int v) {
        modele.NbreSE = v;
        grille->reconstruit();
        Rafraichir();
    });
    // The field reads itself on Enter and on leaving it.
    connect(EchelleEdit, &ChampNombre::nombreLu, this, [this](double v) {
        if (v != modele.LongueurEchelle)
            setEchelleDefinie(true);
        modele.LongueurEchelle = v;
        EchelleEditExit();
    });
    connect(ZoomSE, &QSpinBox::valueChanged, this, [this](int z) {
        if (z != pasZoom)
            EffectuerZoom(z);
    });

    // Picture area; grid or drawing page.
    ScrollBox = new QScrollArea(this);
    Image = new VuePointage(controleur, this);
    Image->resize(322, 242);
    connect(Image, &VuePointage::menuDemande, this, [this](const QPoint& g) { ImageMenu->popup(g); });
    connect(Image, &VuePointage::positionEcran, this, [this](const QPoint& e) {
        const bool mobile = modele.origineMobile;
        Panneaux[0]->setText(mobile ? QStringLiteral(" ") : QStringLiteral("x=%1").arg(e.x()));
        Panneaux[1]->setText(mobile ? QStringLiteral(" ") : QStringLiteral("y=%1").arg(e.y()));
    });
    ScrollBox->setWidget(Image);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    // Both pages stay at hand: the drawing page never hides the numbers.
    PageDroite = new QTabWidget(this);
    PageDroite->setDocumentMode(true);
    Grid = new GrilleVue(PageDroite);
    grille = new GrillePointage(modele, Grid);
    Grid->setModel(grille);
    Grid->horizontalHeader()->setDefaultSectionSize(70);
    DessinPB = new PageDessin(this, PageDroite);
    PageDroite->addTab(Grid, QStringLiteral("&Tableau"));
    PageDroite->addTab(DessinPB, QStringLiteral("&Dessin"));
    connect(Grid, &GrilleVue::ligneChoisie, this, [this](int ligne) {
        if (controleur.attenteOrigineTemps())
            controleur.GrilleLigneChoisie(ligne);
    });

    // Hints go to the status line's message area; the panels sit at the right, always shown.
    EchelleNonDefinie = new QLabel(QStringLiteral("Échelle non définie : distances fausses"), this);
    EchelleNonDefinie->setStyleSheet(QStringLiteral("color: #b00000"));
    EchelleNonDefinie->setToolTip(QStringLiteral("Placer l'échelle (bouton « Echelle ») sur une longueur connue"));
    EchelleNonDefinie->hide();
    statusBar()->addPermanentWidget(EchelleNonDefinie);
    for (int i = 0; i < 3; ++i) {
        Panneaux[i] = new QLabel(this);
        Panneaux[i]->setMinimumWidth(i == 2 ? 50 : 100);
        statusBar()->addPermanentWidget(Panneaux[i]);
    }

    // Cursor choices of the picture.
    ImageMenu = new QMenu(this);
    auto* groupeCurseurs = new QActionGroup(this);
    const std::pair<const char*, int> choix[] = {{"Curseur croix", crCroix},
                                                 {"Curseur cible noire", crCibleNoire},
                                                 {"Curseur cible blanche", crCibleBlanche},
                                                 {"Curseur cible", crCibleNormale}};
    for (auto [nom, c] : choix) {
        QAction* a = ImageMenu->addAction(QString::fromUtf8(nom));
        a->setCheckable(true);
        a->setData(c);
        groupeCurseurs->addAction(a);
    }
    connect(groupeCurseurs, &QActionGroup::triggered, this,
            [this](QAction* a) { controleur.CurseurPointage = a->data().toInt(); });
}

void CadrePointage::relieControleur()
{
    controleur.imageSuivanteExiste = [this] {
        return m_source && m_source->numeroImage() < m_source->nombreImages() - 1;
    };
    controleur.tempsImage = [this](int ligne) { return m_source ? m_source->tempsImage(ligne) : 0.0; };
    controleur.numeroImage = [this] { return m_source ? m_source->numeroTrame() : -1; };
    controleur.demandeLongueur = [this](const QString& defaut) -> std::optional<QString> {
        bool ok = false;
        const QString t = QInputDialog::getText(this, QStringLiteral("Echelle"), QStringLiteral("Longueur en mètre ?"),
                                                QLineEdit::Normal, defaut, &ok);
        if (!ok)
            return std::nullopt;
        return t;
    };
    controleur.texteLongueur = [this] { return EchelleEdit->text(); };
    controleur.prendPixels = [this](QPoint p) { return PixelsAutour(Image->rendu(), p * pasZoom); };
    // What follows an event runs after it, as a posted message.
    connect(&controleur, &PointageControleur::repeindre, this,
            [this] { QMetaObject::invokeMethod(this, &CadrePointage::Rafraichir, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::imageSuivante, this,
            [this] { QMetaObject::invokeMethod(this, &CadrePointage::ImageSuivante, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::imagePrecedente, this,
            [this] { QMetaObject::invokeMethod(this, &CadrePointage::ImagePrecedente, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::hint, this, [this](const QString& h) {
        const QString court = h.section(QChar('|'), -1);
        Image->setToolTip(court);
        statusBar()->showMessage(court);
    });
    connect(&controleur, &PointageControleur::statut, this, [this](const QString& t) { Panneaux[2]->setText(t); });
    connect(&controleur, &PointageControleur::message, this,
            [this](const QString& t) { QMessageBox::information(this, windowTitle(), t); });
    connect(&controleur, &PointageControleur::mesuresTerminees, this, [this] {
        MesureBtn->setChecked(false);
        MajBoutons();
    });
    connect(&controleur, &PointageControleur::boutons, this, &CadrePointage::MajBoutons);
    connect(&controleur, &PointageControleur::tempsChanges, this, &CadrePointage::RemplitGrille);
    connect(&controleur, &PointageControleur::origineTempsRelachee, this,
            [this] { OrigineTempsBtn->setChecked(false); });
    connect(&controleur, &PointageControleur::texteLongueurChange, this, [this](const QString& t) {
        EchelleEdit->setTexteLu(t);
        setEchelleDefinie(true);
    });
    connect(&controleur, &PointageControleur::comparaison, this, [this] {
        PaintBox->montre(modele.Pixels, modele.PixelsInit[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))]);
    });
}

QSplitter* CadrePointage::zonePrincipale(QWidget* sousImage)
{
    auto* split = new QSplitter(this);
    auto* gauche = new QWidget(split);
    auto* vg = new QVBoxLayout(gauche);
    vg->setContentsMargins(0, 0, 0, 0);
    ScrollBox->setParent(gauche);
    vg->addWidget(ScrollBox, 1);
    if (sousImage)
        vg->addWidget(sousImage);
    PageDroite->setParent(split);
    split->addWidget(gauche);
    split->addWidget(PageDroite);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    return split;
}

void CadrePointage::ajouteOptions(QBoxLayout* ligne)
{
    for (QWidget* w : std::initializer_list<QWidget*>{TraceEchCB, CouleurAxeCB, TracePointsCB, CouleurPointsCB,
                                                      GrilleCB, EtiquetteCB})
        ligne->addWidget(w);
}

OptionsDessin CadrePointage::options() const
{
    OptionsDessin o;
    o.axes = TraceEchCB->isChecked();
    o.points = TracePointsCB->isChecked();
    o.reticule = GrilleCB->isChecked();
    o.etiquette = EtiquetteCB->isChecked();
    o.couleurAxe = CouleurAxeCB->couleur();
    return o;
}

void CadrePointage::lisReglages()
{
    const SectionReglages s(m_host.fichierIni(), m_section);
    const ReglagesPointage r = litReglagesPointage(s, modele, cleAxes());
    m_filterIndex = r.filtre;
    TraceEchCB->setChecked(r.dessin.axes);
    GrilleCB->setChecked(r.dessin.reticule);
    TracePointsCB->setChecked(r.dessin.points);
    EtiquetteCB->setChecked(r.dessin.etiquette);
    CouleurAxeCB->setCouleur(r.dessin.couleurAxe);
    CouleurPointsCB->setCouleur(modele.Couleur[1]);
    controleur.CurseurPointage = r.cible;
    for (QAction* a : ImageMenu->actions())
        a->setChecked(a->data().toInt() == controleur.CurseurPointage);
    (modele.axeHaut() ? (modele.axeDroite() ? Axeverslehautdroite : Axeverslehautgauche)
                      : (modele.axeDroite() ? Axeverslebasdroite : Axeverslebasgauche))
        ->setChecked(true);
    IncertitudeSE->setValue(std::clamp(r.incertitude, kIncertitudeMin, kIncertitudeMax));
    lisReglagesOutil(s, r);
    Image->setOptions(options());
    TabuloBtn->lisReglages(m_host.fichierIni());
}

void CadrePointage::ecritReglages() const
{
    ReglagesPointage r;
    r.dessin = options();
    r.cible = controleur.CurseurPointage;
    r.incertitude = IncertitudeSE->value();
    r.filtre = m_filterIndex;
    {
        SectionReglages s(m_host.fichierIni(), m_section);
        ecritReglagesOutil(s, r);
        ecritReglagesPointage(s, r, modele, cleAxes());
    }
    TabuloBtn->ecritReglages(m_host.fichierIni());
}

void CadrePointage::Rafraichir()
{
    // Scale ends moved from where a new file puts them: the user has set the scale.
    if (!m_echelleDefinie && m_source && m_source->ouverte() && controleur.BorneSelect == bsNone) {
        const QPoint debut(modele.Largeur / 4, modele.Hauteur / 4), fin(modele.Largeur / 2, modele.Hauteur / 4);
        if (modele.PointRepere[bsEchelle1] != debut || modele.PointRepere[bsEchelle2] != fin)
            setEchelleDefinie(true);
    }
    modele.CalculEchelle();
    RemplitGrille();
    Image->setOptions(options());
    Image->setImage(m_source && m_source->ouverte() ? m_source->image() : QImage());
    DessinPB->update();
    if (QApplication::activeWindow() == this)
        Image->setFocus();
}

void CadrePointage::RemplitGrille()
{
    grille->rafraichit();
}

void CadrePointage::allerImage(int i)
{
    if (!m_source || !m_source->ouverte())
        return;
    if (!m_source->allerImage(std::clamp(i, 0, std::max(0, m_source->nombreImages() - 1))))
        statusBar()->showMessage(m_source->erreur());
    // Each image may have its own size (a folder of pictures): clicks are checked against it.
    const QImage image = m_source->image();
    if (!image.isNull()) {
        modele.Largeur = image.width();
        modele.Hauteur = image.height();
    }
    imageMontree();
}

void CadrePointage::ImageSuivante()
{
    if (m_source)
        allerImage(m_source->numeroImage() + 1);
}

void CadrePointage::ImagePrecedente()
{
    if (m_source)
        allerImage(m_source->numeroImage() - 1);
}

void CadrePointage::EchelleEditExit()
{
    modele.CalculEchelle();
    Rafraichir();
}

void CadrePointage::EffectuerZoom(int z)
{
    if (!m_source || !m_source->ouverte())
        return;
    pasZoom = z;
    Image->setZoom(z);
    Image->resize(z * modele.Largeur, z * modele.Hauteur);
    {
        const QSignalBlocker b(ZoomSE);
        ZoomSE->setValue(z);
    }
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(this, &CadrePointage::Rafraichir, Qt::QueuedConnection);
}

void CadrePointage::setEchelleDefinie(bool d)
{
    m_echelleDefinie = d;
    EchelleNonDefinie->setVisible(!d && m_source && m_source->ouverte());
}

bool CadrePointage::confirmeEffacement()
{
    if (modele.Nmes <= 0)
        return true;
    return QMessageBox::question(this, windowTitle(), QStringLiteral("Effacer les %1 mesures ?").arg(modele.Nmes),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

void CadrePointage::MesureBtnClick(bool enfonce)
{
    // Pressing again starts over: the rows recorded are not lost without a word.
    if (enfonce && !confirmeEffacement()) {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
        return;
    }
    controleur.MesureBtnClick(enfonce);
    MesureBtn->setToolTip(enfonce ? QStringLiteral("Arrêt des mesures") : QStringLiteral("Commencer les mesures"));
    MajBoutons();
    grille->reconstruit();
    grille->rafraichit();
}

void CadrePointage::ChoisitAxes(QAction* a)
{
    modele.sensAxes = a == Axeverslehautdroite   ? aHautDroite
                      : a == Axeverslebasdroite  ? aBasDroite
                      : a == Axeverslehautgauche ? aHautGauche
                                                 : aBasGauche;
    modele.CalculEchelle();
    Rafraichir();
}

void CadrePointage::ChoisitOrigine(bool mobile)
{
    if (TabuloBtn->isEnabled() || modele.Nmes == 0)
        modele.ChoisitOrigineMobile(mobile);
    {
        const QSignalBlocker b(NbreSE);
        NbreSE->setValue(modele.NbreSE);
    }
    OrigineItem->setChecked(!modele.origineMobile);
    OrigineMobileItem->setChecked(modele.origineMobile);
    OrigineBtn->setToolTip(modele.origineMobile ? QStringLiteral("Il faudra indiquer l'origine avant chaque point")
                                                : QStringLiteral("Indique l'origine à l'aide de la souris"));
    Rafraichir();
}

void CadrePointage::MajBoutons()
{
    const bool f = m_source && m_source->ouverte();
    const bool m = MesureBtn->isChecked();
    EchelleBtn->setEnabled(f && !m);
    EchelleEdit->setEnabled(f);
    OrigineTempsBtn->setEnabled(f);
    TabuloBtn->setEnabled(modele.Nmes > 3);
    NbreSE->setEnabled(f && !m);
    OrigineBtn->setEnabled(f && !m);
    MesureBtn->setEnabled(f);
    RazBtn->setEnabled(f && !m && modele.Nmes > 3);
    UndoBtn->setEnabled(f && m && modele.Nmes > 0);
    const bool plain = modele.Nmes <= 0;
    OrigineTempsBtn->setCheckable(!plain);
    OrigineTempsBtn->setToolTip(plain ? QStringLiteral("L'image courante sera l'origine des temps")
                                      : QStringLiteral("Cliquer sur le point enregistré qui sera l'origine des temps"));
    MesureBtn->setToolTip(m ? QStringLiteral("Arrêt des mesures") : QStringLiteral("Commencer les mesures"));
    PaintBox->efface();
    EchelleNonDefinie->setVisible(f && !m_echelleDefinie);
    if (controleur.BorneSelect == bsNone)
        Image->setCursor(curseurDe(crDefaut));
    modele.CalculEchelle();
}

void CadrePointage::Transfere(Destination d)
{
    // Cancelling the page dialog (or the save dialog) leaves everything, "&Mesures" included.
    bool accepte = false;
    auto avant = [this, &accepte] {
        accepte = true;
        avantTransfert();
        modele.CalculEchelle();
    };
    const TableSource source =
        sourcePointage(modele, avant, IncertitudeSE->value(), nomMedia(), d == Destination::Fichier);
    bool fait;
    if (d == Destination::Fichier)
        fait = m_host.transfert().sauve(this, m_dossier, source);
    else
        fait = m_host.transfert().envoie(this, d, source);
    if (fait || (accepte && d != Destination::Fichier)) {
        if (MesureBtn->isChecked())
            MesureBtn->setChecked(false);
        MajBoutons();
    }
    QMetaObject::invokeMethod(this, &CadrePointage::Rafraichir, Qt::QueuedConnection);
}

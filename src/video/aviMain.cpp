#include "aviMain.h"

#include "Aide.h"
#include "AttenteVideo.h"
#include "NumberText.h"
#include "ReglagesPointage.h"
#include "TransferButton.h"
#include "TransfertPointage.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kPeriodeDefilement = 300; // ms, scroll timer
constexpr double kValeurManquante = 1e-27;
// Every video first (a phone's MP4 must not hide behind *.avi), then the tool's own filters.
const char* const kFiltre = "toutes les vidéos (*.avi *.mpg *.mpeg *.divx *.m4v *.mp4 *.mov *.mkv *.webm *.m2ts *.mts *.ts *.vob *.3gp *.wmv *.flv *.ogv);;"
                            "video  AVI (*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;autres (*.m4v *.mp4);;"
                            "MP4, MOV, MKV, WebM (*.mp4 *.mov *.mkv *.webm)";

// The colour boxes hold the sixteen standard colours; settings keep them as 0x00BBGGRR numbers.
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

QComboBox* boiteCouleurs(QWidget* parent)
{
    auto* cb = new QComboBox(parent);
    for (const CouleurNommee& c : kCouleurs) {
        QPixmap pm(12, 12);
        pm.fill(QColor(c.rgb));
        cb->addItem(QIcon(pm), QString::fromUtf8(c.nom), QColor(c.rgb));
    }
    return cb;
}
void choisitCouleur(QComboBox* cb, const QColor& c)
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

// The drawing page: the same marks on a blank page (shown beside non-AVI files).
class PageDessin : public QWidget
{
public:
    explicit PageDessin(TAviForm* f) : QWidget(f), m_f(f) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        if (!m_f->modele.mediaOuvert)
            return;
        DessinPointage d(p, SurfaceDessin::page(size(), m_f->modele.Largeur, m_f->modele.Hauteur), m_f->modele,
                         m_f->options());
        d.Dessine();
    }

private:
    TAviForm* m_f;
};

} // namespace

TAviForm::TAviForm(ToolHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), controleur(modele), m_host(host)
{
    setWindowTitle(QStringLiteral("KINEXO : lecture de fichier AVI pour Tabulo (mediaPlayer)"));
    modele.Couleur.fill(Qt::black);
    construit();
    lisReglages();
    scrollTimer.setInterval(kPeriodeDefilement);
    connect(&scrollTimer, &QTimer::timeout, this, &TAviForm::ScrollTimerTimer);

    controleur.imageSuivanteExiste = [this] { return m_lecteur.image() < m_lecteur.longueurImages() - 1; };
    controleur.tempsImage = [this](int ligne) { return PointageModel::tempsLecteur(ligne, TempsCourant, DureeImage); };
    controleur.numeroImage = [this] { return m_lecteur.image(); };
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
    auto poste = [this] { QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection); };
    connect(&controleur, &PointageControleur::repeindre, this, poste);
    connect(&controleur, &PointageControleur::imageSuivante, this,
            [this] { QMetaObject::invokeMethod(this, &TAviForm::ImageSuivante, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::imagePrecedente, this,
            [this] { QMetaObject::invokeMethod(this, &TAviForm::ImagePrecedente, Qt::QueuedConnection); });
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
    connect(&controleur, &PointageControleur::boutons, this, &TAviForm::MajBoutons);
    connect(&controleur, &PointageControleur::tempsChanges, this, &TAviForm::RemplitGrille);
    connect(&controleur, &PointageControleur::origineTempsRelachee, this, [this] { OrigineTempsBtn->setChecked(false); });
    connect(&controleur, &PointageControleur::texteLongueurChange, this, [this](const QString& t) { EchelleEdit->setText(t); });
    connect(&controleur, &PointageControleur::comparaison, this, [this] {
        PaintBox->montre(modele.Pixels, modele.PixelsInit[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))]);
    });
    MajBoutons();
}

TAviForm::~TAviForm() = default;

void TAviForm::construit()
{
    auto bouton = [this](const QString& texte, const QString& conseil = {}) {
        auto* b = new QToolButton(this);
        b->setText(texte);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (!conseil.isEmpty())
            b->setToolTip(conseil);
        return b;
    };
    auto* central = new QWidget(this);
    auto* vbox = new QVBoxLayout(central);
    vbox->setContentsMargins(2, 2, 2, 2);

    // Stepping strip and drawing options.
    auto* bande = new QHBoxLayout;
    LectureBtn = bouton(QStringLiteral("Lecture"));
    PauseBtn = bouton(QStringLiteral("Pause"));
    StopBtn = bouton(QStringLiteral("Stop"));
    DebutBtn = bouton(QStringLiteral("Début"));
    PrecedentBtn = bouton(QStringLiteral("Recul d'une image"));
    SuivantBtn = bouton(QStringLiteral("Avance d'une image"));
    FinBtn = bouton(QStringLiteral("Fin"));
    TempsLabel = new QLabel(this);
    TempsLabel->setMinimumWidth(170);
    ProgressBar = new QProgressBar(this);
    ProgressBar->setTextVisible(false);
    ProgressBar->setMaximumWidth(160);
    CodecLabel = new QLabel(this);
    CodecLabel->setMinimumWidth(120);
    TraceEchCB = new QCheckBox(QStringLiteral("Axes"), this);
    TraceEchCB->setToolTip(QStringLiteral("Tracé des axes et de l'échelle"));
    CouleurAxeCB = boiteCouleurs(this);
    TracePointsCB = new QCheckBox(QStringLiteral("Points"), this);
    CouleurPointsCB = boiteCouleurs(this);
    GrilleCB = new QCheckBox(QStringLiteral("Réticule"), this);
    EtiquetteCB = new QCheckBox(QStringLiteral("Etiquette"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{LectureBtn, PauseBtn, StopBtn, DebutBtn, PrecedentBtn, SuivantBtn, FinBtn, TempsLabel, ProgressBar,
                                                      CodecLabel, TraceEchCB, CouleurAxeCB, TracePointsCB, CouleurPointsCB,
                                                      GrilleCB, EtiquetteCB})
        bande->addWidget(w);
    bande->addStretch();
    vbox->addLayout(bande);
    // Playing shows the images at the file's pace and stops on the last one.
    connect(&lectureTimer, &QTimer::timeout, this, [this] {
        if (m_lecteur.ouvert())
            pas(1);
        if (!m_lecteur.ouvert() || m_lecteur.image() >= m_lecteur.longueurImages() - 1)
            lectureTimer.stop();
    });
    connect(LectureBtn, &QToolButton::clicked, this, [this] {
        if (!m_lecteur.ouvert())
            return;
        if (m_lecteur.image() >= m_lecteur.longueurImages() - 1)
            pas(INT_MIN);
        lectureTimer.start(std::max(1, int(std::lround(1000 * DureeImage))));
    });
    connect(PauseBtn, &QToolButton::clicked, &lectureTimer, &QTimer::stop);
    connect(StopBtn, &QToolButton::clicked, this, [this] {
        lectureTimer.stop();
        pas(INT_MIN);
    });
    connect(DebutBtn, &QToolButton::clicked, this, [this] { pas(INT_MIN); });
    connect(PrecedentBtn, &QToolButton::clicked, this, [this] { pas(-1); });
    connect(SuivantBtn, &QToolButton::clicked, this, [this] { pas(1); });
    connect(FinBtn, &QToolButton::clicked, this, [this] { pas(INT_MAX); });
    for (QCheckBox* cb : {TraceEchCB, TracePointsCB, GrilleCB, EtiquetteCB})
        connect(cb, &QCheckBox::toggled, this, &TAviForm::Rafraichir);
    connect(CouleurAxeCB, &QComboBox::currentIndexChanged, this, &TAviForm::Rafraichir);
    connect(CouleurPointsCB, &QComboBox::activated, this, [this] {
        modele.Couleur[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))] = CouleurPointsCB->currentData().value<QColor>();
        Rafraichir();
    });

    // First tool bar.
    auto* barre1 = addToolBar(QStringLiteral("Outils"));
    barre1->setMovable(false);
    OpenBtn = bouton(QStringLiteral("Ouvrir"));
    VidcapBtn = bouton(QStringLiteral("&Vidcap"));
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
    RefreshBtn = bouton(QStringLiteral("&Rafraichir"));
    OrigineTempsBtn = bouton(QStringLiteral("Origine"), QStringLiteral("L'image courante sera l'origine des temps"));
    HelpBtn = bouton(QStringLiteral("&Aide"), QStringLiteral("en cas de problème de lecture des fichiers AVI"));
    ExitBtn = bouton(QStringLiteral("&Quitter"));
    for (QWidget* w : std::initializer_list<QWidget*>{OpenBtn, VidcapBtn, OrigineBtn, EchelleBtn, MesureBtn, PaintBox,
                                                      UndoBtn, RazBtn, TabuloBtn, RefreshBtn, OrigineTempsBtn, HelpBtn,
                                                      ExitBtn})
        barre1->addWidget(w);
    // No capture program of that kind exists on Linux: the shortcut stays hidden.
    barre1->actions()[1]->setVisible(false);

    connect(OpenBtn, &QToolButton::clicked, this, &TAviForm::OpenBtnClick);
    connect(OrigineBtn, &QToolButton::clicked, this, [this] {
        if (!modele.origineMobile)
            controleur.OrigineBtnClick();
    });
    connect(OrigineItem, &QAction::triggered, this, [this] { ChoisitOrigine(false); });
    connect(OrigineMobileItem, &QAction::triggered, this, [this] { ChoisitOrigine(true); });
    connect(EchelleBtn, &QToolButton::clicked, this, [this] { controleur.EchelleBtnClick(); });
    connect(groupeAxes, &QActionGroup::triggered, this, &TAviForm::ChoisitAxes);
    connect(MesureBtn, &QToolButton::toggled, this, &TAviForm::MesureBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, [this] { controleur.UndoBtnClick(); });
    connect(RazBtn, &QToolButton::clicked, this, [this] {
        if (QMessageBox::question(this, windowTitle(), QStringLiteral("Suppression des données"),
                                  QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
            modele.Raz();
            MajBoutons();
            Rafraichir();
        }
    });
    connect(TabuloBtn, &TransferButton::transfert, this, &TAviForm::Transfere);
    connect(RefreshBtn, &QToolButton::clicked, this, &TAviForm::Rafraichir);
    connect(OrigineTempsBtn, &QToolButton::clicked, this, [this](bool enfonce) {
        if (modele.Nmes <= 0) {
            OrigineTempsBtn->setChecked(false);
            controleur.OrigineTempsImage(TempsPosition(m_lecteur.position()));
        } else {
            controleur.OrigineTempsBtnClick(enfonce);
        }
        Rafraichir();
    });
    connect(HelpBtn, &QToolButton::clicked, this, &TAviForm::HelpBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QWidget::close);

    // Second tool bar.
    addToolBarBreak();
    auto* barre2 = addToolBar(QStringLiteral("Réglages"));
    barre2->setMovable(false);
    auto etiquette = [this](const QString& t) { return new QLabel(t, this); };
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, kPointsMax);
    NbreSE->setToolTip(QStringLiteral("Nombre de points par image"));
    DureeLabel = etiquette(QStringLiteral("Δt= "));
    DureeEdit = new QLineEdit(this);
    DureeEdit->setMaximumWidth(90);
    NbreImagesSE = new QSpinBox(this);
    NbreImagesSE->setRange(1, 1000);
    NbreImagesSE->setValue(25);
    NbreImagesLabel = etiquette(QStringLiteral("images/s"));
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
    barre2->addWidget(NbreSE);
    barre2->addWidget(etiquette(QStringLiteral(" points/image ")));
    // Widgets of a tool bar are shown and hidden through their actions.
    m_actionsDuree = {barre2->addWidget(DureeLabel), barre2->addWidget(DureeEdit)};
    m_actionsDebit = {barre2->addWidget(NbreImagesSE), barre2->addWidget(NbreImagesLabel)};
    barre2->addWidget(IncertitudeSE);
    barre2->addWidget(etiquette(QStringLiteral(" pixels ")));
    barre2->addWidget(etiquette(QStringLiteral("Zoom x")));
    barre2->addWidget(ZoomSE);
    barre2->addWidget(etiquette(QStringLiteral(" Echelle(m)")));
    barre2->addWidget(EchelleEdit);
    for (QAction* a : m_actionsDuree)
        a->setVisible(false);
    DureeEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresLongueur), DureeEdit));
    connect(NbreSE, &QSpinBox::valueChanged, this, [this](int v) {
        modele.NbreSE = v;
        grille->reconstruit();
        Rafraichir();
    });
    connect(NbreImagesSE, &QSpinBox::valueChanged, this, &TAviForm::NbreImagesSEChange);
    connect(DureeEdit, &QLineEdit::editingFinished, this, &TAviForm::DureeEditExit);
    connect(EchelleEdit, &QLineEdit::returnPressed, EchelleEdit, [this] { EchelleEdit->valide(); });
    connect(EchelleEdit, &ChampNombre::nombreLu, this, [this](double v) {
        modele.LongueurEchelle = v;
        EchelleEditExit();
    });
    connect(ZoomSE, &QSpinBox::valueChanged, this, [this](int z) {
        if (z != pasZoom)
            EffectuerZoom(z);
    });

    // Image area with its track bar; grid or drawing page at the right.
    auto* split = new QSplitter(this);
    auto* gauche = new QWidget(split);
    auto* vg = new QVBoxLayout(gauche);
    vg->setContentsMargins(0, 0, 0, 0);
    ScrollBox = new QScrollArea(gauche);
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
    TrackBar = new QSlider(Qt::Horizontal, gauche);
    vg->addWidget(ScrollBox, 1);
    vg->addWidget(TrackBar);
    PageDroite = new QStackedWidget(split);
    Grid = new GrilleVue(PageDroite);
    grille = new GrillePointage(modele, Grid);
    Grid->setModel(grille);
    Grid->horizontalHeader()->setDefaultSectionSize(70);
    DessinPB = new PageDessin(this);
    PageDroite->addWidget(Grid);
    PageDroite->addWidget(DessinPB);
    split->addWidget(gauche);
    split->addWidget(PageDroite);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    vbox->addWidget(split, 1);
    setCentralWidget(central);
    connect(TrackBar, &QSlider::valueChanged, this, &TAviForm::TrackBarChange);
    connect(Grid, &GrilleVue::ligneChoisie, this, [this](int ligne) {
        if (controleur.attenteOrigineTemps())
            controleur.GrilleLigneChoisie(ligne);
    });

    for (int i = 0; i < 3; ++i) {
        Panneaux[i] = new QLabel(this);
        Panneaux[i]->setMinimumWidth(i == 2 ? 50 : 100);
        statusBar()->addWidget(Panneaux[i]);
    }

    // Cursor choices of the image.
    ImageMenu = new QMenu(this);
    auto* groupeCurseurs = new QActionGroup(this);
    const std::pair<const char*, int> choix[] = {{"Curseur croix", crCroix}, {"Curseur cible noire", crCibleNoire},
                                                 {"Curseur cible blanche", crCibleBlanche}, {"Curseur cible", crCibleNormale}};
    for (auto [nom, c] : choix) {
        QAction* a = ImageMenu->addAction(QString::fromUtf8(nom));
        a->setCheckable(true);
        a->setData(c);
        groupeCurseurs->addAction(a);
    }
    connect(groupeCurseurs, &QActionGroup::triggered, this, [this](QAction* a) { controleur.CurseurPointage = a->data().toInt(); });
    resize(1100, 700);
    setWindowState(Qt::WindowMaximized);
}

OptionsDessin TAviForm::options() const
{
    OptionsDessin o;
    o.axes = TraceEchCB->isChecked();
    o.points = TracePointsCB->isChecked();
    o.reticule = GrilleCB->isChecked();
    o.etiquette = EtiquetteCB->isChecked();
    o.couleurAxe = CouleurAxeCB->currentData().value<QColor>();
    return o;
}

void TAviForm::lisReglages()
{
    QSettings s(m_host.fichierIni(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("AVI"));
    const ReglagesPointage r = litReglagesPointage(s, modele);
    s.endGroup();
    m_filterIndex = r.filtre;
    TraceEchCB->setChecked(r.dessin.axes);
    GrilleCB->setChecked(r.dessin.reticule);
    TracePointsCB->setChecked(r.dessin.points);
    EtiquetteCB->setChecked(r.dessin.etiquette);
    choisitCouleur(CouleurAxeCB, r.dessin.couleurAxe);
    choisitCouleur(CouleurPointsCB, modele.Couleur[1]);
    controleur.CurseurPointage = curseurPointageLu(r.cible);
    for (QAction* a : ImageMenu->actions())
        a->setChecked(a->data().toInt() == controleur.CurseurPointage);
    (modele.axeHaut() ? (modele.axeDroite() ? Axeverslehautdroite : Axeverslehautgauche)
                      : (modele.axeDroite() ? Axeverslebasdroite : Axeverslebasgauche))
        ->setChecked(true);
    IncertitudeSE->setValue(std::clamp(r.incertitude, kIncertitudeMin, kIncertitudeMax));
    Image->setOptions(options());
    TabuloBtn->lisReglages(m_host.fichierIni());
}

void TAviForm::ecritReglages() const
{
    QSettings s(m_host.fichierIni(), QSettings::IniFormat);
    ReglagesPointage r;
    r.dessin = options();
    r.cible = controleur.CurseurPointage;
    r.incertitude = IncertitudeSE->value();
    r.filtre = m_filterIndex;
    s.beginGroup(QStringLiteral("AVI"));
    ecritReglagesPointage(s, r, modele);
    s.endGroup();
    s.sync();
    TabuloBtn->ecritReglages(m_host.fichierIni());
}

void TAviForm::OpenBtnClick()
{
    QStringList filtres = QString::fromUtf8(kFiltre).split(QStringLiteral(";;"));
    QString filtre = filtres.value(m_filterIndex - 1, filtres[0]);
    const QString nom = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), m_dossier, filtres.join(";;"), &filtre);
    if (nom.isEmpty())
        return;
    m_filterIndex = int(filtres.indexOf(filtre)) + 1;
    OuvreFichier(nom);
}

void TAviForm::OuvreFichier(QString nom)
{
    // Linux names are case-sensitive: the name is kept as typed, only the test is upper-case.
    if (QFileInfo(nom).suffix().isEmpty() && !QFileInfo::exists(nom))
        nom += QStringLiteral(".avi");
    bool ouvert;
    {
        AttenteVideo attente(this, &m_lecteur.source(), QStringLiteral("Lecture de « %1 »...").arg(QFileInfo(nom).fileName()));
        ouvert = m_lecteur.ouvre(nom);
    }
    if (!ouvert) {
        // Nothing changes: the file open before (if any) stays, with its rows and settings.
        QMessageBox::warning(this, windowTitle(), m_lecteur.erreur());
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    NbreImagesParSec = 25;
    {
        const QSignalBlocker b(NbreImagesSE);
        NbreImagesSE->setValue(25);
    }
    DureeImage = 0.04;
    const QString ext = QFileInfo(nom).suffix().toUpper();
    isMVC = false;
    if (ext == QLatin1String("AVI")) {
        LitCodec(nom);
        PageDroite->setCurrentWidget(Grid);
    } else {
        CodecLabel->setText(QChar('.') + ext);
        PageDroite->setCurrentWidget(DessinPB);
    }
    nomFichier = nom;
    modele.mediaOuvert = true;
    LitDureeImage();
    InitLecture();
    MajBoutons();
    modele.torigine = 0;
    OrigineTempsBtn->setCheckable(false);
    OrigineTempsBtn->setToolTip(QStringLiteral("L'image courante sera l'origine des temps"));
    QApplication::restoreOverrideCursor();
    if (!m_lecteur.source().avertissement().isEmpty())
        QMessageBox::information(this, windowTitle(), m_lecteur.source().avertissement());
}

void TAviForm::LitCodec(const QString& nom)
{
    CodecLabel->setText(LitCodecFichier(nom, &isMVC));
}

void TAviForm::LitDureeImage()
{
    m_lecteur.format = LecteurAvi::ftMillisecondes;
    const DureeImageAvi d = ::LitDureeImage(m_lecteur.longueurImages(), double(m_lecteur.longueurMs()));
    NbreImagesParSec = d.NbreImagesParSec;
    DureeImage = d.DureeImage;
    dureeTotale = d.dureeTotale;
    if (NbreImagesParSec != 0) {
        const QSignalBlocker b(NbreImagesSE);
        NbreImagesSE->setValue(NbreImagesParSec);
    } else {
        DureeEdit->setText(TexteNombreUnite(DureeImage, QStringLiteral("s")));
    }
    for (QAction* a : m_actionsDuree)
        a->setVisible(NbreImagesParSec == 0);
    for (QAction* a : m_actionsDebit)
        a->setVisible(NbreImagesParSec > 0);
}

void TAviForm::InitLecture()
{
    scrollTimer.start();
    modele.Nmes = 0;
    modele.Largeur = m_lecteur.source().size().width();
    modele.Hauteur = m_lecteur.source().size().height();
    pasZoom = 1;
    Image->setZoom(1);
    {
        const QSignalBlocker b(ZoomSE);
        ZoomSE->setValue(1);
    }
    Image->resize(modele.Largeur + 2, modele.Hauteur + 2);
    modele.PlaceReperesDefaut();
    controleur.BorneSelect = bsNone;
    {
        const QSignalBlocker b(TrackBar);
        m_majTrack = true;
        TrackBar->setRange(0, int(m_lecteur.longueur()));
        TrackBar->setValue(0);
        ProgressBar->setRange(0, int(m_lecteur.longueur()));
        ProgressBar->setValue(0);
        m_majTrack = false;
    }
    if (MesureBtn->isChecked()) {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
        controleur.MesureBtnClick(false);
    }
    setWindowTitle(QStringLiteral("Lecture de fichier video pour Tabulo") + QStringLiteral(" [")
                   + QFileInfo(nomFichier).fileName() + QChar(']'));
    Image->setFocus();
    m_lecteur.debut();
    RemplitGrille();
    Notification();
}

// After each player command: position, time, and the overlay on the image.
void TAviForm::Notification()
{
    if (!m_lecteur.ouvert())
        return;
    const qint64 p = m_lecteur.position();
    {
        const QSignalBlocker b(TrackBar);
        TrackBar->setValue(int(p));
    }
    ProgressBar->setValue(int(p));
    TempsCourant = TempsPosition(p);
    TempsLabel->setText(QStringLiteral("t=") + QString::number(TempsCourant, 'f', 3) + QStringLiteral(" s /")
                        + QString::number(dureeTotale, 'f', 3) + QStringLiteral(" s"));
    if (isActiveWindow())
        scrollTimer.start();
    Rafraichir();
}

void TAviForm::Rafraichir()
{
    scrollTimer.stop();
    modele.CalculEchelle();
    RemplitGrille();
    Image->setOptions(options());
    Image->setImage(m_lecteur.imageCourante());
    DessinPB->update();
    if (QApplication::activeWindow() == this)
        Image->setFocus();
    if (m_lecteur.ouvert())
        scrollTimer.start();
}

void TAviForm::RemplitGrille()
{
    grille->rafraichit();
}

void TAviForm::pas(int delta)
{
    if (!m_lecteur.ouvert())
        return;
    // A jump far from a keyframe may decode many images: wait cursor, progress past a second.
    AttenteVideo attente(this, &m_lecteur.source(), QStringLiteral("Recherche de l'image..."));
    bool ok;
    if (delta == INT_MIN)
        ok = m_lecteur.debut();
    else if (delta == INT_MAX)
        ok = m_lecteur.fin();
    else
        ok = m_lecteur.allerImage(m_lecteur.image() + delta);
    if (!ok)
        statusBar()->showMessage(m_lecteur.erreur());
    Notification();
}

void TAviForm::ImageSuivante() { pas(1); }
void TAviForm::ImagePrecedente() { pas(-1); }

void TAviForm::TrackBarChange(int v)
{
    if (m_majTrack || !m_lecteur.ouvert() || v == m_lecteur.position())
        return;
    AttenteVideo attente(this, &m_lecteur.source(), QStringLiteral("Recherche de l'image..."));
    m_lecteur.setPosition(v);
    Notification();
}

void TAviForm::ScrollTimerTimer()
{
    if (!m_lecteur.ouvert())
        return;
    const int v = ScrollBox->verticalScrollBar()->value(), h = ScrollBox->horizontalScrollBar()->value();
    if (v != PositionV || h != PositionH) {
        PositionV = v;
        PositionH = h;
        QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
    }
}

void TAviForm::NbreImagesSEChange(int v)
{
    if (v != NbreImagesParSec)
        m_lecteur.format = LecteurAvi::ftImages;
    DureeImage = 1.0 / v;
    if (m_lecteur.format == LecteurAvi::ftImages) {
        TempsCourant = RenumeroteTemps(modele, DureeImage);
        // The track bar follows the player's position in its new unit.
        const QSignalBlocker b(TrackBar);
        TrackBar->setRange(0, int(m_lecteur.longueur()));
        TrackBar->setValue(int(m_lecteur.position()));
        ProgressBar->setRange(0, int(m_lecteur.longueur()));
        RemplitGrille();
    }
}

void TAviForm::DureeEditExit()
{
    const std::optional<double> v = LitNombre(DureeEdit->text());
    if (!v || *v <= 0) {
        DureeEdit->setText(TexteNombreUnite(DureeImage, QStringLiteral("s")));
        return;
    }
    DureeImage = *v;
    if (std::abs(DureeImage - kValeurManquante) < 1e-30)
        DureeEdit->setText(TexteNombreUnite(DureeImage, QStringLiteral("s")));
    m_lecteur.format = LecteurAvi::ftImages;
    TempsCourant = RenumeroteTemps(modele, DureeImage);
    const QSignalBlocker b(TrackBar);
    TrackBar->setRange(0, int(m_lecteur.longueur()));
    TrackBar->setValue(int(m_lecteur.position()));
    RemplitGrille();
}

void TAviForm::EchelleEditExit()
{
    modele.CalculEchelle();
    Rafraichir();
}

void TAviForm::EffectuerZoom(int z)
{
    if (!m_lecteur.ouvert())
        return;
    scrollTimer.stop();
    pasZoom = z;
    Image->setZoom(z);
    Image->resize(z * modele.Largeur, z * modele.Hauteur);
    {
        const QSignalBlocker b(ZoomSE);
        ZoomSE->setValue(z);
    }
    QCoreApplication::processEvents();
    QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
}

void TAviForm::MesureBtnClick(bool enfonce)
{
    controleur.MesureBtnClick(enfonce);
    MesureBtn->setToolTip(enfonce ? QStringLiteral("Arrêt des mesures") : QStringLiteral("Commencer les mesures"));
    MajBoutons();
    grille->reconstruit();
    grille->rafraichit();
}

void TAviForm::ChoisitAxes(QAction* a)
{
    modele.sensAxes = a == Axeverslehautdroite ? aHautDroite
                      : a == Axeverslebasdroite ? aBasDroite
                      : a == Axeverslehautgauche ? aHautGauche
                                                 : aBasGauche;
    modele.CalculEchelle();
    Rafraichir();
}

void TAviForm::ChoisitOrigine(bool mobile)
{
    if (TabuloBtn->isEnabled() || modele.Nmes == 0)
        controleur.modele().ChoisitOrigineMobile(mobile);
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

void TAviForm::MajBoutons()
{
    const bool f = m_lecteur.ouvert();
    const bool m = MesureBtn->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{LectureBtn, PauseBtn, StopBtn, DebutBtn, PrecedentBtn,
                                                      SuivantBtn, FinBtn})
        w->setVisible(f);
    EchelleBtn->setEnabled(f && !m);
    EchelleEdit->setEnabled(f);
    OrigineTempsBtn->setEnabled(f);
    RefreshBtn->setEnabled(f);
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
    if (controleur.BorneSelect == bsNone)
        Image->setCursor(curseurDe(crDefaut));
    modele.CalculEchelle();
}

void TAviForm::Transfere(Destination d)
{
    auto avant = [this] {
        scrollTimer.stop();
        modele.CalculEchelle();
    };
    const TableSource source =
        sourcePointage(modele, avant, IncertitudeSE->value(), nomFichier, d == Destination::Fichier);
    bool fait;
    if (d == Destination::Fichier)
        fait = m_host.transfert().sauve(this, m_dossier, source);
    else
        fait = m_host.transfert().envoie(this, d, source);
    if (fait || d != Destination::Fichier) {
        if (MesureBtn->isChecked())
            MesureBtn->setChecked(false);
        MajBoutons();
    }
    QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
}

void TAviForm::HelpBtnClick()
{
    QDialog d(this);
    d.setWindowTitle(QStringLiteral("Résolution des problèmes de lecture des fichiers AVI"));
    auto* l = new QVBoxLayout(&d);
    auto* t = new QTextBrowser(&d);
    t->setHtml(QStringLiteral(
        "<p>Kinexo lit les vidéos avec la bibliothèque FFmpeg, qui connaît presque tous les formats : AVI, MPEG, "
        "MP4 et MOV des téléphones, MKV, WebM.</p>"
        "<p><b>Le fichier ne s'ouvre pas :</b> vérifiez qu'il est complet (une vidéo copiée pendant "
        "l'enregistrement ou mal transférée est souvent tronquée) et qu'il se lit dans un autre lecteur.</p>"
        "<p><b>Quel est le codec du fichier ?</b> Pour un fichier AVI, le code du codec est affiché à droite du "
        "temps. Pour les autres fichiers, la commande <tt>ffprobe nom_du_fichier</tt> le donne.</p>"
        "<p><b>Codec inconnu ou image illisible :</b> les paquets <tt>ffmpeg</tt> et <tt>libavcodec</tt> de la "
        "distribution fournissent les codecs courants ; installez-les ou mettez-les à jour.</p>"
        "<p><b>Convertir une vidéo MP4 ou de téléphone :</b> <tt>ffmpeg -i video.mp4 -c:v mjpeg -q:v 3 video.avi</tt> "
        "donne un fichier AVI où chaque image est indépendante, rapide à parcourir image par image.</p>"));
    l->addWidget(t);
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok, &d);
    connect(b, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    l->addWidget(b);
    d.resize(520, 360);
    d.exec();
}

void TAviForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
}

void TAviForm::closeEvent(QCloseEvent* e)
{
    scrollTimer.stop();
    lectureTimer.stop();
    ecritReglages();
    m_lecteur.ferme();
    modele.mediaOuvert = false;
    MajBoutons();
    m_host.setMode(mNone);
    hide();
    e->ignore();
}

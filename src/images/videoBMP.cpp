#include "videoBMP.h"

#include "DessinPointage.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "TransferButton.h"
#include "TransfertPointage.h"
#include "VideoFromJPEG.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPaintEvent>
#include <QProgressDialog>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

const char* const kTitre = "Chronophotographie à partir d'un répertoire d'images";
const char* const kFiltreImages = "Bitmap (*.bmp *.BMP);;JPEG (*.jpg *.jpeg *.JPG *.JPEG)";
const char* const kFiltreVideos =
    "video  AVI (*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;Windows media (*.asf *.wmv);;"
    "DVD (*.vob);;QuickTime (*.mov);;Tous (*);;Autres (*.m4v *.mp4)";
// Below this track-bar maximum the window only shows; below 2 it ignores the mouse.
constexpr int kMaxMesurable = 3;
constexpr int kMaxSouris = 2;
// "BMP->AVI" needs more images than this.
constexpr int kImagesVideoMin = 4;

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

QString titre() { return QString::fromUtf8(kTitre); }

} // namespace

void VueSerie::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QRect r = e->rect();
    if (image().isNull())
        p.fillRect(r, palette().color(QPalette::Window));
    else
        p.drawImage(r.topLeft(), image(), r);
    p.setClipRegion(e->region());
    DessinPointage(p, SurfaceDessin::image(1, size()), m_ctrl.modele(), options()).Dessine(&m_ctrl);
}

TvideoBmpForm::TvideoBmpForm(ToolHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), modele(ReglesPointage::serie()), controleur(modele), m_host(host)
{
    setWindowTitle(titre() + QStringLiteral(" pour Tabulo"));
    modele.Couleur.fill(Qt::black);
    modele.Largeur = 640;
    modele.Hauteur = 480;
    modele.LongueurEchelle = 1;
    modele.deltat = 1;
    construit();
    lisReglages();

    controleur.imageSuivanteExiste = [this] { return TrackBar1->value() < TrackBar1->maximum(); };
    controleur.tempsImage = [this](int ligne) { return ligne * modele.deltat; };
    controleur.numeroImage = [this] { return TrackBar1->value(); };
    controleur.demandeLongueur = [this](const QString& defaut) { return DemandeLongueur(this, defaut); };
    controleur.texteLongueur = [this] { return EchelleEdit->text(); };
    // Posted, so that the move happens once the click or key is fully handled.
    connect(&controleur, &PointageControleur::imageSuivante, this,
            [this] { QMetaObject::invokeMethod(this, &TvideoBmpForm::ImageSuivante, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::imagePrecedente, this,
            [this] { QMetaObject::invokeMethod(this, &TvideoBmpForm::ImagePrecedente, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::repeindre, this, &TvideoBmpForm::Rafraichir);
    connect(&controleur, &PointageControleur::hint, this, [this](const QString& h) {
        Image->setToolTip(PointageControleur::hintCourt(h));
        statusBar()->showMessage(PointageControleur::hintLong(h));
    });
    // The help bar keeps its room when empty, so the picture never moves under the mouse.
    connect(&controleur, &PointageControleur::statut, this, [this](const QString& t) { AideLabel->setText(t); });
    connect(&controleur, &PointageControleur::message, this,
            [this](const QString& t) { QMessageBox::information(this, windowTitle(), t); });
    connect(&controleur, &PointageControleur::mesuresTerminees, this, [this] {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
        MajBoutons();
        Rafraichir();
    });
    connect(&controleur, &PointageControleur::boutons, this, &TvideoBmpForm::MajBoutons);
    connect(&controleur, &PointageControleur::texteLongueurChange, this,
            [this](const QString& t) { EchelleEdit->setText(t); });
    grille->reconstruit();
    BmpToAviBtn->setEnabled(false);
    MajBoutons();
}

TvideoBmpForm::~TvideoBmpForm() = default;

void TvideoBmpForm::construit()
{
    auto bouton = [this](const QString& texte, const QString& conseil = {}) {
        auto* b = new QToolButton(this);
        b->setText(texte);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (!conseil.isEmpty()) {
            b->setToolTip(PointageControleur::hintCourt(conseil).isEmpty() ? PointageControleur::hintLong(conseil)
                                                                          : PointageControleur::hintCourt(conseil));
            b->setStatusTip(PointageControleur::hintLong(conseil));
        }
        return b;
    };

    auto* barre1 = addToolBar(QStringLiteral("Outils"));
    barre1->setMovable(false);
    OpenBmpBtn = bouton(QStringLiteral("Ouvrir BMP"), QStringLiteral("Ouverture d'un répertoire d'images"));
    OpenAviBtn = bouton(QStringLiteral("Ouvrir AVI"), QStringLiteral("Extrait les images d'une video"));
    BmpToAviBtn = bouton(QStringLiteral("BMP->AVI"),
                         QStringLiteral("Transforme la suite d'images en une video dans le même répertoire"));
    OrigineBtn = bouton(QStringLiteral("&Origine"), QStringLiteral("|Indique l'origine à l'aide de la souris"));
    auto* menuOrigine = new QMenu(this);
    OrigineItem = menuOrigine->addAction(QStringLiteral("Origine unique"));
    OrigineMobileItem = menuOrigine->addAction(QStringLiteral("Origine mobile"));
    auto* groupeOrigine = new QActionGroup(this);
    for (QAction* a : {OrigineItem, OrigineMobileItem}) {
        a->setCheckable(true);
        groupeOrigine->addAction(a);
    }
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
    MesureBtn = bouton(QStringLiteral("&Mesures"), QStringLiteral("|Commencer les mesures"));
    MesureBtn->setCheckable(true);
    UndoBtn = bouton(QStringLiteral("Défaire"), QStringLiteral("|Annuler le dernier point"));
    TabuloBtn = new TransferButton(this);
    ExitBtn = bouton(QStringLiteral("&Quitter"));
    PrecedentBtn = bouton(QStringLiteral("<"), QStringLiteral("Recul d'une image"));
    SuivantBtn = bouton(QStringLiteral(">"), QStringLiteral("Avance d'une image"));
    for (QWidget* w : std::initializer_list<QWidget*>{OpenBmpBtn, OpenAviBtn, BmpToAviBtn, OrigineBtn, EchelleBtn,
                                                      MesureBtn, UndoBtn, TabuloBtn, PrecedentBtn, SuivantBtn, ExitBtn})
        barre1->addWidget(w);

    connect(OpenBmpBtn, &QToolButton::clicked, this, &TvideoBmpForm::OpenBmpBtnClick);
    connect(OpenAviBtn, &QToolButton::clicked, this, &TvideoBmpForm::OpenAviBtnClick);
    connect(BmpToAviBtn, &QToolButton::clicked, this, &TvideoBmpForm::BmpToAviBtnClick);
    connect(OrigineBtn, &QToolButton::clicked, this, [this] {
        if (!modele.origineMobile)
            controleur.OrigineBtnClick();
    });
    connect(OrigineItem, &QAction::triggered, this, [this] { ChoisitOrigine(false); });
    connect(OrigineMobileItem, &QAction::triggered, this, [this] { ChoisitOrigine(true); });
    connect(EchelleBtn, &QToolButton::clicked, this, [this] { controleur.EchelleBtnClick(); });
    connect(groupeAxes, &QActionGroup::triggered, this, &TvideoBmpForm::ChoisitAxes);
    connect(MesureBtn, &QToolButton::toggled, this, &TvideoBmpForm::MesureBtnClick);
    connect(UndoBtn, &QToolButton::clicked, this, [this] { controleur.UndoBtnClick(); });
    connect(TabuloBtn, &TransferButton::transfert, this, &TvideoBmpForm::Transfere);
    connect(ExitBtn, &QToolButton::clicked, this, &QWidget::close);
    connect(PrecedentBtn, &QToolButton::clicked, this, &TvideoBmpForm::ImagePrecedente);
    connect(SuivantBtn, &QToolButton::clicked, this, &TvideoBmpForm::ImageSuivante);

    // Second bar: points per image, lengths and times, drawing options.
    addToolBarBreak();
    auto* barre2 = addToolBar(QStringLiteral("Réglages"));
    barre2->setMovable(false);
    auto etiquette = [this](const QString& t) { return new QLabel(t, this); };
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, kPointsMax);
    NbreSE->findChild<QLineEdit*>()->setReadOnly(true);
    EchelleEdit = new ChampNombre(QStringLiteral("m"), QStringLiteral("Echelle incorrecte"), this);
    EchelleEdit->afficheErreur = [this](const QString& t) { QMessageBox::warning(this, windowTitle(), t); };
    EchelleEdit->setText(QStringLiteral("1"));
    EchelleEdit->setMaximumWidth(90);
    DeltatEdit = new QLineEdit(QStringLiteral("1"), this);
    DeltatEdit->setMaximumWidth(90);
    UniteEdit = new QLineEdit(QStringLiteral("s"), this);
    UniteEdit->setMaximumWidth(50);
    TraceEchCB = new QCheckBox(QStringLiteral("Axes"), this);
    TraceEchCB->setToolTip(QStringLiteral("Tracé des axes et de l'échelle"));
    CouleurAxeCB = boiteCouleurs(this);
    TracePointCB = new QCheckBox(QStringLiteral("Croix"), this);
    CouleurPointsCB = boiteCouleurs(this);
    EtiquetteCB = new QCheckBox(QStringLiteral("Etiquette"), this);
    barre2->addWidget(NbreSE);
    barre2->addWidget(etiquette(QStringLiteral(" points/image  ")));
    barre2->addWidget(etiquette(QStringLiteral("Echelle(m) ")));
    barre2->addWidget(EchelleEdit);
    barre2->addWidget(etiquette(QStringLiteral("  Intervalle de temps ")));
    barre2->addWidget(DeltatEdit);
    barre2->addWidget(etiquette(QStringLiteral("  Unité ")));
    barre2->addWidget(UniteEdit);
    barre2->addSeparator();
    for (QWidget* w : std::initializer_list<QWidget*>{TraceEchCB, CouleurAxeCB, TracePointCB, CouleurPointsCB, EtiquetteCB})
        barre2->addWidget(w);

    connect(NbreSE, &QSpinBox::valueChanged, this, [this](int v) {
        modele.NbreSE = v;
        grille->reconstruit();
        Rafraichir();
    });
    connect(EchelleEdit, &QLineEdit::returnPressed, EchelleEdit, [this] { EchelleEdit->valide(); });
    connect(EchelleEdit, &ChampNombre::nombreLu, this, [this](double v) {
        modele.LongueurEchelle = v;
        Rafraichir();
    });
    connect(DeltatEdit, &QLineEdit::editingFinished, this, &TvideoBmpForm::DeltatEditExit);
    connect(TraceEchCB, &QCheckBox::toggled, this, &TvideoBmpForm::Rafraichir);
    connect(TracePointCB, &QCheckBox::toggled, this, [this] { Image->setOptions(options()); });
    connect(EtiquetteCB, &QCheckBox::toggled, this, [this] {
        if (TrackBar1->maximum() > 2)
            Rafraichir();
    });
    connect(CouleurAxeCB, &QComboBox::currentIndexChanged, this, &TvideoBmpForm::Rafraichir);
    connect(CouleurPointsCB, &QComboBox::activated, this, [this] {
        modele.Couleur[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))] =
            CouleurPointsCB->currentData().value<QColor>();
        Rafraichir();
    });

    // The picture (its own size, scrolling) over the track bar; the grid at the right.
    auto* split = new QSplitter(this);
    auto* gauche = new QWidget(split);
    auto* vg = new QVBoxLayout(gauche);
    vg->setContentsMargins(0, 0, 0, 0);
    AideLabel = new QLabel(gauche);
    AideLabel->setStyleSheet(QStringLiteral("background: #ffffe1; padding: 2px"));
    AideLabel->setMinimumHeight(AideLabel->fontMetrics().height() + 6);
    ScrollBox = new QScrollArea(gauche);
    Image = new VueSerie(controleur, ScrollBox);
    ScrollBox->setWidget(Image);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    TrackBar1 = new QSlider(Qt::Horizontal, gauche);
    TrackBar1->setRange(0, 1);
    vg->addWidget(AideLabel);
    vg->addWidget(ScrollBox, 1);
    vg->addWidget(TrackBar1);
    Grid = new GrilleVue(split);
    grille = new GrillePointage(modele, Grid);
    Grid->setModel(grille);
    Grid->horizontalHeader()->setDefaultSectionSize(kLargeurColonneGrille + 20);
    split->addWidget(gauche);
    split->addWidget(Grid);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    split->setSizes({800, 260});
    setCentralWidget(split);
    connect(TrackBar1, &QSlider::valueChanged, this, &TvideoBmpForm::TrackBar1Change);
    connect(TrackBar1, &QSlider::sliderMoved, this,
            [this](int v) { TrackBar1->setToolTip(QString::number(v)); });
    connect(Image, &VuePointage::menuDemande, this, [this](const QPoint& g) { ImageMenu->popup(g); });

    ImageMenu = new QMenu(this);
    auto* groupeCurseurs = new QActionGroup(this);
    const std::pair<const char*, int> choix[] = {{"Curseur croix", crCroix}, {"Curseur cible noire", crCibleNoire},
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
    resize(1100, 700);
}

OptionsDessin TvideoBmpForm::options() const
{
    OptionsDessin o;
    o.axes = TraceEchCB->isChecked();
    o.points = TracePointCB->isChecked();
    o.reticule = false;
    o.etiquette = EtiquetteCB->isChecked();
    o.couleurAxe = CouleurAxeCB->currentData().value<QColor>();
    return o;
}

void TvideoBmpForm::lisReglages()
{
    QSettings s(m_host.fichierIni(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("AVI"));
    m_reglages = litReglagesPointage(s, modele);
    s.endGroup();
    m_filterIndex = m_reglages.filtre;
    TraceEchCB->setChecked(m_reglages.dessin.axes);
    TracePointCB->setChecked(m_reglages.dessin.points);
    EtiquetteCB->setChecked(m_reglages.dessin.etiquette);
    choisitCouleur(CouleurAxeCB, m_reglages.dessin.couleurAxe);
    choisitCouleur(CouleurPointsCB, modele.Couleur[1]);
    controleur.CurseurPointage = curseurPointageLu(m_reglages.cible);
    for (QAction* a : ImageMenu->actions())
        a->setChecked(a->data().toInt() == controleur.CurseurPointage);
    (modele.axeHaut() ? (modele.axeDroite() ? Axeverslehautdroite : Axeverslehautgauche)
                      : (modele.axeDroite() ? Axeverslebasdroite : Axeverslebasgauche))
        ->setChecked(true);
    Image->setOptions(options());
    TabuloBtn->lisReglages(m_host.fichierIni());
}

void TvideoBmpForm::ecritReglages() const
{
    // The section is shared with the media-player tool: its own keys (reticle, uncertainty)
    // are written back as they were read.
    ReglagesPointage r = m_reglages;
    const OptionsDessin o = options();
    r.dessin.axes = o.axes;
    r.dessin.points = o.points;
    r.dessin.etiquette = o.etiquette;
    r.dessin.couleurAxe = o.couleurAxe;
    r.cible = controleur.CurseurPointage;
    r.filtre = m_filterIndex;
    QSettings s(m_host.fichierIni(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("AVI"));
    ecritReglagesPointage(s, r, modele);
    s.endGroup();
    s.sync();
    TabuloBtn->ecritReglages(m_host.fichierIni());
}

void TvideoBmpForm::OpenBmpBtnClick()
{
    const QStringList filtres = QString::fromUtf8(kFiltreImages).split(QStringLiteral(";;"));
    QString filtre = filtres.value(m_filterIndex - 1, filtres[0]);
    const QString nom = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir BMP"), m_dossier,
                                                     filtres.join(QStringLiteral(";;")), &filtre);
    if (nom.isEmpty())
        return;
    m_filterIndex = std::max(1, int(filtres.indexOf(filtre)) + 1);
    OuvreSerie(nom);
}

void TvideoBmpForm::OuvreSerie(const QString& nomChoisi)
{
    const QFileInfo fi(nomChoisi);
    const QString extension = fi.suffix().isEmpty() ? QString() : QChar('.') + fi.suffix();
    const QString dossier = fi.absolutePath() + QChar('/');
    QStringList fichiers;
    int horsSerie = 0;
    for (QString f = SearchForFiles.FirstFile(dossier, QChar('*') + extension); !f.isEmpty();
         f = SearchForFiles.NextFile()) {
        if (fichiers.size() < kImagesSerie)
            fichiers << f;
        else
            ++horsSerie;
    }
    SearchForFiles.Close();
    if (fichiers.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Aucune image %1 dans %2").arg(extension, dossier));
        return;
    }
    imageFile = fichiers;
    nomFichierSerie = nomChoisi;
    chargeur.setFichiers(imageFile);
    {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
    }
    controleur.MesureBtnClick(false);
    modele.Nmes = 0;
    modele.PointCourant = modele.premierPoint();
    // Default marks from the image shown until now (640 x 480 before the first series).
    modele.PlaceReperesDefaut();
    const int n = int(imageFile.size());
    const int maximum = n < kMaxMesurable ? 1 : n - 1;
    setWindowTitle(n < kMaxMesurable ? titre() : titre() + QStringLiteral(" [") + QDir(dossier).dirName() + QChar(']'));
    modele.mediaOuvert = maximum >= kMaxSouris;
    {
        const QSignalBlocker b(TrackBar1);
        TrackBar1->setRange(0, maximum);
        TrackBar1->setSingleStep(std::max(1, maximum / 32));
        TrackBar1->setPageStep(std::max(1, maximum / 8));
        TrackBar1->setValue(0);
    }
    controleur.BorneSelect = bsNone;
    BmpToAviBtn->setEnabled(n > kImagesVideoMin);
    grille->reconstruit();
    MajBoutons();
    TrackBar1Change(0);
    if (horsSerie > 0)
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("Le répertoire contient %1 images : seules les %2 premières sont "
                                                "utilisées, %3 sont laissées de côté.")
                                     .arg(n + horsSerie)
                                     .arg(kImagesSerie)
                                     .arg(horsSerie));
}

void TvideoBmpForm::TrackBar1Change(int position)
{
    if (position < 0 || position >= imageFile.size())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString nom = imageFile[position];
    const QString ext = QFileInfo(nom).suffix().toUpper();
    QImage image;
    QString erreur;
    if (ext == QLatin1String("GIF")) {
        try {
            image = chargeImage(m_host.ConvertitGifBmp(nom), &erreur);
        } catch (const std::runtime_error& e) {
            erreur = QString::fromUtf8(e.what());
        }
    } else if (ext == QLatin1String("BMP") || ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) {
        image = chargeur.image(position, &erreur);
    }
    if (!image.isNull()) {
        Abitmap = image;
        modele.Largeur = Abitmap.width();
        modele.Hauteur = Abitmap.height();
        Image->setImage(Abitmap);
    }
    timePosition = position;
    TrackBar1->setToolTip(QString::number(position));
    Rafraichir();
    QApplication::restoreOverrideCursor();
    // The image shown before stays.
    if (image.isNull() && !erreur.isEmpty())
        QMessageBox::warning(this, windowTitle(), erreur);
}

void TvideoBmpForm::ImageSuivante() { TrackBar1->setValue(TrackBar1->value() + 1); }
void TvideoBmpForm::ImagePrecedente() { TrackBar1->setValue(TrackBar1->value() - 1); }

void TvideoBmpForm::Rafraichir()
{
    if (TrackBar1->maximum() > 1)
        modele.CalculEchelle();
    grille->rafraichit();
    Image->setOptions(options());
    if (controleur.mesure())
        Image->setCursor(curseurDe(modele.PointCourant == 0 ? int(crOrigine) : controleur.CurseurPointage));
    if (isActiveWindow())
        Image->setFocus();
}

bool TvideoBmpForm::court() const { return TrackBar1->maximum() < kMaxMesurable; }

void TvideoBmpForm::MajBoutons()
{
    const bool c = court();
    const bool m = MesureBtn->isChecked();
    EchelleBtn->setEnabled(!c && !m);
    OrigineBtn->setEnabled(!c && !m);
    NbreSE->setEnabled(!c && !m);
    EchelleEdit->setEnabled(!c);
    MesureBtn->setEnabled(!c);
    TabuloBtn->setEnabled(modele.Nmes > 3);
    UndoBtn->setEnabled(!c && m && modele.Nmes > 0);
    OrigineBtn->setToolTip(modele.origineMobile ? QStringLiteral("Il faudra indiquer l'origine avant chaque point")
                                                : QStringLiteral("Indique l'origine à l'aide de la souris"));
    MesureBtn->setToolTip(m ? QStringLiteral("Arrêt des mesures") : QStringLiteral("Commencer les mesures"));
    Image->setAttribute(Qt::WA_TransparentForMouseEvents, TrackBar1->maximum() < kMaxSouris);
    if (controleur.BorneSelect == bsNone)
        Image->setCursor(curseurDe(crDefaut));
    if (TrackBar1->maximum() >= kMaxSouris)
        modele.CalculEchelle();
}

void TvideoBmpForm::MesureBtnClick(bool enfonce)
{
    controleur.MesureBtnClick(enfonce);
    grille->reconstruit();
    MajBoutons();
    Rafraichir();
}

void TvideoBmpForm::DeltatEditExit()
{
    const std::optional<double> v = LitNombre(DeltatEdit->text());
    modele.deltat = v ? *v : 1;
    grille->rafraichit();
}

void TvideoBmpForm::ChoisitAxes(QAction* a)
{
    modele.sensAxes = a == Axeverslehautdroite  ? aHautDroite
                      : a == Axeverslebasdroite ? aBasDroite
                      : a == Axeverslehautgauche ? aHautGauche
                                                 : aBasGauche;
    MajBoutons();
    Rafraichir();
}

void TvideoBmpForm::ChoisitOrigine(bool mobile)
{
    if (mobile != modele.origineMobile)
        modele.ChoisitOrigineMobile(mobile);
    {
        const QSignalBlocker b(NbreSE);
        NbreSE->setValue(modele.NbreSE);
    }
    OrigineItem->setChecked(!modele.origineMobile);
    OrigineMobileItem->setChecked(modele.origineMobile);
    grille->reconstruit();
    MajBoutons();
    Rafraichir();
}

void TvideoBmpForm::Transfere(Destination d)
{
    if (d != Destination::Fichier) {
        modele.CalculEchelle();
        const Etendue e = modele.etendue();
        if (!e.x && !e.y) {
            QMessageBox::information(this, windowTitle(), QStringLiteral("Mesures sur zone trop étroite !"));
            return;
        }
    }
    TableSource source = sourcePointage(modele, {}, 0, nomFichierSerie, d == Destination::Fichier, UniteEdit->text());
    source.titre = QStringLiteral("Lecture de fichier video pour Tabulo");
    bool fait;
    if (d == Destination::Fichier)
        fait = m_host.transfert().sauve(this, m_dossier, source);
    else
        fait = m_host.transfert().envoie(this, d, source);
    if (fait || d == Destination::Fichier) {
        if (MesureBtn->isChecked())
            MesureBtn->setChecked(false);
        MajBoutons();
    }
    Rafraichir();
}

void TvideoBmpForm::OpenAviBtnClick()
{
    const QStringList filtres = QString::fromUtf8(kFiltreVideos).split(QStringLiteral(";;"));
    const QString nom = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir AVI"), m_dossier,
                                                     filtres.join(QStringLiteral(";;")));
    if (!nom.isEmpty())
        OuvreAvi(nom);
}

bool TvideoBmpForm::OuvreAvi(const QString& nomVideo)
{
    // A folder of its own in the temporary folder: nothing else there is touched, and the
    // series holds only the frames.
    nomFichierBmp = m_host.tamponDir() + QStringLiteral("videoBmp");
    FFrameNo = 0;
    QProgressDialog patience(QStringLiteral("Patientez"), QStringLiteral("Annuler"), 0, 1, this);
    patience.setWindowTitle(QStringLiteral("Patience"));
    patience.setWindowModality(Qt::ApplicationModal);
    patience.setMinimumDuration(0);
    patience.setAutoClose(false);
    patience.setAutoReset(false);
    patience.show();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ResultatExtraction r = ExtractionVideo::extrais(nomVideo, nomFichierBmp, [&](int fait, int total) {
        FFrameNo = fait;
        patience.setMaximum(total);
        patience.setValue(fait);
        QApplication::processEvents();
        return !patience.wasCanceled();
    });
    QApplication::restoreOverrideCursor();
    patience.close();
    NbreTrames = r.trames;
    videoCodec = r.codec;
    VideoFrameRateFps = r.cadence;
    Duration = r.trames / r.cadence;
    if (!r.erreur.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), r.erreur);
        return false;
    }
    if (r.annule)
        return false;
    // Six significant digits: "0.033" would put 1 % of error into the times of a 30 images/s video.
    DeltatEdit->setText(TexteNombre(r.deltat));
    modele.deltat = r.deltat;
    OuvreSerie(r.premier);
    if (r.trames > r.images)
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("La video compte %1 images : seules les %2 premières sont extraites.")
                                     .arg(r.trames)
                                     .arg(r.images));
    return true;
}

void TvideoBmpForm::BmpToAviBtnClick()
{
    if (!VideoFromJpegForm)
        VideoFromJpegForm = new TVideoFromJpegForm(this);
    VideoFromJpegForm->NomFichier = nomFichierSerie;
    VideoFromJpegForm->show();
    VideoFromJpegForm->raise();
    VideoFromJpegForm->activateWindow();
}

void TvideoBmpForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TvideoBmpForm::closeEvent(QCloseEvent* e)
{
    ecritReglages();
    m_host.setMode(mNone);
    hide();
    e->ignore();
}

#include "OptiqueMain.h"

#include "AtomicFile.h"
#include "Curseurs.h"
#include "ExportOptique.h"
#include "FichierIni.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "ToolHost.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include "SectionReglages.h"
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <functional>
#include <stdexcept>

using enum ProfilIntensite::TstyleDrag;

namespace {

constexpr double kGammaMin = 1.0, kGammaMax = 3.0, kGammaPas = 0.1;
constexpr int kLargeurPanneau = 210;

const char* const kNomsReglages[3] = {"Gain", "Exposition", "Luminosité"};
const char* const kUnites[4] = {"m", "mm", "µm", "nm"};

// A widget whose painting and mouse events belong to its window.
class Zone : public QWidget
{
public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> peint;
    std::function<void(QMouseEvent*)> presse, bouge, relache;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        if (peint)
            peint(p);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (presse)
            presse(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (bouge)
            bouge(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (relache)
            relache(e);
    }
};

// Text before "|" is the tip, after it the status line; without "|" both.
void indice(QAction* a, const QString& hint)
{
    const int i = hint.indexOf(QLatin1Char('|'));
    a->setToolTip(i < 0 ? hint : hint.left(i));
    a->setStatusTip(i < 0 ? hint : hint.mid(i + 1));
}
void indice(QWidget* w, const QString& hint)
{
    const int i = hint.indexOf(QLatin1Char('|'));
    w->setToolTip(i < 0 ? hint : hint.left(i));
    w->setStatusTip(i < 0 ? hint : hint.mid(i + 1));
}

QString extensionMajuscule(const QString& nom)
{
    return QFileInfo(nom).suffix().toUpper();
}

} // namespace

TOptiqueForm::TOptiqueForm(ToolHost& h, QWidget* parent) : TOptiqueForm(h, creeCameraSource(), parent) {}

TOptiqueForm::TOptiqueForm(ToolHost& h, std::unique_ptr<CameraSource> camera, QWidget* parent)
    : QMainWindow(parent), host(h), m_camera(std::move(camera))
{
    setWindowTitle(QStringLiteral("KINEXO : lecture d'intensité lumineuse pour Tabulo"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    chargeCurseurs();
    repertoire = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) + QChar('/');
    fichierImage = host.appDataDir() + QStringLiteral("interf.bmp");
    for (int i = indiceMin; i <= indiceMax; ++i)
        graphe.ValeurX[i] = i;
    graphe.mondeY.SetMinMax(-0.05, 1.05);
    litReglages();
    construit();
    branche();
    AfficheChamps();
    RafraichitCamera();
    resize(1100, 760);
    setWindowState(windowState() | Qt::WindowMaximized);
}

TOptiqueForm::~TOptiqueForm()
{
    if (m_camera)
        m_camera->arreteApercu();
}

void TOptiqueForm::construit()
{
    auto* barre = addToolBar(QStringLiteral("Outils"));
    barre->setMovable(false);
    barre->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ChargerBtn = barre->addAction(QStringLiteral("Charger"), this, &TOptiqueForm::ChargerBtnClick);
    indice(ChargerBtn, QStringLiteral("Ouverture d'un fichier image"));
    OptionsBtn = barre->addAction(QStringLiteral("Options"));
    // The video device's own settings dialog does not exist on this system.
    OptionsBtn->setEnabled(false);
    DeviceCB = new QComboBox(this);
    DeviceCB->setObjectName(QStringLiteral("DeviceCB"));
    DeviceCB->setMinimumContentsLength(16);
    DeviceAct = barre->addWidget(DeviceCB);
    WebcamBtn = barre->addAction(QStringLiteral("Webcam"));
    WebcamBtn->setCheckable(true);
    indice(WebcamBtn, QStringLiteral("Connecter une webcam"));
    AcquisitionBtn = barre->addAction(QStringLiteral("Acquisition"), this, &TOptiqueForm::AcquisitionBtnClick);
    AcquisitionBtn->setEnabled(false);
    barre->addSeparator();
    TabuloBtn = barre->addAction(QStringLiteral("Tabulo"), this, &TOptiqueForm::TabuloBtnClick);
    indice(TabuloBtn, QStringLiteral("|Envoi de données vers Tabulo"));
    SauverBtn = barre->addAction(QStringLiteral("Sauver"), this, &TOptiqueForm::SauverBtnClick);
    indice(SauverBtn, QStringLiteral("Sauvegarde de la courbe dans un fichier texte"));
    EnregistrerBtn = barre->addAction(QStringLiteral("Enregistrer"), this, &TOptiqueForm::EnregistrerBtnClick);
    indice(EnregistrerBtn, QStringLiteral("Enregistrer l'image"));
    barre->addSeparator();
    QuitterBtn = barre->addAction(QStringLiteral("Quitter"), this, &QWidget::close);
    for (QAction* a : {TabuloBtn, SauverBtn, EnregistrerBtn})
        a->setEnabled(false);

    auto* centre = new QWidget(this);
    auto* hl = new QHBoxLayout(centre);
    hl->setContentsMargins(2, 2, 2, 2);
    auto* panneau = new QWidget(centre);
    panneau->setFixedWidth(kLargeurPanneau);
    auto* vl = new QVBoxLayout(panneau);
    vl->setContentsMargins(0, 0, 0, 0);

    for (int r = 0; r < 3; ++r) {
        auto* ligne = new QGroupBox(QString::fromUtf8(kNomsReglages[r]), panneau);
        ligne->setObjectName(QStringLiteral("Reglage%1").arg(r));
        auto* l = new QHBoxLayout(ligne);
        auto* barreR = new QSlider(Qt::Horizontal, ligne);
        barreR->setAccessibleName(QString::fromUtf8(kNomsReglages[r]));
        auto* raz = new QPushButton(QStringLiteral("RàZ"), ligne);
        raz->setAccessibleName(QStringLiteral("RàZ ") + QString::fromUtf8(kNomsReglages[r]));
        l->addWidget(barreR, 1);
        l->addWidget(raz);
        ligne->setVisible(false);
        vl->addWidget(ligne);
        Reglages[std::size_t(r)] = {ligne, barreR, raz};
    }
    TailleBox = new QGroupBox(QStringLiteral("Taille"), panneau);
    TailleCB = new QComboBox(TailleBox);
    TailleCB->setObjectName(QStringLiteral("TailleCB"));
    (new QVBoxLayout(TailleBox))->addWidget(TailleCB);
    vl->addWidget(TailleBox);

    auto* lissage = new QGroupBox(QStringLiteral("Lissage"), panneau);
    MoyenneSE = new QSpinBox(lissage);
    MoyenneSE->setObjectName(QStringLiteral("MoyenneSE"));
    MoyenneSE->setRange(0, ProfilIntensite::kMoyenneMax);
    MoyenneSE->setValue(m_profil.MoyenneSE);
    indice(MoyenneSE, QStringLiteral("Lissage entre prenant la moyenne sur x lignes au-dessus et en-dessous"));
    (new QVBoxLayout(lissage))->addWidget(MoyenneSE);
    vl->addWidget(lissage);

    auto* echelle = new QGroupBox(panneau);
    auto* el = new QVBoxLayout(echelle);
    EchelleLabel = new QLabel(echelle);
    EchelleEdit = new QLineEdit(echelle);
    EchelleEdit->setObjectName(QStringLiteral("EchelleEdit"));
    EchelleEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.%']*")), EchelleEdit));
    EchelleLabel->setBuddy(EchelleEdit);
    UniteCB = new QComboBox(echelle);
    UniteCB->setObjectName(QStringLiteral("UniteCB"));
    for (const char* u : kUnites)
        UniteCB->addItem(QString::fromUtf8(u));
    indice(UniteCB, QStringLiteral("Unité de l'échelle"));
    auto* champ = new QHBoxLayout;
    champ->addWidget(EchelleEdit, 1);
    champ->addWidget(UniteCB);
    el->addWidget(EchelleLabel);
    el->addLayout(champ);
    vl->addWidget(echelle);

    auto* dimension = new QGroupBox(QStringLiteral("Dimension"), panneau);
    auto* dl = new QVBoxLayout(dimension);
    EchelleRG = new QButtonGroup(this);
    const char* const choix[3] = {"Echelle", "Pixel", "Index"};
    for (int k = 0; k < 3; ++k) {
        auto* b = new QRadioButton(QString::fromUtf8(choix[k]), dimension);
        EchelleRG->addButton(b, k);
        dl->addWidget(b);
    }
    EchelleRG->button(int(m_profil.dimension))->setChecked(true);
    vl->addWidget(dimension);

    auto* largeur = new QGroupBox(QStringLiteral("Largeur du tracé"), panneau);
    LargeurSE = new QSpinBox(largeur);
    LargeurSE->setObjectName(QStringLiteral("LargeurSE"));
    LargeurSE->setRange(1, 5);
    LargeurSE->setValue(largeurTrait);
    indice(LargeurSE, QStringLiteral("|Largeur du tracé de l'échelle sur l'image (en pixel original)"));
    (new QVBoxLayout(largeur))->addWidget(LargeurSE);
    vl->addWidget(largeur);

    auto* couleurs = new QGroupBox(QStringLiteral("Couleurs exploitées"), panneau);
    auto* cl = new QHBoxLayout(couleurs);
    auto bouton = [couleurs, cl](const QString& texte, const QString& nom) {
        auto* b = new QToolButton(couleurs);
        b->setText(texte);
        b->setAccessibleName(nom);
        b->setCheckable(true);
        b->setChecked(true);
        b->setMinimumWidth(36);
        cl->addWidget(b);
        return b;
    };
    BBtn = bouton(QStringLiteral("B"), QStringLiteral("bleu"));
    RBtn = bouton(QStringLiteral("R"), QStringLiteral("rouge"));
    VBtn = bouton(QStringLiteral("V"), QStringLiteral("vert"));
    couleursBoutons();
    vl->addWidget(couleurs);

    auto* gamma = new QGroupBox(QStringLiteral("Gamma"), panneau);
    auto* gl = new QHBoxLayout(gamma);
    GammaEdit = new QLineEdit(gamma);
    GammaEdit->setObjectName(QStringLiteral("GammaEdit"));
    GammaEdit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,.%']*")), GammaEdit));
    auto* plus = new QToolButton(gamma);
    plus->setArrowType(Qt::UpArrow);
    plus->setAccessibleName(QStringLiteral("Gamma plus"));
    plus->setObjectName(QStringLiteral("GammaPlus"));
    auto* moins = new QToolButton(gamma);
    moins->setArrowType(Qt::DownArrow);
    moins->setAccessibleName(QStringLiteral("Gamma moins"));
    moins->setObjectName(QStringLiteral("GammaMoins"));
    gl->addWidget(GammaEdit, 1);
    gl->addWidget(plus);
    gl->addWidget(moins);
    connect(plus, &QToolButton::clicked, this, [this] { gammaPas(kGammaPas); });
    connect(moins, &QToolButton::clicked, this, [this] { gammaPas(-kGammaPas); });
    vl->addWidget(gamma);

    // Takes the keyboard while points are handled: keys move the mouse pointer.
    EditBidon = new QLineEdit(panneau);
    EditBidon->setObjectName(QStringLiteral("EditBidon"));
    EditBidon->setFixedSize(1, 1);
    EditBidon->setFrame(false);
    EditBidon->installEventFilter(this);
    vl->addWidget(EditBidon);
    vl->addStretch(1);
    hl->addWidget(panneau);

    auto* droite = new QWidget(centre);
    auto* dr = new QVBoxLayout(droite);
    dr->setContentsMargins(0, 0, 0, 0);
    dr->setSpacing(2);
    Pages = new QStackedWidget(droite);
    Defilement = new QScrollArea(Pages);
    auto* vue = new Zone;
    vue->setObjectName(QStringLiteral("Image"));
    vue->setMouseTracking(true);
    vue->setFixedSize(0, 0);
    vue->peint = [this](QPainter& p) { peintImage(p); };
    vue->presse = [this](QMouseEvent* e) { ImageMouseDown(e); };
    vue->bouge = [this](QMouseEvent* e) { ImageMouseMove(e); };
    vue->relache = [this](QMouseEvent* e) { ImageMouseUp(e); };
    ImageVue = vue;
    Defilement->setWidget(vue);
    Pages->addWidget(Defilement);
    ApercuDefilement = new QScrollArea(Pages);
    ApercuLabel = new QLabel;
    ApercuLabel->setObjectName(QStringLiteral("Apercu"));
    ApercuDefilement->setWidget(ApercuLabel);
    Pages->addWidget(ApercuDefilement);
    dr->addWidget(Pages, 1);
    auto* graphique = new Zone(droite);
    graphique->setObjectName(QStringLiteral("IntensitePB"));
    graphique->peint = [this](QPainter& p) { peintIntensite(p); };
    IntensitePB = graphique;
    dr->addWidget(IntensitePB);
    hl->addWidget(droite, 1);
    setCentralWidget(centre);

    SaturesLabel = new QLabel(this);
    SaturesLabel->setObjectName(QStringLiteral("SaturesLabel"));
    statusBar()->addPermanentWidget(SaturesLabel);
}

void TOptiqueForm::branche()
{
    connect(MoyenneSE, &QSpinBox::valueChanged, this, [this](int v) {
        m_profil.MoyenneSE = v;
        CalculeProfil();
    });
    connect(EchelleEdit, &QLineEdit::editingFinished, this, [this] { CalculeProfil(); });
    connect(GammaEdit, &QLineEdit::editingFinished, this, [this] { CalculeProfil(); });
    connect(UniteCB, &QComboBox::currentIndexChanged, this, [this] { CalculeProfil(); });
    connect(EchelleRG, &QButtonGroup::idClicked, this, [this](int id) {
        litChamps();
        m_profil.dimension = TypeEchelle(id);
        AfficheChamps();
        ImageVue->update();
        CalculeProfil();
    });
    connect(LargeurSE, &QSpinBox::valueChanged, this, [this](int v) {
        largeurTrait = v;
        ImageVue->update();
    });
    for (QToolButton* b : {BBtn, RBtn, VBtn})
        connect(b, &QToolButton::toggled, this, [this] {
            couleursBoutons();
            CalculeProfil();
        });
    connect(Defilement->horizontalScrollBar(), &QScrollBar::valueChanged, IntensitePB, qOverload<>(&QWidget::update));
    connect(WebcamBtn, &QAction::toggled, this, &TOptiqueForm::WebcamBtnClick);
    connect(DeviceCB, &QComboBox::currentIndexChanged, this, &TOptiqueForm::DeviceCBChange);
    connect(TailleCB, &QComboBox::currentIndexChanged, this, &TOptiqueForm::TailleCBChange);
    for (int r = 0; r < 3; ++r) {
        const auto reglage = CameraSource::Reglage(r);
        connect(Reglages[std::size_t(r)].barre, &QSlider::valueChanged, this,
                [this, reglage](int v) { reglageChange(reglage, v); });
        connect(Reglages[std::size_t(r)].raz, &QPushButton::clicked, this, [this, reglage] { razReglage(reglage); });
    }
    if (m_camera) {
        connect(m_camera.get(), &CameraSource::peripheriquesChanges, this, &TOptiqueForm::RafraichitCamera);
        connect(m_camera.get(), &CameraSource::imageApercu, this, [this](const QImage& im) {
            m_apercu = im;
            ApercuLabel->setPixmap(QPixmap::fromImage(im));
            ApercuLabel->resize(im.size());
        });
        connect(m_camera.get(), &CameraSource::imageCapturee, this, &TOptiqueForm::imageWebcam);
        connect(m_camera.get(), &CameraSource::erreur, this, [this](const QString& m) {
            QApplication::restoreOverrideCursor();
            arreteWebcam();
            QMessageBox::warning(this, windowTitle(), m);
            RafraichitCamera();
        });
    }
}

// ---- settings ----

void TOptiqueForm::litReglages()
{
    const SectionReglages ini(host.fichierIni(), QStringLiteral("Optique"));
    auto entier = [&ini](const char* cle, int defaut, int mini, int maxi) {
        bool ok = false;
        const int v = ini.texte(QLatin1String(cle)).toInt(&ok);
        return ok ? std::clamp(v, mini, maxi) : defaut;
    };
    auto reel = [&ini](const char* cle, double defaut) {
        bool ok = false;
        const double v = ini.texte(QLatin1String(cle)).toDouble(&ok);
        return ok && std::isfinite(v) && v > 0 ? v : defaut;
    };
    largeurTrait = entier("Largeur", 1, 1, 5);
    FilterSave = entier("FilterSave", 0, 0, 1);
    FilterOpen = entier("FilterOpen", 0, 0, 3);
    m_profil.longueurEchelle = reel("Echelle", 0.01);
    m_profil.Gamma = reel("Gamma", 1.0);
    m_profil.dimPixel = reel("Pixel", 1.4e-05);
    m_profil.dimension = TypeEchelle(entier("TypeEchelle", 0, 0, 2));
    m_profil.MoyenneSE = entier("Moyenne", 0, 0, ProfilIntensite::kMoyenneMax);
}

void TOptiqueForm::ecritReglages() const
{
    SectionReglages ini(host.fichierIni(), QStringLiteral("Optique"));
    ini.ecrit(QStringLiteral("Largeur"), largeurTrait);
    ini.ecrit(QStringLiteral("FilterSave"), FilterSave);
    ini.ecrit(QStringLiteral("FilterOpen"), FilterOpen);
    ini.ecrit(QStringLiteral("Echelle"), QString::number(m_profil.longueurEchelle, 'g', 17));
    ini.ecrit(QStringLiteral("Gamma"), QString::number(m_profil.Gamma, 'g', 17));
    ini.ecrit(QStringLiteral("Pixel"), QString::number(m_profil.dimPixel, 'g', 17));
    ini.ecrit(QStringLiteral("TypeEchelle"), int(m_profil.dimension));
    ini.ecrit(QStringLiteral("Moyenne"), MoyenneSE->value());
    ini.enregistre();
}

// ---- window events ----

void TOptiqueForm::closeEvent(QCloseEvent* e)
{
    arreteWebcam();
    ecritReglages();
    host.setMode(mNone);
    e->accept();
}

void TOptiqueForm::hideEvent(QHideEvent* e)
{
    arreteWebcam();
    QMainWindow::hideEvent(e);
}

void TOptiqueForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    RafraichitCamera();
}

void TOptiqueForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    // The profile box takes a quarter of the client height; the points do not move.
    IntensitePB->setFixedHeight(std::max(40, centralWidget()->height() / 4));
}

// ---- loading ----

void TOptiqueForm::ChargerBtnClick()
{
    QFileDialog fd(this, QStringLiteral("Ouverture d'un fichier image"), repertoire,
                   QStringLiteral("Bitmap (*.bmp *.BMP);;Jpeg (*.jpg *.jpeg *.JPG *.JPEG);;Gif (*.gif *.GIF);;Png (*.png *.PNG)"));
    fd.setObjectName(QStringLiteral("ChargerDialog"));
    fd.setAcceptMode(QFileDialog::AcceptOpen);
    fd.setFileMode(QFileDialog::ExistingFile);
    fd.setDefaultSuffix(QStringLiteral("jpg"));
    const QStringList filtres = fd.nameFilters();
    fd.selectNameFilter(filtres.value(FilterOpen));
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    FilterOpen = std::max(0, int(filtres.indexOf(fd.selectedNameFilter())));
    ChargeFichier(fd.selectedFiles().constFirst());
}

bool TOptiqueForm::ChargeFichier(const QString& nom)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString chemin = nom;
    QString erreur, avertissement;
    QImage im;
    try {
        if (extensionMajuscule(nom) == QLatin1String("GIF"))
            chemin = host.ConvertitGifBmp(nom);
        im = chargeImage(chemin, &erreur, &avertissement);
    } catch (const std::exception& ex) {
        erreur = QString::fromStdString(ex.what());
    }
    QApplication::restoreOverrideCursor();
    if (im.isNull()) {
        QMessageBox::warning(this, windowTitle(),
                             erreur.isEmpty() ? QStringLiteral("Impossible de lire l'image %1").arg(QFileInfo(nom).fileName())
                                              : erreur);
        return false;
    }
    // A picture cut short is shown as far as it could be read, and the user is told.
    if (!avertissement.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Image incomplète"), avertissement);
    // A JPEG or PNG is decoded in memory: no copy is written beside the user's file.
    arreteWebcam();
    m_profil.setImage(im);
    NomFichier = chemin;
    Reset();
    return true;
}

void TOptiqueForm::Reset()
{
    ImageVue->setFixedSize(m_profil.LargeurI, m_profil.HauteurI);
    m_profil.pointsParDefaut();
    BorneSelect = BorneSelectUp = bsNone;
    m_profil.vide();
    setWindowTitle(QStringLiteral("Lecture d'images pour Tabulo") + QStringLiteral(" [")
                   + QFileInfo(NomFichier).fileName() + QChar(']'));
    const bool fichier = !NomFichier.isEmpty();
    for (QAction* a : {TabuloBtn, EnregistrerBtn, SauverBtn})
        a->setEnabled(fichier);
    if (!fichier)
        return;
    Pages->setCurrentWidget(Defilement);
    ImageVue->update();
    CalculeProfil();
    EditBidon->setFocus();
}

// ---- the profile ----

void TOptiqueForm::litChamps()
{
    const std::optional<double> g = LitNombre(GammaEdit->text());
    m_profil.Gamma = g && std::isfinite(*g) && *g > 0 ? *g : 1.0;
    if (m_profil.dimension == teIndex)
        return;
    const std::optional<double> v = LitNombre(EchelleEdit->text());
    if (!v || !std::isfinite(*v) || *v <= 0) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Echelle incorrecte"));
        AfficheChamps();
        return;
    }
    const double metres = *v / std::pow(1000.0, UniteCB->currentIndex());
    (m_profil.dimension == teEchelle ? m_profil.longueurEchelle : m_profil.dimPixel) = metres;
}

void TOptiqueForm::CalculeProfil()
{
    if (m_calcul || NomFichier.isEmpty() || !m_profil.aImage() || NomFichier == QLatin1String("Webcam"))
        return;
    m_calcul = true;
    // A few milliseconds: no hourglass flickering at every move of a drag.
    const bool sablier = BorneSelect == bsNone;
    if (sablier)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_profil.rouge = RBtn->isChecked();
    m_profil.vert = VBtn->isChecked();
    m_profil.bleu = BBtn->isChecked();
    litChamps();
    m_profil.MoyenneSE = MoyenneSE->value();
    m_profil.calcule();
    if (m_profil.vert != VBtn->isChecked()) {
        const QSignalBlocker b(VBtn);
        VBtn->setChecked(true);
        couleursBoutons();
    }
    for (Tvecteur* v : {&graphe.ValeurY, &graphe.rougeY, &graphe.vertY, &graphe.bleuY}) {
        const Tvecteur& source = v == &graphe.ValeurY ? m_profil.ValeurY
                                 : v == &graphe.rougeY ? m_profil.rougeY
                                 : v == &graphe.vertY  ? m_profil.vertY
                                                       : m_profil.bleuY;
        for (int i = m_profil.Debut; i <= m_profil.Fin; ++i)
            (*v)[i] = source[i];
    }
    ImageVue->update();
    IntensitePB->update();
    montreSatures();
    if (sablier)
        QApplication::restoreOverrideCursor();
    m_calcul = false;
}

QString TOptiqueForm::texteSatures() const
{
    const int n = m_profil.nombreSatures();
    if (n == 0 || NomFichier.isEmpty())
        return QString();
    return n == 1 ? QStringLiteral("1 point saturé") : QStringLiteral("%1 points saturés").arg(n);
}

void TOptiqueForm::montreSatures()
{
    SaturesLabel->setText(texteSatures());
    SaturesLabel->setStyleSheet(m_profil.nombreSatures() ? QStringLiteral("color: rgb(200, 0, 200)") : QString());
}

void TOptiqueForm::AfficheChamps()
{
    const TypeEchelle t = m_profil.dimension;
    const bool champ = t != teIndex;
    const QString label = t == teEchelle ? QStringLiteral("Longueur de l'échelle")
                          : t == tePixel ? QStringLiteral("Dimension du pixel")
                                         : QString();
    EchelleLabel->setText(label);
    EchelleEdit->setVisible(champ);
    UniteCB->setVisible(champ);
    indice(EchelleEdit, label + QChar(' ') + QStringLiteral("(validez avec Entrée)"));
    {
        const QSignalBlocker b(UniteCB);
        if (champ) {
            int code = 0;
            EchelleEdit->setText(TexteMantisse(t == teEchelle ? m_profil.longueurEchelle : m_profil.dimPixel, code));
            UniteCB->setCurrentIndex(code);
        } else {
            EchelleEdit->clear();
        }
    }
    GammaEdit->setText(TexteNombre(m_profil.Gamma));
}

void TOptiqueForm::couleursBoutons()
{
    BBtn->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255); font-weight: bold"));
    RBtn->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold"));
    VBtn->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0); font-weight: bold"));
}

void TOptiqueForm::gammaPas(double pas)
{
    const std::optional<double> g = LitNombre(GammaEdit->text());
    double v = g && std::isfinite(*g) ? *g : 1.0;
    // Tenths kept exact: 1.2 + 0.1 shows 1.3, not 1.3000000000000003.
    v = std::clamp(std::round((v + pas) * 10) / 10, kGammaMin, kGammaMax);
    m_profil.Gamma = v;
    GammaEdit->setText(TexteNombre(v));
    CalculeProfil();
}

// ---- painting ----

void TOptiqueForm::peintDessin(QPainter& p) const
{
    const DessinProfil d = m_profil.dessin();
    // Inverted colours: the marks show on dark fringes and bright ones alike.
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, largeurTrait, Qt::SolidLine, Qt::FlatCap));
    for (const QLine& l : d.lignes)
        p.drawLine(l);
    p.drawEllipse(d.cercle);
    p.setPen(QPen(Qt::white, 1));
    for (const QLine& l : d.lignesFines)
        p.drawLine(l);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TOptiqueForm::peintImage(QPainter& p) const
{
    if (!m_profil.aImage())
        return;
    p.drawImage(0, 0, m_profil.image());
    if (!NomFichier.isEmpty())
        peintDessin(p);
}

QImage TOptiqueForm::imageAffichee() const
{
    QImage im = m_profil.image().convertToFormat(QImage::Format_RGB32);
    QPainter p(&im);
    peintDessin(p);
    p.end();
    return im.convertToFormat(QImage::Format_RGB888);
}

void TOptiqueForm::peintIntensite(QPainter& p) const
{
    p.fillRect(IntensitePB->rect(), Qt::white);
    if (m_profil.Debut == m_profil.Fin || NomFichier.isEmpty())
        return;
    // Under the image: the plot spans the picture's width and follows its scrolling.
    const int decalage = Defilement->horizontalScrollBar()->value();
    graphe.Canvas = &p;
    graphe.LimiteCourbe = {-decalage, 0, m_profil.LargeurI - decalage, IntensitePB->height()};
    graphe.debutG = m_profil.Debut;
    graphe.finG = m_profil.Fin;
    graphe.mondeX.SetMinMax(m_profil.Debut, m_profil.Fin);
    graphe.withBlue = m_profil.bleu;
    graphe.withRed = m_profil.rouge;
    graphe.withGreen = m_profil.vert;
    graphe.DrawG();
    if (m_profil.nombreSatures()) {
        // Saturated samples: their ratios are false.
        p.setPen(QPen(QColor(200, 0, 200), 1));
        p.setBrush(QColor(255, 0, 255));
        for (int i = m_profil.Debut; i <= m_profil.Fin; ++i) {
            if (!m_profil.sature(i))
                continue;
            int x, y;
            graphe.WindowXY(graphe.ValeurX[i], m_profil.ValeurY[i], x, y);
            p.drawEllipse(QPoint(x, y), 2, 2);
        }
    }
    graphe.Canvas = nullptr;
}

// ---- mouse and keyboard ----

void TOptiqueForm::ImageMouseDown(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || Pages->currentWidget() != Defilement)
        return;
    BorneSelect = m_profil.repereSous(e->position().toPoint());
    if (BorneSelect != bsNone)
        EditBidon->setFocus();
    else
        BorneSelectUp = bsNone;
}

void TOptiqueForm::ImageMouseMove(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || Pages->currentWidget() != Defilement)
        return;
    const QPoint p = e->position().toPoint();
    if (e->buttons() & (Qt::LeftButton | Qt::RightButton)) {
        Glisse(p, e->modifiers() & Qt::ShiftModifier);
        return;
    }
    const ProfilIntensite::TstyleDrag r = m_profil.repereSous(p);
    QString hint;
    switch (r) {
    case bsOrigine:
        ImageVue->setCursor(curseur(crCibleMove));
        hint = QStringLiteral("|Origine des coordonnées");
        break;
    case bsDirection:
        ImageVue->setCursor(Qt::PointingHandCursor);
        hint = QStringLiteral("|Direction");
        break;
    case bsEchelle1:
    case bsEchelle2:
        ImageVue->setCursor(curseur(crCibleMove));
        hint = QStringLiteral("|Echelle");
        break;
    case bsNone:
        ImageVue->unsetCursor();
        break;
    }
    indice(ImageVue, hint);
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint.mid(1));
}

void TOptiqueForm::ImageMouseUp(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || Pages->currentWidget() != Defilement)
        return;
    Glisse(e->position().toPoint(), e->modifiers() & Qt::ShiftModifier);
    CalculeProfil();
    BorneSelectUp = BorneSelect;
    BorneSelect = bsNone;
}

void TOptiqueForm::Glisse(QPoint p, bool aligne)
{
    if (BorneSelect == bsNone)
        return;
    if (!m_profil.deplace(BorneSelect, p, aligne))
        return;
    ImageVue->setCursor(BorneSelect == bsDirection ? QCursor(Qt::PointingHandCursor) : curseur(crCibleMove));
    // The profile follows the line while it is dragged.
    CalculeProfil();
}

std::optional<QPoint> TOptiqueForm::deplacementTouche(int touche, const QString& texte, bool boutonEnfonce)
{
    if (boutonEnfonce) {
        switch (touche) {
        case Qt::Key_Left: return QPoint(-1, 0);
        case Qt::Key_Up: return QPoint(0, -1);
        case Qt::Key_Right: return QPoint(1, 0);
        case Qt::Key_Down: return QPoint(0, 1);
        default: break;
        }
    }
    if (texte == QLatin1String("4"))
        return QPoint(-1, 0);
    if (texte == QLatin1String("8"))
        return QPoint(0, -1);
    if (texte == QLatin1String("6"))
        return QPoint(1, 0);
    if (texte == QLatin1String("2"))
        return QPoint(0, 1);
    return std::nullopt;
}

bool TOptiqueForm::eventFilter(QObject* objet, QEvent* e)
{
    if (objet == EditBidon && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const bool bouton = QGuiApplication::mouseButtons() & (Qt::LeftButton | Qt::RightButton);
        if (const auto d = deplacementTouche(k->key(), k->text(), bouton))
            QCursor::setPos(QCursor::pos() + *d);
        // Every key with a button held, and every typed character, stays here.
        if (bouton || !k->text().isEmpty())
            return true;
    }
    return QMainWindow::eventFilter(objet, e);
}

// ---- exports ----

TableSource TOptiqueForm::sourceTabulo()
{
    TableSource source;
    // This tool's second line is always empty.
    source.titre = QString();
    source.avant = [this] {
        arreteWebcam();
        CalculeProfil();
    };
    source.table = [this](ExchangeText& t) { tableOptique(m_profil, t); };
    source.sections = [this](ExchangeText& t, bool) {
        if (!NomFichier.isEmpty())
            t.addSection(QStringLiteral("FICHIER"), {NomFichier});
    };
    return source;
}

void TOptiqueForm::TabuloBtnClick()
{
    if (NomFichier.isEmpty())
        return;
    host.transfert().envoie(this, Destination::Tabulo, sourceTabulo());
}

void TOptiqueForm::SauverBtnClick()
{
    if (NomFichier.isEmpty())
        return;
    QFileDialog fd(this, QStringLiteral("Sauvegarde de la courbe dans un fichier texte"), repertoire,
                   QStringLiteral("Fichier texte (*.txt)"));
    fd.setObjectName(QStringLiteral("SauverDialog"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(QStringLiteral("txt"));
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    CalculeProfil();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = writeFileAtomically(fd.selectedFiles().constFirst(), fichierOptique(m_profil).toText().toUtf8());
    QApplication::restoreOverrideCursor();
    if (!ok)
        QMessageBox::critical(this, windowTitle(), QStringLiteral("Erreur d'écriture"));
}

void TOptiqueForm::EnregistrerBtnClick()
{
    if (NomFichier.isEmpty() || !m_profil.aImage())
        return;
    const QFileInfo fi(NomFichier);
    QFileDialog fd(this, QStringLiteral("Enregistrer l'image"), repertoire + fi.completeBaseName(),
                   QStringLiteral("Bitmap (*.bmp);;Jpeg (*.jpg)"));
    fd.setObjectName(QStringLiteral("EnregistrerDialog"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filtres = fd.nameFilters();
    fd.selectNameFilter(filtres.value(FilterSave, filtres.value(1)));
    fd.setDefaultSuffix(FilterSave == 0 ? QStringLiteral("bmp") : QStringLiteral("jpg"));
    connect(&fd, &QFileDialog::filterSelected, &fd, [&fd](const QString& f) {
        fd.setDefaultSuffix(f.contains(QLatin1String("*.bmp")) ? QStringLiteral("bmp") : QStringLiteral("jpg"));
    });
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    FilterSave = std::max(0, int(filtres.indexOf(fd.selectedNameFilter())));
    const QString chemin = fd.selectedFiles().constFirst();
    QString erreur;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QImage im = imageAffichee();
    const bool jpeg = FilterSave == 1 || extensionMajuscule(chemin).startsWith(QLatin1String("JP"));
    const bool ok = jpeg ? sauveJpeg(im, chemin, &erreur) : sauveBmp(im, chemin, &erreur);
    QApplication::restoreOverrideCursor();
    if (!ok)
        QMessageBox::critical(this, windowTitle(), erreur.isEmpty() ? QStringLiteral("Erreur d'écriture") : erreur);
}

// ---- webcam ----

void TOptiqueForm::RafraichitCamera()
{
    if (!m_camera)
        return;
    FInitializing = true;
    const QList<CameraSource::Peripherique> liste = m_camera->peripheriques();
    if (m_camera->peripherique() < 0 && !liste.isEmpty())
        m_camera->choisit(0);
    {
        const QSignalBlocker b(DeviceCB);
        DeviceCB->clear();
        for (const auto& d : liste)
            DeviceCB->addItem(d.nom, d.id);
        DeviceCB->setCurrentIndex(m_camera->peripherique());
    }
    DeviceAct->setVisible(liste.size() > 1);
    {
        const QSignalBlocker b(TailleCB);
        TailleCB->clear();
        for (const QSize& s : m_camera->tailles())
            TailleCB->addItem(QStringLiteral("%1 x %2").arg(s.width()).arg(s.height()), s);
        TailleCB->setCurrentIndex(TailleCB->findData(m_camera->taille()));
    }
    const bool camera = !liste.isEmpty();
    WebcamBtn->setVisible(camera);
    AcquisitionBtn->setVisible(camera);
    TailleBox->setVisible(camera);
    if (!camera && WebcamBtn->isChecked())
        WebcamBtn->setChecked(false);
    const bool apercu = WebcamBtn->isChecked();
    for (int r = 0; r < 3; ++r) {
        ReglageCamera& w = Reglages[std::size_t(r)];
        const auto plage = camera ? m_camera->reglage(CameraSource::Reglage(r)) : std::nullopt;
        if (plage) {
            const QSignalBlocker b(w.barre);
            w.barre->setRange(plage->mini, plage->maxi);
            w.barre->setSingleStep(plage->pas);
            w.barre->setPageStep(std::max(plage->pas, (plage->maxi - plage->mini) / 10));
            w.barre->setValue(plage->valeur);
        }
        w.ligne->setVisible(apercu && plage.has_value());
    }
    FInitializing = false;
}

void TOptiqueForm::WebcamBtnClick(bool enfonce)
{
    if (!m_camera)
        return;
    if (enfonce) {
        if (NomFichier != QLatin1String("Webcam"))
            nomAvantWebcam = NomFichier;
        NomFichier = QStringLiteral("Webcam");
        Pages->setCurrentWidget(ApercuDefilement);
        m_camera->demarreApercu();
        OptionsBtn->setEnabled(false);
        indice(OptionsBtn, QStringLiteral("Options inaccessibles pendant prévisualisation"));
        AcquisitionBtn->setEnabled(true);
    } else {
        m_camera->arreteApercu();
        Pages->setCurrentWidget(Defilement);
        // No device dialog here: Options stays disabled, only its hint goes.
        indice(OptionsBtn, QString());
        AcquisitionBtn->setEnabled(false);
        // Released without a frame: back to the picture that was there.
        if (NomFichier == QLatin1String("Webcam"))
            NomFichier = nomAvantWebcam;
    }
    RafraichitCamera();
    IntensitePB->update();
}

void TOptiqueForm::arreteWebcam()
{
    if (WebcamBtn && WebcamBtn->isChecked())
        WebcamBtn->setChecked(false);
}

void TOptiqueForm::AcquisitionBtnClick()
{
    if (!m_camera || !WebcamBtn->isChecked())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_camera->captureImage();
}

void TOptiqueForm::imageWebcam(const QImage& image)
{
    QApplication::restoreOverrideCursor();
    if (image.isNull())
        return;
    arreteWebcam();
    m_profil.setImage(image);
    QString erreur;
    if (!sauveBmp(m_profil.image(), fichierImage, &erreur))
        QMessageBox::warning(this, windowTitle(), erreur.isEmpty() ? QStringLiteral("Erreur d'écriture") : erreur);
    // A frame is a picture like any other from now on.
    NomFichier = fichierImage;
    nomAvantWebcam.clear();
    Reset();
}

void TOptiqueForm::reglageChange(CameraSource::Reglage r, int valeur)
{
    if (FInitializing || !m_camera)
        return;
    m_camera->setReglage(r, valeur);
}

void TOptiqueForm::razReglage(CameraSource::Reglage r)
{
    if (!m_camera)
        return;
    const int v = m_camera->razReglage(r);
    FInitializing = true;
    Reglages[std::size_t(r)].barre->setValue(v);
    FInitializing = false;
}

void TOptiqueForm::TailleCBChange(int index)
{
    if (!m_camera || index < 0)
        return;
    arreteWebcam();
    m_camera->setTaille(TailleCB->itemData(index).toSize());
    WebcamBtn->setChecked(true);
}

void TOptiqueForm::DeviceCBChange(int index)
{
    if (!m_camera)
        return;
    arreteWebcam();
    m_camera->choisit(index);
    RafraichitCamera();
}

QAction* TOptiqueForm::action(const QString& texte) const
{
    for (QAction* a : {ChargerBtn, OptionsBtn, WebcamBtn, AcquisitionBtn, TabuloBtn, SauverBtn, EnregistrerBtn, QuitterBtn})
        if (a->text() == texte)
            return a;
    return nullptr;
}

#include "vidGrab.h"

#include "AideCodec.h"
#include "ChampNombre.h"
#include "ChronoForm.h"
#include "LoupeCapture.h"
#include "NumberText.h"
#include "ReglagesPointage.h"
#include "Transfert.h"
#include "TransfertPointage.h"
#include "optionsVideo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QScrollArea>
#include <QSettings>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kFiltre = "video  AVI (*.avi);;video MPEG (*.mpg *.mpeg);;video DivX (*.divx);;"
                            "Windows media (*.asf *.wmv);;DVD (*.vob);;QuickTime (*.mov);;Tous (*);;"
                            "Autres (*.m4v *.mp4)";
const char* const kTitre = "Lecture de fichier video pour Tabulo";
constexpr int kLargeurDefaut = 640;
constexpr int kHauteurDefaut = 480;

} // namespace

TvidGrabForm::TvidGrabForm(ToolHost& host, QWidget* parent)
    : QMainWindow(parent, Qt::Window), modele(ReglesPointage::capture(6)), controleur(modele), m_host(host)
{
    setWindowTitle(QStringLiteral("KINEXO : lecture de fichier video pour Tabulo (TVideoGrabber)"));
    options = TOptionsVideoForm::existant();
    if (!options)
        options = new TOptionsVideoForm(this);
    options->creation = true;
    construit();

    // Creation values, then the settings.
    options->ZoomSE->setValue(2);
    options->NbreSE->setValue(1);
    modele.NbreSE = 1;
    modele.Nmes = 0;
    magnet = 6;
    modele.LongueurEchelle = 1;
    lisReglages();

    controleur.imageSuivanteExiste = [this] { return VideoGrabber.PlayerFramePosition() < VideoGrabber.PlayerFrameCount(); };
    controleur.tempsImage = [this](int) { return timePosition; };
    controleur.numeroImage = [this] { return framePosition; };
    controleur.texteLongueur = [this] { return EchelleEdit->text(); };
    connect(&controleur, &PointageControleur::repeindre, this, &TvidGrabForm::Dessine);
    connect(&controleur, &PointageControleur::imageSuivante, this,
            [this] { QMetaObject::invokeMethod(this, &TvidGrabForm::ImageSuivante, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::imagePrecedente, this,
            [this] { QMetaObject::invokeMethod(this, &TvidGrabForm::ImagePrecedente, Qt::QueuedConnection); });
    connect(&controleur, &PointageControleur::hint, this, &TvidGrabForm::hint);
    connect(&controleur, &PointageControleur::statut, this, [this](const QString& t) { statusBar()->showMessage(t); });
    connect(&controleur, &PointageControleur::message, this,
            [this](const QString& t) { QMessageBox::information(this, windowTitle(), t); });
    connect(&controleur, &PointageControleur::mesuresTerminees, this, [this] {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
        MesureBtn->setText(QStringLiteral("&Mesures"));
        ImageZoom->hide();
        Enabling();
        Dessine();
    });
    connect(&controleur, &PointageControleur::boutons, this, &TvidGrabForm::Enabling);
    connect(&controleur, &PointageControleur::tempsChanges, this, [this] { grille->rafraichit(); });
    connect(&controleur, &PointageControleur::origineTempsRelachee, this, [this] {
        const QSignalBlocker b(OrigineTempsBtn);
        OrigineTempsBtn->setChecked(false);
    });

    connect(&VideoGrabber, &TVideoGrabber::OnFrameCaptureCompleted, this, &TvidGrabForm::FrameCaptureCompleted);
    connect(&VideoGrabber, &TVideoGrabber::OnPlayerStateChanged, this, &TvidGrabForm::PlayerStateChanged);

    // The options dialog: this tool's handlers.
    LiensOptionsVideo& liens = LiensOptionsVideo::instance();
    connect(&liens, &LiensOptionsVideo::couleurPoints, this, [this](const QColor& c) {
        modele.Couleur[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))] = c;
        Dessine();
    });
    connect(&liens, &LiensOptionsVideo::redessiner, this, [this] {
        if (fichierOuvert())
            Dessine();
    });
    connect(&liens, &LiensOptionsVideo::nbrePoints, this, [this](int n) {
        modele.NbreSE = n;
        grilleReconstruite();
    });
    connect(options, &TOptionsVideoForm::origineChoisie, this, [this](bool mobile) {
        modele.ChoisitOrigineMobile(mobile);
        Dessine();
    });
    connect(options, &TOptionsVideoForm::zoomImageChange, this, &TvidGrabForm::ZoomAffichage);
    connect(options, &TOptionsVideoForm::peripheriqueChoisi, this, [this](int i) {
        VideoGrabber.StopRecording();
        VideoGrabber.setVideoDevice(i);
    });
    connect(options->AngleCB, &QCheckBox::toggled, this, [this](bool a) {
        modele.angle = a;
        if (a)
            modele.NbreSE = 3;
        grilleReconstruite();
        Enabling();
    });
    Enabling();
}

TvidGrabForm::~TvidGrabForm() = default;

void TvidGrabForm::construit()
{
    auto bouton = [this](const QString& texte, const QString& conseil = {}) {
        auto* b = new QToolButton(this);
        b->setText(texte);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (!conseil.isEmpty()) {
            b->setToolTip(PointageControleur::hintCourt(conseil));
            b->setStatusTip(PointageControleur::hintLong(conseil));
        }
        return b;
    };

    auto* MesureToolBar = addToolBar(QStringLiteral("Mesures"));
    MesureToolBar->setMovable(false);
    OpenBtn = bouton(QStringLiteral("Ouvrir"));
    OptionsBtn = bouton(QStringLiteral("Options"));
    ResetBtn = bouton(QStringLiteral("Rafraichir"));
    MesureBtn = bouton(QStringLiteral("&Mesures"), QStringLiteral("|Commencer les mesures"));
    MesureBtn->setCheckable(true);
    UndoBtn = bouton(QStringLiteral("Défaire"));
    RazBtn = bouton(QStringLiteral("RàZ"));
    ChronoPhotoBtn = bouton(QStringLiteral("&Chrono"), QStringLiteral("|Réaliser une chronophotographie"));
    ChronoPhotoBtn->setCheckable(true);
    OrigineTempsBtn = bouton(QStringLiteral("Origine"), QStringLiteral("L'image courante sera l'origine des temps"));
    HelpBtn = bouton(QStringLiteral("&Aide"));
    CibleBtn = bouton(QStringLiteral("Cible"));
    TabuloBtn = bouton(QStringLiteral("Tabulo"), QStringLiteral("Traitement des données"));
    AcquireBtn = bouton(QStringLiteral("Enregistrer"));
    ConnectBtn = bouton(QStringLiteral("Connect."));
    for (QToolButton* b : {OpenBtn, OptionsBtn, ResetBtn, MesureBtn, UndoBtn, RazBtn, ChronoPhotoBtn, OrigineTempsBtn,
                           HelpBtn, CibleBtn, TabuloBtn, AcquireBtn, ConnectBtn})
        MesureToolBar->addWidget(b);
    // The tool never records: these two stay hidden.
    for (QAction* a : MesureToolBar->actions().mid(11))
        a->setVisible(false);

    // Information line.
    addToolBarBreak();
    auto* PanelInfo = addToolBar(QStringLiteral("Informations"));
    PanelInfo->setMovable(false);
    DurationLabel = new QLabel(this);
    FrameCountLabel = new QLabel(this);
    CodecLabel = new QLabel(this);
    FrameRateEdit = new QLineEdit(QStringLiteral("25"), this);
    FrameRateEdit->setMaximumWidth(70);
    FrameRateEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresCadence), FrameRateEdit));
    TimePositionLabel = new QLabel(this);
    TimePositionLabel->setMinimumWidth(130);
    MesureAutoCB = new QCheckBox(QStringLiteral("Mesures auto"), this);
    for (QWidget* w : std::initializer_list<QWidget*>{DurationLabel, FrameCountLabel, CodecLabel})
        w->setMinimumWidth(120);
    PanelInfo->addWidget(DurationLabel);
    PanelInfo->addWidget(FrameCountLabel);
    PanelInfo->addWidget(CodecLabel);
    PanelInfo->addWidget(new QLabel(QStringLiteral("Echantillonnage (trame/s): "), this));
    PanelInfo->addWidget(FrameRateEdit);
    PanelInfo->addWidget(TimePositionLabel);
    PanelInfo->addWidget(MesureAutoCB);

    // Picture, its player strip, and the right panel.
    auto* split = new QSplitter(this);
    auto* gauche = new QWidget(split);
    auto* vg = new QVBoxLayout(gauche);
    vg->setContentsMargins(0, 0, 0, 0);
    ScrollBox = new QScrollArea(gauche);
    auto* porteur = new QWidget;
    auto* lp = new QVBoxLayout(porteur);
    lp->setContentsMargins(0, 0, 0, 0);
    Image = new VuePointage(controleur, porteur);
    Image->installEventFilter(this);
    lp->addWidget(Image);
    lp->addWidget(VideoGrabber.Display(porteur));
    lp->addStretch();
    ScrollBox->setWidget(porteur);
    ScrollBox->setWidgetResizable(true);
    vg->addWidget(ScrollBox, 1);
    PanelPlayer = new QWidget(gauche);
    auto* hp = new QHBoxLayout(PanelPlayer);
    hp->setContentsMargins(0, 0, 0, 0);
    StartPlayerBtn = bouton(QStringLiteral("▶"), QStringLiteral("Lecture"));
    StopPlayerBtn = bouton(QStringLiteral("■"), QStringLiteral("Stop"));
    PrecedentBtn = bouton(QStringLiteral("<"), QStringLiteral("Image précédente"));
    SuivantBtn = bouton(QStringLiteral(">"), QStringLiteral("Image suivante"));
    FinPhotoBtn = bouton(QStringLiteral("Fin"), QStringLiteral("Dernière image pour la chronophotographie"));
    TrackBar = new QSlider(Qt::Horizontal, PanelPlayer);
    TrackBar->setMinimum(1);
    TrackBar->setMaximum(1);
    TrackBar->setTickPosition(QSlider::TicksAbove);
    for (QWidget* w : std::initializer_list<QWidget*>{StartPlayerBtn, StopPlayerBtn, PrecedentBtn, SuivantBtn, FinPhotoBtn})
        hp->addWidget(w);
    hp->addWidget(TrackBar, 1);
    PanelPlayer->hide();
    vg->addWidget(PanelPlayer);
    PhotoPB = new QProgressBar(gauche);
    PhotoPB->setFormat(QStringLiteral("Chronophotographie : image %v / %m"));
    PhotoPB->hide();
    vg->addWidget(PhotoPB);

    auto* droite = new QWidget(split);
    auto* vd = new QVBoxLayout(droite);
    vd->setContentsMargins(0, 0, 0, 0);
    Grid = new GrilleVue(droite);
    grille = new GrillePointage(modele, Grid);
    Grid->setModel(grille);
    vd->addWidget(Grid, 1);
    auto* boiteEchelle = new QGroupBox(QStringLiteral("Echelle"), droite);
    auto* he = new QHBoxLayout(boiteEchelle);
    EchelleEdit = new ChampNombre(QStringLiteral("m"), QStringLiteral("Echelle incorrecte"), boiteEchelle,
                                  QString::fromUtf8(kCaracteresCadence));
    EchelleEdit->setText(QStringLiteral("1"));
    EchelleEdit->setFixedHeight(22);
    he->addWidget(EchelleEdit);
    he->addWidget(new QLabel(QStringLiteral("m"), boiteEchelle));
    vd->addWidget(boiteEchelle);
    ImageZoom = new QLabel(droite);
    ImageZoom->setFixedSize(200, 200);
    ImageZoom->setScaledContents(true);
    ImageZoom->hide();
    vd->addWidget(ImageZoom, 0, Qt::AlignHCenter);
    // The picture takes the room; the table, scale and magnifier keep a column at the right.
    droite->setMaximumWidth(360);
    split->setStretchFactor(0, 4);
    split->setStretchFactor(1, 1);
    setCentralWidget(split);

    CibleMenu = new QMenu(this);
    auto* groupe = new QActionGroup(this);
    const std::pair<const char*, int> choix[] = {{"Curseur croix", 0}, {"Curseur cible noire", crCibleNoire},
                                                 {"Curseur cible blanche", crCibleBlanche}, {"Curseur cible", crCibleNormale}};
    for (auto [nom, tag] : choix) {
        QAction* a = CibleMenu->addAction(QString::fromUtf8(nom));
        a->setCheckable(true);
        a->setData(tag);
        groupe->addAction(a);
    }
    connect(groupe, &QActionGroup::triggered, this, [this](QAction* a) {
        const int tag = a->data().toInt();
        controleur.CurseurPointage = tag == 0 ? crCroix : tag;
    });
    CibleMenu->addSeparator();
    connect(CibleMenu->addAction(QStringLiteral("Bitmap")), &QAction::triggered, this,
            [this] { sauveImage(QStringLiteral("bitmap (*.bmp)"), QStringLiteral("bmp")); });
    connect(CibleMenu->addAction(QStringLiteral("Jpeg")), &QAction::triggered, this,
            [this] { sauveImage(QStringLiteral("JPEG (*.jpg)"), QStringLiteral("jpg")); });
    connect(CibleMenu->addAction(QStringLiteral("Ping")), &QAction::triggered, this,
            [this] { sauveImage(QStringLiteral("Ping (*.png)"), QStringLiteral("png")); });
    connect(Image, &VuePointage::menuDemande, this, [this](const QPoint& g) {
        if (fichierOuvert() && !m_menuRetire)
            CibleMenu->popup(g);
    });

    connect(OpenBtn, &QToolButton::clicked, this, &TvidGrabForm::OpenBtnClick);
    connect(OptionsBtn, &QToolButton::clicked, this, [this] {
        options->show();
        options->raise();
        options->move(frameGeometry().center() - options->rect().center());
    });
    connect(StartPlayerBtn, &QToolButton::clicked, this, [this] { VideoGrabber.RunPlayer(); });
    connect(StopPlayerBtn, &QToolButton::clicked, this, [this] { VideoGrabber.StopPlayer(); });
    connect(SuivantBtn, &QToolButton::clicked, this,
            [this] { QMetaObject::invokeMethod(this, &TvidGrabForm::ImageSuivante, Qt::QueuedConnection); });
    connect(PrecedentBtn, &QToolButton::clicked, this,
            [this] { QMetaObject::invokeMethod(this, &TvidGrabForm::ImagePrecedente, Qt::QueuedConnection); });
    connect(TrackBar, &QSlider::valueChanged, this, [this](int v) {
        if (fichierOuvert())
            demandeImage(v);
    });
    connect(ResetBtn, &QToolButton::clicked, this, [this] {
        if (!fichierOuvert())
            return;
        const int p = TrackBar->value();
        demandeImage(p > VideoGrabber.PlayerFrameCount() / 2 ? p - 1 : p + 1);
    });
    connect(RazBtn, &QToolButton::clicked, this, [this] {
        modele.Raz();
        grille->rafraichit();
        if (fichierOuvert())
            demandeImage(1);
        Enabling();
        Dessine();
    });
    connect(MesureBtn, &QToolButton::toggled, this, &TvidGrabForm::MesureBtnClick);
    connect(ChronoPhotoBtn, &QToolButton::toggled, this, &TvidGrabForm::ChronoPhotoBtnClick);
    connect(FinPhotoBtn, &QToolButton::clicked, this, [this] {
        if (!fichierOuvert())
            return;
        finSelection = TrackBar->value();
        statusBar()->showMessage(QStringLiteral("Dernière image pour la chronophotographie : n° %1").arg(finSelection));
    });
    connect(UndoBtn, &QToolButton::clicked, this, [this] { controleur.UndoBtnClick(); });
    connect(OrigineTempsBtn, &QToolButton::clicked, this, &TvidGrabForm::OrigineTempsBtnClick);
    connect(HelpBtn, &QToolButton::clicked, this, &TvidGrabForm::HelpBtnClick);
    connect(CibleBtn, &QToolButton::clicked, this, &TvidGrabForm::CibleBtnClick);
    connect(TabuloBtn, &QToolButton::clicked, this, &TvidGrabForm::TabuloBtnClick);
    connect(FrameRateEdit, &QLineEdit::editingFinished, this, &TvidGrabForm::FrameRateEditExit);
    connect(EchelleEdit, &ChampNombre::nombreLu, this, [this](double v) {
        modele.LongueurEchelle = v;
        modele.CalculEchelle();
        grille->rafraichit();
        Dessine();
    });
    connect(EchelleEdit, &ChampNombre::illisible, this,
            [this] { EchelleEdit->setText(TexteNombreUnite(modele.LongueurEchelle, QStringLiteral("m"))); });
    connect(Grid, &GrilleVue::ligneChoisie, this, [this](int ligne) {
        if (OrigineTempsBtn->isChecked())
            controleur.GrilleLigneChoisie(ligne);
    });
    resize(1100, 750);
}

void TvidGrabForm::hint(const QString& h)
{
    Image->setToolTip(PointageControleur::hintCourt(h));
    statusBar()->showMessage(PointageControleur::hintLong(h));
}

void TvidGrabForm::lisReglages()
{
    const ReglagesPointage r = litReglagesPointage(SectionReglages(m_host.fichierIni(), QStringLiteral("AVI")), modele, true);
    m_filterIndex = r.filtre;
    options->TraceEchCB->setChecked(r.dessin.axes);
    options->setTracePoints(!r.dessin.points ? TOptionsVideoForm::tpSans
                            : r.dessin.reticule ? TOptionsVideoForm::tpReticule
                                                : TOptionsVideoForm::tpCroix);
    options->EtiquetteCB->setChecked(r.dessin.etiquette);
    options->setCouleurAxe(r.dessin.couleurAxe);
    options->setCouleurPoints(modele.Couleur[1]);
    options->setAxes(int(modele.sensAxes));
    options->IncertitudeSE->setValue(r.incertitude);
    controleur.CurseurPointage = r.cible;
    for (QAction* a : CibleMenu->actions())
        if (a->isCheckable())
            a->setChecked(a->data().toInt() == (r.cible == crCroix ? 0 : r.cible));
}

void TvidGrabForm::ecritReglages()
{
    SectionReglages s(m_host.fichierIni(), QStringLiteral("AVI"));
    ReglagesPointage r;
    r.dessin = options->options();
    r.cible = controleur.CurseurPointage;
    r.incertitude = options->IncertitudeSE->value();
    r.filtre = m_filterIndex;
    modele.sensAxes = TsensAxes(options->axes());
    ecritReglagesPointage(s, r, modele, true);
    s.enregistre();
}

void TvidGrabForm::OpenBtnClick()
{
    if (fichierOuvert())
        VideoGrabber.StopPlayer();
    QStringList filtres = QString::fromUtf8(kFiltre).split(QStringLiteral(";;"));
    QString filtre = filtres.value(m_filterIndex - 1, filtres[0]);
    const QString nom =
        QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), m_dossier, filtres.join(QStringLiteral(";;")), &filtre);
    if (nom.isEmpty())
        return;
    m_filterIndex = int(filtres.indexOf(filtre)) + 1;
    OuvreFichier(nom);
}

void TvidGrabForm::OuvreFichier(const QString& nom)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool ok = true;
    VideoGrabber.setPlayerFileName(nom);
    if (!VideoGrabber.OpenPlayer())
        ok = false;

    // As RazBtn: no measurements, frame 0.
    modele.Raz();
    finSelection = 0;
    options->ZoomSE->setValue(2);
    controleur.BorneSelect = bsNone;
    if (MesureBtn->isChecked()) {
        const QSignalBlocker b(MesureBtn);
        MesureBtn->setChecked(false);
        MesureBtn->setText(QStringLiteral("&Mesures"));
        controleur.MesureBtnClick(false);
    }
    if (ok) {
        modele.Largeur = VideoGrabber.VideoWidth() > 0 ? VideoGrabber.VideoWidth() : kLargeurDefaut;
        modele.Hauteur = VideoGrabber.VideoHeight() > 0 ? VideoGrabber.VideoHeight() : kHauteurDefaut;
        modele.mediaOuvert = true;
        const QSize zone = ScrollBox->viewport()->size();
        const int z = zoomAffichagePour(zone.width(), zone.height(), modele.Largeur, modele.Hauteur);
        {
            const QSignalBlocker b(options->ZoomImageSE);
            options->ZoomImageSE->setValue(z);
        }
        options->ZoomSE->setMinimum(z);
        options->ZoomSE->setValue(2 * z);
        ZoomAffichage(z);
        modele.PlaceReperesDefaut();
        modele.OrigineX = modele.PointRepere[bsOrigine].x();
        modele.OrigineY = modele.PointRepere[bsOrigine].y();

        TAVIInfo info;
        const QSignalBlocker b(TrackBar);
        if (VideoGrabber.AVIInfo(nom, info)) {
            DurationLabel->setText(QStringLiteral("Durée : ") + texteFixe(info.Duration / 1e7, 2) + QStringLiteral(" s"));
            FrameCountLabel->setText(QStringLiteral("Nombre de trames : %1").arg(info.FrameCount));
            CodecLabel->setText(QStringLiteral("video codec : ") + info.VideoCodec);
            videoCodec = info.VideoCodec;
            nbreTrames = info.FrameCount;
            cadence.ouvre(info.FrameRate);
            TrackBar->setMaximum(int(std::max<qint64>(1, info.FrameCount)));
        } else {
            DurationLabel->clear();
            FrameCountLabel->clear();
            CodecLabel->clear();
            videoCodec.clear();
            cadence.ouvre(1);
            TrackBar->setMaximum(int(std::max<qint64>(1, VideoGrabber.PlayerFrameCount())));
        }
        FrameRateEdit->setText(cadence.texteFichier());
        modele.EchelleT = cadence.EchelleT;
        TrackBar->setValue(1);
        PanelPlayer->show();
        setWindowTitle(QString::fromUtf8(kTitre) + QStringLiteral(" [") + QFileInfo(nom).fileName() + QChar(']')
                       + videoCodec);
    } else {
        VideoGrabber.setPlayerFileName(QString());
        modele.mediaOuvert = false;
        QApplication::restoreOverrideCursor();
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Problème avec Codec ?"));
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }

    modele.torigine = 0;
    OrigineTempsBtn->setCheckable(false);
    OrigineTempsBtn->setToolTip(QStringLiteral("L'image courante sera l'origine des temps"));
    VideoGrabber.setDisplay_Visible(false);
    Enabling();
    TrackBar->setSingleStep(std::max(1, TrackBar->maximum() / 32));
    TrackBar->setPageStep(std::max(1, TrackBar->maximum() / 8));
    grilleReconstruite();
    QApplication::restoreOverrideCursor();
    if (ok) {
        // The file plays once, then its first frame is shown, ready for measuring.
        m_lectureOuverture = true;
        VideoGrabber.RunPlayer();
    }
}

void TvidGrabForm::ZoomAffichage(int z)
{
    zoomAffichage = std::clamp(z, 1, 4);
    Image->setZoom(zoomAffichage);
    if (AffichageLecteur* d = VideoGrabber.Display())
        d->setFixedSize(modele.Largeur * zoomAffichage, modele.Hauteur * zoomAffichage);
    magnet = magnetPour(zoomAffichage);
    modele.regles().setMagnet(magnet);
    Dessine();
}

void TvidGrabForm::demandeImage(int position)
{
    if (!fichierOuvert())
        return;
    m_attente = true;
    SuivantBtn->setEnabled(false);
    PrecedentBtn->setEnabled(false);
    m_recoitImages = true;
    {
        const QSignalBlocker b(TrackBar);
        TrackBar->setValue(position);
    }
    VideoGrabber.setPlayerFramePosition(position);
}

void TvidGrabForm::ImageSuivante()
{
    const int p = TrackBar->value();
    if (fichierOuvert() && p + 1 <= TrackBar->maximum())
        demandeImage(p + 1);
}

void TvidGrabForm::ImagePrecedente()
{
    const int p = TrackBar->value();
    if (fichierOuvert() && p - 1 > 0)
        demandeImage(p - 1);
}

void TvidGrabForm::FrameCaptureCompleted(const QImage& image, int, int, qint64 numero, qint64 temps)
{
    if (!m_recoitImages)
        return;
    const PositionTrame p = positionTrame(numero, temps, TrackBar->maximum(), TrackBar->value(),
                                          cadence.VideoFrameRateFps);
    timePosition = p.timePosition;
    framePosition = p.framePosition;
    TimePositionLabel->setText(texteTimePosition(p));
    {
        // The track bar follows the frame shown (after playing, too).
        const QSignalBlocker b(TrackBar);
        TrackBar->setValue(framePosition);
    }
    m_attente = false;
    SuivantBtn->setEnabled(true);
    PrecedentBtn->setEnabled(true);
    switch (controleur.BorneSelect) {
    case bsChronoInit:
        PremiereImageChrono(image);
        return;
    case bsChrono:
        ImageChrono(image);
        return;
    default:
        break;
    }
    if (!image.isNull())
        bitmapCourant = image;
    Dessine();
}

void TvidGrabForm::PlayerStateChanged(TPlayerState, TPlayerState nouveau)
{
    switch (nouveau) {
    case ps_Stopped:
    case ps_Paused:
        VideoGrabber.setDisplay_Visible(false);
        m_recoitImages = true;
        Image->show();
        SuivantBtn->setEnabled(true);
        PrecedentBtn->setEnabled(true);
        if (m_lectureOuverture && fichierOuvert()) {
            m_lectureOuverture = false;
            demandeImage(1);
        } else if (nouveau == ps_Paused && fichierOuvert()) {
            demandeImage(TrackBar->value() == 1 ? 2 : 1);
        }
        break;
    case ps_Playing:
    case ps_PlayingBackward:
        VideoGrabber.setDisplay_Visible(true);
        m_recoitImages = false;
        Image->hide();
        break;
    case ps_Closed:
        break;
    }
}

void TvidGrabForm::FrameRateEditExit()
{
    if (m_lectureCadence)
        return;
    m_lectureCadence = true;
    if (!cadence.declare(FrameRateEdit->text())) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Nombre de trames par seconde incorrecte"));
        FrameRateEdit->setText(cadence.texteFichier());
    }
    modele.EchelleT = cadence.EchelleT;
    grille->rafraichit();
    m_lectureCadence = false;
}

void TvidGrabForm::Dessine()
{
    if (!fichierOuvert())
        return;
    modele.sensAxes = TsensAxes(options->axes());
    modele.origineMobile = options->origineMobile();
    Image->setOptions(options->options());
    Image->setImage(bitmapCourant);
    modele.CalculEchelle();
    grille->rafraichit();
}

void TvidGrabForm::grilleReconstruite()
{
    grille->reconstruit();
    grille->rafraichit();
}

void TvidGrabForm::MesureBtnClick(bool enfonce)
{
    if (enfonce && MesureAutoCB->isChecked()) {
        MesureAutoDebut();
        return;
    }
    if (!enfonce && mesureAuto) {
        // Released during the run: what was measured stays, the picture is written.
        if (controleur.BorneSelect == bsChrono)
            FinChrono();
        else
            AbandonChrono();
        return;
    }
    if (enfonce) {
        modele.angle = options->angle();
        modele.NbreSE = modele.angle ? 3 : options->NbreSE->value();
        modele.origineMobile = options->origineMobile();
        modele.torigine = timePosition;
        fOrigine = framePosition;
        MesureBtn->setText(QStringLiteral("&Stop"));
        ImageZoom->show();
    } else {
        MesureBtn->setText(QStringLiteral("&Mesures"));
        ImageZoom->hide();
    }
    controleur.MesureBtnClick(enfonce);
    if (enfonce && modele.angle)
        statusBar()->showMessage(
            QStringLiteral("Trois points par image : point sur la base, sommet de l'angle, point final (dans cet ordre)")
            + QChar(' ') + PointageControleur::hintLong(controleur.hintPremierPoint(0)));
    grilleReconstruite();
    Enabling();
}

void TvidGrabForm::OrigineTempsBtnClick(bool enfonce)
{
    if (!fichierOuvert())
        return;
    if (modele.Nmes <= 0) {
        const QSignalBlocker b(OrigineTempsBtn);
        OrigineTempsBtn->setChecked(false);
        fOrigine = framePosition;
        controleur.OrigineTempsImage(timePosition);
        return;
    }
    controleur.OrigineTempsBtnClick(enfonce);
}

TableSource TvidGrabForm::sourceTabulo()
{
    TableSource s = sourcePointage(modele, {}, options->IncertitudeSE->value(), VideoGrabber.PlayerFileName());
    s.titre = QString::fromUtf8(kTitre);
    s.accepte = [this] {
        const Etendue e = modele.etendue();
        if (!e.x && !e.y) {
            QMessageBox::warning(this, windowTitle(), QStringLiteral("Mesures sur zone trop étroite !"));
            return false;
        }
        return true;
    };
    return s;
}

void TvidGrabForm::TabuloBtnClick()
{
    m_host.transfert().envoie(this, Destination::Tabulo, sourceTabulo());
    if (MesureBtn->isChecked())
        MesureBtn->setChecked(false);
    Enabling();
}

void TvidGrabForm::HelpBtnClick()
{
    TAideCodecDlg d(this);
    d.exec();
}

void TvidGrabForm::CibleBtnClick()
{
    // 6 -> 7 -> 8 -> 9 (the double target) -> 6.
    int& c = controleur.CurseurPointage;
    c = (c >= crCibleNoire && c < crCibleDouble) ? c + 1 : crCibleNoire;
    if (controleur.mesure())
        Image->setCursor(curseurDe(c));
}

void TvidGrabForm::sauveImage(const QString& filtre, const QString& extension)
{
    if (!fichierOuvert())
        return;
    QFileDialog fd(this, QString(), m_dossier, filtre);
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(extension);
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    const QString nom = fd.selectedFiles().constFirst();
    QString erreur;
    if (!sauveImageChrono(Image->rendu(), nom, &erreur)) {
        QMessageBox::critical(this, windowTitle(), erreur);
        return;
    }
    nomFichierBmp = nom;
    if (extension == QLatin1String("bmp"))
        montreChrono(nom);
}

void TvidGrabForm::metLoupe(QPoint pixel)
{
    const int z = std::max(1, options->ZoomSE->value());
    const QSize s(ImageZoom->width() / z, ImageZoom->height() / z);
    bitmapZoom = imageLoupeCapture(bitmapCourant, pixel, s);
    ImageZoom->setPixmap(QPixmap::fromImage(bitmapZoom));
}

QPoint TvidGrabForm::pixelImage(QPoint ecran) const
{
    // Integer division, as the controller takes it.
    return QPoint(ecran.x() / zoomAffichage, ecran.y() / zoomAffichage);
}

bool TvidGrabForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == Image) {
        switch (e->type()) {
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton && fichierOuvert() && !m_attente
                && (controleur.BorneSelect == bsCible || controleur.BorneSelect == bsMesureAuto)) {
                cliqueCible(pixelImage(static_cast<QMouseEvent*>(e)->position().toPoint()));
                return true;
            }
            [[fallthrough]];
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Nothing without a file, nor while a frame is awaited (the right button's menu aside).
            if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton && (!fichierOuvert() || m_attente))
                return true;
            break;
        case QEvent::KeyPress:
            if (m_attente)
                return true;
            break;
        case QEvent::MouseMove:
            if (controleur.BorneSelect != bsNone && fichierOuvert()) {
                const QPoint p = pixelImage(static_cast<QMouseEvent*>(e)->position().toPoint());
                metLoupe(p);
            }
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(o, e);
}

void TvidGrabForm::Enabling()
{
    const bool f = fichierOuvert();
    const bool m = MesureBtn->isChecked();
    const bool chrono = ChronoPhotoBtn->isChecked();
    EchelleEdit->setEnabled(f);
    OrigineTempsBtn->setEnabled(f);
    ResetBtn->setEnabled(f);
    ChronoPhotoBtn->setEnabled(f && !m);
    MesureBtn->setEnabled(f && !chrono);
    options->NbreSE->setEnabled(f && !m && !modele.angle);
    options->NbreSE->setVisible(!options->angle());
    options->LabelNbreSE->setVisible(!options->angle());
    for (QAbstractButton* b : options->OrigineRG->buttons())
        b->setEnabled(f && !m);
    RazBtn->setEnabled(modele.Nmes > 0);
    TabuloBtn->setEnabled(modele.Nmes > 0);
    UndoBtn->setEnabled(f && m && modele.Nmes > 0);
    MesureBtn->setStatusTip(m ? QStringLiteral("Arrêt des mesures") : QStringLiteral("Commencer les mesures"));
    ChronoPhotoBtn->setStatusTip(chrono ? QStringLiteral("Arrêt de la Chronophotographie")
                                        : QStringLiteral("Réaliser une chronophotographie"));
    const bool plain = modele.Nmes <= 0;
    OrigineTempsBtn->setCheckable(!plain);
    OrigineTempsBtn->setToolTip(plain ? QStringLiteral("L'image courante sera l'origine des temps")
                                      : QStringLiteral("Cliquer sur le point enregistré qui sera l'origine des temps"));
    if (controleur.BorneSelect == bsNone)
        Image->setCursor(curseurDe(crDefaut));
    modele.CalculEchelle();
}

void TvidGrabForm::Activation()
{
    if (m_premiereActivation) {
        m_premiereActivation = false;
        options->creation = false;
    }
    options->remplitPeripheriques(VideoGrabber.VideoDevices(), VideoGrabber.VideoDevice());
}

void TvidGrabForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    setWindowState(windowState() | Qt::WindowMaximized);
    Activation();
}

void TvidGrabForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && !m_premiereActivation)
        Activation();
}

void TvidGrabForm::closeEvent(QCloseEvent* e)
{
    fermeChrono();
    ecritReglages();
    if (fichierOuvert()) {
        if (VideoGrabber.PlayerState() == ps_Playing)
            VideoGrabber.StopPlayer();
        VideoGrabber.ClosePlayer();
        VideoGrabber.setPlayerFileName(QString());
    }
    modele.mediaOuvert = false;
    PanelPlayer->hide();
    Enabling();
    m_host.setMode(mNone);
    hide();
    e->ignore();
}

// The chronophotograph runs from the frame shown to the frame marked "Fin" (or the last one).
void TvidGrabForm::ChronoPhotoBtnClick(bool enfonce)
{
    if (!enfonce) {
        if (controleur.BorneSelect == bsChrono)
            FinChrono();
        else if (controleur.BorneSelect == bsCible || controleur.BorneSelect == bsChronoInit)
            AbandonChrono();
        return;
    }
    QFileDialog fd(this, QString(), m_dossier, QStringLiteral("JPEG (*.jpg);;Bitmap (*.bmp);;PNG (*.png)"));
    fd.setObjectName(QStringLiteral("ChronoDialog"));
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(QStringLiteral("jpg"));
    connect(&fd, &QFileDialog::filterSelected, &fd, [&fd](const QString& f) {
        fd.setDefaultSuffix(f.contains(QLatin1String("bmp")) ? QStringLiteral("bmp")
                            : f.contains(QLatin1String("png")) ? QStringLiteral("png")
                                                               : QStringLiteral("jpg"));
    });
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty()) {
        const QSignalBlocker b(ChronoPhotoBtn);
        ChronoPhotoBtn->setChecked(false);
        Enabling();
        return;
    }
    nomFichierBmp = fd.selectedFiles().constFirst();
    mesureAuto = false;
    if (QMessageBox::question(this, windowTitle(), QStringLiteral("Mobile visible"), QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes) {
        controleur.BorneSelect = bsCible;
        Image->setCursor(curseurDe(controleur.CurseurPointage));
        QMessageBox::information(this, windowTitle(), QStringLiteral("Cliquer sur le mobile"));
        return;
    }
    xCibleChrono = 0;
    yCibleChrono = 0;
    debutComposite();
}

void TvidGrabForm::MesureAutoDebut()
{
    nomFichierBmp = m_host.appDataDir() + QStringLiteral("kinexo.bmp");
    mesureAuto = true;
    controleur.BorneSelect = bsMesureAuto;
    m_menuRetire = true;
    if (options->angle() || options->NbreSE->value() > 1)
        QMessageBox::information(this, windowTitle(), QStringLiteral("Un seul mobile possible"));
    modele.angle = false;
    modele.NbreSE = 1;
    modele.origineMobile = false;
    {
        const QSignalBlocker b(options->NbreSE);
        options->NbreSE->setValue(1);
    }
    MesureBtn->setText(QStringLiteral("&Stop"));
    hint(QStringLiteral("Cible|") + QStringLiteral("Cliquer sur la cible à suivre"));
    Image->setCursor(curseurDe(controleur.CurseurPointage));
    grilleReconstruite();
    Enabling();
    QMessageBox::information(this, windowTitle(), QStringLiteral("Cliquer sur la cible à suivre"));
}

void TvidGrabForm::cliqueCible(QPoint p)
{
    xCibleChrono = p.x();
    yCibleChrono = p.y();
    modele.PointRepere[bsCible] = p;
    hint(QString());
    if (!mesureAuto) {
        debutComposite();
        return;
    }
    // Row 0 is the target as clicked, at the time of the frame shown, which becomes t = 0.
    modele.torigine = timePosition;
    fOrigine = framePosition;
    modele.Nmes = 0;
    modele.PointCourant = 1;
    modele.PointRepere[bsMesure] = p;
    modele.EnregistrePoint(timePosition, framePosition);
    m_manques = 0;
    controleur.BorneSelect = bsChronoInit;
    modele.CalculEchelle();
    Enabling();
    // The frame the target was clicked on is the background.
    demandeImage(TrackBar->value());
}

void TvidGrabForm::debutComposite()
{
    // No point is measured by a plain chronophotograph: the table starts empty.
    modele.PointCourant = 1;
    modele.Nmes = 0;
    modele.torigine = 0;
    modele.angle = false;
    modele.NbreSE = 1;
    grilleReconstruite();
    controleur.BorneSelect = bsChronoInit;
    Enabling();
    // The range starts at the frame shown, the one the mobile was clicked on.
    demandeImage(TrackBar->value());
}

void TvidGrabForm::PremiereImageChrono(const QImage& image)
{
    const QImage fond = image.convertToFormat(QImage::Format_RGB32);
    const QPoint cible(xCibleChrono, yCibleChrono);
    const bool objet = xCibleChrono > 0 && yCibleChrono > 0 && fond.rect().contains(cible);
    CouleurCible = objet ? fond.pixel(cible) : 0;
    composite.commence(fond, objet ? std::optional<QRgb>(CouleurCible) : std::nullopt);
    if (mesureAuto)
        suivi.commence(fond, cible, objet ? std::optional<QRgb>(CouleurCible) : std::nullopt);
    bitmapCourant = image;
    controleur.BorneSelect = bsChrono;
    // The run may last: hourglass, and the images done out of the range.
    if (!m_progression)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    m_progression = true;
    PhotoPB->setRange(framePosition, std::max(framePosition, finSelection > 0 ? finSelection : int(VideoGrabber.PlayerFrameCount())));
    PhotoPB->setValue(framePosition);
    PhotoPB->show();
    Dessine();
    QMetaObject::invokeMethod(this, &TvidGrabForm::ImageSuivante, Qt::QueuedConnection);
}

void TvidGrabForm::ImageChrono(const QImage& image)
{
    bitmapCourant = image;
    PhotoPB->setValue(framePosition);
    const QImage img = image.convertToFormat(QImage::Format_RGB32);
    composite.ajoute(img);
    if (mesureAuto) {
        const QPoint avant = modele.XY[1][std::max(0, modele.Nmes - 1)];
        if (const std::optional<SuiviCouleur::Trouve> t = suivi.suit(img, avant)) {
            m_manques = 0;
            modele.PointCourant = 1;
            modele.PointRepere[bsMesure] = t->centre;
            if (modele.EnregistrePoint(timePosition, framePosition) == PointageModel::Enregistrement::Refuse) {
                QMessageBox::information(this, windowTitle(), QStringLiteral("Nombre maximal de mesures atteint"));
                FinChrono();
                return;
            }
        } else if (++m_manques == 1) {
            m_premierManque = framePosition;
        }
        if (m_manques >= kManquesMax) {
            const QPoint p = modele.XY[1][std::max(0, modele.Nmes - 1)];
            QMessageBox::information(
                this, windowTitle(),
                QStringLiteral("Cible perdue à partir de l'image n° %1 : dernière position x = %2, y = %3 pixels "
                               "(image n° %4). Les mesures s'arrêtent là.")
                    .arg(m_premierManque)
                    .arg(p.x())
                    .arg(p.y())
                    .arg(modele.NumFrame[size_t(std::max(0, modele.Nmes - 1))]));
            FinChrono();
            return;
        }
    }
    const int fin = finSelection > 0 ? finSelection : int(VideoGrabber.PlayerFrameCount());
    if (framePosition >= fin || TrackBar->value() >= TrackBar->maximum()) {
        FinChrono();
        return;
    }
    Dessine();
    QMetaObject::invokeMethod(this, &TvidGrabForm::ImageSuivante, Qt::QueuedConnection);
}

void TvidGrabForm::finProgression()
{
    PhotoPB->hide();
    if (m_progression)
        QApplication::restoreOverrideCursor();
    m_progression = false;
}

void TvidGrabForm::FinChrono()
{
    finProgression();
    controleur.BorneSelect = bsNone;
    QString erreur;
    const bool ecrit = composite.enCours() && sauveImageChrono(composite.resultat(), nomFichierBmp, &erreur);
    composite.abandonne();
    suivi.abandonne();
    const bool etaitAuto = mesureAuto;
    mesureAuto = false;
    m_menuRetire = false;
    hint(QString::fromUtf8(kHintCurseur));
    {
        const QSignalBlocker a(ChronoPhotoBtn), b(MesureBtn);
        ChronoPhotoBtn->setChecked(false);
        MesureBtn->setChecked(false);
    }
    MesureBtn->setText(QStringLiteral("&Mesures"));
    Enabling();
    grille->rafraichit();
    Dessine();
    if (!ecrit) {
        if (!erreur.isEmpty())
            QMessageBox::critical(this, windowTitle(), erreur);
        return;
    }
    if (!etaitAuto || modele.Nmes > 0)
        montreChrono(nomFichierBmp);
}

void TvidGrabForm::AbandonChrono()
{
    finProgression();
    controleur.BorneSelect = bsNone;
    composite.abandonne();
    suivi.abandonne();
    mesureAuto = false;
    m_menuRetire = false;
    {
        const QSignalBlocker a(ChronoPhotoBtn), b(MesureBtn);
        ChronoPhotoBtn->setChecked(false);
        MesureBtn->setChecked(false);
    }
    MesureBtn->setText(QStringLiteral("&Mesures"));
    hint(QString::fromUtf8(kHintCurseur));
    Enabling();
    Dessine();
}

void TvidGrabForm::montreChrono(const QString& fichier)
{
    if (!m_chronoForm)
        m_chronoForm = new TChronoForm(this);
    m_chronoForm->charge(fichier);
    m_chronoForm->exec();
    statusBar()->showMessage(PointageControleur::hintLong(QString::fromUtf8(kHintCurseur)));
}

void TvidGrabForm::fermeChrono()
{
    if (!m_chronoForm)
        return;
    m_chronoForm->close();
    delete m_chronoForm;
    m_chronoForm = nullptr;
}

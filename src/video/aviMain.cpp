#include "aviMain.h"

#include "Aide.h"
#include "AideCodec.h"
#include "AttenteVideo.h"
#include "ChronoForm.h"
#include "LoupeForm.h"
#include "NumberText.h"
#include "TransferButton.h"
#include "optionsVideo.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
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

} // namespace

// The frame's images come from the player; a row's time is the image's (or i * DureeImage).
class TAviForm::Source : public SourcePointage
{
public:
    explicit Source(TAviForm& f) : m_f(f) {}
    bool ouverte() const override { return m_f.m_lecteur.ouvert(); }
    int nombreImages() const override { return m_f.m_lecteur.longueurImages(); }
    int numeroImage() const override { return m_f.m_lecteur.image(); }
    bool allerImage(int i) override { return m_f.m_lecteur.allerImage(i); }
    QImage image() const override { return m_f.m_lecteur.imageCourante(); }
    double tempsImage(int ligne) const override
    {
        return PointageModel::tempsLecteur(ligne, m_f.TempsCourant, m_f.DureeImage);
    }
    double tempsMontre() const override { return m_f.TempsPosition(m_f.m_lecteur.position()); }
    QString erreur() const override { return m_f.m_lecteur.erreur(); }

private:
    TAviForm& m_f;
};

TAviForm::TAviForm(ToolHost& host, QWidget* parent)
    : CadrePointage(host, ReglesPointage::lecteur(), QStringLiteral("AVI"), parent),
      m_sourceLecteur(std::make_unique<Source>(*this))
{
    setWindowTitle(QStringLiteral("KINEXO : lecture de fichier AVI pour Tabulo (mediaPlayer)"));
    setSource(m_sourceLecteur.get());
    construit();
    lisReglages();
    scrollTimer.setInterval(kPeriodeDefilement);
    connect(&scrollTimer, &QTimer::timeout, this, &TAviForm::ScrollTimerTimer);

    // The second video tool's options dialog speaks to this tool too.
    LiensOptionsVideo& liens = LiensOptionsVideo::instance();
    connect(&liens, &LiensOptionsVideo::couleurPoints, this, [this](const QColor& c) {
        modele.Couleur[size_t(std::clamp(modele.PointCourant, 0, kPointsMax))] = c;
        Rafraichir();
    });
    connect(&liens, &LiensOptionsVideo::redessiner, this, [this] {
        if (m_lecteur.ouvert())
            Rafraichir();
    });
    connect(&liens, &LiensOptionsVideo::nbrePoints, this, [this](int n) { NbreSE->setValue(n); });
    connect(&liens, &LiensOptionsVideo::zoomImage, this, &TAviForm::EffectuerZoom);
    connect(&controleur, &PointageControleur::cibleChoisie, this, &TAviForm::CibleChoisie);
    MajBoutons();
}

TAviForm::~TAviForm() = default;

void TAviForm::construit()
{
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
    for (QWidget* w : std::initializer_list<QWidget*>{LectureBtn, PauseBtn, StopBtn, DebutBtn, PrecedentBtn,
                                                      SuivantBtn, FinBtn, TempsLabel, ProgressBar, CodecLabel})
        bande->addWidget(w);
    ajouteOptions(bande);
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
        lectureTimer.start(std::max(1, arrondi(1000 * DureeImage)));
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

    // First tool bar.
    auto* barre1 = addToolBar(QStringLiteral("Outils"));
    barre1->setMovable(false);
    OpenBtn = bouton(QStringLiteral("Ouvrir"));
    VidcapBtn = bouton(QStringLiteral("&Vidcap"));
    RefreshBtn = bouton(QStringLiteral("&Rafraichir"));
    HelpBtn = bouton(QStringLiteral("&Aide"), QStringLiteral("en cas de problème de lecture des fichiers AVI"));
    ExitBtn = bouton(QStringLiteral("&Quitter"));
    LoupeBtn = bouton(QStringLiteral("Loupe"), QStringLiteral("Loupe autour de la souris pendant les mesures"));
    LoupeBtn->setCheckable(true);
    ChronoPhotoBtn = bouton(QStringLiteral("&Chrono"), QStringLiteral("Réaliser une chronophotographie"));
    ChronoPhotoBtn->setCheckable(true);
    for (QWidget* w : std::initializer_list<QWidget*>{OpenBtn, VidcapBtn, OrigineBtn, EchelleBtn, MesureBtn, LoupeBtn,
                                                      PaintBox, UndoBtn, RazBtn, TabuloBtn, RefreshBtn, ChronoPhotoBtn,
                                                      OrigineTempsBtn, HelpBtn, ExitBtn})
        barre1->addWidget(w);
    connect(ChronoPhotoBtn, &QToolButton::toggled, this, &TAviForm::ChronoPhotoBtnClick);
    connect(LoupeBtn, &QToolButton::toggled, this, [this](bool enfonce) {
        if (!enfonce && m_loupe)
            m_loupe->hide();
    });
    connect(Image, &VuePointage::positionEcran, this, &TAviForm::LoupeMontre);
    // No capture program of that kind exists on Linux: the shortcut stays hidden.
    barre1->actions()[1]->setVisible(false);
    connect(OpenBtn, &QToolButton::clicked, this, &TAviForm::OpenBtnClick);
    connect(RefreshBtn, &QToolButton::clicked, this, &TAviForm::Rafraichir);
    connect(HelpBtn, &QToolButton::clicked, this, &TAviForm::HelpBtnClick);
    connect(ExitBtn, &QToolButton::clicked, this, &QWidget::close);

    // Second tool bar.
    addToolBarBreak();
    auto* barre2 = addToolBar(QStringLiteral("Réglages"));
    barre2->setMovable(false);
    auto etiquette = [this](const QString& t) { return new QLabel(t, this); };
    DureeLabel = etiquette(QStringLiteral("Δt= "));
    DureeEdit = new QLineEdit(this);
    DureeEdit->setMaximumWidth(90);
    NbreImagesSE = new QSpinBox(this);
    NbreImagesSE->setRange(1, 1000);
    NbreImagesSE->setValue(25);
    NbreImagesLabel = etiquette(QStringLiteral("images/s"));
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
    MesureAutoCB = new QCheckBox(QStringLiteral("Mesures automatiques"), this);
    MesureAutoCB->setToolTip(QStringLiteral("Suivi automatique d'une cible colorée"));
    barre2->addWidget(MesureAutoCB);
    for (QAction* a : m_actionsDuree)
        a->setVisible(false);
    DureeEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresLongueur), DureeEdit));
    connect(NbreImagesSE, &QSpinBox::valueChanged, this, &TAviForm::NbreImagesSEChange);
    connect(DureeEdit, &QLineEdit::editingFinished, this, &TAviForm::DureeEditExit);

    // Progress of a chronophotograph, above the image.
    PhotoPB = new QProgressBar(this);
    PhotoPB->setFormat(QStringLiteral("Chronophotographie : image %v / %m"));
    PhotoPB->hide();
    vbox->addWidget(PhotoPB);

    // Saving the picture shown, from its menu.
    ImageMenu->addSeparator();
    BitmapItem = ImageMenu->addAction(QStringLiteral("Bitmap"));
    JpegItem = ImageMenu->addAction(QStringLiteral("JPEG"));
    connect(BitmapItem, &QAction::triggered, this, [this] { SauveImage(false); });
    connect(JpegItem, &QAction::triggered, this, [this] { SauveImage(true); });

    // Image area with its track bar; grid or drawing page at the right.
    TrackBar = new QSlider(Qt::Horizontal, this);
    vbox->addWidget(zonePrincipale(TrackBar), 1);
    setCentralWidget(central);
    connect(TrackBar, &QSlider::valueChanged, this, &TAviForm::TrackBarChange);
    resize(1100, 700);
    setWindowState(Qt::WindowMaximized);
}

void TAviForm::OpenBtnClick()
{
    QStringList filtres = QString::fromUtf8(kFiltre).split(QStringLiteral(";;"));
    QString filtre = filtres.value(filterIndex() - 1, filtres[0]);
    const QString nom = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir"), dossier(), filtres.join(";;"), &filtre);
    if (nom.isEmpty())
        return;
    setFilterIndex(int(filtres.indexOf(filtre)) + 1);
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
    // A chronophotograph of the previous file ends with it, without a file.
    if (enChrono())
        AbandonChrono();
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
    setEchelleDefinie(false);
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
    TempsLabel->setText(QStringLiteral("t=") + texteFixe(TempsCourant, 5, 3) + QStringLiteral(" s /")
                        + texteFixe(dureeTotale, 5, 3) + QStringLiteral(" s"));
    if (isActiveWindow())
        scrollTimer.start();
    Rafraichir();
}

void TAviForm::Rafraichir()
{
    scrollTimer.stop();
    CadrePointage::Rafraichir();
    if (m_lecteur.ouvert())
        scrollTimer.start();
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

void TAviForm::MajBoutons()
{
    const bool f = m_lecteur.ouvert();
    for (QWidget* w : std::initializer_list<QWidget*>{LectureBtn, PauseBtn, StopBtn, DebutBtn, PrecedentBtn,
                                                      SuivantBtn, FinBtn})
        w->setVisible(f);
    RefreshBtn->setEnabled(f);
    CadrePointage::MajBoutons();
    const bool m = MesureBtn->isChecked();
    const bool chrono = ChronoPhotoBtn->isChecked();
    ChronoPhotoBtn->setEnabled(f && !m);
    MesureBtn->setEnabled(f && !chrono);
    // Nothing that changes the rows, the scale or the image runs under a chronophotograph.
    const bool c = enChrono();
    MesureAutoCB->setEnabled(!c);
    if (c) {
        for (QWidget* w : std::initializer_list<QWidget*>{NbreSE, EchelleBtn, OrigineBtn, UndoBtn, RazBtn, TabuloBtn,
                                                          OpenBtn, OrigineTempsBtn})
            w->setEnabled(false);
    } else {
        OpenBtn->setEnabled(true);
    }
    const bool construit = controleur.BorneSelect == bsChrono;
    for (QWidget* w : std::initializer_list<QWidget*>{LectureBtn, PauseBtn, StopBtn, DebutBtn, PrecedentBtn,
                                                      SuivantBtn, FinBtn, TrackBar})
        w->setEnabled(!construit);
    LoupeBtn->setEnabled(f);
    for (QAction* a : {BitmapItem, JpegItem})
        a->setEnabled(f);
    const QString conseil = chrono ? QStringLiteral("Arrêt de la Chronophotographie")
                                   : QStringLiteral("Réaliser une chronophotographie");
    ChronoPhotoBtn->setToolTip(conseil);
    ChronoPhotoBtn->setStatusTip(conseil);
}

void TAviForm::HelpBtnClick()
{
    TAideCodecDlg d(this);
    d.exec();
}

void TAviForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
}

void TAviForm::closeEvent(QCloseEvent* e)
{
    // A chronophotograph under way ends without a file; its windows go with the tool's.
    if (enChrono())
        AbandonChrono();
    if (m_chronoForm)
        m_chronoForm->close();
    if (m_loupe)
        m_loupe->close();
    scrollTimer.stop();
    lectureTimer.stop();
    ecritReglages();
    m_lecteur.ferme();
    modele.mediaOuvert = false;
    MajBoutons();
    host().setMode(mNone);
    hide();
    e->ignore();
}

// ---- Chronophotograph, automatic measurement, saved images, magnifier ----

bool TAviForm::enChrono() const
{
    const TstyleDrag s = controleur.BorneSelect;
    return s == bsMesureAuto || s == bsChronoInit || s == bsChrono;
}

QImage TAviForm::CopieImage()
{
    return Image->rendu().convertToFormat(QImage::Format_RGB888);
}

void TAviForm::SauveImage(bool jpeg)
{
    if (!m_lecteur.ouvert())
        return;
    const QImage copie = CopieImage();
    QFileDialog fd(this, QString(), dossier(), jpeg ? QStringLiteral("JPEG (*.jpg)") : QStringLiteral("bitmap (*.bmp)"));
    fd.setObjectName(QStringLiteral("SauveImageDialog"));
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(jpeg ? QStringLiteral("jpg") : QStringLiteral("bmp"));
    if (fd.exec() != QDialog::Accepted || fd.selectedFiles().isEmpty())
        return;
    const QString nom = fd.selectedFiles().constFirst();
    QString erreur;
    if (!sauveImageChrono(copie, nom, &erreur)) {
        QMessageBox::critical(this, windowTitle(), erreur);
        return;
    }
    if (!jpeg)
        montreChrono(nom);
}

void TAviForm::ChronoPhotoBtnClick(bool enfonce)
{
    if (!enfonce) {
        ArreteChrono();
        return;
    }
    QFileDialog fd(this, QString(), dossier(), QStringLiteral("bimap (*.bmp)"));
    fd.setObjectName(QStringLiteral("ChronoDialog"));
    fd.setOption(QFileDialog::DontUseNativeDialog, QGuiApplication::platformName() == QLatin1String("offscreen"));
    fd.setAcceptMode(QFileDialog::AcceptSave);
    fd.setDefaultSuffix(QStringLiteral("bmp"));
    const bool choisi = fd.exec() == QDialog::Accepted && !fd.selectedFiles().isEmpty();
    // Tracking replaces the rows: they are not lost without a word.
    if (!choisi || (MesureAutoCB->isChecked() && !confirmeEffacement())) {
        const QSignalBlocker b(ChronoPhotoBtn);
        ChronoPhotoBtn->setChecked(false);
        MajBoutons();
        QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
        return;
    }
    nomFichierBmp = fd.selectedFiles().constFirst();
    if (MesureAutoCB->isChecked()) {
        DebutMesureAuto();
    } else {
        m_auto = false;
        controleur.BorneSelect = bsChronoInit;
        MajBoutons();
        QMetaObject::invokeMethod(this, &TAviForm::DebutChrono, Qt::QueuedConnection);
    }
}

void TAviForm::MesureBtnClick(bool enfonce)
{
    if (enfonce && MesureAutoCB->isChecked()) {
        if (!confirmeEffacement()) {
            const QSignalBlocker b(MesureBtn);
            MesureBtn->setChecked(false);
            return;
        }
        // Tracking without a chronophotograph of the user's: the composite goes to the
        // program's own folder.
        nomFichierBmp = host().appDataDir() + QStringLiteral("kinexo.bmp");
        DebutMesureAuto();
        return;
    }
    if (!enfonce && enChrono()) {
        ArreteChrono();
        return;
    }
    CadrePointage::MesureBtnClick(enfonce);
}

void TAviForm::DebutMesureAuto()
{
    m_auto = true;
    controleur.BorneSelect = bsMesureAuto;
    // One target only, measured from a single origin.
    if (NbreSE->value() > 1)
        QMessageBox::information(this, windowTitle(), QStringLiteral("Un seul mobile possible"));
    NbreSE->setValue(1);
    modele.NbreSE = 1;
    if (modele.origineMobile)
        ChoisitOrigine(false);
    emit controleur.hint(QStringLiteral("Cible|") + QStringLiteral("Cliquer sur la cible à suivre"));
    Image->setCursor(curseurDe(controleur.CurseurPointage));
    MajBoutons();
    QMessageBox::information(this, windowTitle(), QStringLiteral("Cliquer sur la cible à suivre"));
    QMetaObject::invokeMethod(this, &TAviForm::Rafraichir, Qt::QueuedConnection);
}

void TAviForm::CibleChoisie(QPoint p)
{
    if (controleur.BorneSelect != bsMesureAuto)
        return;
    xCibleChrono = p.x();
    yCibleChrono = p.y();
    modele.XY[1][0] = p;
    controleur.BorneSelect = bsChronoInit;
    Image->setCursor(curseurDe(crDefaut));
    emit controleur.hint(QString::fromUtf8(kHintCurseur));
    modele.CalculEchelle();
    MajBoutons();
    QMetaObject::invokeMethod(this, &TAviForm::DebutChrono, Qt::QueuedConnection);
}

void TAviForm::DebutChrono()
{
    if (controleur.BorneSelect != bsChronoInit || !m_lecteur.ouvert())
        return;
    const QImage fond = imageRgb32(m_lecteur.imageCourante());
    composite.commence(fond);
    if (m_auto) {
        // Row 0 is the target as clicked, at the time of that image.
        const QPoint cible(xCibleChrono, yCibleChrono);
        suivi.commence(fond, cible);
        modele.torigine = 0;
        modele.Nmes = 0;
        modele.PointCourant = 1;
        modele.PointRepere[bsMesure] = cible;
        modele.EnregistrePoint(TempsCourant, m_lecteur.image());
        grille->reconstruit();
    }
    controleur.BorneSelect = bsChrono;
    if (!m_curseurAttente) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_curseurAttente = true;
    }
    PhotoPB->setRange(0, std::max(0, int(m_lecteur.longueurImages()) - 1));
    PhotoPB->setValue(m_lecteur.image());
    PhotoPB->show();
    MajBoutons();
    Rafraichir();
    if (m_lecteur.image() >= m_lecteur.longueurImages() - 1)
        FinChrono();
    else
        QMetaObject::invokeMethod(this, &TAviForm::EtapeChrono, Qt::QueuedConnection);
}

// One step forward, then the new image into the composite (and the tracker). Each step is a
// posted call, so the window stays live and releasing "&Chrono" stops the run.
void TAviForm::EtapeChrono()
{
    if (controleur.BorneSelect != bsChrono || !m_lecteur.ouvert())
        return;
    if (!m_lecteur.avance()) {
        statusBar()->showMessage(m_lecteur.erreur());
        FinChrono();
        return;
    }
    Notification();
    ChronoImage();
}

void TAviForm::ChronoImage()
{
    const QImage c = imageRgb32(m_lecteur.imageCourante());
    composite.ajoute(c);
    if (suivi.enCours()) {
        const QPoint avant = modele.XY[1][size_t(std::max(0, modele.Nmes - 1))];
        if (const std::optional<SuiviCouleur::Trouve> t = suivi.suit(c, avant))
            SuitCible(*t);
        if (controleur.BorneSelect != bsChrono)
            return; // the store was full
    }
    PhotoPB->setValue(m_lecteur.image());
    if (m_lecteur.image() < m_lecteur.longueurImages() - 1)
        QMetaObject::invokeMethod(this, &TAviForm::EtapeChrono, Qt::QueuedConnection);
    else
        FinChrono();
}

void TAviForm::SuitCible(const SuiviCouleur::Trouve& t)
{
    modele.PointCourant = 1;
    modele.PointRepere[bsMesure] = t.centre;
    if (modele.EnregistrePoint(TempsCourant, m_lecteur.image()) == PointageModel::Enregistrement::Refuse) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("Nombre maximal de mesures atteint"));
        FinChrono();
        return;
    }
    RemplitGrille();
}

void TAviForm::FinChrono()
{
    const bool ecrire = composite.enCours();
    controleur.BorneSelect = bsNone;
    QString erreur;
    const bool ecrit = ecrire && sauveImageChrono(composite.resultat(), nomFichierBmp, &erreur);
    AbandonChrono();
    if (ecrit)
        montreChrono(nomFichierBmp);
    else if (ecrire)
        QMessageBox::critical(this, windowTitle(), erreur);
}

void TAviForm::AbandonChrono()
{
    controleur.BorneSelect = bsNone;
    composite.abandonne();
    suivi.abandonne();
    if (m_curseurAttente) {
        QApplication::restoreOverrideCursor();
        m_curseurAttente = false;
    }
    {
        const QSignalBlocker a(ChronoPhotoBtn), b(MesureBtn);
        ChronoPhotoBtn->setChecked(false);
        MesureBtn->setChecked(false);
    }
    PhotoPB->hide();
    Image->setCursor(curseurDe(crDefaut));
    emit controleur.hint(QString::fromUtf8(kHintCurseur));
    MajBoutons();
    grille->reconstruit();
    Rafraichir();
}

void TAviForm::ArreteChrono()
{
    if (controleur.BorneSelect == bsChrono)
        FinChrono();
    else if (enChrono())
        AbandonChrono();
}

void TAviForm::montreChrono(const QString& fichier)
{
    if (!m_chronoForm)
        m_chronoForm = new TChronoForm(this);
    if (!m_chronoForm->charge(fichier)) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Image illisible : %1").arg(fichier));
        return;
    }
    m_chronoForm->exec();
}

void TAviForm::LoupeMontre(QPoint ecran)
{
    if (!LoupeBtn->isChecked() || controleur.BorneSelect != bsMesure || !m_lecteur.ouvert())
        return;
    if (!m_loupe) {
        m_loupe = new TLoupeForm(this);
        connect(m_loupe, &TLoupeForm::fermee, this, [this] { LoupeBtn->setChecked(false); });
    }
    m_loupe->montre(Image->rendu(), ecran, pasZoom);
}

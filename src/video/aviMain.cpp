#include "aviMain.h"

#include "Aide.h"
#include "AideCodec.h"
#include "AttenteVideo.h"
#include "NumberText.h"
#include "TransferButton.h"
#include "optionsVideo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    for (QWidget* w : std::initializer_list<QWidget*>{OpenBtn, VidcapBtn, OrigineBtn, EchelleBtn, MesureBtn, PaintBox,
                                                      UndoBtn, RazBtn, TabuloBtn, RefreshBtn, OrigineTempsBtn, HelpBtn,
                                                      ExitBtn})
        barre1->addWidget(w);
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
    for (QAction* a : m_actionsDuree)
        a->setVisible(false);
    DureeEdit->setValidator(new FiltreCaracteres(QString::fromUtf8(kCaracteresLongueur), DureeEdit));
    connect(NbreImagesSE, &QSpinBox::valueChanged, this, &TAviForm::NbreImagesSEChange);
    connect(DureeEdit, &QLineEdit::editingFinished, this, &TAviForm::DureeEditExit);

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

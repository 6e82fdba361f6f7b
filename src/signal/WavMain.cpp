#include "WavMain.h"

#include "AtomicFile.h"
#include "LectureWav.h"
#include "NumberText.h"
#include "SoundRecorder.h"
#include "TFormDDE.h"
#include "ToolHost.h"
#include "TransferButton.h"
#include "Transfert.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPainter>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
constexpr int intervalleTimer = 110;
const QString titreFenetre = QStringLiteral("KINEXO : lecture de fichier .Wav pour Tabulo");
}

void TvueSon::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (peint)
        peint(p);
}

TWaveForm::TWaveForm(ToolHost& host, QWidget* parent) : QMainWindow(parent, Qt::Window), m_host(host)
{
    setWindowTitle(titreFenetre);
    message = [this](const QString& t) { QMessageBox::warning(this, QStringLiteral("Kinexo"), t); };
    question = [this](const QString& t) {
        return QMessageBox::question(this, QStringLiteral("Kinexo"), t, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    };
    nomSauvegarde = [this](const QString& filtre) {
        return QFileDialog::getSaveFileName(this, QString(), repertoire, filtre);
    };
    m_player = creeSoundPlayer();
    m_recorder = creeSoundRecorder();
    m_capture = [] { return creeSoundCapture(); };
    connect(m_player.get(), &SoundPlayer::termine, this, &TWaveForm::finLecture);

    graphe.Son = &document.son();
    grapheZoom.Son = &document.son();
    connect(&document, &TdocumentSon::sonChange, this, &TWaveForm::sonChange);
    connect(&document, &TdocumentSon::selectionChangee, this, &TWaveForm::selectionChangee);
    nomFichierWav = m_host.tamponDir() + QStringLiteral("kinexo.wav");
    {
        QSettings ini(m_host.fichierIni(), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("Wav"));
        FreqEch = ini.value(QStringLiteral("freq"), 11025).toUInt();
        NBits = ini.value(QStringLiteral("bits"), 8).toInt();
        IndexMode = ini.value(QStringLiteral("Mode"), 0).toInt();
        // A damaged settings file must not give an impossible recording rate.
        if (FreqEch == 0 || FreqEch > 192000)
            FreqEch = 11025;
        if (NBits != 8 && NBits != 16)
            NBits = 8;
    }

    // Tool bar.
    auto* barre = addToolBar(QStringLiteral("Outils"));
    barre->setMovable(false);
    barre->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto bouton = [barre](const QString& texte, const QString& aide) {
        QAction* a = barre->addAction(texte);
        a->setToolTip(aide.isEmpty() ? texte : aide);
        a->setStatusTip(aide);
        return a;
    };
    OuvrirBtn = bouton(QStringLiteral("Ouvrir"), QStringLiteral("Ouverture d'un fichier son .WAV"));
    JouerBtn = bouton(QStringLiteral("Jouer"), QStringLiteral("Ecouter la partie sélectionnée"));
    StopBtn = bouton(QStringLiteral("Stop"), QStringLiteral("Arrêt de l'enregistrement"));
    EnregistrerBtn = bouton(QStringLiteral("Enregistrer"), QStringLiteral("Début de l'enregistrement"));
    ModeBtn = bouton(QStringLiteral("Mode"), QStringLiteral("Configuration de l'enregistrement"));
    TabuloBtn = new TransferButton(barre);
    TabuloBtn->setToolTip(QStringLiteral("Envoi de données vers Tabulo"));
    TabuloBtn->lisReglages(m_host.fichierIni());
    barre->addWidget(TabuloBtn);
    SauverWavBtn = bouton(QStringLiteral("Sauver (wav)"), QStringLiteral("Sauver dans un fichier son .WAV"));
    SauverTxtBtn = bouton(QStringLiteral("Sauver (txt)"), QStringLiteral("Sauver dans un fichier texte"));
    FFTBtn = bouton(QStringLiteral("FFT"), QStringLiteral("Spectre de la partie écoutée, ou de la sélection"));
    SonagrammeBtn = bouton(QStringLiteral("Sonagramme"), QStringLiteral("Sonagramme de la sélection"));
    QuitterBtn = bouton(QStringLiteral("Quitter"), QString());
    DivBtn = bouton(QStringLiteral("/2"), QStringLiteral("Diviser la fréquence d'échantillonnage par 2"));
    sonagrammeCB = new QComboBox(this);
    sonagrammeCB->addItems({QStringLiteral("linéaire"), QStringLiteral("en dB deux décades"),
                            QStringLiteral("en dB trois décades")});
    sonagrammeCB->setCurrentIndex(1);
    sonagrammeAction = barre->addWidget(sonagrammeCB);
    sonagrammeAction->setVisible(false);
    // The spectrum's own transfer, beside the views' buttons while "FFT" is down.
    auto* spectreBoite = new QWidget(barre);
    auto* sl = new QHBoxLayout(spectreBoite);
    sl->setContentsMargins(6, 0, 0, 0);
    sl->addWidget(new QLabel(QStringLiteral("Spectre :"), spectreBoite));
    SpectreBtn = new TransferButton(spectreBoite);
    SpectreBtn->setObjectName(QStringLiteral("SpectreBtn"));
    SpectreBtn->setToolTip(QStringLiteral("Envoi du spectre (f, amplitude) vers Tabulo"));
    SpectreBtn->lisReglages(m_host.fichierIni());
    SpectreBtn->setEnabled(false);
    sl->addWidget(SpectreBtn);
    spectreAction = barre->addWidget(spectreBoite);
    spectreAction->setVisible(false);
    FFTBtn->setCheckable(true);
    SonagrammeBtn->setCheckable(true);
    JouerBtn->setEnabled(false);
    StopBtn->setEnabled(false);
    TabuloBtn->setEnabled(false);
    SauverWavBtn->setEnabled(false);
    SauverTxtBtn->setEnabled(false);

    // Panel.
    auto* centre = new QWidget(this);
    auto* vertical = new QVBoxLayout(centre);
    vertical->setContentsMargins(0, 0, 0, 0);
    vertical->setSpacing(0);
    auto* panneau = new QWidget(centre);
    panneau->setAutoFillBackground(true);
    panneau->setBackgroundRole(QPalette::Button);
    auto* ligne = new QHBoxLayout(panneau);
    ligne->setContentsMargins(6, 3, 6, 3);
    BoucleCB = new QCheckBox(QStringLiteral("Lecture en boucle"), panneau);
    StereoCB = new QCheckBox(QStringLiteral("Stéréo"), panneau);
    StereoCB->setToolTip(QStringLiteral("Envoie les voies gauches et droites à Tabulo"));
    StereoCB->setVisible(false);
    LabelDuree = new QLabel(panneau);
    LabelFreq = new QLabel(panneau);
    LabelSelection = new QLabel(panneau);
    LabelFreqReg = new QLabel(panneau);
    LabelPosition = new QLabel(panneau);
    LabelPosition->setVisible(false);
    LabelPosition->setMinimumWidth(50);
    EnveloppeCB = new QCheckBox(QStringLiteral("Enveloppe"), panneau);
    auto* taille = new QWidget(panneau);
    auto* tl = new QHBoxLayout(taille);
    tl->setContentsMargins(0, 0, 0, 0);
    tl->setSpacing(1);
    tl->addWidget(new QLabel(QStringLiteral("Taille"), taille));
    TailleMoinsBtn = new QToolButton(taille);
    TailleMoinsBtn->setArrowType(Qt::LeftArrow);
    TaillePlusBtn = new QToolButton(taille);
    TaillePlusBtn->setArrowType(Qt::RightArrow);
    for (auto* b : {TailleMoinsBtn, TaillePlusBtn}) {
        b->setToolTip(QStringLiteral("Taille de la sélection / Zoom"));
        b->setAutoRepeat(true);
        tl->addWidget(b);
    }
    ligne->addWidget(BoucleCB);
    ligne->addWidget(StereoCB);
    ligne->addSpacing(12);
    ligne->addWidget(new QLabel(QStringLiteral("Fichier :"), panneau));
    ligne->addWidget(LabelDuree);
    ligne->addWidget(LabelFreq);
    ligne->addSpacing(12);
    ligne->addWidget(new QLabel(QStringLiteral("Transfert :"), panneau));
    ligne->addWidget(LabelSelection);
    ligne->addWidget(LabelFreqReg);
    ligne->addWidget(LabelPosition);
    ligne->addStretch();
    ligne->addWidget(EnveloppeCB);
    ligne->addWidget(taille);
    vertical->addWidget(panneau);

    PaintBox = new TvueSon(centre);
    PaintBoxZoom = new TvueSon(centre);
    PaintBoxFFT = new TvueSon(centre);
    PaintBox->setMinimumHeight(40);
    PaintBox->setMouseTracking(true);
    PaintBoxZoom->setMinimumHeight(40);
    PaintBoxFFT->setMinimumHeight(40);
    PaintBoxFFT->setVisible(false);
    Splitter = new QSplitter(Qt::Vertical, centre);
    Splitter->addWidget(PaintBox);
    Splitter->addWidget(PaintBoxZoom);
    Splitter->addWidget(PaintBoxFFT);
    Splitter->setChildrenCollapsible(false);
    vertical->addWidget(Splitter, 1);
    setCentralWidget(centre);

    PaintBox->peint = [this](QPainter& p) { PaintBoxPaint(p); };
    PaintBox->appui = [this](QMouseEvent* e) { PaintBoxMouseDown(e); };
    PaintBox->deplacement = [this](QMouseEvent* e) { PaintBoxMouseMove(e); };
    PaintBox->relache = [this](QMouseEvent* e) { PaintBoxMouseUp(e); };
    PaintBoxZoom->peint = [this](QPainter& p) { PaintBoxZoomPaint(p); };
    PaintBoxFFT->peint = [this](QPainter& p) { PaintBoxFFTPaint(p); };

    connect(OuvrirBtn, &QAction::triggered, this, &TWaveForm::OuvrirBtnClick);
    connect(JouerBtn, &QAction::triggered, this, &TWaveForm::JouerBtnClick);
    connect(StopBtn, &QAction::triggered, this, &TWaveForm::StopBtnClick);
    connect(EnregistrerBtn, &QAction::triggered, this, &TWaveForm::EnregistrerBtnClick);
    connect(ModeBtn, &QAction::triggered, this, &TWaveForm::ModeBtnClick);
    connect(TabuloBtn, &TransferButton::transfert, this, &TWaveForm::TabuloBtnClick);
    connect(SpectreBtn, &TransferButton::transfert, this, &TWaveForm::SpectreBtnClick);
    connect(SauverWavBtn, &QAction::triggered, this, &TWaveForm::SauverWavBtnClick);
    connect(SauverTxtBtn, &QAction::triggered, this, &TWaveForm::SauverTxtBtnClick);
    connect(QuitterBtn, &QAction::triggered, this, &TWaveForm::QuitterBtnClick);
    connect(DivBtn, &QAction::triggered, this, &TWaveForm::DivBtnClick);
    connect(FFTBtn, &QAction::triggered, this, [this] { FFTSonagrammeClick(FFTBtn); });
    connect(SonagrammeBtn, &QAction::triggered, this, [this] { FFTSonagrammeClick(SonagrammeBtn); });
    connect(sonagrammeCB, &QComboBox::currentIndexChanged, this, &TWaveForm::sonagrammeCBChange);
    connect(TailleMoinsBtn, &QToolButton::clicked, this, [this] { TailleClick(false); });
    connect(TaillePlusBtn, &QToolButton::clicked, this, [this] { TailleClick(true); });
    connect(StereoCB, &QCheckBox::toggled, this, [this] { miseAJourSelection(); });

    Timer1.setInterval(intervalleTimer);
    connect(&Timer1, &QTimer::timeout, this, &TWaveForm::Timer1Timer);
    Progression = new QProgressBar(this);
    Progression->setRange(0, 100);
    Progression->setMaximumWidth(200);
    Progression->setVisible(false);
    statusBar()->addPermanentWidget(Progression);   // beside the buttons' hints
    setFocusPolicy(Qt::StrongFocus);
    resize(1000, 640);
}

TWaveForm::~TWaveForm()
{
    Timer1.stop();
    if (m_player)
        disconnect(m_player.get(), nullptr, this, nullptr);
}

void TWaveForm::setSoundDevices(std::unique_ptr<SoundPlayer> player, std::unique_ptr<SoundRecorder> recorder,
                                std::function<std::unique_ptr<SoundCapture>()> capture)
{
    if (player) {
        disconnect(m_player.get(), nullptr, this, nullptr);
        m_player = std::move(player);
        connect(m_player.get(), &SoundPlayer::termine, this, &TWaveForm::finLecture);
    }
    if (recorder)
        m_recorder = std::move(recorder);
    if (capture)
        m_capture = std::move(capture);
}

bool TWaveForm::enLecture() const { return m_player && m_player->enLecture(); }

FormatSon TWaveForm::formatLecture() const
{
    FormatSon f;
    f.frequence = int(document.FreqEch());
    f.voies = estStereo(document.format()) ? 2 : 1;
    f.bits = est8Bits(document.format()) ? 8 : 16;
    return f;
}

bool TWaveForm::fichierEstEnregistrement() const
{
    return !document.vide() && QFileInfo(document.NomFichier()) == QFileInfo(nomFichierWav);
}

// ---------------------------------------------------------------- loading

void TWaveForm::OuvrirBtnClick()
{
    const QString chemin = QFileDialog::getOpenFileName(this, QString(), repertoire, filtreSons());
    if (chemin.isEmpty())
        return;
    ouvreFichier(chemin);
}

bool TWaveForm::ouvreFichier(const QString& chemin)
{
    bool lu = false;
    repertoire = QFileInfo(chemin).absolutePath();
    if (estSonCompresse(chemin)) {
        // Decoded into the temporary folder: a file of the user's beside it is never replaced.
        const QString titre = windowTitle();
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QElapsedTimer duree;
        duree.start();
        QString erreur;
        // One folder per user: the temporary folder may be shared by every account of a school machine.
        const QString dossier = m_host.tamponDir() + QStringLiteral("kinexo-sons-")
                                + qEnvironmentVariable("USER", QStringLiteral("kinexo")) + QLatin1Char('/');
        const QString wav = convertitSon(chemin, dossier, [&](const QString& t) {
            setWindowTitle(t);
            if (t.startsWith(QStringLiteral("Conversion : "))) {
                Progression->setValue(t.mid(13).chopped(1).toInt());
                // Progress only for work that lasts.
                if (duree.elapsed() > delaiProgressionMs)
                    Progression->setVisible(true);
            }
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }, &erreur);
        Progression->setVisible(false);
        QApplication::restoreOverrideCursor();
        setWindowTitle(titre);
        if (wav.isEmpty()) {
            if (message) {
                TresultatWav r;
                r.detail = erreur.isEmpty() ? QStringLiteral("son illisible") : erreur;
                message(texteRefus(chemin, r));
            }
        } else {
            lu = litWav(wav, chemin);
        }
    } else {
        lu = litWav(chemin);
    }
    SauverWavBtn->setEnabled(false);
    return lu;
}

bool TWaveForm::litWav(const QString& chemin, const QString& nom)
{
    if (!QFileInfo::exists(chemin))
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TvecteurSon lu;
    const TresultatWav r = litFichierWav(chemin, lu);
    QApplication::restoreOverrideCursor();
    const QString montre = nom.isEmpty() ? chemin : nom;
    if (r.etat != TresultatWav::Lu) {
        // The sound already loaded stays, and the user is told why.
        if (message)
            message(texteRefus(montre, r));
        return false;
    }
    arreteLecture();
    m_tronque = r.tronque;
    m_jouable = !est24Bits(r.format);
    LabelFreq->setText(r.labelFrequence);
    FreqEch = r.FreqEch;
    document.charge(montre, r.FreqEch, std::move(lu));
    if (!r.avertissement.isEmpty() && message)
        message(r.avertissement);
    return true;
}

// ---------------------------------------------------------------- document changes

void TWaveForm::sonChange()
{
    const bool charge = !document.vide();
    TabuloBtn->setEnabled(charge);
    SauverTxtBtn->setEnabled(charge);
    StereoCB->setVisible(charge && estStereo(document.format()));
    if (!StereoCB->isVisible())
        StereoCB->setChecked(false);
    if (charge) {
        QString titre = titreLectureSon + QStringLiteral(" [") + QFileInfo(document.NomFichier()).fileName()
                        + QStringLiteral("]");
        if (m_tronque)
            titre += QStringLiteral(" (trop long donc tronqué)");
        setWindowTitle(titre);
        pasTrace = pasTracePour(document.NbrePoints(), PaintBox->width());
        LabelDuree->setText(QStringLiteral("Durée=")
                            + texteDuree(document.duree(document.NbrePoints()), document.FreqEch()));
        JouerBtn->setVisible(m_jouable);
        JouerBtn->setEnabled(m_jouable);
    } else {
        JouerBtn->setEnabled(false);
        m_jouable = false;
        setWindowTitle(titreLectureSon);
        LabelDuree->clear();
        LabelSelection->clear();
        LabelFreqReg->clear();
    }
    PaintBox->update();
    PaintBoxZoom->update();
}

void TWaveForm::selectionChangee()
{
    changeDF = true;
    miseAJourSelection();
    metsAJourAnalyses();
    PaintBox->update();
    PaintBoxZoom->update();
}

// The spectrum of the selection while nothing plays, and the sonagram when it is shown: both
// computed here, so that painting only reads them.
void TWaveForm::metsAJourAnalyses()
{
    if (!timerLecture())
        spectre = AnalyseSon::spectreSelection(document);
    SpectreBtn->setEnabled(spectre.valide);
    if (SonagrammeBtn->isChecked() && changeDF && !document.vide()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        sonagramme.Calcul(document.debut(), document.fin(), &document.son());
        QApplication::restoreOverrideCursor();
        changeDF = false;
    }
    if (PaintBoxFFT->isVisible())
        PaintBoxFFT->update();
}

// ---------------------------------------------------------------- selection

void TWaveForm::miseAJourSelection()
{
    if (document.vide())
        return;
    LabelSelection->setText(QStringLiteral("Durée=")
                            + texteDuree(document.duree(document.fin() - document.debut()), document.FreqEch()));
    pas.calcule(document.debut(), document.fin(), document.FreqEch());
    LabelFreqReg->setText(pas.texte());
}

void TWaveForm::PaintBoxPaint(QPainter& p)
{
    p.fillRect(PaintBox->rect(), Qt::white);
    if (document.vide())
        return;
    graphe.Canvas = &p;
    graphe.LimiteCourbe = Trectangle{2, 0, PaintBox->width() - 2, PaintBox->height()};
    graphe.debutS = 0;
    graphe.finS = document.NbrePoints() - 1;
    graphe.DrawG();
    graphe.Canvas = nullptr;
    peintGraduationsX(p, PaintBox->rect(), graduationsTemps(false), QColor(0, 0, 0));
    if (curseurT == curNormal) {
        debutPB = graphe.Xecran(document.debut());
        finPB = graphe.Xecran(document.fin());
    }
    // The band inverts what lies under it, as an XOR pen would.
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(QColor(0, 128, 128), 3));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRect(QPoint(debutPB, -2), QPoint(finPB, PaintBox->height())));
    p.restore();
    if (enLecture())
        dessineCurseur(p, PaintBox->height());
}

void TWaveForm::dessineCurseur(QPainter& p, int hauteur)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(QPen(QColor(255, 0, 0), 1));
    p.drawLine(positionPB, 0, positionPB, hauteur);
    p.restore();
}

void TWaveForm::PaintBoxZoomPaint(QPainter& p)
{
    p.fillRect(PaintBoxZoom->rect(), Qt::white);
    if (document.vide())
        return;
    grapheZoom.Canvas = &p;
    grapheZoom.LimiteCourbe = Trectangle::depuis(PaintBoxZoom->rect());
    grapheZoom.debutS = document.debut();
    grapheZoom.finS = document.fin();
    grapheZoom.pasS = (document.fin() - document.debut()) / 8192 + 1;
    grapheZoom.DrawG();
    grapheZoom.Canvas = nullptr;
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(PaintBoxZoom->rect().adjusted(1, 1, -1, -1));
    const QRect dedans = PaintBoxZoom->rect().adjusted(2, 2, -2, -2);
    peintGraduationsX(p, dedans, graduationsTemps(true), QColor(0, 0, 0));
    peintGraduationsY(p, dedans, graduationsAmplitude(), QColor(0, 0, 0));
}

// The mappings are those the last paint used (set by the view sizes and the selection).
std::vector<Tgraduation> TWaveForm::graduationsTemps(bool zoom) const
{
    TgrapheSon g = zoom ? grapheZoom : graphe;
    const QWidget* vue = zoom ? static_cast<QWidget*>(PaintBoxZoom) : static_cast<QWidget*>(PaintBox);
    g.LimiteCourbe = zoom ? Trectangle::depuis(vue->rect()) : Trectangle{2, 0, vue->width() - 2, vue->height()};
    g.debutS = zoom ? document.debut() : 0;
    g.finS = zoom ? document.fin() : document.NbrePoints() - 1;
    if (document.vide() || g.finS <= g.debutS)
        return {};
    g.coefficients();
    return ::graduationsTemps(g, document.FreqEch(), g.debutS, std::max(2, vue->width() / 110));
}

std::vector<Tgraduation> TWaveForm::graduationsAmplitude() const
{
    TgrapheSon g = grapheZoom;
    g.LimiteCourbe = Trectangle::depuis(PaintBoxZoom->rect());
    g.debutS = document.debut();
    g.finS = document.fin();
    if (document.vide() || g.finS <= g.debutS)
        return {};
    g.coefficients();
    return ::graduationsAmplitude(g, document.format(), std::max(4, PaintBoxZoom->height() / 40));
}

std::vector<Tgraduation> TWaveForm::graduationsSonagramme() const
{
    if (document.vide())
        return {};
    return graduationsFrequence(PaintBoxFFT->height(), document.FreqEch(),
                                std::min(TvueSonagramme::binsAffiches(document.FreqEch()), 256),
                                std::max(2, PaintBoxFFT->height() / 40));
}

void TWaveForm::PaintBoxMouseDown(QMouseEvent* e)
{
    if (document.vide() || e->button() != Qt::LeftButton)
        return;
    const int x = int(e->position().x());
    const bool etroite = finPB - debutPB < 50;
    const bool dedans = x > debutPB && x < finPB;
    if (etroite && dedans)
        curseurT = curDeplace;
    else if (std::abs(x - debutPB) <= 4)
        curseurT = curDebut;
    else if (std::abs(x - finPB) < 5)
        curseurT = curFin;
    else if (dedans)
        curseurT = curDeplace;
    else
        curseurT = curNormal;
    switch (curseurT) {
    case curDeplace: PaintBox->setCursor(Qt::OpenHandCursor); break;
    case curDebut:
    case curFin: PaintBox->setCursor(Qt::SplitHCursor); break;
    case curNormal: PaintBox->unsetCursor(); break;
    }
    Xdeplace = x;
}

void TWaveForm::PaintBoxMouseMove(QMouseEvent* e)
{
    if (document.vide())
        return;
    const int x = int(e->position().x());
    const int gauche = graphe.LimiteCourbe.Left, droite = graphe.LimiteCourbe.Right;
    switch (curseurT) {
    case curDebut:
        if (x > gauche && x < finPB) {
            debutPB = x;
            PaintBox->update();
        }
        return;
    case curFin:
        if (x > debutPB && x < droite) {
            finPB = x;
            PaintBox->update();
        }
        return;
    case curDeplace: {
        const int d = x - Xdeplace;
        if (debutPB + d > gauche && finPB + d < droite) {
            debutPB += d;
            finPB += d;
            Xdeplace = x;
            PaintBox->update();
        }
        return;
    }
    case curNormal:
        break;
    }
    const bool etroite = finPB - debutPB < 50;
    const bool dedans = x > debutPB && x < finPB;
    if ((std::abs(x - debutPB) < 5 || std::abs(x - finPB) < 5) && !(etroite && dedans))
        PaintBox->setCursor(Qt::SplitHCursor);
    else if (dedans)
        PaintBox->setCursor(Qt::OpenHandCursor);
    else
        PaintBox->unsetCursor();
}

void TWaveForm::PaintBoxMouseUp(QMouseEvent* e)
{
    if (document.vide() || curseurT == curNormal)
        return;
    const int x = int(e->position().x());
    PaintBox->unsetCursor();
    double xr, yr;
    auto monde = [&](int xe) {
        graphe.MondeXY(xe, 0, xr, yr);
        return arrondi(xr) + graphe.debutS;
    };
    int debut = document.debut(), fin = document.fin();
    switch (curseurT) {
    case curDebut:
        if (x < finPB)
            debutPB = x;
        debut = monde(debutPB);
        break;
    case curFin:
        if (x > debutPB)
            finPB = x;
        fin = monde(finPB);
        break;
    case curDeplace:
        fin = monde(finPB);
        debut = monde(debutPB);
        break;
    case curNormal:
        break;
    }
    fin = std::min(fin, PaintBox->width() * pasTrace - 1);
    curseurT = curNormal;
    document.setSelection(debut, fin);
    PaintBox->update();
}

void TWaveForm::TailleClick(bool agrandir)
{
    if (document.vide())
        return;
    int debut = document.debut(), fin = document.fin();
    const bool ok = agrandir ? agranditSelection(debut, fin, document.NbrePoints()) : reduitSelection(debut, fin);
    if (ok)
        document.setSelection(debut, fin);
}

// ---------------------------------------------------------------- play

bool TWaveForm::lancePlayer()
{
    const int t = tailleTrame(document.format());
    const int debut = document.debut();
    const QByteArray pcm = document.son().donnees().mid(qsizetype(debut) * t, qsizetype(document.fin() - debut + 1) * t);
    if (!m_player->joue(pcm, formatLecture(), debut)) {
        if (message)
            message(m_player->erreur());
        return false;
    }
    return true;
}

void TWaveForm::JouerBtnClick()
{
    if (document.vide() || !m_jouable || enLecture())
        return;
    miseAJourSelection();
    if (const QString r = m_player->indisponible(); !r.isEmpty()) {
        if (message)
            message(r);
        return;
    }
    if (!lancePlayer())
        return;
    if (lectureAvecTimer(document.debut(), document.fin(), document.FreqEch()))
        Timer1.start();
    LabelPosition->setVisible(true);
    positionPB = debutPB;
    JouerBtn->setEnabled(false);
    EnregistrerBtn->setEnabled(false);
    StopBtn->setEnabled(true);
    PaintBox->update();
    if (FFTBtn->isChecked() || SonagrammeBtn->isChecked())
        PaintBoxFFT->update();
}

void TWaveForm::Timer1Timer()
{
    if (stopEnCours) {
        if (++compteur > compteurMax)
            arretEnregistrement();
        return;
    }
    if (!enLecture())
        return;
    const qint64 position = m_player->position();
    positionPB = graphe.Xecran(double(position));
    LabelPosition->setText(texteFixe(document.duree(double(position)), 5, 1) + QStringLiteral(" s"));
    PaintBox->update();
    // The spectrum of what is heard now, computed here and only painted by the view.
    if (FFTBtn->isChecked()) {
        spectre = AnalyseSon::spectreEnLecture(document, position);
        SpectreBtn->setEnabled(spectre.valide);
    }
    if (FFTBtn->isChecked() || SonagrammeBtn->isChecked())
        PaintBoxFFT->update();
}

void TWaveForm::finLecture()
{
    if (BoucleCB->isChecked() && !document.vide()) {
        miseAJourSelection();
        if (lancePlayer())
            return;
    }
    lectureFichierTerminee();
}

void TWaveForm::lectureFichierTerminee()
{
    JouerBtn->setEnabled(m_jouable && !document.vide());
    EnregistrerBtn->setEnabled(true);
    StopBtn->setEnabled(false);
    Timer1.stop();
    LabelPosition->setVisible(false);
    PaintBox->update();
    // Back to the spectrum of the selection.
    metsAJourAnalyses();
}

void TWaveForm::arreteLecture()
{
    if (enLecture()) {
        m_player->arrete();
        lectureFichierTerminee();
    }
}

void TWaveForm::StopBtnClick()
{
    if (m_recorder && m_recorder->enregistre()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        StopBtn->setEnabled(false);
        EnregistrerBtn->setEnabled(false);
        stopEnCours = true;
        compteur = 0;
        // One tick more lets the last captured buffers arrive before the file is written.
        compteurMax = 1;
        Timer1.start();
        return;
    }
    if (!document.vide()) {
        arreteLecture();
        return;
    }
    // A recording that never started: back to the idle buttons.
    StopBtn->setEnabled(false);
    EnregistrerBtn->setEnabled(true);
    setWindowTitle(titreLectureSon);
}

// ---------------------------------------------------------------- record

void TWaveForm::EnregistrerBtnClick()
{
    if (const QString r = m_recorder->indisponible(); !r.isEmpty()) {
        if (message)
            message(r);
        return;
    }
    arreteLecture();
    document.efface();
    JouerBtn->setEnabled(false);
    EnregistrerBtn->setEnabled(false);
    StopBtn->setEnabled(true);
    if (!m_recorder->demarre(int(FreqEch), NBits)) {
        if (message)
            message(m_recorder->erreur());
    }
    startRecord = QDateTime::currentDateTime();
    setWindowTitle(QStringLiteral("Enregistrement en cours (%1 Hz, %2 bits)").arg(FreqEch).arg(NBits));
}

void TWaveForm::arretEnregistrement()
{
    stopEnCours = false;
    StopBtn->setEnabled(false);
    EnregistrerBtn->setEnabled(true);
    Timer1.stop();
    if (FFTBtn->isChecked())
        PaintBoxFFT->update();
    QApplication::restoreOverrideCursor();
    if (!m_recorder->enregistre())
        return;
    if (!m_recorder->arrete(nomFichierWav)) {
        setWindowTitle(titreLectureSon);
        if (message)
            message(m_recorder->erreur());
        return;
    }
    litWav(nomFichierWav);
    SauverWavBtn->setEnabled(!document.vide());
}

void TWaveForm::ModeBtnClick()
{
    auto capture = m_capture();
    TTestWavDlg dlg(*capture, int(FreqEch), NBits, IndexMode, this);
    if (dlg.exec() == QDialog::Accepted) {
        FreqEch = std::uint32_t(dlg.FreqEch());
        NBits = dlg.NBits();
        IndexMode = dlg.IndexMode();
    }
}

// ---------------------------------------------------------------- saving and transfer

bool TWaveForm::copieEnregistrement(const QString& cible)
{
    QFile f(nomFichierWav);
    if (!f.open(QIODevice::ReadOnly) || !writeFileAtomically(cible, f.readAll())) {
        if (message)
            message(QStringLiteral("Erreur d'écriture"));
        return false;
    }
    return true;
}

void TWaveForm::SauverWavBtnClick()
{
    QString nom = nomSauvegarde(QStringLiteral("Fichier son (*.wav)"));
    if (nom.isEmpty())
        return;
    if (QFileInfo(nom).suffix().isEmpty())
        nom += QStringLiteral(".wav");
    if (copieEnregistrement(nom))
        SauverWavBtn->setEnabled(false);
}

void TWaveForm::SauverTxtBtnClick()
{
    if (document.vide())
        return;
    QString nom = nomSauvegarde(QStringLiteral("Fichier texte (*.txt)"));
    if (nom.isEmpty())
        return;
    if (QFileInfo(nom).suffix().isEmpty())
        nom += QStringLiteral(".txt");
    ecritTexte(nom);
}

bool TWaveForm::ecritTexte(const QString& chemin)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QStringList l = lignesTexte(document.son(), document.debut(), document.fin(), document.FreqEch(),
                                      StereoCB->isChecked());
    const bool ok = writeFileAtomically(chemin, (l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    QApplication::restoreOverrideCursor();
    if (!ok && message)
        message(QStringLiteral("Erreur d'écriture"));
    return ok;
}

void TWaveForm::TabuloBtnClick(Destination destination)
{
    if (document.vide())
        return;
    if (destination != Destination::Fichier && fichierEstEnregistrement()
        && question(QStringLiteral("Sauvegarde préliminaire des données dans un fichier Wav ?"))) {
        QString nom = nomSauvegarde(QStringLiteral("Fichier son (*.wav)"));
        if (!nom.isEmpty()) {
            if (QFileInfo(nom).suffix().isEmpty())
                nom += QStringLiteral(".wav");
            copieEnregistrement(nom);
        }
    }
    const bool stereo = StereoCB->isChecked() && estStereo(document.format());
    TableSource source;
    source.avant = [this] { arreteLecture(); };
    source.table = [this, stereo](ExchangeText& t) {
        pas.calcule(document.debut(), document.fin(), document.FreqEch());
        tableTabulo(t, document.son(), document.debut(), document.fin(), document.FreqEch(), pas.pasReg, stereo,
                    EnveloppeCB->isChecked());
    };
    source.sections = [this, stereo](ExchangeText& t, bool) {
        sectionsTabulo(t, stereo, fichierEstEnregistrement() ? QString() : document.NomFichier());
    };
    // A new Tabulo file is titled with the rate actually sent.
    pas.calcule(document.debut(), document.fin(), document.FreqEch());
    source.titre = titreAcquisition(document.FreqEch(), pas.pasReg);
    m_host.transfert().envoie(this, destination, source);
}

void TWaveForm::SpectreBtnClick(Destination destination)
{
    if (!spectre.valide)
        return;
    // The spectrum shown when the button is pressed, even if the sound goes on.
    const TspectreSon envoye = spectre;
    TableSource source;
    source.avant = [this] { arreteLecture(); };
    source.table = [envoye](ExchangeText& t) { AnalyseSon::tableSpectre(t, envoye); };
    source.sections = [](ExchangeText& t, bool) { AnalyseSon::sectionsSpectre(t); };
    source.titre = QStringLiteral("Spectre à fech=%1 Hz").arg(envoye.freqEch);
    m_host.transfert().envoie(this, destination, source);
}

// ---------------------------------------------------------------- halving, views

void TWaveForm::DivBtnClick()
{
    if (document.vide() || document.FreqEch() < 2)
        return;
    arreteLecture();
    graphe.debutS /= 2;
    graphe.finS /= 2;
    document.diviseParDeux();
    FreqEch = document.FreqEch();
    LabelFreq->setText(QStringLiteral("Fech=%1 Hz").arg(document.FreqEch()));
}

void TWaveForm::FFTSonagrammeClick(QAction* a)
{
    // Two toggles of one group: at most one down, both may be up.
    if (a->isChecked())
        (a == FFTBtn ? SonagrammeBtn : FFTBtn)->setChecked(false);
    const bool visible = FFTBtn->isChecked() || SonagrammeBtn->isChecked();
    PaintBoxFFT->setVisible(visible);
    sonagrammeAction->setVisible(SonagrammeBtn->isChecked());
    spectreAction->setVisible(FFTBtn->isChecked());
    placeVues();
    metsAJourAnalyses();
}

void TWaveForm::sonagrammeCBChange(int index)
{
    static constexpr int decades[3] = {0, 2, 3};
    if (index >= 0 && index < 3)
        sonagramme.decadedB = decades[index];
    PaintBoxFFT->update();
}

void TWaveForm::PaintBoxFFTPaint(QPainter& p)
{
    const QRect vue = PaintBoxFFT->rect();
    if (SonagrammeBtn->isChecked()) {
        p.fillRect(vue, palette().color(QPalette::Base));
        if (document.vide())
            return;
        // The selection view's mapping lines the columns up with the waveform above.
        TgrapheSon zoom = grapheZoom;
        zoom.LimiteCourbe = Trectangle::depuis(PaintBoxZoom->rect());
        zoom.debutS = document.debut();
        zoom.finS = document.fin();
        zoom.coefficients();
        m_vueSonagramme.peint(p, vue, sonagramme, document.FreqEch(), zoom, palette());
        peintGraduationsY(p, vue, graduationsSonagramme(), QColor(255, 255, 255));
        if (enLecture()) {
            // The sonagram follows the selection view, so the cursor uses that view's mapping.
            p.save();
            p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
            p.setPen(QPen(QColor(255, 0, 0), 1));
            const int x = zoom.Xecran(double(m_player->position()));
            p.drawLine(x, 0, x, vue.height());
            p.restore();
        }
        return;
    }
    if (!spectre.valide) {
        TvueFFT::peintInvite(p, vue, palette());
        return;
    }
    TvueFFT::peint(p, vue, spectre.spectre, spectre.maxi, spectre.freqEch, palette());
    const QString pic = spectre.textePic();
    if (!pic.isEmpty()) {
        QFont f = p.font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(vue.adjusted(0, 4, -8, 0), Qt::AlignRight | Qt::AlignTop, pic);
    }
}

void TWaveForm::placeVues()
{
    const int h = Splitter->height();
    if (h <= 0)
        return;
    const int haut = std::max(40, height() / 2 - (Splitter->mapTo(this, QPoint(0, 0)).y()));
    const int fft = PaintBoxFFT->isVisible() ? height() / 3 : 0;
    Splitter->setSizes({haut, std::max(40, h - haut - fft), fft});
}

// ---------------------------------------------------------------- window

void TWaveForm::keyPressEvent(QKeyEvent* e)
{
    QPoint d;
    const bool maj = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_PageUp: d = maj ? QPoint(-10, 0) : QPoint(0, -10); break;
    case Qt::Key_PageDown: d = maj ? QPoint(10, 0) : QPoint(0, 10); break;
    case Qt::Key_Left: d = QPoint(-1, 0); break;
    case Qt::Key_Right: d = QPoint(1, 0); break;
    case Qt::Key_Up: d = QPoint(0, -1); break;
    case Qt::Key_Down: d = QPoint(0, 1); break;
    default: QMainWindow::keyPressEvent(e); return;
    }
    QCursor::setPos(QCursor::pos() + d);
}

void TWaveForm::resizeEvent(QResizeEvent* e)
{
    QMainWindow::resizeEvent(e);
    placeVues();
    if (!document.vide())
        pasTrace = pasTracePour(document.NbrePoints(), PaintBox->width());
}

void TWaveForm::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    placeVues();
}

void TWaveForm::changeEvent(QEvent* e)
{
    QMainWindow::changeEvent(e);
    // Leaving the window stops the sound, as closing the player did.
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && enLecture()
        && !QApplication::activeModalWidget())
        arreteLecture();
}

void TWaveForm::ecritIni()
{
    QSettings ini(m_host.fichierIni(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Wav"));
    ini.setValue(QStringLiteral("bits"), NBits);
    ini.setValue(QStringLiteral("freq"), FreqEch);
    ini.setValue(QStringLiteral("Mode"), IndexMode);
    ini.endGroup();
    ini.sync();
}

void TWaveForm::QuitterBtnClick()
{
    changeDF = true;
    close();
}

void TWaveForm::closeEvent(QCloseEvent* e)
{
    arreteLecture();
    if (m_recorder && m_recorder->enregistre())
        m_recorder->abandonne();
    if (stopEnCours) {
        stopEnCours = false;
        Timer1.stop();
        QApplication::restoreOverrideCursor();
        StopBtn->setEnabled(false);
        EnregistrerBtn->setEnabled(true);
    }
    ecritIni();
    TabuloBtn->ecritReglages(m_host.fichierIni());
    m_host.setMode(mNone);
    e->accept();
}

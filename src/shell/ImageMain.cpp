#include "ImageMain.h"

#include "About.h"
#include "ConversionGif.h"
#include "RoutageConseils.h"

#include "TFormDDE.h"
#include "Transfert.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kPasDisponible = QStringLiteral("Outil pas encore disponible");

struct Bouton
{
    Tmode mode;
    const char* nom;
    QString legende;
};

QString invite(Repertoires::Champ c)
{
    const QString debut = QStringLiteral("Donnez le répertoire des fichiers ");
    switch (c) {
    case Repertoires::Avi: return debut + QStringLiteral("Video");
    case Repertoires::Wav: return debut + QStringLiteral("Son");
    case Repertoires::Tabulo: return QStringLiteral("Donnez le répertoire de Tabulo");
    default: return debut + QStringLiteral("Image");
    }
}

Repertoires::Champ champOutil(Tmode m)
{
    switch (m) {
    case mOptique: return Repertoires::BmpOptique;
    case mBMP:
    case mMeca: return Repertoires::BmpMeca;
    case mVideoBmp: return Repertoires::VideoBmp;
    case mWav: return Repertoires::Wav;
    default: return Repertoires::Avi;
    }
}

} // namespace

TImageFormMain::TImageFormMain(std::vector<EntreeOutil> fabriques, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ImageFormMain"));
    setWindowTitle(QStringLiteral("Lecture d'images pour Tabulo"));
    setWindowIcon(QIcon(QStringLiteral(":/kinexo.svg")));
    for (auto& e : fabriques)
        if (e.fabrique)
            fabriques_[e.mode] = std::move(e.fabrique);

    choisitDossier = [](QWidget* p, const QString& titre, const QString& depart) {
        return QFileDialog::getExistingDirectory(p, titre, depart, QFileDialog::ShowDirsOnly);
    };

    routage_ = new RoutageConseils(this);
    qApp->installEventFilter(routage_);

    // Folders: defaults, then the shared file, the user file and the registry key.
    rep_.lit();
    mode_ = mNone;

    auto boutonOutilFait = [this](const Bouton& b) {
        auto* btn = new QPushButton(b.legende);
        btn->setObjectName(QString::fromLatin1(b.nom));
        btn->setMinimumHeight(30);
        boutons_[b.mode] = btn;
        if (fabriques_.count(b.mode)) {
            btn->setStatusTip(b.legende);
            connect(btn, &QPushButton::clicked, this, [this, m = b.mode] { ouvreOutil(m); });
        } else {
            btn->setEnabled(false);
            btn->setToolTip(kPasDisponible);
        }
        return btn;
    };
    const QIcon iconeDossier = style()->standardIcon(QStyle::SP_DirOpenIcon);
    auto boutonDossier = [this, &iconeDossier](const char* nom, Repertoires::Champ c) {
        auto* btn = new QPushButton(iconeDossier, QString());
        btn->setObjectName(QString::fromLatin1(nom));
        btn->setAccessibleName(invite(c));
        boutonsDossiers_[c] = btn;
        btn->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        btn->setMinimumWidth(36);
        connect(btn, &QPushButton::clicked, this, [this, c] { RepAviBtnClick(c); });
        return btn;
    };

    auto* groupe = new QGroupBox(QStringLiteral("Enregistrement / lecture d'images (BMP, JPEG)"));
    auto* g = new QGridLayout(groupe);
    g->addWidget(boutonOutilFait({mOptique, "InterfBtn", QStringLiteral("Intensité lumineuse")}), 0, 0);
    g->addWidget(boutonDossier("RepInterfBtn", Repertoires::BmpOptique), 0, 1);
    g->addWidget(boutonOutilFait({mBMP, "BmpBtn", QStringLiteral("Courbe")}), 1, 0);
    // Graphs and stroboscopic photos share their folder.
    g->addWidget(boutonDossier("RepBmpBtn", Repertoires::BmpMeca), 1, 1, 2, 1);
    g->addWidget(boutonOutilFait({mMeca, "BmpMecaBtn", QStringLiteral("Chronophotographie")}), 2, 0);
    g->addWidget(
        boutonOutilFait({mVideoBmp, "VideoBmpBtn", QStringLiteral("Chronophotographie image par image")}), 3, 0);
    g->addWidget(boutonDossier("RepVideoBmpBtn", Repertoires::VideoBmp), 3, 1);

    auto* s = new QGridLayout;
    s->addWidget(boutonOutilFait({mAVIMediaPlayer, "AviBtn", QStringLiteral("Lecture d'une video")}), 0, 0);
    // Both video tools open files from the same folder.
    s->addWidget(boutonDossier("RepAviBtn", Repertoires::Avi), 0, 1, 2, 1);
    s->addWidget(boutonOutilFait({mAVI, "VidgrabBtn", QStringLiteral("Lecture video (bis !)")}), 1, 0);
    s->addWidget(boutonOutilFait({mWav, "WavBtn", QStringLiteral("Lecture d'un fichier .WAV ou .MP3")}), 2, 0);
    s->addWidget(boutonDossier("RepWavBtn", Repertoires::Wav), 2, 1);
    s->setContentsMargins(11, 0, 11, 0);

    auto* tabulo = new QPushButton(iconeDossier, QStringLiteral("Répertoire de Tabulo"));
    tabulo->setObjectName(QStringLiteral("RepTabuloBtn"));
    boutonsDossiers_[Repertoires::Tabulo] = tabulo;
    connect(tabulo, &QPushButton::clicked, this, [this] { RepAviBtnClick(Repertoires::Tabulo); });
    auto* about = new QPushButton(QStringLiteral("à propos..."));
    about->setObjectName(QStringLiteral("AboutBtn"));
    connect(about, &QPushButton::clicked, this, &TImageFormMain::AboutBtnClick);
    auto* quitter = new QPushButton(QStringLiteral("Quitter"));
    quitter->setObjectName(QStringLiteral("ExitBtn"));
    connect(quitter, &QPushButton::clicked, this, &QWidget::close);

    auto* bas = new QHBoxLayout;
    bas->addWidget(tabulo);
    bas->addStretch();
    bas->addWidget(about);
    bas->addWidget(quitter);

    auto* l = new QVBoxLayout(this);
    l->addWidget(groupe);
    l->addSpacing(4);
    l->addLayout(s);
    l->addSpacing(8);
    l->addLayout(bas);
    l->setSizeConstraint(QLayout::SetFixedSize);
    setMinimumWidth(380);
    majBullesDossiers();

    // Made last: it looks for Tabulo in the folders just read, and the analysis program's
    // contacts bring the active tool forward.
    transfert_ = std::make_unique<Transfert>(*this);
    transfert_->formDDE().MajTabulo(rep_.repertoireTabulo);
    transfert_->formDDE().demarreServeur([this] { setFocusMain(); });
}

TImageFormMain::~TImageFormMain()
{
    qApp->removeEventFilter(routage_);
    // Tools may still reach the host while they go.
    for (auto& [m, w] : fenetres_)
        delete w.data();
    fenetres_.clear();
    rep_.ecrit();
}

QString TImageFormMain::ConvertitGifBmp(const QString& nom)
{
    return convertitGifEnBmp(nom, tamponDir());
}

Transfert& TImageFormMain::transfert()
{
    return *transfert_;
}

QWidget* TImageFormMain::fenetreOutil(Tmode m) const
{
    auto it = fenetres_.find(m);
    return it == fenetres_.end() ? nullptr : it->second.data();
}

QPushButton* TImageFormMain::boutonOutil(Tmode m) const
{
    auto it = boutons_.find(m);
    return it == boutons_.end() ? nullptr : it->second;
}

QString TImageFormMain::dossierOutil(Tmode m) const
{
    return rep_.champ(champOutil(m));
}

void TImageFormMain::ouvreOutil(Tmode m)
{
    auto f = fabriques_.find(m);
    if (f == fabriques_.end())
        return;
    QWidget* w = fenetreOutil(m);
    if (!w) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        w = f->second(*this, this);
        QApplication::restoreOverrideCursor();
        if (!w)
            return;
        w->setWindowFlag(Qt::Window, true);
        fenetres_[m] = w;
    }
    if (auto* o = dynamic_cast<FenetreOutil*>(w))
        o->setDossier(dossierOutil(m));
    mode_ = m;
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
}

void TImageFormMain::setFocusMain()
{
    if (mode_ != mNone && !fenetreOutil(mode_))
        mode_ = mNone;
    QWidget* w = mode_ == mNone ? static_cast<QWidget*>(this) : fenetreOutil(mode_);
    w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
    w->show();
    w->raise();
    w->activateWindow();
}

void TImageFormMain::montreDemande()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    setFocusMain();
}

void TImageFormMain::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    // The active tool stays in front of the launcher.
    if (e->type() == QEvent::ActivationChange && isActiveWindow() && mode_ != mNone)
        QMetaObject::invokeMethod(this, &TImageFormMain::setFocusMain, Qt::QueuedConnection);
}

void TImageFormMain::majBullesDossiers()
{
    for (auto& [c, btn] : boutonsDossiers_) {
        const QString& v = rep_.champ(c);
        btn->setToolTip(invite(c) + QLatin1Char('\n') + (v.isEmpty() ? QStringLiteral("(aucun)") : v));
    }
}

void TImageFormMain::closeEvent(QCloseEvent* e)
{
    // Tool windows left open do not keep the program alive.
    QWidget::closeEvent(e);
    if (e->isAccepted())
        QCoreApplication::quit();
}

void TImageFormMain::RepAviBtnClick(Repertoires::Champ champ)
{
    const QString choix = choisitDossier(this, invite(champ), rep_.departNavigateur(champ));
    rep_.choisi(champ, choix);
    majBullesDossiers();
    if (champ == Repertoires::Tabulo)
        transfert_->formDDE().MajTabulo(rep_.repertoireTabulo);
}

void TImageFormMain::AboutBtnClick()
{
    TAboutBox boite(this);
    boite.exec();
}

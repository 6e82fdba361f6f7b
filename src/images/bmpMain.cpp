#include "bmpMain.h"

#include "BoiteCouleurs.h"
#include "ImageLoader.h"
#include "NumberText.h"
#include "SectionReglages.h"
#include "TConstanteDlg.h"
#include "ToolHost.h"
#include "Transfert.h"
#include "bmpEch.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr int kRougePur = 255;
constexpr int kDemiCroix = 4;
constexpr int kDemiCroixOrigine = 8;
constexpr int kHauteurLigne = 24;
constexpr int kLargeurColonne = 50;

const char* const kNomsReperes[6] = {"None", "Mesure", "Suppr", "Origine", "MaxiX", "MaxiY"};

} // namespace

TBitmapForm::TBitmapForm(ToolHost& h, QWidget* parent) : TVueImageForm(h, kMaxCourbes, parent)
{
    setWindowTitle(QStringLiteral("KINEXO : lecture de courbes pour Tabulo"));
    Couleur.fill(kRougePur);
    repertoire = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);

    auto* barre = addToolBar(QStringLiteral("Outils"));
    barre->setMovable(false);
    barre->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* fileBtn = new QToolButton(this);
    fileBtn->setText(QStringLiteral("Image"));
    fileBtn->setPopupMode(QToolButton::MenuButtonPopup);
    auto* fileMenu = new QMenu(fileBtn);
    OpenFileBtn = fileMenu->addAction(QStringLiteral("Charger"), this, &TBitmapForm::OpenFileBtnClick);
    OpenFileBtn->setToolTip(QStringLiteral("Charger une image bmp ou jpeg"));
    SaveFileBtn = fileMenu->addAction(QStringLiteral("Enregistrer"), this, &TBitmapForm::SaveFileBtnClick);
    SaveFileBtn->setToolTip(QStringLiteral("Enregistrer l'image courante"));
    SaveFileBtn->setEnabled(false);
    fileBtn->setMenu(fileMenu);
    connect(fileBtn, &QToolButton::clicked, this, &TBitmapForm::OpenFileBtnClick);
    FileAct = barre->addWidget(fileBtn);

    auto ajoute = [this, barre](const QString& texte, const QString& hint, void (TBitmapForm::*slot)()) {
        QAction* a = barre->addAction(texte, this, slot);
        const int i = hint.indexOf(QLatin1Char('|'));
        a->setToolTip(i < 0 ? hint : hint.left(i));
        a->setStatusTip(i < 0 ? hint : hint.mid(i + 1));
        return a;
    };
    SourceBtn = ajoute(QStringLiteral("Connect"), QString(), &TBitmapForm::SourceBtnClick);
    EchelleBtn = ajoute(QStringLiteral("Echelle"), QStringLiteral("Echelle/options|Définition de l'échelle, options"),
                        &TBitmapForm::EchelleBtnClick);
    MesureBtn = ajoute(QStringLiteral("Mesurer"), QStringLiteral("RàZ et début des mesures"), &TBitmapForm::MesureBtnClick);
    StopBtn = ajoute(QStringLiteral("Stop"), QStringLiteral("Fin des mesures"), &TBitmapForm::StopBtnClick);
    RazBtn = ajoute(QStringLiteral("RàZ"), QStringLiteral("RàZ|Remise à zéro"), &TBitmapForm::RazBtnClick);
    UndoBtn = ajoute(QStringLiteral("Défaire"), QStringLiteral("Annuler dernier point"), &TBitmapForm::UndoBtnClick);
    SupprBtn = ajoute(QStringLiteral("Effacer"), QStringLiteral("Effacer un point"), &TBitmapForm::SupprBtnClick);
    TabuloBtn = ajoute(QStringLiteral("Tabulo"), QStringLiteral("Tabulo|Envoi de données vers Tabulo"),
                       &TBitmapForm::TabuloBtnClick);
    CopierBtn = ajoute(QStringLiteral("Copier"), QStringLiteral("Copier les données dans le presse papiers"),
                       &TBitmapForm::CopierBtnClick);
    barre->addSeparator();
    auto* barreZoom = addToolBar(QStringLiteral("Zoom"));
    barreZoom->setMovable(false);
    ExitBtn = new QAction(QStringLiteral("Quitter"), this);
    connect(ExitBtn, &QAction::triggered, this, &QWidget::close);

    addToolBarBreak();
    auto* barreCourbes = addToolBar(QStringLiteral("Courbes"));
    barreCourbes->setMovable(false);
    barreCourbes->addWidget(new QLabel(QStringLiteral(" Nombre de courbes "), this));
    NbreSE = new QSpinBox(this);
    NbreSE->setRange(1, kMaxCourbes);
    NbreSE->setToolTip(QStringLiteral("Deux série de points peuvent correspondre à deux courbes"));
    barreCourbes->addWidget(NbreSE);
    SerieLabelAct = barreCourbes->addWidget(new QLabel(QStringLiteral("  Courbe courante "), this));
    SerieSE = new QSpinBox(this);
    SerieSE->setRange(1, 1);
    SerieAct = barreCourbes->addWidget(SerieSE);
    barreCourbes->addWidget(new QLabel(QStringLiteral("  Signification "), this));
    SignifEdit = new QLineEdit(this);
    SignifEdit->setMinimumWidth(100);
    barreCourbes->addWidget(SignifEdit);
    barreCourbes->addWidget(new QLabel(QStringLiteral("  Couleur de tracé "), this));
    CouleurPointsCB = new BoiteCouleurs(this);
    CouleurPointsCB->setToolTip(QStringLiteral("Couleur de la courbe courante"));
    barreCourbes->addWidget(CouleurPointsCB);
    barreCourbes->addWidget(new QLabel(QStringLiteral("  Couleur des axes "), this));
    CouleurAxeCB = new BoiteCouleurs(this);
    barreCourbes->addWidget(CouleurAxeCB);
    SerieAct->setVisible(false);
    SerieLabelAct->setVisible(false);
    connect(NbreSE, &QSpinBox::valueChanged, this, &TBitmapForm::NbreSEChange);
    connect(SerieSE, &QSpinBox::valueChanged, this, &TBitmapForm::SerieSEChange);
    connect(SignifEdit, &QLineEdit::textChanged, this, [this](const QString& t) { Signif[objetCourant] = t; });
    connect(CouleurPointsCB, &QComboBox::currentIndexChanged, this, &TBitmapForm::CouleurPointsCBChange);
    connect(CouleurAxeCB, &QComboBox::currentIndexChanged, this, &TBitmapForm::CouleurAxeCBChange);

    Grid = new QTableWidget(this);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::NoSelection);
    Grid->setFocusPolicy(Qt::NoFocus);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(kHauteurLigne);
    Grid->horizontalHeader()->setDefaultSectionSize(kLargeurColonne);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    construitVue(Grid, barreZoom);
    barreZoom->addSeparator();
    barreZoom->addAction(ExitBtn);

    for (QAction* a : {EchelleBtn, RazBtn, UndoBtn, SupprBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    MesureBtn->setVisible(false);
    StopBtn->setVisible(false);

    for (int k = 0; k < 6; ++k)
        PointRepere[k] = QPoint(128 + 16 * k, 128 + 16 * k);
    litReglages();
    CouleurPointsCB->setCouleur(couleurDeNombre(Couleur[1]));
    CouleurAxeCB->setCouleur(couleurDeNombre(Couleur[0]));
    m_dlg = new TEchelleBmpDlg(m_echelle, this);
    const SectionReglages ini(host.fichierIni(), QStringLiteral("BMP"));
    m_dlg->UniteX->setText(ini.texte(QStringLiteral("UniteX"), QStringLiteral("m")));
    m_dlg->UniteY->setText(ini.texte(QStringLiteral("UniteY"), QStringLiteral("m")));
    setStatus(QStringLiteral("Cliquer sur le bouton image pour charger un fichier"));
    RemplitGrille();
    resize(1000, 700);
}

TBitmapForm::~TBitmapForm() = default;

bool TBitmapForm::serieVisible() const
{
    return SerieAct->isVisible();
}

QAction* TBitmapForm::action(const QString& texte) const
{
    for (QAction* a : {FileAct, SourceBtn, EchelleBtn, MesureBtn, StopBtn, RazBtn, UndoBtn, SupprBtn, TabuloBtn,
                       CopierBtn, ExitBtn, SaveFileBtn, OpenFileBtn})
        if (a->text() == texte)
            return a;
    return nullptr;
}

void TBitmapForm::litReglages()
{
    const SectionReglages ini(host.fichierIni(), QStringLiteral("BMP"));
    FilterSave = ini.entier(QStringLiteral("FilterSave"), 2);
    m_echelle.MaxiX = ini.reel(QStringLiteral("MaxiX"), 1);
    m_echelle.MaxiY = ini.reel(QStringLiteral("MaxiY"), 1);
    m_echelle.MiniX = ini.reel(QStringLiteral("MiniX"), 0);
    m_echelle.MiniY = ini.reel(QStringLiteral("MiniY"), 0);
    for (int i = 0; i <= kMaxCourbes; ++i)
        Couleur[i] = ini.entier(QStringLiteral("Couleur%1").arg(i), kRougePur) & 0xFFFFFF;
    for (int k = 0; k < 6; ++k) {
        const QString nom = QLatin1String(kNomsReperes[k]);
        PointRepere[k] = QPoint(ini.entier(nom + QLatin1Char('X'), 128 + 16 * k),
                                ini.entier(nom + QLatin1Char('Y'), 128 + 16 * k));
    }
}

void TBitmapForm::ecritReglages() const
{
    SectionReglages ini(host.fichierIni(), QStringLiteral("BMP"));
    ini.ecrit(QStringLiteral("FilterSave"), FilterSave);
    ini.ecritReel(QStringLiteral("MaxiX"), m_echelle.MaxiX);
    ini.ecritReel(QStringLiteral("MaxiY"), m_echelle.MaxiY);
    ini.ecritReel(QStringLiteral("MiniX"), m_echelle.MiniX);
    ini.ecritReel(QStringLiteral("MiniY"), m_echelle.MiniY);
    for (int i = 0; i <= kMaxCourbes; ++i)
        ini.ecrit(QStringLiteral("Couleur%1").arg(i), Couleur[i]);
    for (int k = 0; k < 6; ++k) {
        const QString nom = QLatin1String(kNomsReperes[k]);
        ini.ecrit(nom + QLatin1Char('X'), PointRepere[k].x());
        ini.ecrit(nom + QLatin1Char('Y'), PointRepere[k].y());
    }
    ini.ecrit(QStringLiteral("UniteX"), m_dlg->UniteX->text());
    ini.ecrit(QStringLiteral("UniteY"), m_dlg->UniteY->text());
}

void TBitmapForm::showEvent(QShowEvent* e)
{
    TVueImageForm::showEvent(e);
    if (!dejaMontre) {
        dejaMontre = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        // Most of the width for the picture, the rest for the overview and the table.
        const int w = std::max(width(), 800);
        Splitter1->setSizes({w * 3 / 4, w / 4});
    }
}

void TBitmapForm::closeEvent(QCloseEvent* e)
{
    ecritReglages();
    host.setMode(mNone);
    e->accept();
}

void TBitmapForm::OpenFileBtnClick()
{
    const QString nom = QFileDialog::getOpenFileName(
        this, QStringLiteral("Charger une image"), repertoire,
        filtreImages());
    if (!nom.isEmpty())
        ChargeImage(nom);
}

void TBitmapForm::SaveFileBtnClick()
{
    if (NomFichier.isEmpty())
        return;
    const QStringList filtres{QStringLiteral("bitmap (*.bmp)"), QStringLiteral("Jpeg (*.jpg)")};
    QString filtre = filtres.value(std::clamp(FilterSave, 1, 2) - 1);
    QString nom = QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer l'image"), repertoire,
                                               filtres.join(QStringLiteral(";;")), &filtre);
    if (nom.isEmpty())
        return;
    FilterSave = filtres.indexOf(filtre) + 1;
    const bool jpeg = FilterSave == 2;
    if (QFileInfo(nom).suffix().isEmpty())
        nom += jpeg ? QStringLiteral(".jpg") : QStringLiteral(".bmp");
    QString erreur;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = jpeg ? sauveJpeg(Abitmap, nom, &erreur) : sauveBmp(Abitmap, nom, &erreur);
    QApplication::restoreOverrideCursor();
    if (!ok)
        QMessageBox::critical(this, QStringLiteral("Erreur"), erreur);
}

void TBitmapForm::SourceBtnClick()
{
    TabuloBtn->setEnabled(!NomFichier.isEmpty());
    CopierBtn->setEnabled(!NomFichier.isEmpty());
}

void TBitmapForm::EchelleBtnClick()
{
    if (m_dlg->exec() != QDialog::Accepted)
        return;
    BorneSelect = bsNone;
    vueImage()->setCursor(curseurPointage());
    setStatus(QStringLiteral("|Cliquer pour enregistrer le point"));
    afficheHint(QString());
    StopBtn->setVisible(false);
    MesureBtn->setVisible(true);
    EchelleBtn->setEnabled(true);
    pointCourant = -1;
    CalculEchelle(true);
}

void TBitmapForm::MesureBtnClick()
{
    BorneSelect = bsMesure;
    vueImage()->setCursor(curseurPointage());
    setStatus(QStringLiteral("|Cliquer pour enregistrer le point"));
    afficheHint(QString());
    StopBtn->setVisible(true);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(false);
    pointCourant = -1;
    if (Grid->rowCount() > 0)
        Grid->setCurrentCell(0, 0);
    repeint();
    focusBidon();
}

void TBitmapForm::StopBtnClick()
{
    BorneSelect = bsNone;
    MesureBtn->setVisible(true);
    UndoBtn->setEnabled(false);
    StopBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    vueImage()->setCursor(QCursor());
    setStatus(QStringLiteral("Transférer vers Tabulo"));
}

// Back to one curve, its spin boxes quiet while they are reset.
void TBitmapForm::remetUneCourbe()
{
    objetCourant = NbreObjet = 1;
    {
        const QSignalBlocker b1(NbreSE), b2(SerieSE);
        NbreSE->setValue(1);
        SerieSE->setRange(1, 1);
        SerieSE->setValue(1);
    }
    SerieAct->setVisible(false);
    SerieLabelAct->setVisible(false);
}

void TBitmapForm::RazBtnClick()
{
    points.vide();
    remetUneCourbe();
    for (QAction* a : {RazBtn, UndoBtn, SupprBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    MesureBtn->setVisible(true);
    StopBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    if (BorneSelect == bsMesure)
        BorneSelect = bsNone;
    RemplitGrille();
    repeint();
}

void TBitmapForm::UndoBtnClick()
{
    points.supprimeDernier(objetCourant);
    reglesBoutons();
    repeint();
}

void TBitmapForm::TabuloBtnClick()
{
    StopBtnClick();
    EnvoiTabulo();
}

void TBitmapForm::CopierBtnClick()
{
    StopBtnClick();
    CopieDonnees();
}

void TBitmapForm::NbreSEChange(int valeur)
{
    NbreObjet = std::clamp(valeur, 1, kMaxCourbes);
    SerieSE->setMaximum(NbreObjet);
    if (SerieSE->value() > NbreObjet)
        SerieSE->setValue(1);
    SerieAct->setVisible(NbreObjet > 1);
    SerieLabelAct->setVisible(NbreObjet > 1);
    objetCourant = std::min(objetCourant, NbreObjet);
    RemplitGrille();
    reglesBoutons();
    repeint();
}

void TBitmapForm::SerieSEChange(int valeur)
{
    objetCourant = std::clamp(valeur, 1, NbreObjet);
    CouleurPointsCB->setCouleur(couleurDeNombre(Couleur[objetCourant]));
    const QSignalBlocker b(SignifEdit);
    SignifEdit->setText(Signif[objetCourant]);
    reglesBoutons();
}

void TBitmapForm::CouleurPointsCBChange()
{
    if (NomFichier.isEmpty())
        return;
    Couleur[objetCourant] = int(nombreDeCouleur(CouleurPointsCB->couleur()));
    RemplitGrille();
    repeint();
}

void TBitmapForm::CouleurAxeCBChange()
{
    if (NomFichier.isEmpty())
        return;
    Couleur[0] = int(nombreDeCouleur(CouleurAxeCB->couleur()));
    repeint();
}

void TBitmapForm::InitImage()
{
    Largeur = Abitmap.width();
    Hauteur = Abitmap.height();
    points.vide();
    QPoint& o = PointRepere[bsOrigine];
    QPoint& fx = PointRepere[bsEchelleX2];
    QPoint& fy = PointRepere[bsEchelleY2];
    if (o.x() > Largeur) {
        o.setX(Largeur / 2);
        fy.setX(Largeur / 2);
    }
    if (o.y() > Hauteur) {
        o.setY(Hauteur / 2);
        fx.setY(Hauteur / 2);
    }
    if (fx.x() > Largeur)
        fx.setX(Largeur * 3 / 4);
    if (fy.y() > Hauteur)
        fy.setY(Hauteur / 4);
    BorneSelect = bsNone;
    StopBtn->setVisible(false);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    for (QAction* a : {UndoBtn, SupprBtn, RazBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    // Saving the loaded picture is what the command is for.
    SaveFileBtn->setEnabled(true);
    remetUneCourbe();
    initVue();
    setStatus(QStringLiteral("Cliquer sur les points à repérer"));
    CalculEchelle();
}

bool TBitmapForm::CalculEchelle(bool avertir)
{
    const bool ok = m_echelle.CalculEchelle(PointRepere[bsOrigine], PointRepere[bsEchelleX2],
                                            PointRepere[bsEchelleY2], Largeur, Hauteur);
    recalculeReperes();
    repeint();
    RemplitGrille();
    if (!ok && avertir && !NomFichier.isEmpty()) {
        QStringList l;
        if (!m_echelle.axeXValide)
            l << QStringLiteral("La fin de l'axe horizontal est à la verticale de l'origine.");
        if (!m_echelle.axeYValide)
            l << QStringLiteral("La fin de l'axe vertical est à la hauteur de l'origine.");
        l << QStringLiteral("Déplacer le repère pour pouvoir lire les valeurs.");
        QMessageBox::warning(this, QStringLiteral("Echelle"), l.join(QLatin1Char('\n')));
    }
    return ok;
}

CourbesTableau TBitmapForm::tableau() const
{
    CourbesTableau t{points, m_echelle};
    t.NbreObjet = NbreObjet;
    t.NomX = m_dlg->NomX->text();
    t.NomY = m_dlg->NomY->text();
    t.UniteX = m_dlg->UniteX->text();
    t.UniteY = m_dlg->UniteY->text();
    t.Signif = Signif;
    return t;
}

void TBitmapForm::RemplitGrille()
{
    if (!m_dlg)
        return;
    const CourbesTableau t = tableau();
    const int m = points.maxPoints(NbreObjet);
    Grid->setColumnCount(2 * NbreObjet);
    Grid->setHorizontalHeaderLabels(t.entetesGrille());
    if (Grid->rowCount() < m + 1)
        Grid->setRowCount(m + 4);
    for (int c = 1; c <= NbreObjet; ++c) {
        const QColor coul = couleurDeNombre(Couleur[c]);
        for (int i = 0; i < Grid->rowCount(); ++i) {
            const QString vx = t.ValeurX(c, i), vy = t.ValeurY(c, i);
            for (int col : {2 * c - 2, 2 * c - 1}) {
                QTableWidgetItem* it = Grid->item(i, col);
                if (!it) {
                    it = new QTableWidgetItem;
                    Grid->setItem(i, col, it);
                }
                it->setText(col == 2 * c - 2 ? vx : vy);
                it->setForeground(coul);
            }
        }
    }
    if (points.NbrePoints(1) < Grid->rowCount())
        Grid->setCurrentCell(points.NbrePoints(1), 0);
}

void TBitmapForm::reglesBoutons()
{
    const ReglesBoutons r = ::reglesBoutons(points, NbreObjet, objetCourant);
    UndoBtn->setEnabled(r.defaire);
    SupprBtn->setEnabled(r.defaire);
    RazBtn->setEnabled(r.raz);
    TabuloBtn->setEnabled(r.transfert);
    CopierBtn->setEnabled(r.transfert);
    RemplitGrille();
    repeint();
}

QString TBitmapForm::hintRepere(int repere) const
{
    switch (repere) {
    case bsOrigine: return QStringLiteral("Origine|Cliquer sur l'origine");
    case bsEchelleX2: return QStringLiteral("Fin X|Cliquer sur la fin de l'échelle de ") + m_dlg->NomX->text();
    case bsEchelleY2: return QStringLiteral("Fin Y|Cliquer sur la fin de l'échelle de ") + m_dlg->NomY->text();
    default: return QString();
    }
}

void TBitmapForm::PlaceRepere(QPoint p)
{
    const int k = BorneSelect;
    const QPoint z = zoomDepuisVue(p);
    // The pixel under the release point (offsets put back), so a mark lands where it is dropped.
    const QPoint pixel = vue.versImage(z + QPoint(vue.decaleX(), vue.decaleY()));
    PointRepere[k] = pixel;
    if (k == bsOrigine) {
        PointRepere[bsEchelleX2].setY(pixel.y());
        PointRepere[bsEchelleY2].setX(pixel.x());
    } else if (k == bsEchelleX2) {
        PointRepere[bsOrigine].setY(pixel.y());
    } else if (k == bsEchelleY2) {
        PointRepere[bsOrigine].setX(pixel.x());
    }
    BorneSelect = bsNone;
    vueImage()->setCursor(QCursor());
    CalculEchelle(true);
}

QColor TBitmapForm::couleurAxes() const
{
    return couleurDeNombre(Couleur[0]);
}

QColor TBitmapForm::couleurSerie(int s) const
{
    return couleurDeNombre(Couleur[std::clamp(s, 0, kMaxCourbes)]);
}

void TBitmapForm::dessineVue(QPainter& p)
{
    const QFontMetrics fm = p.fontMetrics();
    for (int c = 1; c <= NbreObjet; ++c) {
        p.setPen(couleurSerie(c));
        for (int i = 0; i < points.NbrePoints(c); ++i) {
            const QPoint e = vue.versEcran(points.point(c, i));
            dessineCroix(p, e, kDemiCroix);
            p.drawText(e + QPoint(kDemiCroix, kDemiCroix + fm.ascent()), etiquettePoint(i, c, NbreObjet));
        }
    }
    const QPoint decale(vue.decaleX(), vue.decaleY());
    const QPoint o = e_PointRepere[bsOrigine] + decale;
    p.setPen(couleurAxes());
    for (int k : {bsEchelleY2, bsEchelleX2}) {
        dessineFleche(p, o, e_PointRepere[k] + decale, kLongueurFleche);
        p.drawEllipse(QRect(QPoint(o.x() - 5, o.y() - 5), QPoint(o.x() + 5, o.y() + 5)));
    }
    dessineCroix(p, o, kDemiCroixOrigine);
}

void TBitmapForm::dessineApercu(QPainter& p, double k)
{
    const int s = std::max(1, arrondi(8 / k));
    auto ap = [k](QPoint q) { return QPoint(arrondi(q.x() * k), arrondi(q.y() * k)); };
    const QPoint o = ap(PointRepere[bsOrigine]);
    const int L = std::max(1, arrondi(2 * s * k));
    dessineFleche(p, o, ap(PointRepere[bsEchelleY2]), L);
    dessineFleche(p, o, ap(PointRepere[bsEchelleX2]), L);
    dessineCroix(p, o, std::max(1, arrondi(s * k)));
}

void TBitmapForm::CopieDonnees()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExchangeText texte = tableau().CopieDonnees(host.transfert().constanteDlg().commentaire());
    QGuiApplication::clipboard()->setText(texte.toText());
    QApplication::restoreOverrideCursor();
}

TableSource TBitmapForm::sourceTabulo()
{
    TableSource source;
    source.titre = QStringLiteral("Lecture de bitmap pour Tabulo");
    source.table = [this](ExchangeText& t) { tableau().table(t); };
    source.sections = [this](ExchangeText& t, bool nouveauFichier) {
        if (nouveauFichier)
            tableau().AjouteOptions(t, NomFichier);
    };
    return source;
}

void TBitmapForm::EnvoiTabulo()
{
    host.transfert().envoie(this, Destination::Tabulo, sourceTabulo());
}

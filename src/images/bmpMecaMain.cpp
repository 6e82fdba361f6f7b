#include "bmpMecaMain.h"

#include "SectionReglages.h"

#include "BoiteCouleur.h"
#include "Contraste.h"
#include "NumberText.h"
#include "TConstanteDlg.h"
#include "ToolHost.h"
#include "Transfert.h"
#include "bmpMecaEch.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>

#include <cmath>

namespace {

constexpr int kRougePur = 255;
constexpr int kDemiCroix = 4;
constexpr int kRayonOrigine = 5;
constexpr int kLongueurAxe = 150; // zoomed pixels
constexpr int kHautAxe = 8;
constexpr int kHauteurLigne = 24;
constexpr int kLargeurColonne = 50;
constexpr int kLargeurPanneau = 100;
constexpr int kValeurGammaMax = 25;
constexpr int kDistanceMilieu = 8;

const char* const kNomsReperes[6] = {"None", "Mesure", "Suppr", "Origine", "Echelle1", "Echelle2"};

// The bar drawn across an arrow at its start: the arrowhead's side step, from A towards B.
void barre(QPainter& p, QPoint a, QPoint b, int L)
{
    const int dx = a.x() - b.x(), dy = a.y() - b.y();
    const int len = arrondi(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (len == 0)
        return;
    const int ux = arrondi(double(L) * dx / len), uy = arrondi(double(L) * dy / len);
    const int wx = arrondi(ux / 3.0), wy = arrondi(uy / 3.0);
    p.drawLine(QPoint(a.x() - wy, a.y() + wx), QPoint(a.x() + wy, a.y() - wx));
}

void cercle(QPainter& p, QPoint c)
{
    p.drawEllipse(QRect(QPoint(c.x() - kRayonOrigine, c.y() - kRayonOrigine),
                        QPoint(c.x() + kRayonOrigine + 1, c.y() + kRayonOrigine + 1)));
}

} // namespace

TBitmapMecaForm::TBitmapMecaForm(ToolHost& h, QWidget* parent) : TVueImageForm(h, kMaxSeries, parent)
{
    setWindowTitle(QStringLiteral("KINEXO : lecture de chronophotographie pour Tabulo"));
    Couleur.fill(kRougePur);
    repertoire = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);

    auto* barre = addToolBar(QStringLiteral("Outils"));
    barre->setMovable(false);
    barre->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto ajoute = [this, barre](const QString& texte, const QString& hint, void (TBitmapMecaForm::*slot)()) {
        QAction* a = barre->addAction(texte, this, slot);
        const int i = hint.indexOf(QLatin1Char('|'));
        a->setToolTip(i < 0 ? hint : hint.left(i));
        a->setStatusTip(i < 0 ? hint : hint.mid(i + 1));
        return a;
    };
    FileBtn = ajoute(QStringLiteral("Charger"), QStringLiteral("Charger une image"), &TBitmapMecaForm::FileBtnClick);
    EchelleBtn = ajoute(QStringLiteral("Echelle"), QStringLiteral("Echelle/options|Définition de l'échelle, options"),
                        &TBitmapMecaForm::EchelleBtnClick);
    MesureBtn = ajoute(QStringLiteral("Mesurer"), QStringLiteral("RàZ et début des mesures"), &TBitmapMecaForm::MesureBtnClick);
    StopBtn = ajoute(QStringLiteral("Stop"), QStringLiteral("Fin des mesures"), &TBitmapMecaForm::StopBtnClick);
    RazBtn = ajoute(QStringLiteral("RàZ"), QStringLiteral("RàZ|Remise à zéro"), &TBitmapMecaForm::RazBtnClick);
    UndoBtn = ajoute(QStringLiteral("Défaire"), QStringLiteral("Annuler dernier point de la série courante"),
                     &TBitmapMecaForm::UndoBtnClick);
    SupprBtn = ajoute(QStringLiteral("Effacer"), QStringLiteral("Effacer un point"), &TBitmapMecaForm::SupprBtnClick);
    TabuloBtn = ajoute(QStringLiteral("Tabulo"), QStringLiteral("Tabulo|Envoi de données vers Tabulo"),
                       &TBitmapMecaForm::TabuloBtnClick);
    CopierBtn = ajoute(QStringLiteral("Copier"), QStringLiteral("Copier les données dans le presse papiers"),
                       &TBitmapMecaForm::CopierBtnClick);
    barre->addSeparator();
    auto* barreZoom = addToolBar(QStringLiteral("Zoom"));
    barreZoom->setMovable(false);
    ExitBtn = new QAction(QStringLiteral("Quitter"), this);
    connect(ExitBtn, &QAction::triggered, this, &QWidget::close);

    addToolBarBreak();
    auto* trace = addToolBar(QStringLiteral("Tracé"));
    trace->setMovable(false);
    trace->addWidget(new QLabel(QStringLiteral(" Tracé — Couleur "), this));
    CouleurPointsCB = new QComboBox(this);
    remplitCouleurs(CouleurPointsCB);
    CouleurPointsCB->setToolTip(QStringLiteral("Couleur de la série courante"));
    trace->addWidget(CouleurPointsCB);
    GrilleCB = new QCheckBox(QStringLiteral("&Grille"), this);
    GrilleCB->setToolTip(QStringLiteral("Chaque position tracée par deux droites sur toute l'image"));
    trace->addWidget(GrilleCB);
    SerieLabelAct = trace->addWidget(new QLabel(QStringLiteral("  Série courante "), this));
    SerieSE = new QSpinBox(this);
    SerieSE->setRange(1, 1);
    SerieAct = trace->addWidget(SerieSE);
    trace->addSeparator();
    signeYCB = new QCheckBox(QStringLiteral("Axe &Y vers le bas"), this);
    trace->addWidget(signeYCB);
    // The contrast along the bottom, where its reference box has room.
    auto* contraste = new QToolBar(QStringLiteral("Contraste"), this);
    contraste->setMovable(false);
    addToolBar(Qt::BottomToolBarArea, contraste);
    ContrasteCB = new QCheckBox(QStringLiteral("Réglage du &contraste"), this);
    contraste->addWidget(ContrasteCB);
    ScrollBarGamma = new QSpinBox(this);
    ScrollBarGamma->setRange(0, kValeurGammaMax);
    ScrollBarGamma->setValue(ValeurGamma);
    ScrollBarGamma->setToolTip(QStringLiteral("Contraste (0 : image d'origine)"));
    GammaAct = contraste->addWidget(ScrollBarGamma);
    GammaPaintBox = new ZoneDessin(this);
    GammaPaintBox->setMinimumSize(128, 20);
    GammaPaintBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    GammaPaintBox->setToolTip(QStringLiteral("Référence du contraste"));
    GammaPaintBox->setStatusTip(QStringLiteral("La ligne rouge représente l'état qui sera inchangé"));
    GammaPaintBox->setMouseTracking(true);
    GammaPaintBox->peint = [this](QPainter& p) { GammaPaintBoxPaint(p); };
    GammaPaintBox->presse = [this](QMouseEvent* e) { GammaPaintBoxMouseDown(e); };
    GammaPaintBox->bouge = [this](QMouseEvent* e) { GammaPaintBoxMouseMove(e); };
    GammaPaintBox->relache = [this](QMouseEvent* e) { GammaPaintBoxMouseUp(e); };
    GammaBoxAct = contraste->addWidget(GammaPaintBox);
    GammaAct->setVisible(false);
    GammaBoxAct->setVisible(false);
    SerieAct->setVisible(false);
    SerieLabelAct->setVisible(false);

    // Background of the contrast box: the 256 levels from black to white.
    bitmapGamma = QImage(256, 2, QImage::Format_RGB888);
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 2; ++y)
            bitmapGamma.setPixelColor(x, y, QColor(x, x, x));

    connect(SerieSE, &QSpinBox::valueChanged, this, &TBitmapMecaForm::SerieSEChange);
    connect(CouleurPointsCB, &QComboBox::currentIndexChanged, this, &TBitmapMecaForm::CouleurPointsCBChange);
    connect(GrilleCB, &QCheckBox::toggled, this, &TBitmapMecaForm::GrilleCBClick);
    connect(signeYCB, &QCheckBox::toggled, this, &TBitmapMecaForm::signeYCBClick);
    connect(ContrasteCB, &QCheckBox::toggled, this, &TBitmapMecaForm::ContrasteCBClick);
    connect(ScrollBarGamma, &QSpinBox::valueChanged, this, &TBitmapMecaForm::ScrollBarGammaChanging);

    Grid = new QTableWidget(this);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionMode(QAbstractItemView::NoSelection);
    Grid->setFocusPolicy(Qt::NoFocus);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(kHauteurLigne);
    Grid->horizontalHeader()->setDefaultSectionSize(kLargeurColonne);
    Grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    construitVue(Grid, barreZoom);
    barreZoom->addSeparator();
    barreZoom->addAction(ExitBtn);
    for (int i = 1; i < 4; ++i) {
        Panneau[i] = new QLabel(this);
        Panneau[i]->setMinimumWidth(kLargeurPanneau);
        statusBar()->addPermanentWidget(Panneau[i]);
    }
    vueImage()->installEventFilter(this);

    for (QAction* a : {EchelleBtn, RazBtn, UndoBtn, SupprBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    MesureBtn->setVisible(false);
    StopBtn->setVisible(false);

    for (int k = 0; k < 6; ++k)
        PointRepere[k] = QPoint(128 + 16 * k, 128 + 16 * k);
    litReglages();
    CouleurGrid[0] = 0x000000;
    for (int s = 1; s <= kMaxSeries; ++s)
        CouleurGrid[2 * s - 1] = CouleurGrid[2 * s] = CouleurLisible(Couleur[s]);
    choisitCouleur(CouleurPointsCB, Couleur[1]);
    m_dlg = new TEchelleMecaBmpDlg(this);
    m_dlg->UniteEdit->setText(SectionReglages(host.fichierIni(), QStringLiteral("BMP")).texte(QStringLiteral("UniteX"), QStringLiteral("m")));
    setStatus(QStringLiteral("Cliquer sur le bouton Charger pour lire une chronophotographie"));
    RemplitGrille();
    resize(1100, 750);
}

TBitmapMecaForm::~TBitmapMecaForm() = default;

bool TBitmapMecaForm::serieVisible() const
{
    return SerieAct->isVisible();
}

QWidget* TBitmapMecaForm::gammaPaintBox() const
{
    return GammaPaintBox;
}

QString TBitmapMecaForm::panneauStatus(int i) const
{
    return i == 0 ? texteStatus() : Panneau[std::clamp(i, 1, 3)]->text();
}

QAction* TBitmapMecaForm::action(const QString& texte) const
{
    for (QAction* a : {FileBtn, EchelleBtn, MesureBtn, StopBtn, RazBtn, UndoBtn, SupprBtn, TabuloBtn, CopierBtn, ExitBtn})
        if (a->text() == texte)
            return a;
    return nullptr;
}

void TBitmapMecaForm::litReglages()
{
    const SectionReglages ini(host.fichierIni(), QStringLiteral("BMP"));
    GrilleCB->setChecked(ini.valeur(QStringLiteral("Grille"), false).toBool());
    signeYCB->setChecked(ini.valeur(QStringLiteral("SigneY"), false).toBool());
    signeYCBClick();
    Filtre = ini.valeur(QStringLiteral("Filtre"), 0).toInt();
    for (int i = 0; i <= kMaxSeries; ++i)
        Couleur[i] = ini.valeur(QStringLiteral("Couleur%1").arg(i), kRougePur).toInt() & 0xFFFFFF;
    for (int k = 0; k < 6; ++k) {
        const QString nom = QLatin1String(kNomsReperes[k]);
        PointRepere[k] = QPoint(ini.valeur(nom + QLatin1Char('X'), 128 + 16 * k).toInt(),
                                ini.valeur(nom + QLatin1Char('Y'), 128 + 16 * k).toInt());
    }
}

void TBitmapMecaForm::ecritReglages() const
{
    SectionReglages ini(host.fichierIni(), QStringLiteral("BMP"));
    for (int i = 0; i <= kMaxSeries; ++i)
        ini.ecrit(QStringLiteral("Couleur%1").arg(i), Couleur[i]);
    for (int k = 0; k < 6; ++k) {
        const QString nom = QLatin1String(kNomsReperes[k]);
        ini.ecrit(nom + QLatin1Char('X'), PointRepere[k].x());
        ini.ecrit(nom + QLatin1Char('Y'), PointRepere[k].y());
    }
    ini.ecrit(QStringLiteral("Grille"), GrilleCB->isChecked());
    ini.ecrit(QStringLiteral("SigneY"), signeYCB->isChecked());
    ini.ecrit(QStringLiteral("UniteX"), m_dlg->UniteEdit->text());
    ini.ecrit(QStringLiteral("Filtre"), Filtre);
    ini.enregistre();
}

void TBitmapMecaForm::showEvent(QShowEvent* e)
{
    TVueImageForm::showEvent(e);
    if (!dejaMontre) {
        dejaMontre = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        const int w = std::max(width(), 800);
        Splitter1->setSizes({w * 3 / 4, w / 4});
    }
}

void TBitmapMecaForm::closeEvent(QCloseEvent* e)
{
    ecritReglages();
    host.setMode(mNone);
    e->accept();
}

void TBitmapMecaForm::FileBtnClick()
{
    // Every picture first, then one kind at a time, as in the curve digitiser.
    const QStringList filtres = filtreImages().split(QStringLiteral(";;"));
    QString filtre = filtres.value(std::clamp(Filtre, 0, int(filtres.size()) - 1));
    const QString nom = QFileDialog::getOpenFileName(this, QStringLiteral("Charger une image"), repertoire,
                                                     filtres.join(QStringLiteral(";;")), &filtre);
    if (nom.isEmpty())
        return;
    Filtre = std::max(0, int(filtres.indexOf(filtre)));
    ChargeImage(nom);
}

void TBitmapMecaForm::montreSerie()
{
    const QSignalBlocker b(SerieSE);
    SerieSE->setMaximum(NbreObjet);
    SerieSE->setValue(objetCourant);
    SerieAct->setVisible(NbreObjet > 1);
    SerieLabelAct->setVisible(NbreObjet > 1);
    choisitCouleur(CouleurPointsCB, Couleur[objetCourant]);
    compteSerie = points.NbrePoints(objetCourant);
}

void TBitmapMecaForm::EchelleBtnClick()
{
    m_dlg->Longueur = m_echelle.Longueur;
    m_dlg->deltaT = deltaT;
    m_dlg->AvecT = AvecT;
    m_dlg->CouleurAxe = Couleur[0];
    if (m_dlg->exec() == QDialog::Accepted) {
        m_echelle.Longueur = m_dlg->Longueur;
        deltaT = m_dlg->deltaT;
        AvecT = m_dlg->AvecT;
        Couleur[0] = m_dlg->CouleurAxe;
        NbreObjet = m_dlg->NbreSE->value();
        if (objetCourant > NbreObjet)
            objetCourant = 1;
        montreSerie();
    }
    BorneSelect = bsNone;
    vueImage()->setCursor(curseurPointage());
    setStatus(QStringLiteral("|Cliquer pour enregistrer le point"));
    afficheHint(QString());
    StopBtn->setVisible(false);
    MesureBtn->setVisible(true);
    EchelleBtn->setEnabled(true);
    pointCourant = -1;
    CalculEchelle();
    RemplitGrille();
    repeint();
}

void TBitmapMecaForm::MesureBtnClick()
{
    BorneSelect = bsMesure;
    vueImage()->setCursor(curseurPointage());
    setStatus(QStringLiteral("|Cliquer pour enregistrer le point"));
    afficheHint(QString());
    StopBtn->setVisible(true);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(false);
    objetCourant = choixSerie(points, NbreObjet);
    montreSerie();
    pointCourant = -1;
    Grid->clearContents();
    RemplitGrille();
    reglesBoutons();
    repeint();
    focusBidon();
}

void TBitmapMecaForm::StopBtnClick()
{
    BorneSelect = bsNone;
    MesureBtn->setVisible(true);
    UndoBtn->setEnabled(false);
    StopBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    vueImage()->setCursor(QCursor());
    setStatus(QStringLiteral("Transférer vers Tabulo"));
}

void TBitmapMecaForm::RazBtnClick()
{
    points.vide();
    objetCourant = NbreObjet = 1;
    {
        const QSignalBlocker b(m_dlg->NbreSE);
        m_dlg->NbreSE->setValue(1);
    }
    montreSerie();
    for (QAction* a : {RazBtn, UndoBtn, SupprBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    MesureBtn->setVisible(true);
    StopBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    if (BorneSelect == bsMesure)
        BorneSelect = bsNone;
    Grid->clearContents();
    RemplitGrille();
    repeint();
}

void TBitmapMecaForm::UndoBtnClick()
{
    points.supprimeDernier(objetCourant);
    reglesBoutons();
    repeint();
}

bool TBitmapMecaForm::etendueSuffit()
{
    if (tableau().exportable(etendue(points, NbreObjet, Largeur, Hauteur)))
        return true;
    QMessageBox::warning(this, windowTitle(), QStringLiteral("Mesures sur zone trop étroite !"));
    return false;
}

void TBitmapMecaForm::TabuloBtnClick()
{
    StopBtnClick();
    EnvoiTabulo();
}

void TBitmapMecaForm::CopierBtnClick()
{
    StopBtnClick();
    CalculEchelle();
    CopieDonnees();
}

void TBitmapMecaForm::SerieSEChange(int valeur)
{
    objetCourant = std::clamp(valeur, 1, NbreObjet);
    choisitCouleur(CouleurPointsCB, Couleur[objetCourant]);
    compteSerie = points.NbrePoints(objetCourant);
    reglesBoutons();
}

void TBitmapMecaForm::CouleurPointsCBChange()
{
    if (NomFichier.isEmpty())
        return;
    Couleur[objetCourant] = couleurChoisie(CouleurPointsCB);
    CouleurGrid[2 * objetCourant - 1] = CouleurGrid[2 * objetCourant] = CouleurLisible(Couleur[objetCourant]);
    RemplitGrille();
    repeint();
}

void TBitmapMecaForm::GrilleCBClick()
{
    if (vueImage())
        vueImage()->update();
}

void TBitmapMecaForm::signeYCBClick()
{
    m_echelle.signeY = signeYCB->isChecked() ? 1 : -1;
    RemplitGrille();
    if (vueImage())
        repeint();
}

void TBitmapMecaForm::ContrasteCBClick()
{
    GammaAct->setVisible(ContrasteCB->isChecked());
    GammaBoxAct->setVisible(ContrasteCB->isChecked());
}

void TBitmapMecaForm::ScrollBarGammaChanging(int valeur)
{
    ValeurGamma = valeur;
    AppliqueContraste();
}

void TBitmapMecaForm::AppliqueContraste()
{
    if (NomFichier.isEmpty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ValeurGamma = ScrollBarGamma->value();
    Abitmap = ::AppliqueContraste(bitmapOriginal, facteurContraste(ValeurGamma), MilieuGamma);
    repeint();
    QApplication::restoreOverrideCursor();
    focusBidon();
}

void TBitmapMecaForm::GammaPaintBoxPaint(QPainter& p)
{
    if (NomFichier.isEmpty())
        return;
    const QRect r = GammaPaintBox->rect();
    p.drawImage(r, bitmapGamma);
    if (!CaptureMilieu)
        e_MilieuGamma = MilieuGamma * r.width() / 255;
    p.setPen(QColor(255, 0, 0));
    p.drawLine(e_MilieuGamma, 0, e_MilieuGamma, r.height());
}

void TBitmapMecaForm::GammaPaintBoxMouseDown(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || e->button() != Qt::LeftButton)
        return;
    if (std::abs(e->position().toPoint().x() - e_MilieuGamma) < kDistanceMilieu)
        CaptureMilieu = true;
}

void TBitmapMecaForm::GammaPaintBoxMouseMove(QMouseEvent* e)
{
    if (!CaptureMilieu)
        return;
    e_MilieuGamma = std::clamp(e->position().toPoint().x(), 0, GammaPaintBox->width());
    GammaPaintBox->update();
}

void TBitmapMecaForm::GammaPaintBoxMouseUp(QMouseEvent* e)
{
    if (!CaptureMilieu || e->button() != Qt::LeftButton)
        return;
    // A release beyond the box stays on its nearest edge.
    const int x = std::clamp(e->position().toPoint().x(), 0, GammaPaintBox->width());
    MilieuGamma = std::clamp(x * 255 / std::max(1, GammaPaintBox->width()), 0, 255);
    CaptureMilieu = false;
    GammaPaintBox->update();
    AppliqueContraste();
}

void TBitmapMecaForm::InitImage()
{
    Largeur = Abitmap.width();
    Hauteur = Abitmap.height();
    points.vide();
    QPoint& o = PointRepere[bsOrigine];
    QPoint& d = PointRepere[bsEchelle1];
    QPoint& f = PointRepere[bsEchelle2];
    if (o.x() > Largeur || o.y() > Hauteur)
        o = QPoint(Largeur / 2, Hauteur / 2);
    if (d.x() > Largeur || d.y() > Hauteur)
        d = o;
    if (f.x() > Largeur || f.y() > Hauteur)
        f = QPoint(Largeur * 3 / 4, Hauteur / 2);
    BorneSelect = bsNone;
    StopBtn->setVisible(false);
    MesureBtn->setVisible(false);
    EchelleBtn->setEnabled(true);
    for (QAction* a : {UndoBtn, SupprBtn, RazBtn, TabuloBtn, CopierBtn})
        a->setEnabled(false);
    objetCourant = NbreObjet = 1;
    montreSerie();
    Grid->clearContents();
    initVue();
    setStatus(QStringLiteral("Cliquer sur les points à repérer"));
    CalculEchelle();
}

void TBitmapMecaForm::CalculEchelle()
{
    m_echelle.CalculEchelle(PointRepere[bsEchelle1], PointRepere[bsEchelle2], PointRepere[bsOrigine]);
    recalculeReperes();
    RemplitGrille();
    repeint();
}

MecaTableau TBitmapMecaForm::tableau() const
{
    MecaTableau t{points, m_echelle};
    t.NbreObjet = NbreObjet;
    t.AvecT = AvecT;
    t.deltaT = deltaT;
    if (m_dlg) {
        t.nomT = m_dlg->nomT->text();
        t.UniteT = m_dlg->UniteT->text();
        t.NomX = m_dlg->NomX->text();
        t.NomY = m_dlg->NomY->text();
        t.UniteEdit = m_dlg->UniteEdit->text();
    }
    return t;
}

void TBitmapMecaForm::RemplitGrille()
{
    if (!m_dlg)
        return;
    const MecaTableau t = tableau();
    const int colonnes = m_dlg->NbreSE->value();
    Grid->setColumnCount(2 * colonnes + 1);
    Grid->setHorizontalHeaderLabels(t.entetesGrille(colonnes));
    const int n1 = points.NbrePoints(1);
    const int lignes = std::max(n1, points.maxPoints(NbreObjet));
    if (Grid->rowCount() < lignes + 1)
        Grid->setRowCount(lignes + 4);
    auto cellule = [this](int ligne, int col, const QString& texte) {
        QTableWidgetItem* it = Grid->item(ligne, col);
        if (!it) {
            it = new QTableWidgetItem;
            Grid->setItem(ligne, col, it);
        }
        it->setText(texte);
        it->setForeground(versQColor(CouleurGrid[std::clamp(col, 0, 2 * kMaxSeries)]));
    };
    for (int i = 0; i < Grid->rowCount(); ++i) {
        cellule(i, 0, i < n1 ? t.Temps(i) : QString());
        for (int s = 1; s <= colonnes; ++s) {
            const bool enUsage = s <= NbreObjet;
            cellule(i, 2 * s - 1, enUsage ? t.ValeurX(s, i) : QString());
            cellule(i, 2 * s, enUsage ? t.ValeurY(s, i) : QString());
        }
    }
    if (n1 < Grid->rowCount())
        Grid->setCurrentCell(n1, 0);
}

void TBitmapMecaForm::reglesBoutons()
{
    const int n = points.NbrePoints(objetCourant);
    const bool nouvelle = BorneSelect == bsMesure && n == compteSerie + 1;
    compteSerie = n;
    UndoBtn->setEnabled(n > 0);
    SupprBtn->setEnabled(n > 0);
    RazBtn->setEnabled(points.NbrePoints(1) >= 1);
    TabuloBtn->setEnabled(points.NbrePoints(1) >= 3);
    CopierBtn->setEnabled(points.NbrePoints(1) >= 3);
    RemplitGrille();
    repeint();
    // A later series has a position for every flash of series 1: its clicking is over.
    if (nouvelle && objetCourant != 1 && n == points.NbrePoints(1))
        StopBtnClick();
}

QString TBitmapMecaForm::hintRepere(int repere) const
{
    switch (repere) {
    case bsOrigine: return QStringLiteral("Origine|Cliquer sur l'origine");
    case bsEchelle1: return QStringLiteral("Début X|Cliquer sur le début de l'échelle de ");
    case bsEchelle2: return QStringLiteral("Fin X|Cliquer sur la fin de l'échelle de ");
    default: return QString();
    }
}

void TBitmapMecaForm::PlaceRepere(QPoint p)
{
    const int k = BorneSelect;
    p = QPoint(std::max(1, p.x()), std::max(1, p.y()));
    const QPoint z = zoomDepuisVue(p);
    // The pixel under the release point (offsets put back), so a mark lands where it is dropped.
    PointRepere[k] = vue.versImage(z + QPoint(vue.decaleX(), vue.decaleY()));
    BorneSelect = bsNone;
    vueImage()->setCursor(QCursor());
    CalculEchelle();
}

QColor TBitmapMecaForm::couleurAxes() const
{
    return versQColor(Couleur[0]);
}

QColor TBitmapMecaForm::couleurSerie(int s) const
{
    return versQColor(Couleur[std::clamp(s, 0, kMaxSeries)]);
}

void TBitmapMecaForm::dessineVue(QPainter& p)
{
    const QFontMetrics fm = p.fontMetrics();
    const QWidget* v = vueImage();
    for (int s = 1; s <= NbreObjet; ++s) {
        p.setPen(couleurSerie(s));
        for (int i = 0; i < points.NbrePoints(s); ++i) {
            const QPoint e = vue.versEcran(points.point(s, i));
            if (GrilleCB->isChecked()) {
                p.drawLine(e.x(), 0, e.x(), v->height());
                p.drawLine(0, e.y(), v->width(), e.y());
            } else {
                dessineCroix(p, e, kDemiCroix);
            }
            QString etiquette = QString::number(i);
            if (NbreObjet > 1)
                etiquette += QLatin1Char('(') + QString::number(s) + QLatin1Char(')');
            p.drawText(e + QPoint(kDemiCroix, kDemiCroix + fm.ascent()), etiquette);
        }
    }
    const QPoint decale(vue.decaleX(), vue.decaleY());
    const QPoint o = e_PointRepere[bsOrigine] + decale;
    const QPoint d = e_PointRepere[bsEchelle1] + decale;
    const QPoint f = e_PointRepere[bsEchelle2] + decale;
    const QRect lecture = vue.RectLecture();
    p.setPen(couleurAxes());
    dessineFleche(p, d, f, kLongueurFleche);
    barre(p, d, f, kLongueurFleche);
    cercle(p, o);
    QPoint finY(o.x(), o.y() + (signeYCB->isChecked() ? kLongueurAxe : -kLongueurAxe));
    finY.setY(std::min(std::max(finY.y(), kHautAxe), lecture.bottom()));
    dessineFleche(p, o, finY, kLongueurFleche);
    barre(p, o, finY, kLongueurFleche);
    const QPoint finX(std::min(o.x() + kLongueurAxe, lecture.right()), o.y());
    dessineFleche(p, o, finX, kLongueurFleche);
    barre(p, o, finX, kLongueurFleche);
}

void TBitmapMecaForm::dessineApercu(QPainter& p, double k)
{
    const int s = std::max(1, arrondi(8 / k));
    auto ap = [k](QPoint q) { return QPoint(arrondi(q.x() * k), arrondi(q.y() * k)); };
    dessineFleche(p, ap(PointRepere[bsEchelle1]), ap(PointRepere[bsEchelle2]), std::max(1, arrondi(2 * s * k)));
    cercle(p, ap(PointRepere[bsOrigine]));
}

bool TBitmapMecaForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == vueImage() && e->type() == QEvent::MouseMove)
        ImageMouseMove(static_cast<QMouseEvent*>(e));
    return TVueImageForm::eventFilter(o, e);
}

// Besides the view's own handling: the ruler distance in panel 3 while a line is dragged.
void TBitmapMecaForm::ImageMouseMove(QMouseEvent* e)
{
    Panneau[3]->clear();
    if (NomFichier.isEmpty() || BorneSelect != bsNone || !regleEnCours || !(e->buttons() & Qt::LeftButton))
        return;
    const QPointF m = e->position();
    const double z = vue.pasZoom;
    const double dx = m.x() / z - 0.5 - PointRepere[0].x();
    const double dy = m.y() / z - 0.5 - PointRepere[0].y();
    Panneau[3]->setText(texteDistance(m_echelle.Echelle * std::sqrt(dx * dx + dy * dy), m_dlg->UniteEdit->text()));
}

bool TBitmapMecaForm::CopieDonnees()
{
    if (!etendueSuffit())
        return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const ExchangeText texte = tableau().CopieDonnees(host.transfert().constanteDlg().commentaire());
    QGuiApplication::clipboard()->setText(texte.toText());
    QApplication::restoreOverrideCursor();
    return true;
}

TableSource TBitmapMecaForm::sourceTabulo()
{
    TableSource source;
    source.titre = QStringLiteral("Lecture de bitmap pour Tabulo");
    source.avant = [this] { CalculEchelle(); };
    source.table = [this](ExchangeText& t) { tableau().table(t); };
    source.sections = [this](ExchangeText& t, bool nouveauFichier) {
        if (nouveauFichier)
            tableau().AjouteOptions(t, etendue(points, NbreObjet, Largeur, Hauteur), NomFichier);
    };
    return source;
}

bool TBitmapMecaForm::EnvoiTabulo()
{
    // Tested before the page dialog, so a refused table asks nothing of the user.
    if (!etendueSuffit())
        return false;
    return host.transfert().envoie(this, Destination::Tabulo, sourceTabulo());
}

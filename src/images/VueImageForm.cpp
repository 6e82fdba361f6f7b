#include "VueImageForm.h"

#include "ActionClavier.h"
#include "Curseurs.h"
#include "ImageLoader.h"
#include "ToolHost.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>

namespace {
constexpr int kDistanceRepere = 8;
constexpr int kDistancePoint = 10;
constexpr int kLargeurStatus = 320;
} // namespace

TVueImageForm::TVueImageForm(ToolHost& h, int nbreSeries, QWidget* parent)
    : QMainWindow(parent, Qt::Window), host(h), points(nbreSeries)
{
    chargeCurseurs();
}

TVueImageForm::~TVueImageForm() = default;

QWidget* TVueImageForm::vueImage() const { return Image; }
QWidget* TVueImageForm::apercu() const { return PaintBox; }
QWidget* TVueImageForm::editBidon() const { return EditBidon; }
QString TVueImageForm::texteStatus() const { return StatusLabel->text(); }
QRect TVueImageForm::rectZoom() const { return vue.RectZoom(pasZoomEntier); }

void TVueImageForm::construitVue(QWidget* tableau, QToolBar* barreZoom)
{
    ZoomArriereBtn = new QToolButton(this);
    ZoomArriereBtn->setText(QStringLiteral("−"));
    ZoomArriereBtn->setToolTip(QStringLiteral("Zoom arrière"));
    ZoomArriereBtn->setStatusTip(QStringLiteral("Divise par 2 le zoom actuel"));
    ZoomEdit = new QLineEdit(QStringLiteral("Taille réelle"), this);
    ZoomEdit->setReadOnly(true);
    ZoomEdit->setFocusPolicy(Qt::NoFocus);
    ZoomEdit->setFixedWidth(90);
    ZoomAvantBtn = new QToolButton(this);
    ZoomAvantBtn->setText(QStringLiteral("+"));
    ZoomAvantBtn->setToolTip(QStringLiteral("Zoom avant"));
    ZoomAvantBtn->setStatusTip(QStringLiteral("Multiplie par 2 le zoom actuel"));
    barreZoom->addWidget(ZoomArriereBtn);
    barreZoom->addWidget(ZoomEdit);
    barreZoom->addWidget(ZoomAvantBtn);
    connect(ZoomArriereBtn, &QToolButton::clicked, this, &TVueImageForm::ZoomArriereBtnClick);
    connect(ZoomAvantBtn, &QToolButton::clicked, this, &TVueImageForm::ZoomAvantBtnClick);

    ZoomMenu = new QMenu(this);
    for (int tag : {4, 3, 2})
        ZoomMenu->addAction(QStringLiteral("Zoom /%1").arg(tag), this, [this, tag] { ChangeZoom(1.0 / tag); });
    ZoomMenu->addAction(QStringLiteral("Taille réelle"), this, [this] { ChangeZoom(1); });
    for (int tag = 2; tag <= 9; ++tag)
        ZoomMenu->addAction(QStringLiteral("Zoom x&%1").arg(tag), this, [this, tag] { ChangeZoom(tag); });

    Splitter1 = new QSplitter(Qt::Horizontal, this);
    Splitter1->setChildrenCollapsible(false);
    auto* panelImage = new QWidget(Splitter1);
    panelImage->setMinimumWidth(300);
    auto* lay = new QVBoxLayout(panelImage);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->setSpacing(0);
    Image = new ZoneDessin(panelImage);
    Image->setMouseTracking(true);
    Image->setAutoFillBackground(true);
    Image->setMinimumSize(100, 100);
    Image->setToolTip(QStringLiteral("Clic droit pour menu zoom"));
    lay->addWidget(Image, 1);
    ProgressBar = new QProgressBar(panelImage);
    ProgressBar->setRange(0, 0);
    ProgressBar->hide();
    lay->addWidget(ProgressBar);
    Image->peint = [this](QPainter& p) { ImagePaint(p); };
    Image->presse = [this](QMouseEvent* e) { ImageMouseDown(e); };
    Image->bouge = [this](QMouseEvent* e) { ImageMouseMove(e); };
    Image->relache = [this](QMouseEvent* e) { ImageMouseUp(e); };
    Image->menu = [this](QContextMenuEvent* e) { ZoomMenuPopup(e); };
    Image->redimension = [this] { Splitter1Moved(); };

    // Keeps the keyboard focus for keyboard pointing; one pixel, in the view's corner.
    EditBidon = new QLineEdit(Image);
    EditBidon->setGeometry(-1, -1, 1, 1); // out of sight, still able to take the focus
    EditBidon->setFrame(false);
    EditBidon->installEventFilter(this);

    Splitter2 = new QSplitter(Qt::Vertical, Splitter1);
    Splitter2->setChildrenCollapsible(false);
    Splitter2->setMinimumWidth(100);
    PanelApercu = new QWidget(Splitter2);
    PanelApercu->setMinimumHeight(100);
    PanelApercu->installEventFilter(this);
    PaintBox = new ZoneDessin(PanelApercu);
    PaintBox->setMouseTracking(true);
    PaintBox->peint = [this](QPainter& p) { PaintBoxPaint(p); };
    PaintBox->presse = [this](QMouseEvent* e) { PaintBoxMouseDown(e); };
    PaintBox->bouge = [this](QMouseEvent* e) { PaintBoxMouseMove(e); };
    PaintBox->relache = [this](QMouseEvent* e) { PaintBoxMouseUp(e); };
    Splitter2->addWidget(tableau);
    Splitter2->setStretchFactor(0, 1);
    Splitter2->setStretchFactor(1, 2);
    Splitter1->addWidget(Splitter2);
    Splitter1->setStretchFactor(0, 3);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->handle(1)->setToolTip(QStringLiteral("Déplacer pour changer les dimensions relatives des deux images"));
    Splitter2->handle(1)->setToolTip(QStringLiteral("Déplacer pour changer la taille du tableau"));
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { Splitter1Moved(); });
    setCentralWidget(Splitter1);

    StatusLabel = new QLabel(this);
    StatusLabel->setMinimumWidth(kLargeurStatus);
    statusBar()->addWidget(StatusLabel, 1);
}

QString TVueImageForm::filtreImages()
{
    return QStringLiteral("Images (*.png *.jpg *.jpeg *.gif *.bmp *.PNG *.JPG *.JPEG *.GIF *.BMP);;"
                          "bitmap (*.bmp *.BMP);;Jpeg (*.jpg *.jpeg *.JPG *.JPEG);;GIF (*.gif *.GIF);;Ping (*.png *.PNG)");
}

bool TVueImageForm::ChargeImage(const QString& chemin)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QString nom = QFileInfo(chemin).absoluteFilePath();
    QString ext = QFileInfo(nom).suffix().toUpper();
    QString erreur, avertissement;
    QImage image;
    if (ext == QLatin1String("GIF")) {
        ProgressBar->show();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        try {
            nom = host.ConvertitGifBmp(nom);
            ext = QStringLiteral("BMP");
        } catch (const std::exception& e) {
            erreur = QString::fromUtf8(e.what());
            if (erreur.isEmpty())
                erreur = QStringLiteral("Conversion du fichier GIF impossible");
        }
        ProgressBar->hide();
    }
    if (ext == QLatin1String("PNG")) {
        image = chargeImage(nom, &erreur);
        if (!image.isNull()) {
            // The BMP copy becomes the file of record. It goes to the temporary folder: beside
            // the PNG it could replace the user's own BMP, and the folder may be read-only.
            const QString bmp = ecritCopieBmp(image, nom, host.tamponDir());
            if (!bmp.isEmpty())
                nom = bmp;
        }
    } else if (ext == QLatin1String("BMP")) {
        image = chargeImage(nom, &erreur);
    } else if (ext == QLatin1String("JPG") || ext == QLatin1String("JPEG")) {
        image = chargeJpeg(nom, &erreur, &avertissement);
    } else if (erreur.isEmpty()) {
        erreur = QStringLiteral("Format d'image non reconnu : %1").arg(QFileInfo(chemin).fileName());
    }
    QApplication::restoreOverrideCursor();
    if (image.isNull()) {
        if (erreur.isEmpty())
            erreur = QStringLiteral("Image illisible : %1").arg(QFileInfo(chemin).fileName());
        QMessageBox::critical(this, QStringLiteral("Erreur"), erreur);
        return false;
    }
    if (!avertissement.isEmpty())
        QMessageBox::warning(this, QStringLiteral("Image incomplète"), avertissement);
    NomFichier = nom;
    bitmapOriginal = image.convertToFormat(QImage::Format_RGB888);
    Abitmap = bitmapOriginal.copy();
    InitImage();
    EchelleBtnClick();
    setStatus(QStringLiteral("Cliquer sur le bouton Echelle pour configurer"));
    return true;
}

void TVueImageForm::initVue()
{
    Largeur = Abitmap.width();
    Hauteur = Abitmap.height();
    vue.init(Largeur, Hauteur, Image->width(), Image->height());
    BorneSelect = bsNone;
    pointCourant = -1;
    regleEnCours = false;
    ZoomEdit->setText(vue.texteZoom());
    recalculeReperes();
    setWindowTitle(QStringLiteral("Lecture de bitmap pour Tabulo [%1]").arg(QFileInfo(NomFichier).fileName()));
    placeApercu();
    repeint();
}

void TVueImageForm::recalculeReperes()
{
    for (int k = 0; k < 6; ++k)
        e_PointRepere[k] = vue.versZoom(PointRepere[k]);
}

void TVueImageForm::ChangeZoom(double z)
{
    if (NomFichier.isEmpty())
        return;
    const QPoint P = Image->mapFromGlobal(PosMenu);
    vue.W = Image->width();
    vue.H = Image->height();
    vue.ChangeZoom(z, P);
    recalculeReperes();
    ZoomEdit->setText(vue.texteZoom());
    repeint();
    focusBidon();
}

void TVueImageForm::ZoomAvantBtnClick()
{
    if (!NomFichier.isEmpty() && vue.pasZoom < 8)
        ChangeZoom(2 * vue.pasZoom);
}

void TVueImageForm::ZoomArriereBtnClick()
{
    if (!NomFichier.isEmpty() && vue.pasZoom > 1.0 / 8)
        ChangeZoom(vue.pasZoom / 2);
}

void TVueImageForm::ZoomMenuPopup(QContextMenuEvent* e)
{
    PosMenu = e->globalPos();
    ZoomMenu->popup(e->globalPos());
}

void TVueImageForm::Splitter1Moved()
{
    if (NomFichier.isEmpty())
        return;
    vue.W = Image->width();
    vue.H = Image->height();
    const QPoint garde = PosMenu;
    PosMenu = Image->mapToGlobal(QPoint(0, 0));
    ChangeZoom(vue.pasZoom);
    PosMenu = garde;
}

int TVueImageForm::RepereProche(QPoint p) const
{
    for (int k = bsOrigine; k <= bsRepere5; ++k) {
        const QPoint e = e_PointRepere[k] + QPoint(vue.decaleX(), vue.decaleY());
        if (std::abs(e.x() - p.x()) + std::abs(e.y() - p.y()) < kDistanceRepere)
            return k;
    }
    return bsNone;
}

int TVueImageForm::PointProche(QPoint p)
{
    objetSelect = 1;
    int trouve = -1;
    int meilleur = kDistancePoint;
    for (int s = 1; s <= NbreObjet; ++s) {
        for (int i = 0; i < points.NbrePoints(s); ++i) {
            const QPoint e = vue.versEcran(points.point(s, i));
            const int d = std::abs(e.x() - p.x()) + std::abs(e.y() - p.y());
            if (d < meilleur) {
                meilleur = d;
                trouve = i;
                objetSelect = s;
            }
        }
    }
    return trouve;
}

void TVueImageForm::EnregistrePoint(QPoint p)
{
    if (NomFichier.isEmpty())
        return;
    const QPoint pixel = vue.versImage(p);
    if (pointCourant < 0) {
        if (!points.ajoute(objetCourant, pixel))
            setStatus(QStringLiteral("Courbe pleine : %1 points au plus").arg(SeriesPoints::kMaxPoints));
    } else {
        points.deplace(objetSelect, pointCourant, pixel);
    }
    pointCourant = -1;
    Image->setCursor(curseurPointage());
    repeint();
    reglesBoutons();
}

void TVueImageForm::SupprimePoint(QPoint p)
{
    const int i = PointProche(p);
    if (i >= 0) {
        points.supprime(objetSelect, i);
        repeint();
        reglesBoutons();
    }
    BorneSelect = oldBorne;
    setStatus(oldStatus);
    Image->setCursor(BorneSelect == bsMesure ? curseurPointage() : QCursor());
}

void TVueImageForm::SupprBtnClick()
{
    oldBorne = BorneSelect;
    BorneSelect = bsSuppr;
    Image->setCursor(QCursor());
    oldStatus = StatusLabel->text();
    setStatus(QStringLiteral("Suppression du point"));
    afficheHint(QString());
    focusBidon();
}

QCursor TVueImageForm::curseurPointage() const
{
    return curseur(crCibleDouble);
}

void TVueImageForm::curseurMesure(QPoint p)
{
    if (PointProche(p) < 0) {
        Image->setCursor(curseurPointage());
        afficheHint(QStringLiteral("|Cliquer pour enregistrer le point"));
    } else {
        Image->setCursor(curseur(crCibleMove));
        afficheHint(QStringLiteral("|Déplacer le point"));
    }
}

void TVueImageForm::ImageMouseDown(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    posSouris = p;
    if (BorneSelect == bsMesure) {
        pointCourant = PointProche(p);
        curseurMesure(p);
    } else if (BorneSelect != bsSuppr) {
        BorneSelect = RepereProche(p);
        if (BorneSelect != bsNone) {
            Image->setCursor(Qt::ClosedHandCursor);
        } else {
            Image->setCursor(curseurPointage());
            PointRepere[0] = vue.depuisZoom(p);
            rectCourant = QLine(p, p);
            regleEnCours = true;
        }
    }
}

void TVueImageForm::ImageMouseMove(QMouseEvent* e)
{
    if (NomFichier.isEmpty())
        return;
    const QPoint p = e->position().toPoint();
    posSouris = p;
    if (BorneSelect == bsNone) {
        const int r = RepereProche(p);
        Image->setCursor(r != bsNone ? curseur(crCibleMove) : QCursor());
        afficheHint(r != bsNone ? hintRepere(r) : QStringLiteral("|Clic droit pour menu zoom"));
        if ((e->buttons() & Qt::LeftButton) && regleEnCours) {
            rectCourant.setP2(p);
            Image->update();
        }
    } else if (BorneSelect == bsMesure && !(e->buttons() & Qt::LeftButton)) {
        curseurMesure(p);
    } else if (BorneSelect >= bsOrigine && (e->buttons() & Qt::LeftButton)) {
        // The dragged mark follows the mouse until it is dropped.
        e_PointRepere[BorneSelect] = zoomDepuisVue(p);
        Image->update();
    }
}

void TVueImageForm::ImageMouseUp(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    posSouris = p;
    switch (BorneSelect) {
    case bsNone:
        regleEnCours = false;
        Image->setCursor(QCursor());
        Image->update();
        break;
    case bsMesure: EnregistrePoint(p); break;
    case bsSuppr: SupprimePoint(p); break;
    default: PlaceRepere(p); break;
    }
    focusBidon();
}

QPoint TVueImageForm::zoomDepuisVue(QPoint p) const
{
    const QRect r = vue.RectLecture();
    const int x = std::clamp(p.x(), 0, std::max(0, r.width() - 1));
    const int y = std::clamp(p.y(), 0, std::max(0, r.height() - 1));
    return QPoint(x - vue.decaleX(), y - vue.decaleY());
}

void TVueImageForm::ImagePaint(QPainter& p)
{
    if (NomFichier.isEmpty())
        return;
    const RectI& r = vue.RectVisible;
    p.drawImage(vue.RectLecture(), Abitmap, QRect(r.Left, r.Top, r.largeur(), r.hauteur()));
    p.setBrush(Qt::NoBrush);
    dessineVue(p);
    if (regleEnCours && rectCourant.p1() != rectCourant.p2()) {
        p.setPen(QPen(couleurAxes(), 1, Qt::DashLine));
        p.drawLine(rectCourant);
    }
}

void TVueImageForm::placeApercu()
{
    if (NomFichier.isEmpty() || !PaintBox)
        return;
    pasZoomEntier = vue.pasZoomEntier(PanelApercu->width(), PanelApercu->height());
    PaintBox->setGeometry(0, 0, std::max(1, arrondi(Largeur * pasZoomEntier)),
                          std::max(1, arrondi(Hauteur * pasZoomEntier)));
    PaintBox->update();
}

void TVueImageForm::PaintBoxPaint(QPainter& p)
{
    if (NomFichier.isEmpty())
        return;
    const double k = pasZoomEntier;
    p.drawImage(PaintBox->rect(), Abitmap);
    p.setBrush(Qt::NoBrush);
    p.setPen(couleurAxes());
    p.drawRect(ZoomEnCours ? RectMove : vue.RectZoom(k));
    const int s = std::max(1, arrondi(4 / k));
    for (int c = 1; c <= NbreObjet; ++c) {
        p.setPen(couleurSerie(c));
        for (int i = 0; i < points.NbrePoints(c); ++i) {
            const QPoint q = points.point(c, i);
            const QPointF m(q.x() * k, q.y() * k);
            p.drawLine(QPointF(m.x() - s * k, m.y()), QPointF(m.x() + s * k, m.y()));
            p.drawLine(QPointF(m.x(), m.y() - s * k), QPointF(m.x(), m.y() + s * k));
            p.drawText(QPointF((q.x() + s) * k, (q.y() + s) * k + p.fontMetrics().ascent()),
                       QString::number(i) + (NbreObjet > 1 ? QStringLiteral("(%1)").arg(c) : QString()));
        }
    }
    p.setPen(couleurAxes());
    dessineApercu(p, k);
}

void TVueImageForm::PaintBoxMouseDown(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || e->button() != Qt::LeftButton)
        return;
    const QPoint p = e->position().toPoint();
    const QRect rz = vue.RectZoom(pasZoomEntier);
    if (p.x() > rz.left() && p.x() < rz.right() && p.y() > rz.top() && p.y() < rz.bottom()) {
        ZoomEnCours = true;
        PaintBox->setCursor(Qt::ClosedHandCursor);
        RectMove = rz;
        PointDnZoom = p;
    } else {
        PaintBox->setCursor(QCursor());
    }
}

void TVueImageForm::PaintBoxMouseMove(QMouseEvent* e)
{
    if (NomFichier.isEmpty())
        return;
    const QPoint p = e->position().toPoint();
    const QRect rz = vue.RectZoom(pasZoomEntier);
    if (ZoomEnCours && (e->buttons() & Qt::LeftButton)) {
        const int dx = std::max(p.x() - PointDnZoom.x(), -rz.left());
        const int dy = std::max(p.y() - PointDnZoom.y(), -rz.top());
        RectMove = rz.translated(dx, dy);
        PaintBox->update();
    } else if (rz.contains(p)) {
        PaintBox->setCursor(Qt::OpenHandCursor);
        afficheHint(QStringLiteral("|Réglage du zoom"));
    } else {
        PaintBox->setCursor(QCursor());
        afficheHint(QString());
    }
}

void TVueImageForm::PaintBoxMouseUp(QMouseEvent* e)
{
    if (NomFichier.isEmpty() || !ZoomEnCours || e->button() != Qt::LeftButton)
        return;
    vue.W = Image->width();
    vue.H = Image->height();
    vue.deplaceDepuisApercu(e->position().toPoint() - PointDnZoom, pasZoomEntier);
    PaintBox->setCursor(QCursor());
    ZoomEnCours = false;
    repeint();
    focusBidon();
}

void TVueImageForm::placePointeur(QPoint p)
{
    posSouris = p;
    if (Image->isVisible() && QGuiApplication::platformName() != QLatin1String("offscreen"))
        QCursor::setPos(Image->mapToGlobal(p));
}

bool TVueImageForm::EditBidonKeyDown(int key, Qt::KeyboardModifiers m)
{
    const ActionClavier a = actionClavier(key, m);
    if (!a.traitee)
        return false;
    const QPoint p = posSouris + a.deplacement;
    if (a.clic) {
        if (BorneSelect == bsMesure) {
            pointCourant = -1;
            EnregistrePoint(p);
        } else if (BorneSelect == bsSuppr) {
            SupprimePoint(p);
        }
        return true;
    }
    placePointeur(p);
    Image->update();
    return true;
}

bool TVueImageForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == EditBidon && e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        EditBidonKeyDown(k->key(), k->modifiers());
        return true; // the edit never holds text
    }
    if (o == PanelApercu && e->type() == QEvent::Resize)
        placeApercu();
    return QMainWindow::eventFilter(o, e);
}

void TVueImageForm::repeint()
{
    Image->update();
    PaintBox->update();
}

void TVueImageForm::setStatus(const QString& texte)
{
    QString t = texte;
    if (t.startsWith(QLatin1Char('|')))
        t.remove(0, 1);
    StatusLabel->setText(t);
}

void TVueImageForm::afficheHint(const QString& hint)
{
    const int barre = hint.indexOf(QLatin1Char('|'));
    const QString court = barre < 0 ? hint : hint.left(barre);
    const QString longue = barre < 0 ? hint : hint.mid(barre + 1);
    Image->setToolTip(court);
    if (longue.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(longue);
}

void TVueImageForm::focusBidon()
{
    EditBidon->setFocus(Qt::OtherFocusReason);
}

void TVueImageForm::dessineFleche(QPainter& p, QPoint a, QPoint b, int L)
{
    p.drawLine(a, b);
    const int dx = a.x() - b.x(), dy = a.y() - b.y();
    const int len = arrondi(std::sqrt(double(dx) * dx + double(dy) * dy));
    if (len == 0)
        return;
    const int ux = arrondi(double(L) * dx / len), uy = arrondi(double(L) * dy / len);
    const int wx = arrondi(ux / 3.0), wy = arrondi(uy / 3.0);
    p.drawLine(b, QPoint(b.x() + ux - wy, b.y() + uy + wx));
    p.drawLine(b, QPoint(b.x() + ux + wy, b.y() + uy - wx));
}

void TVueImageForm::dessineCroix(QPainter& p, QPoint c, int d)
{
    p.drawLine(c.x() - d, c.y(), c.x() + d, c.y());
    p.drawLine(c.x(), c.y() - d, c.x(), c.y() + d);
}

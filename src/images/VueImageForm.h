#pragma once
#include "SeriesPoints.h"
#include "VueGeometrie.h"
#include "ZoneDessin.h"
#include "ToolHost.h"

#include <QImage>
#include <QLine>
#include <QMainWindow>
#include <array>
#include <functional>

class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QSplitter;
class QToolButton;

// Window of a still-image tool: loads one picture, shows it zoomed and scrolled with an
// overview, and lets the user drag the tool's three marks and record, move and delete points
// with the mouse or the keyboard. A tool supplies its marks, reset, drawing, table and buttons.
class TVueImageForm : public QMainWindow, public FenetreOutil
{
    Q_OBJECT
public:
    // Mouse states shared by the still-image tools; 4 and 5 are the tool's two other marks.
    enum TstyleDrag { bsNone = 0, bsMesure = 1, bsSuppr = 2, bsOrigine = 3, bsRepere4 = 4, bsRepere5 = 5 };
    // Arrowhead length in view pixels.
    static constexpr int kLongueurFleche = 16;

    TVueImageForm(ToolHost& host, int nbreSeries, QWidget* parent = nullptr);
    ~TVueImageForm() override;

    // Loads a picture by its extension; on failure shows why and keeps the previous one. A
    // picture cut short is shown as far as it was read, with a warning.
    bool ChargeImage(const QString& chemin);
    // Filters of the open dialogs: every picture file first, then one kind at a time.
    static QString filtreImages();
    void ChangeZoom(double z);
    void ZoomAvantBtnClick();
    void ZoomArriereBtnClick();
    int RepereProche(QPoint p) const;
    int PointProche(QPoint p);
    void EnregistrePoint(QPoint p);
    void SupprimePoint(QPoint p);
    void SupprBtnClick();
    // Keyboard pointing (arrows, keypad, Page Up/Down, Enter, Space).
    bool EditBidonKeyDown(int key, Qt::KeyboardModifiers modifiers);

    const QString& nomFichier() const { return NomFichier; }
    const QImage& image() const { return Abitmap; }
    const VueGeometrie& geometrie() const { return vue; }
    const SeriesPoints& series() const { return points; }
    QPoint repere(int k) const { return PointRepere[k]; }
    int etat() const { return BorneSelect; }
    QWidget* vueImage() const;
    QWidget* apercu() const;
    QWidget* editBidon() const;
    QLineEdit* zoomEdit() const { return ZoomEdit; }
    QMenu* zoomMenu() const { return ZoomMenu; }
    QString texteStatus() const;
    double echelleApercu() const { return pasZoomEntier; }
    QRect rectZoom() const;
    // Where the keyboard pointer is, in view coordinates.
    QPoint positionPointeur() const { return posSouris; }
    void placePointeur(QPoint p);

protected:
    // What a tool supplies.
    virtual void InitImage() = 0;
    virtual void EchelleBtnClick() = 0;
    virtual QString hintRepere(int repere) const = 0;
    virtual void PlaceRepere(QPoint p) = 0;
    virtual void dessineVue(QPainter& p) = 0;
    virtual void dessineApercu(QPainter& p, double k) = 0;
    virtual void reglesBoutons() = 0;
    virtual QColor couleurAxes() const = 0;
    virtual QColor couleurSerie(int s) const = 0;

    // Builds the view, the overview over the tool's table, the zoom controls and the hidden edit.
    void construitVue(QWidget* tableau, QToolBar* barreZoom);
    // Common part of a reset after a load.
    void initVue();
    void recalculeReperes();
    // Release point limited to the shown area, as a zoomed position of a mark.
    QPoint zoomDepuisVue(QPoint p) const;
    void repeint();
    void setStatus(const QString& texte);
    void afficheHint(const QString& hint);
    void focusBidon();
    QCursor curseurPointage() const;
    static void dessineFleche(QPainter& p, QPoint a, QPoint b, int longueur);
    static void dessineCroix(QPainter& p, QPoint c, int demi);

    ToolHost& host;
    QString NomFichier;
    QImage bitmapOriginal, Abitmap;
    int Largeur = 0, Hauteur = 0;
    VueGeometrie vue;
    double pasZoomEntier = 1;
    QRect RectMove;
    QPoint PointDnZoom;
    bool ZoomEnCours = false;
    QPoint PosMenu;
    std::array<QPoint, 6> PointRepere{}, e_PointRepere{};
    int BorneSelect = bsNone, oldBorne = bsNone;
    QString oldStatus;
    QLine rectCourant;
    bool regleEnCours = false;
    int pointCourant = -1, objetSelect = 1, objetCourant = 1, NbreObjet = 1;
    SeriesPoints points;
    QPoint posSouris;

    QSplitter* Splitter1 = nullptr;
    QSplitter* Splitter2 = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QLineEdit* ZoomEdit = nullptr;
    QToolButton* ZoomArriereBtn = nullptr;
    QToolButton* ZoomAvantBtn = nullptr;
    QMenu* ZoomMenu = nullptr;
    QLabel* StatusLabel = nullptr;

    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void ImageMouseDown(QMouseEvent* e);
    void ImageMouseMove(QMouseEvent* e);
    void ImageMouseUp(QMouseEvent* e);
    void ImagePaint(QPainter& p);
    void PaintBoxMouseDown(QMouseEvent* e);
    void PaintBoxMouseMove(QMouseEvent* e);
    void PaintBoxMouseUp(QMouseEvent* e);
    void PaintBoxPaint(QPainter& p);
    void ZoomMenuPopup(QContextMenuEvent* e);
    void Splitter1Moved();
    void placeApercu();
    void curseurMesure(QPoint p);

    ZoneDessin* Image = nullptr;
    QWidget* PanelApercu = nullptr;
    ZoneDessin* PaintBox = nullptr;
    QLineEdit* EditBidon = nullptr;
};

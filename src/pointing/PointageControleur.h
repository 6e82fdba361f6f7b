#pragma once
#include "Curseurs.h"
#include "PointageModel.h"

#include <QLine>
#include <QObject>

#include <functional>
#include <optional>

// Cursor numbers beyond the twelve slots: the default arrow and the system cross.
constexpr int crDefaut = 0;
constexpr int crCroix = -3;
// A press this far (city-block, image pixels) from the scale start turns a click into a drag.
constexpr int kSeuilGlisser = 4;
// A too-close scale end is put this far away on both axes.
constexpr int kDecalageEchelle = 16;

extern const char* const kHintCurseur; // "Clic droit pour choix du curseur"

// The mouse and keyboard side of pointing, in image pixels: the window converts screen
// positions (dividing by its zoom) and shows what this asks for (hint, cursor, repaint, next
// image, length prompt).
class PointageControleur : public QObject
{
    Q_OBJECT
public:
    explicit PointageControleur(PointageModel& modele, QObject* parent = nullptr);

    PointageModel& modele() { return m_modele; }
    TstyleDrag BorneSelect = bsNone;
    // The user's pointing cursor: crCroix, or slot 6, 7, 8 (9 in the capture tool).
    int CurseurPointage = crCibleNormale;
    // Automatic tracking target handle grabbable (media-player tracking).
    bool poigneeAutoActive = false;

    // Hooks set by the window.
    // False when the image shown is the last one: completing a row then ends measuring.
    std::function<bool()> imageSuivanteExiste;
    // Time and frame number of the image shown, stored with each row.
    std::function<double(int ligne)> tempsImage;
    std::function<int()> numeroImage;
    // The input box "Echelle" / "Longueur en mètre ?"; empty optional when cancelled.
    std::function<std::optional<QString>(const QString& defaut)> demandeLongueur;
    // Text of the length field (default of the input box and fallback length).
    std::function<QString()> texteLongueur;
    // The 49 x 49 screen pixels around a point of the image (comparison picture).
    std::function<QImage(QPoint)> prendPixels;

    bool mesure() const { return m_mesure; }
    bool attenteOrigineTemps() const { return m_origineTemps; }
    // The image's context menu is detached while measuring.
    bool menuContextuel() const { return !m_mesure; }
    // The rubber band of the scale, to be drawn over the overlay.
    std::optional<QLine> bande() const;
    // The scale is being placed end by end: the overlay shows its start, not the old segment.
    bool echelleEnCours() const;

    // Buttons.
    void MesureBtnClick(bool enfonce);
    void OrigineBtnClick();
    void EchelleBtnClick();
    void UndoBtnClick();
    // Plain form (no row yet): the image shown becomes the time origin.
    void OrigineTempsImage(double tempsImage);
    // Toggle form.
    void OrigineTempsBtnClick(bool enfonce);
    // A grid row (0-based data row) chosen while the toggle is down.
    void GrilleLigneChoisie(int ligne);

    // Mouse, in image pixels.
    void appui(QPoint p, Qt::MouseButton bouton, Qt::KeyboardModifiers mods = {});
    void deplacement(QPoint p, Qt::MouseButtons boutons, Qt::KeyboardModifiers mods = {});
    void relache(QPoint p, Qt::MouseButton bouton, Qt::KeyboardModifiers mods = {});

    // Enter or Space at the pointer: records a point while measuring, or picks the target.
    void clicClavier(QPoint p);

    // Which handle lies under an image point (bsNone if none).
    TstyleDrag RepereProche(QPoint p) const;

    // A hint is "short|long": the short part for the tooltip, the long one for the status bar.
    static QString hintCourt(const QString& h) { return h.section(QChar('|'), 0, 0); }
    static QString hintLong(const QString& h) { return h.contains(QChar('|')) ? h.section(QChar('|'), 1) : h; }

    // The hint that asks for the first point of row `ligne` (0-based).
    QString hintPremierPoint(int ligne) const;

signals:
    void repeindre();
    void imageSuivante();
    void imagePrecedente();
    void hint(const QString& texte);
    // Status panel 2 / help bar.
    void statut(const QString& texte);
    void curseur(int slot);
    void message(const QString& texte);
    // Measuring ended by itself (last image, full store): release MesureBtn.
    void mesuresTerminees();
    // Undo, transfer and reset buttons may change.
    void boutons();
    // The time column changed (time origin).
    void tempsChanges();
    // The time-origin toggle is to be released.
    void origineTempsRelachee();
    // The length typed in the prompt, for the length field.
    void texteLongueurChange(const QString& texte);
    // Pixels around the mouse refreshed: redraw the comparison picture.
    void comparaison();
    // The target of automatic tracking was clicked (state bsMesureAuto), in image pixels.
    void cibleChoisie(QPoint p);

private:
    int curseurSuivant() const;
    void enregistre(QPoint p);
    void finMesures();
    void finEchelle();
    bool echelleTropProche(TstyleDrag bouge);
    void survol(QPoint p);
    void relacheOrigineTemps();
    QString hintPoint(int k, int ligne) const;

    PointageModel& m_modele;
    bool m_mesure = false;
    bool m_origineTemps = false;
    bool m_boutonBas = false;
    bool m_clicEnregistre = false;
    std::optional<QPoint> m_bandeFin;
    std::optional<TstyleDrag> m_survol;
};

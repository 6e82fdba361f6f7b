#pragma once
#include "Arrondi.h"
#include "ExchangeText.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// Rows of the two stores: the media-player tool and the image-series tool keep 8193 rows, the
// capture-component tool 1025.
constexpr int kLignesMax = 8193;
constexpr int kLignesCapture = 1025;
// Points per image: 1..5; XY holds the row origin in slot 0 and the points in 1..5.
constexpr int kPointsMax = 5;
// A recorded point 1 further than this (image pixels) from the press cannot be the time origin.
constexpr double kDistanceOrigineTemps = 64.0;
// Manhattan distance (strict) under which a press grabs a handle in the media-player tool.
constexpr int kDistancePoignee = 5;
// Uncertainty in pixels, 1..8.
constexpr int kIncertitudeMin = 1;
constexpr int kIncertitudeMax = 8;
// Scale ends nearer than this (city-block) are refused by the capture and image-series tools.
constexpr int kEcartEchelleMin = 8;
// Side of the square of screen pixels kept around the mouse for the comparison picture.
constexpr int kCotePixels = 49;

// Mouse state of a pointing window; the order is that of the media-player tool, bsCible is the
// capture tool's chronophotograph target.
enum TstyleDrag {
    bsNone,
    bsMesure,
    bsOrigine,
    bsEchelle1,
    bsEchelle2,
    bsChrono,
    bsChronoInit,
    bsMesureAuto,
    bsEchelle1Move,
    bsEchelle2Move,
    bsCible,
    kNbreStyles
};

// Axis directions, in the order of the menu (and of the capture options 0..3).
enum TsensAxes { aHautDroite, aBasDroite, aHautGauche, aBasGauche };

// How the time of a row is obtained.
enum TbaseTemps {
    btMedia,      // Temps[i] - torigine (seconds of the media)
    btIntervalle, // i * deltat (image series)
    btTrames      // (Temps[i] - torigine) * EchelleT rounded to the millisecond (capture tool)
};

// What differs between the three tools that share the model.
struct ReglesPointage
{
    int capacite = kLignesMax;
    TbaseTemps baseTemps = btMedia;
    // Rows needed before the origin mode may renumber the points (the transfer button's rule).
    int lignesPourTransfert = 4;
    // Export the values rounded to Arrondi (capture tool) or unrounded.
    bool exportArrondi = false;
    // Time-origin choice available (not in the image series, whose t is i * deltat).
    bool origineTemps = true;
    // Analysis-program sections.
    bool sectionIncert = true;
    bool sectionFichier = true;
    // Graph lines follow the extent test (x only / y only); otherwise both axes, always.
    bool grapheSelonEtendue = false;
    // Columns of the table follow the extent test too (image series).
    bool colonnesSelonEtendue = false;
    // Pointing by handles only (drag of origin and scale ends, no length prompt).
    bool poigneesSeules = false;
    // Grab distance of the handles (strict, city-block); the capture tool uses magnet.
    int distancePoignee = kDistancePoignee;
    // Scale ends nearer than this (city-block, strict) are refused; 0: no minimum.
    int ecartEchelleMin = 0;
    // A click ends the scale only within the image (image series).
    bool clicDansImage = false;
    // The handles of the media-player tool can be grabbed in bsNone; the image series has none.
    bool poigneesActives = true;
    // Sizes of the marks in image-surface pixels.
    int demiCroix = 5;
    int demiAxe = 20;
    int flecheDepart = 17;
    int flecheArrivee = 10;
    int teteAxe = 15;

    static ReglesPointage lecteur();
    static ReglesPointage capture(int magnet = 6);
    static ReglesPointage serie();
    // magnet = 6 div zoom, at least 2; the capture marks scale with it.
    void setMagnet(int magnet);
};

// The uncertainty read from the settings, brought into 1..8.
int bornesIncertitude(int pixels);

// Which axes move enough to be worth a graph line.
struct Etendue
{
    bool x = true;
    bool y = true;
};

// The pointing store: clicked points in image pixels, their times, scale, origin and axes.
// No window: the tools own one and draw and list it.
class PointageModel
{
public:
    explicit PointageModel(const ReglesPointage& regles = ReglesPointage::lecteur());

    const ReglesPointage& regles() const { return m_regles; }
    ReglesPointage& regles() { return m_regles; }

    // XY[k][i]: point k of row i; k = 0 is the row's origin.
    std::array<std::vector<QPoint>, kPointsMax + 1> XY;
    std::vector<double> Temps;
    std::vector<int> NumFrame;
    double torigine = 0;
    int Nmes = 0;
    int PointCourant = 1;
    int NbreSE = 1;
    std::array<QPoint, kNbreStyles> PointRepere{};
    int OrigineX = 0;
    int OrigineY = 0;
    double LongueurEchelle = 1;
    double EchelleX = 1;
    double EchelleY = -1;
    double Arrondi = 1;
    TsensAxes sensAxes = aHautDroite;
    bool origineMobile = false;
    // Angle mode (capture tool): points 1, 2, 3 = reference, apex, measured direction.
    bool angle = false;
    int Largeur = 640;
    int Hauteur = 480;
    double deltat = 1;
    double EchelleT = 1;
    // A picture (or series) is loaded: the scale is computed only then.
    bool mediaOuvert = false;
    std::array<QColor, kPointsMax + 1> Couleur;
    // Screen pixels around the mouse, and the same when each point of the first row was taken.
    QImage Pixels;
    std::array<QImage, kPointsMax + 1> PixelsInit;

    bool axeDroite() const { return sensAxes == aHautDroite || sensAxes == aBasDroite; }
    bool axeHaut() const { return sensAxes == aHautDroite || sensAxes == aHautGauche; }
    void setAxes(bool haut, bool droite);

    // Origin at the centre, scale from a quarter to half the width, a quarter down.
    void PlaceReperesDefaut();

    // Scale, origin and rounding from the handles; a moved fixed origin reaches the rows at
    // the next call.
    void CalculEchelle();

    double CoordX(int k, int i) const;
    double CoordY(int k, int i) const;
    QString ValeurX(int k, int i) const;
    QString ValeurY(int k, int i) const;
    // Angle of row i in degrees (angle mode), and its text rounded like the coordinates.
    double Angle(int i) const;
    QString ValeurAngle(int i) const;
    // Value rounded to a multiple of Arrondi (halves to even).
    double arrondiAffiche(double v) const;

    // Time of row i as shown and exported, and its text.
    double TempsMesure(int i) const;
    QString TexteTemps(int i) const;
    // The media-player rule: the image's time, or i * DureeImage when the player gives none.
    static double tempsLecteur(int i, double tempsCourant, double dureeImage);

    // First point of a row: its origin with a mobile origin, else point 1.
    int premierPoint() const { return origineMobile ? 0 : 1; }
    // MesureBtn pressed: starting again discards the rows.
    void DebutMesures();

    enum class Enregistrement { Point, LigneComplete, Refuse };
    // Records PointRepere[bsMesure] as point PointCourant of row Nmes.
    Enregistrement EnregistrePoint(double temps, int numFrame = -1);
    // Removes the last completed row (and any points of the row being clicked).
    bool Defaire();
    void Raz();

    // Switches the origin mode; with enough rows the points are renumbered. True when moved.
    bool ChoisitOrigineMobile(bool mobile);

    // The row whose point 1 is nearest (earliest on ties) and within 64 pixels.
    std::optional<int> LigneProche(QPoint p) const;
    bool ChoisitOrigineTemps(QPoint p);
    void OrigineTempsLigne(int i);

    // Time uncertainty (a hundredth of the first time step) and the position ones for n pixels.
    double IncertitudeTemps() const;

    // Grid headings: "t(s)", then "x(m)", "y(m)" or "x1(m)"..., or "α(°)".
    QStringList EntetesGrille() const;
    int ColonnesGrille() const { return angle ? 2 : 2 * NbreSE + 1; }
    // Text of a grid cell of row i (completed rows, and the points already clicked of the
    // current row); empty when there is nothing.
    QString TexteCellule(int col, int i) const;

    // Extent test over points 1..NbreSE of the completed rows.
    Etendue etendue() const;
    // Header, units and one line per row.
    void AjouteTable(ExchangeText& t, Etendue colonnes = {}, const QString& uniteTemps = QStringLiteral("s")) const;
    // Analysis-program sections: INCERT (n pixels; none when n <= 0), and for a new file the
    // graph lines, ORTHO and the media file.
    void AjouteSections(ExchangeText& t, bool nouveauFichier, int incertitude, const QString& fichierMedia,
                        Etendue graphe = {}) const;

private:
    QStringList nomsX(Etendue e) const;
    void decalePoints(int de, int vers, int nombre);

    ReglesPointage m_regles;
    double m_echelleValide = 1;
};

#pragma once
#include "ExchangeText.h"
#include "SeriesPoints.h"

#include <QPoint>
#include <QString>
#include <QStringList>

// Scale of a stroboscopic photograph: one segment of known length gives the same scale along
// x and y; positions are read about the origin mark, y upwards unless the axis points down.
struct EchelleMeca
{
    double Longueur = 1;  // length of the scale segment, in the scale unit
    double Echelle = 0;   // scale unit per image pixel
    double arrondi = 1;   // rounding step of positions
    int OrigineX = 0, OrigineY = 0;
    double signeY = -1;   // -1: y counted upwards; +1: "Axe Y vers le bas"

    // From the segment's two ends (image pixels) and the origin. False when the ends coincide:
    // the scale is then left as it was.
    bool CalculEchelle(QPoint debut, QPoint fin, QPoint origine);

    // Snapped values of an image pixel.
    double x(QPoint p) const;
    double y(QPoint p) const;
};

// Which series "Mesurer" gives the clicks to: the one in use with the fewest positions, ties to
// the lowest number (series compared from NbreObjet down, a series replacing the choice when its
// count is not above the current minimum).
int choixSerie(const SeriesPoints& points, int NbreObjet);

// Colours as the settings file keeps them: 0x00BBGGRR.
// Text colour that reads well on the grid's white for a series drawn in `couleur`.
int CouleurLisible(int couleur);

// Spread of the recorded positions, in image pixels, against 1/32 of the picture.
struct EtendueMesures
{
    bool wideX = false, wideY = false;
};
EtendueMesures etendue(const SeriesPoints& points, int NbreObjet, int Largeur, int Hauteur);

// What the stroboscopic-photo tool lists and exports: the series read through the scale, one
// row per flash of series 1, times i·deltaT.
struct MecaTableau
{
    const SeriesPoints& points;
    const EchelleMeca& echelle;
    int NbreObjet = 1;
    bool AvecT = true;
    double deltaT = 1;
    QString nomT = QStringLiteral("t"), UniteT = QStringLiteral("s");
    QString NomX = QStringLiteral("X"), NomY = QStringLiteral("Y");
    QString UniteEdit = QStringLiteral("m");

    // Texts of position i of series s; empty past its last position.
    QString ValeurX(int s, int i) const;
    QString ValeurY(int s, int i) const;
    // Time of row i (from 0), not snapped.
    QString Temps(int i) const;

    // Grid header: t(s), X1(m), Y1(m), X2(m)... (the series number even for one series).
    QStringList entetesGrille(int colonnesSeries) const;
    // Names of the export and the option lines: the symbols alone for one series.
    QString nomX(int s) const;
    QString nomY(int s) const;

    // At least two of AvecT, wideX, wideY: the table is worth a graph.
    bool exportable(EtendueMesures e) const;
    // Names, units and rows, every field ended by a tab.
    void table(ExchangeText& texte) const;
    // The comment line, then the table: what "Copier" puts on the clipboard.
    ExchangeText CopieDonnees(const QString& commentaire) const;
    // Option lines of a new Tabulo file, chosen by the extent, then the picture's name.
    void AjouteOptions(ExchangeText& texte, EtendueMesures e, const QString& NomFichier) const;
};

// "distance=" + d with 4 significant digits, directly followed by the unit.
QString texteDistance(double d, const QString& unite);

#pragma once
#include "EchelleCourbe.h"
#include "ExchangeText.h"
#include "SeriesPoints.h"

#include <QString>
#include <QStringList>
#include <array>

// What the curve digitiser lists and exports: its curves read through the axis mapping.
struct CourbesTableau
{
    const SeriesPoints& points;
    const EchelleCourbe& echelle;
    int NbreObjet = 1;
    QString NomX = QStringLiteral("X"), NomY = QStringLiteral("Y");
    QString UniteX = QStringLiteral("m"), UniteY = QStringLiteral("m");
    std::array<QString, SeriesPoints::kMaxSeries + 1> Signif{};

    // Texts of point i of curve c; empty past the curve's last point.
    QString ValeurX(int c, int i) const;
    QString ValeurY(int c, int i) const;

    // Grid header: X1(m), Y1(m), X2(m)... (the curve number even for one curve).
    QStringList entetesGrille() const;
    // Names of the export: the symbols alone for one curve, symbol + curve number otherwise.
    QString nomX(int c) const;
    QString nomY(int c) const;

    // Names, units, meanings and numbered rows (from 1) of every curve in use.
    void table(ExchangeText& texte) const;
    // The comment line, then the table: what "Copier" puts on the clipboard.
    ExchangeText CopieDonnees(const QString& commentaire) const;
    // Option lines of a new Tabulo file: names, log axes, picture file.
    void AjouteOptions(ExchangeText& texte, const QString& NomFichier) const;
};

// Label drawn beside point i (from 0) of curve c.
QString etiquettePoint(int i, int c, int NbreObjet);

// Which buttons the point counts allow.
struct ReglesBoutons
{
    bool defaire = false;  // "Défaire" and "Effacer"
    bool raz = false;      // "RàZ"
    bool transfert = false; // "Tabulo" and "Copier"
};
ReglesBoutons reglesBoutons(const SeriesPoints& points, int NbreObjet, int objetCourant);

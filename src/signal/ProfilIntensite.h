#pragma once
// Intensity along a straight line of a picture, averaged over parallel lines, per colour
// channel, with gamma; and the rules for placing and dragging the line and the scale.

#include "Grapheu.h"

#include <QImage>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

// "Dimension": the abscissa of the profile, in the order of its radio buttons.
enum TypeEchelle { teEchelle, tePixel, teIndex };

// What the overlay draws, in image pixels.
struct DessinProfil
{
    std::vector<QLine> lignes;       // pen width largeurTrait
    QRect cercle;                    // around the direction point
    std::vector<QLine> lignesFines;  // the scale segment itself, one pixel wide
};

class ProfilIntensite
{
public:
    // The draggable points of the intensity tool.
    enum TstyleDrag { bsNone, bsOrigine, bsDirection, bsEchelle1, bsEchelle2 };

    static constexpr int kMoyenneMax = 128;
    static constexpr int kMarge = 8;        // grab distance and border margin of the line's points
    static constexpr int kSature = 255;

    ProfilIntensite();

    // The picture, kept as 24-bit RGB. Does not move the points.
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    bool aImage() const { return !m_image.isNull(); }

    // Points of a fresh picture: origin at the centre, direction at 4/5 of the width, scale
    // across the lower quarter.
    void pointsParDefaut();
    // Empty profile: Debut = Fin = 0, ordinates cleared, Position[i] = i.
    void vide();
    // The profile from the current points and options. Puts "V" down when no channel is.
    void calcule();

    // Point within the grab distance of p, in the order origin, direction, scale ends (these
    // only when the scale is shown); bsNone when none.
    TstyleDrag repereSous(QPoint p) const;
    // Drags a point to p with the limits of each point; `aligne` (Shift) puts the pair on one
    // vertical or horizontal. False when the move is refused.
    bool deplace(TstyleDrag repere, QPoint p, bool aligne);

    // The overlay for the current points (scale only with "Echelle").
    DessinProfil dessin() const;
    // The line through origin and direction, from one border of the picture to the other.
    QLine ligneCoupee() const;

    // Inputs.
    std::array<QPoint, 5> PointRepere{};
    bool rouge = true, vert = true, bleu = true;
    int MoyenneSE = 0;
    double Gamma = 1.0;
    TypeEchelle dimension = teEchelle;
    double longueurEchelle = 0.01;  // metres
    double dimPixel = 1.4e-05;      // metres

    // Results.
    int LargeurI = 0, HauteurI = 0;
    bool selonX = true, droit = true;
    double Pente = 0;
    int Debut = 0, Fin = 0;
    int IntMax = 3 * kSature;
    Tvecteur ValeurY, rougeY, vertY, bleuY, Position;

    // Samples of Debut..Fin with a selected channel at 255 in a pixel that was summed there
    // (the ratios there are false). Not part of the exported numbers.
    bool sature(int i) const { return m_sature[std::size_t(i - indiceMin)] != 0; }
    int nombreSatures() const { return m_satures; }

private:
    QImage m_image;
    std::vector<std::uint8_t> m_sature;
    int m_satures = 0;
    // Scratch of calcule, kept to avoid allocating at every mouse move.
    std::vector<int> m_dx, m_dy;
};

#pragma once
#include "CompositeChrono.h"

#include <QImage>
#include <QPoint>

#include <optional>

// Colour tolerance of the search: first pass, step, and the passes go on while below the end.
constexpr int kToleranceDebut = 32;
constexpr int kPasTolerance = 16;
constexpr int kToleranceFin = 66;
// The target is looked for within width/5 and height/5 of its previous position, and its
// extent within width/20 and height/20 of the best pixel.
constexpr int kFractionFenetre = 5;
constexpr int kFractionBoite = 20;

// Follows a coloured target from image to image. Its colour is the average (integer division
// by 9) of the 3 x 3 pixels of the first image around the clicked point. On each later image,
// among the pixels that changed from the first image by more than kSeuilChangement and lie
// within a fifth of the image around the previous position, the one closest in colour is
// taken (tolerance 32, then 48, then 64); the centre of the box that holds the changed
// pixels near that colour, within a twentieth of the image around it, is the target.
// Works on decoded images, in image pixels.
class SuiviCouleur
{
public:
    struct Trouve
    {
        QPoint meilleur;  // the pixel closest in colour
        QPoint centre;    // the target's position
        int distance = 0; // colour distance of the best pixel
    };

    // `objet`: the changed pixels must also be closer than kDistanceObjetMax to this colour
    // (the chronophotograph's object filter); none by default.
    void commence(const QImage& premiere, QPoint cible, std::optional<QRgb> objet = std::nullopt);
    bool enCours() const { return !m_fond.isNull(); }
    void abandonne() { m_fond = QImage(); }
    QRgb couleur() const { return m_couleur; }
    const QImage& fond() const { return m_fond; }

    // The target in a later image of the same size, or nothing when it is not found.
    std::optional<Trouve> suit(const QImage& image, QPoint precedente) const;

    // Average colour of the 3 x 3 pixels around p (clipped to the image).
    static QRgb couleurMoyenne(const QImage& image, QPoint p);

private:
    QImage m_fond;
    QRgb m_couleur = 0;
    std::optional<QRgb> m_objet;
};

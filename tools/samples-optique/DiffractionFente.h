#pragma once
// What the generated single-slit photograph shows, shared by its maker and its tests.

namespace fente {
constexpr int kLargeur = 1200, kHauteur = 600;
constexpr int kCentreX = 600, kCentreY = 300;  // middle of the central fringe
constexpr double kInterfrange = 40;             // pixels between two dark fringes
constexpr double kAmplitude = 275;              // red at the centre before clipping: slightly saturated
constexpr double kHauteurTache = 90;            // vertical spread of the beam (standard deviation)
constexpr double kFond = 10;                    // room light
constexpr double kBruit = 2;                     // standard deviation of the sensor noise
constexpr double kFlou = 1.2;                   // standard deviation of the blur
// The scale bar printed under the pattern: 200 pixels for 20 mm on the screen.
constexpr int kBarreX1 = 100, kBarreX2 = 300, kBarreY = 560;
constexpr double kBarreMetres = 0.020;
constexpr const char* kNom = "diffraction-fente.png";
}

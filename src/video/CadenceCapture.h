#pragma once
#include <QString>
#include <QtGlobal>

// Time base of the second video tool: the rate stored in the file, the one the user declares
// (a slowed-down phone video), and EchelleT, the factor applied to every file time.
struct CadenceCapture
{
    double VideoFrameRateFps = 1;
    double VideoFrameRateUser = 1;
    double EchelleT = 1;

    // After a file's description: its rate, or 1 when it gave none; EchelleT back to 1.
    void ouvre(double fps);
    // The rate typed in the field; false when it does not read as a positive number (the
    // factor then returns to 1).
    bool declare(const QString& texte);
    // The file's rate as the field shows it, "0.00" with the decimal separator.
    QString texteFichier() const;
};

// "0.00", "0.000" formats with the decimal separator.
QString texteFixe(double v, int decimales);

// Where a delivered frame stands: its number and time, or, when the component reports a number
// past the track bar, the track bar's position and the time the file's rate gives it.
struct PositionTrame
{
    int framePosition = 0;
    double timePosition = 0;
};
PositionTrame positionTrame(qint64 frameNumber, qint64 frameTime100ns, int maximumTrack, int positionTrack,
                            double VideoFrameRateFps);

// "N°=12 0.440s"
QString texteTimePosition(const PositionTrame& p);

// Display zoom for a frame in the scroll area: the larger whole zoom that fits, 1 to 4; and the
// grab distance it gives (6 div zoom, at least 2).
int zoomAffichagePour(int largeurZone, int hauteurZone, int Largeur, int Hauteur);
int magnetPour(int zoomAffichage);

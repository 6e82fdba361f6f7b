#include "ToolFactories.h"

#include "WavMain.h"
#include "aviMain.h"
#include "bmpMain.h"
#include "videoBMP.h"

const std::vector<EntreeOutil>& fabriquesOutils()
{
    static const std::vector<EntreeOutil> liste = {
        {mOptique, nullptr},        // Intensité lumineuse
        {mBMP, outil<TBitmapForm>}, // Courbe
        {mMeca, nullptr},           // Chronophotographie
        {mVideoBmp, outil<TvideoBmpForm>}, // Chronophotographie image par image
        {mAVIMediaPlayer, outil<TAviForm>}, // Lecture d'une video
        {mWav, outil<TWaveForm>},   // Lecture d'un fichier .WAV ou .MP3
        {mAVI, nullptr},            // Lecture video (bis !)
    };
    return liste;
}

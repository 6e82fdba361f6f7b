#include "ToolFactories.h"

#include "WavMain.h"

const std::vector<EntreeOutil>& fabriquesOutils()
{
    static const std::vector<EntreeOutil> liste = {
        {mOptique, nullptr},        // Intensité lumineuse
        {mBMP, nullptr},            // Courbe
        {mMeca, nullptr},           // Chronophotographie
        {mVideoBmp, nullptr},       // Chronophotographie image par image
        {mAVIMediaPlayer, nullptr}, // Lecture d'une video
        {mWav, outil<TWaveForm>},   // Lecture d'un fichier .WAV ou .MP3
        {mAVI, nullptr},            // Lecture video (bis !)
    };
    return liste;
}

#include "OuvertureFichier.h"

#include <QFileInfo>
#include <QStringList>

std::vector<Tmode> outilsPourFichier(const QString& chemin)
{
    const QString ext = QFileInfo(chemin).suffix().toLower();
    static const QStringList videos{"avi", "mpg", "mpeg", "mp4", "m4v", "mov", "mkv", "webm", "3gp", "wmv", "ogv"};
    static const QStringList sons{"wav", "mp3", "m4a", "aac", "ogg", "oga", "opus", "flac"};
    static const QStringList images{"bmp", "jpg", "jpeg", "png", "gif"};
    if (videos.contains(ext))
        return {mAVIMediaPlayer};
    if (sons.contains(ext))
        return {mWav};
    if (images.contains(ext))
        return {mBMP, mMeca, mOptique};
    return {};
}

QString nomOutil(Tmode m)
{
    switch (m) {
    case mOptique: return QStringLiteral("Intensité lumineuse");
    case mBMP: return QStringLiteral("Courbe");
    case mMeca: return QStringLiteral("Chronophotographie");
    case mVideoBmp: return QStringLiteral("Chronophotographie image par image");
    case mAVIMediaPlayer: return QStringLiteral("Lecture d'une video");
    case mWav: return QStringLiteral("Lecture d'un fichier .WAV ou .MP3");
    case mAVI: return QStringLiteral("Lecture video (bis !)");
    case mNone: break;
    }
    return {};
}

#pragma once
#include <QString>

class Transfert;

// The active tool, in this order.
enum Tmode { mNone, mWav, mAVI, mBMP, mOptique, mMeca, mVideoBmp, mAVIMediaPlayer };

// What a tool window may ask of the program around it (the launcher in the program, a
// small stand-in in tests). Handed to each tool at creation; the other way round, the launcher
// reaches the tool through FenetreOutil below.
class ToolHost
{
public:
    virtual ~ToolHost() = default;

    virtual QString mesDocsDir() const = 0;   // ends with "/"
    virtual QString appDataDir() const = 0;   // ends with "/"
    virtual QString tamponDir() const = 0;    // ends with "/"
    virtual QString fichierIni() const = 0;   // the user settings file every tool uses

    virtual Tmode mode() const = 0;
    virtual void setMode(Tmode m) = 0;        // a closing tool sets mNone
    virtual void setFocusMain() = 0;

    // Reads `nom` with its extension changed to ".gif", saves it as ".bmp" in the temporary
    // folder (never beside the user's file) and returns that path. Throws std::runtime_error
    // on failure.
    virtual QString ConvertitGifBmp(const QString& nom) = 0;

    // The transfer service (page dialog, clipboard, analysis program, table files).
    virtual Transfert& transfert() = 0;
};

// What the launcher asks of a tool window. A tool window derives from it beside its QWidget
// base; the launcher finds it with dynamic_cast, so a tool needs no launcher header.
class FenetreOutil
{
public:
    virtual ~FenetreOutil() = default;
    // Called on every launcher click with the folder its open and save dialogs start in
    // (ends with "/").
    virtual void setDossier(const QString& dossier) = 0;
    // The hints (status tips) of the window's own widgets: true when the tool shows them
    // itself (in its caption, in one panel of its status bar); false leaves Qt's own handling.
    virtual bool afficheConseil(const QString& conseil)
    {
        (void)conseil;
        return false;
    }
};

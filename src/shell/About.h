#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;

// "A propos": icon, version and build date, what the program reads, the sound library, where
// the sample experiments are, and a button that shows the release notes of the installed help.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The release notes page (a file URL), empty when the help is not installed.
    static QString adressePage();
    static QString texteVersion();

    QPushButton* VersionBtn = nullptr;
    // Shows an address; false on failure. Replaceable (tests).
    std::function<bool(const QString& adresse)> ouvreAdresse;

public slots:
    void VersionBtnClick();
};

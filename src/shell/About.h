#pragma once
#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;

// "A propos": icon, version and build date, what the program reads, the sound library, and a
// button that opens the project's page.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    static QString adressePage();
    static QString texteVersion();

    QPushButton* VersionBtn = nullptr;
    // Opens an address in the browser; false on failure. Replaceable (tests).
    std::function<bool(const QString& adresse)> ouvreAdresse;

public slots:
    void VersionBtnClick();
};

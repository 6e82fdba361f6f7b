#pragma once
#include <QObject>

// Offers the hints (status tips) of a tool window's widgets to the tool
// (FenetreOutil::afficheConseil), so that a tool may show them elsewhere than Qt does; a tool
// that declines, and every other window, keeps Qt's own handling (a QMainWindow shows them in
// its status bar). Installed once on the application.
class RoutageConseils : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
};

#pragma once
#include <QObject>

// Sends the hints (status tips) of a window's widgets to the window itself when it has
// `Q_INVOKABLE void afficheConseil(const QString&)`: the sound tool puts them in its caption,
// the curve digitiser in the first panel of its status bar. Other windows keep Qt's own
// handling (a QMainWindow shows them in its status bar). Installed once on the application.
class RoutageConseils : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* objet, QEvent* evenement) override;
};

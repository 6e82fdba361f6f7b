#include "RoutageConseils.h"

#include <QStatusTipEvent>
#include <QWidget>

namespace {

const char* const kMethode = "afficheConseil(QString)";

} // namespace

bool RoutageConseils::eventFilter(QObject* objet, QEvent* evenement)
{
    if (evenement->type() != QEvent::StatusTip || !objet->isWidgetType())
        return false;
    // Menus are windows of their own: follow the parents up to the tool window.
    for (QWidget* w = static_cast<QWidget*>(objet); w; w = w->parentWidget()) {
        if (w->metaObject()->indexOfMethod(kMethode) >= 0) {
            const QString conseil = static_cast<QStatusTipEvent*>(evenement)->tip();
            QMetaObject::invokeMethod(w, "afficheConseil", Qt::DirectConnection, Q_ARG(QString, conseil));
            return true;
        }
    }
    return false;
}

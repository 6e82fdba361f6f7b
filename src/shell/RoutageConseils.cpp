#include "RoutageConseils.h"

#include "ToolHost.h"

#include <QStatusTipEvent>
#include <QWidget>

bool RoutageConseils::eventFilter(QObject* objet, QEvent* evenement)
{
    if (evenement->type() != QEvent::StatusTip || !objet->isWidgetType())
        return false;
    // Menus are windows of their own: follow the parents up to the tool window.
    for (QWidget* w = static_cast<QWidget*>(objet); w; w = w->parentWidget()) {
        if (auto* o = dynamic_cast<FenetreOutil*>(w))
            return o->afficheConseil(static_cast<QStatusTipEvent*>(evenement)->tip());
    }
    return false;
}

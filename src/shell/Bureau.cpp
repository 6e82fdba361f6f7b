#include "Bureau.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QTranslator>

namespace {

// A window made directly on QWidget (not QMainWindow nor QDialog, which Qt announces well).
bool fenetreNue(QWidget* w)
{
    if (!w->isWindow() || qobject_cast<QMainWindow*>(w) || qobject_cast<QDialog*>(w))
        return false;
    for (const QMetaObject* m = w->metaObject(); m && m != &QWidget::staticMetaObject; m = m->superClass())
        if (QByteArray(m->className()).startsWith('Q'))
            return false; // a Qt control shown on its own keeps its own interface
    return true;
}

QAccessibleInterface* fenetreAccessible(const QString& classe, QObject* objet)
{
    auto* w = qobject_cast<QWidget*>(objet);
    if (!w || classe != QLatin1String(w->metaObject()->className()) || !fenetreNue(w))
        return nullptr;
    return new QAccessibleWidget(w, QAccessible::Window);
}

} // namespace

bool installeTraductionsQt(QCoreApplication& app)
{
    auto* qt = new QTranslator(&app);
    if (!qt->load(QStringLiteral("qt_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    return QCoreApplication::installTranslator(qt);
}

void installeAccessibilite()
{
    QAccessible::installFactory(fenetreAccessible);
}

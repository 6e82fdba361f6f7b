#pragma once
#include "ToolHost.h"

#include <QString>
#include <functional>
#include <vector>

class QWidget;

// How the launcher makes each tool window. One entry per tool mode; adding a tool is one line
// in ToolFactories.cpp:
//
//     {mOptique, outil<TOptiqueForm>},
//
// where TOptiqueForm(ToolHost& host, QWidget* parent) builds the window. A mode without an entry
// (or with an empty factory) leaves its launcher button disabled.
//
// What the launcher expects of a tool window, found by name so the tool needs no launcher header:
// - `Q_INVOKABLE void setDossier(const QString& dossier)` (or a slot of that name), optional:
//   called on every launcher click with the folder its open/save dialogs start in (ends with "/");
// - `Q_INVOKABLE void afficheConseil(const QString& conseil)`, optional: the window shows the
//   hints (status tips) of its own widgets itself, e.g. in its caption or in one panel of its
//   status bar. Without it a QMainWindow shows them in its status bar as usual.
// Closing a tool hides it (it lives until the program ends) and it calls host.setMode(mNone).
using FabriqueOutil = std::function<QWidget*(ToolHost& host, QWidget* parent)>;

struct EntreeOutil
{
    Tmode mode;
    FabriqueOutil fabrique;
};

template <class Fenetre>
QWidget* outil(ToolHost& host, QWidget* parent)
{
    return new Fenetre(host, parent);
}

// The tools of this build.
const std::vector<EntreeOutil>& fabriquesOutils();

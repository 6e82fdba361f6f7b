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
// A tool window derives from FenetreOutil (ToolHost.h): the launcher gives it its folder and
// offers it its hints through that interface. Closing a tool hides it (it lives until the program ends)
// and it calls host.setMode(mNone).
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

#pragma once
#include <QString>
class QWidget;

// Opens the help window at the page of a context number (help pages are HTML under
// resources/aide, one anchor "ctx<N>" per context).
void afficheAide(int contexte, QWidget* parent = nullptr);
// Opens the help window at another page of the help folder (contexte < 0: its top).
void affichePageAide(const QString& page, int contexte = -1, QWidget* parent = nullptr);

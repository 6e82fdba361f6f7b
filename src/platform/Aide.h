#pragma once
class QWidget;

// Opens the help window at the page of a context number (help pages are HTML under
// resources/aide, one anchor "ctx<N>" per context).
void afficheAide(int contexte, QWidget* parent = nullptr);

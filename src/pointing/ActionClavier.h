#pragma once
#include <QPoint>
#include <Qt>

// What a key does in a pointing window: the arrows and the numeric pad's 4, 6, 8, 2 move the
// pointer by one screen pixel, Page Up/Down by ten (sideways with Shift), Enter and Space click,
// Delete is taken but moves nothing. Every window that moves the pointer by keys reads this table.
struct ActionClavier
{
    QPoint deplacement;
    bool clic = false;
    bool traitee = false;
};

ActionClavier actionClavier(int touche, Qt::KeyboardModifiers mods);

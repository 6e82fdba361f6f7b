#include "ActionClavier.h"

ActionClavier actionClavier(int touche, Qt::KeyboardModifiers mods)
{
    ActionClavier a;
    a.traitee = true;
    const bool pave = mods & Qt::KeypadModifier;
    const bool maj = mods & Qt::ShiftModifier;
    switch (touche) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        a.clic = true;
        break;
    case Qt::Key_Left:
        a.deplacement = QPoint(-1, 0);
        break;
    case Qt::Key_Right:
        a.deplacement = QPoint(1, 0);
        break;
    case Qt::Key_Up:
        a.deplacement = QPoint(0, -1);
        break;
    case Qt::Key_Down:
        a.deplacement = QPoint(0, 1);
        break;
    case Qt::Key_PageUp:
        a.deplacement = maj ? QPoint(-10, 0) : QPoint(0, -10);
        break;
    case Qt::Key_PageDown:
        a.deplacement = maj ? QPoint(10, 0) : QPoint(0, 10);
        break;
    case Qt::Key_Delete:
        break;
    case Qt::Key_4:
    case Qt::Key_6:
    case Qt::Key_8:
    case Qt::Key_2:
        if (!pave) {
            a.traitee = false;
            break;
        }
        a.deplacement = touche == Qt::Key_4   ? QPoint(-1, 0)
                        : touche == Qt::Key_6 ? QPoint(1, 0)
                        : touche == Qt::Key_8 ? QPoint(0, -1)
                                              : QPoint(0, 1);
        break;
    default:
        a.traitee = false;
        break;
    }
    return a;
}

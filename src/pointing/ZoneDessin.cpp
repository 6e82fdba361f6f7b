#include "ZoneDessin.h"

#include <QPainter>

void ZoneDessin::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (peint)
        peint(p);
}
void ZoneDessin::mousePressEvent(QMouseEvent* e)
{
    if (presse)
        presse(e);
}
void ZoneDessin::mouseMoveEvent(QMouseEvent* e)
{
    if (bouge)
        bouge(e);
}
void ZoneDessin::mouseReleaseEvent(QMouseEvent* e)
{
    if (relache)
        relache(e);
}
void ZoneDessin::contextMenuEvent(QContextMenuEvent* e)
{
    if (menu)
        menu(e);
}
void ZoneDessin::resizeEvent(QResizeEvent*)
{
    if (redimension)
        redimension();
}

#include "LoupeCapture.h"

#include <QPainter>

QImage imageLoupeCapture(const QImage& frame, QPoint centre, QSize taille)
{
    const QSize t(std::max(1, taille.width()), std::max(1, taille.height()));
    QImage img(t, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    const QPoint coin = centre - QPoint(t.width() / 2, t.height() / 2);
    if (!frame.isNull())
        p.drawImage(-coin, frame);
    p.setPen(QColor(Qt::red));
    p.drawLine(t.width() / 2, 0, t.width() / 2, t.height() - 1);
    p.drawLine(0, t.height() / 2, t.width() - 1, t.height() / 2);
    return img;
}

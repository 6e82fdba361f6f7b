#pragma once
#include <QImage>
#include <QPoint>
#include <QSize>

// The magnifier of the second video tool: `taille` pixels of the frame around `centre` (black
// outside the frame) with a horizontal and a vertical line through the middle; shown stretched
// to the magnifier's size, so that the magnification is its size over `taille`.
QImage imageLoupeCapture(const QImage& frame, QPoint centre, QSize taille);

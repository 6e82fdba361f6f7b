#pragma once
#include <QWidget>
#include <functional>

// A plain widget whose painting, mouse, menu and size events are handled by its window: the
// paint boxes of the still-image and sound tools. The paint handler only reads.
class ZoneDessin : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::function<void(QPainter&)> peint;
    std::function<void(QMouseEvent*)> presse, bouge, relache;
    std::function<void(QContextMenuEvent*)> menu;
    std::function<void()> redimension;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent*) override;
};

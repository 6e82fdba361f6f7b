#pragma once
#include "DessinPointage.h"
#include "PointageControleur.h"

#include <QImage>
#include <QWidget>

// The image area of a pointing tool: the picture at its zoom with the overlay on top. Mouse
// positions go to the controller in image pixels (divided by the zoom); the arrow keys, the
// keypad, Page Up/Down move the pointer and Enter or Space click, so the view itself is the
// field that keeps the keyboard focus.
class VuePointage : public QWidget
{
    Q_OBJECT
public:
    VuePointage(PointageControleur& controleur, QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    void setZoom(int pasZoom);
    int zoom() const { return m_zoom; }
    OptionsDessin& options() { return m_options; }
    void setOptions(const OptionsDessin& o);
    // The picture as shown (image and overlay), as last painted.
    QImage rendu();

    QSize sizeHint() const override;

signals:
    // Right button outside measuring: the tool shows its cursor menu there.
    void menuDemande(const QPoint& global);
    // Mouse position over the picture in screen pixels (status panels "x=", "y=").
    void positionEcran(const QPoint& p);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    QPoint versImage(QPoint ecran) const;
    void dessine(QImage& cible);

    PointageControleur& m_ctrl;
    QImage m_image;
    QImage m_rendu;
    bool m_renduAJour = false;
    int m_zoom = 1;
    OptionsDessin m_options;
    QPoint m_pointeur;
};

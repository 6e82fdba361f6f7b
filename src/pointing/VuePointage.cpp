#include "VuePointage.h"

#include "ActionClavier.h"
#include "Comparaison.h"
#include "ReglagesPointage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

VuePointage::VuePointage(PointageControleur& controleur, QWidget* parent) : QWidget(parent), m_ctrl(controleur)
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(&m_ctrl, &PointageControleur::repeindre, this, [this] {
        m_renduAJour = false;
        update();
    });
    connect(&m_ctrl, &PointageControleur::curseur, this, [this](int slot) { setCursor(curseurDe(slot)); });
    m_ctrl.prendPixels = [this](QPoint p) { return PixelsAutour(rendu(), p * m_zoom); };
}

void VuePointage::setImage(const QImage& image)
{
    m_image = image;
    setFixedSize(sizeHint());
    m_renduAJour = false;
    update();
}

void VuePointage::setZoom(int pasZoom)
{
    m_zoom = std::clamp(pasZoom, 1, 5);
    setFixedSize(sizeHint());
    m_renduAJour = false;
    update();
}

void VuePointage::setOptions(const OptionsDessin& o)
{
    m_options = o;
    m_renduAJour = false;
    update();
}

QSize VuePointage::sizeHint() const
{
    return m_image.isNull() ? QSize(1, 1) : m_image.size() * m_zoom;
}

QPoint VuePointage::versImage(QPoint ecran) const
{
    // Integer division, as the clicks are stored in whole image pixels.
    return QPoint(ecran.x() / m_zoom, ecran.y() / m_zoom);
}

void VuePointage::dessine(QImage& cible)
{
    cible = QImage(sizeHint(), QImage::Format_RGB32);
    cible.fill(palette().color(QPalette::Window));
    QPainter p(&cible);
    if (!m_image.isNull())
        p.drawImage(QRect(QPoint(0, 0), sizeHint()), m_image);
    DessinPointage(p, SurfaceDessin::image(m_zoom, cible.size()), m_ctrl.modele(), m_options).Dessine(&m_ctrl);
}

QImage VuePointage::rendu()
{
    if (!m_renduAJour || m_rendu.size() != sizeHint()) {
        dessine(m_rendu);
        m_renduAJour = true;
    }
    return m_rendu;
}

void VuePointage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, rendu());
}

void VuePointage::mousePressEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_pointeur = pos;
    setFocus();
    if (e->button() == Qt::RightButton) {
        if (m_ctrl.menuContextuel())
            emit menuDemande(e->globalPosition().toPoint());
        return;
    }
    m_ctrl.appui(versImage(pos), e->button(), e->modifiers());
}

void VuePointage::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_pointeur = pos;
    emit positionEcran(pos);
    m_ctrl.deplacement(versImage(pos), e->buttons(), e->modifiers());
}

void VuePointage::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    m_pointeur = pos;
    m_ctrl.relache(versImage(pos), e->button(), e->modifiers());
}

void VuePointage::keyPressEvent(QKeyEvent* e)
{
    const ActionClavier a = actionClavier(e->key(), e->modifiers());
    if (!a.traitee) {
        QWidget::keyPressEvent(e);
        return;
    }
    e->accept();
    if (a.clic) {
        m_ctrl.clicClavier(versImage(m_pointeur));
        return;
    }
    const QRect zone(QPoint(0, 0), size());
    m_pointeur += a.deplacement;
    m_pointeur.setX(std::clamp(m_pointeur.x(), zone.left(), zone.right()));
    m_pointeur.setY(std::clamp(m_pointeur.y(), zone.top(), zone.bottom()));
    QCursor::setPos(mapToGlobal(m_pointeur));
    m_ctrl.deplacement(versImage(m_pointeur), Qt::NoButton, e->modifiers());
    emit positionEcran(m_pointeur);
}

#pragma once
// The drawing surfaces of the media-player tool's window.
#include "aviMain.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QWidget>

// The image panel: the image shown at the zoom, with the overlay.
class ImageAvi : public QWidget
{
public:
    explicit ImageAvi(TAviForm* f) : QWidget(f), m_f(f)
    {
        setMouseTracking(true);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    QPoint image(QPoint ecran) const
    {
        const int z = std::max(m_f->pasZoom, 1);
        return QPoint(ecran.x() / z, ecran.y() / z);
    }
    QImage rendu() const
    {
        QImage img(size(), QImage::Format_RGB32);
        img.fill(palette().color(QPalette::Window));
        QPainter p(&img);
        dessine(p);
        return img;
    }

protected:
    void dessine(QPainter& p) const
    {
        const QImage& src = m_f->lecteur().imageCourante();
        const int z = std::max(m_f->pasZoom, 1);
        if (!src.isNull())
            p.drawImage(QRect(0, 0, src.width() * z, src.height() * z), src);
        if (m_f->lecteur().ouvert()) {
            OverlayAvi o(p, m_f->modele, m_f->options(), QSize(m_f->modele.Largeur * z, m_f->modele.Hauteur * z), z);
            o.dessine(m_f->controleur.echelleEnCours(), m_f->controleur.bande());
        }
    }
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        dessine(p);
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::RightButton) {
            if (m_f->controleur.menuContextuel())
                m_f->ImageMenu->popup(e->globalPosition().toPoint());
            return;
        }
        m_f->controleur.appui(image(e->position().toPoint()), e->button(), e->modifiers());
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        const QPoint ecran = e->position().toPoint();
        if (m_f->modele.origineMobile) {
            m_f->Panneaux[0]->setText(QStringLiteral(" "));
            m_f->Panneaux[1]->setText(QStringLiteral(" "));
        } else {
            m_f->Panneaux[0]->setText(QStringLiteral("x=%1").arg(ecran.x()));
            m_f->Panneaux[1]->setText(QStringLiteral("y=%1").arg(ecran.y()));
        }
        m_f->controleur.deplacement(image(ecran), e->buttons(), e->modifiers());
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton)
            m_f->controleur.relache(image(e->position().toPoint()), e->button(), e->modifiers());
        m_f->EditBidon->setFocus();
    }

private:
    TAviForm* m_f;
};

// The drawing page: the same marks on a blank page (shown beside non-AVI files).
class DessinAvi : public QWidget
{
public:
    explicit DessinAvi(TAviForm* f) : QWidget(f), m_f(f) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Base));
        OverlayAvi::page(p, m_f->modele, m_f->options(), size()).dessine();
    }

private:
    TAviForm* m_f;
};

// The comparison picture: the pixels around the mouse against the same place on the first row.
class ComparaisonAvi : public QWidget
{
public:
    explicit ComparaisonAvi(TAviForm* f) : QWidget(f), m_f(f)
    {
        setFixedSize(48, 50);
        setToolTip(QStringLiteral("Comparaison de la première image et de l'image courante (clic=fond noir ou blanc)"));
        efface();
    }
    void efface()
    {
        m_image = QImage(48, 50, QImage::Format_RGB32);
        m_image.fill(Qt::white);
        update();
    }
    void compare()
    {
        const PointageModel& m = m_f->modele;
        const int k = std::clamp(m.PointCourant, 0, kPointsMax);
        const QImage& a = m.Pixels;
        const QImage& b = m.PixelsInit[size_t(k)];
        if (a.isNull() || b.isNull() || m.Nmes < 1)
            return;
        for (int x = 0; x < 48; ++x)
            for (int y = 0; y < 49 && y < 50; ++y) {
                const QRgb pa = a.pixel(std::min(x, a.width() - 1), std::min(y, a.height() - 1));
                const QRgb pb = b.pixel(std::min(x, b.width() - 1), std::min(y, b.height() - 1));
                int r = std::abs(qRed(pa) - qRed(pb)), g = std::abs(qGreen(pa) - qGreen(pb)),
                    bl = std::abs(qBlue(pa) - qBlue(pb));
                if (!m_f->complementaire) {
                    r = 255 - r;
                    g = 255 - g;
                    bl = 255 - bl;
                }
                m_image.setPixel(x, y, qRgb(r, g, bl));
            }
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.drawImage(0, 0, m_image);
    }
    void mousePressEvent(QMouseEvent*) override
    {
        m_f->complementaire = !m_f->complementaire;
        compare();
    }

private:
    TAviForm* m_f;
    QImage m_image;
};


#include "Comparaison.h"

#include "PointageModel.h"

#include <QMouseEvent>
#include <QPainter>

#include <cstdlib>

QImage PixelsAutour(const QImage& ecran, QPoint centre)
{
    QImage r(kCotePixels, kCotePixels, QImage::Format_RGB32);
    r.fill(Qt::black);
    const QImage source = ecran.convertToFormat(QImage::Format_RGB32);
    const int demi = kCotePixels / 2;
    for (int y = 0; y < kCotePixels; ++y) {
        const int sy = centre.y() - demi + y;
        if (sy < 0 || sy >= source.height())
            continue;
        for (int x = 0; x < kCotePixels; ++x) {
            const int sx = centre.x() - demi + x;
            if (sx >= 0 && sx < source.width())
                r.setPixel(x, y, source.pixel(sx, sy));
        }
    }
    return r;
}

QImage ImageComparaison(const QImage& pixels, const QImage& init, bool complementaire)
{
    QImage r(kLargeurComparaison, kHauteurComparaison, QImage::Format_RGB32);
    r.fill(complementaire ? Qt::black : Qt::white);
    if (pixels.isNull() || init.isNull())
        return r;
    const QImage a = pixels.convertToFormat(QImage::Format_RGB32);
    const QImage b = init.convertToFormat(QImage::Format_RGB32);
    const int w = std::min({kLargeurComparaison, a.width(), b.width()});
    const int h = std::min({kCotePixels, a.height(), b.height()});
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            int dr = std::abs(qRed(p) - qRed(q));
            int dg = std::abs(qGreen(p) - qGreen(q));
            int db = std::abs(qBlue(p) - qBlue(q));
            if (!complementaire) {
                dr = 255 - dr;
                dg = 255 - dg;
                db = 255 - db;
            }
            r.setPixel(x, y, qRgb(dr, dg, db));
        }
    }
    return r;
}

ComparaisonWidget::ComparaisonWidget(QWidget* parent) : QWidget(parent)
{
    setFixedSize(kLargeurComparaison, kHauteurComparaison);
    setToolTip(QStringLiteral("Comparaison de la première image et de l'image courante (clic=fond noir ou blanc)"));
    efface();
}

void ComparaisonWidget::montre(const QImage& pixels, const QImage& init)
{
    m_pixels = pixels;
    m_init = init;
    m_image = ImageComparaison(pixels, init, m_complementaire);
    update();
}

void ComparaisonWidget::efface()
{
    m_pixels = QImage();
    m_init = QImage();
    m_image = QImage(kLargeurComparaison, kHauteurComparaison, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    update();
}

void ComparaisonWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.drawImage(0, 0, m_image);
}

void ComparaisonWidget::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_complementaire = !m_complementaire;
    if (!m_pixels.isNull())
        m_image = ImageComparaison(m_pixels, m_init, m_complementaire);
    update();
    emit fondChange(m_complementaire);
}

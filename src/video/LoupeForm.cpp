#include "LoupeForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>

QImage imageLoupe(const QImage& source, QPoint centre, int facteur, int taille)
{
    QImage r(taille, taille, QImage::Format_RGB32);
    r.fill(Qt::white);
    facteur = std::max(facteur, 1);
    const int n = taille / facteur;
    const int h = n / 2;
    {
        QPainter p(&r);
        for (int b = 0; b < n; ++b)
            for (int a = 0; a < n; ++a) {
                const int x = centre.x() + a - h, y = centre.y() + b - h;
                if (x < 0 || y < 0 || x >= source.width() || y >= source.height())
                    continue;
                p.fillRect(a * facteur, b * facteur, facteur, facteur, QColor::fromRgb(source.pixel(x, y)));
            }
        p.setPen(Qt::red);
        p.drawLine(taille / 2, 0, taille / 2, taille - 1);
        p.drawLine(0, taille / 2, taille - 1, taille / 2);
    }
    return r;
}

TLoupeForm::TLoupeForm(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Loupe"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(2, 2, 2, 2);
    Image = new QLabel(this);
    Image->setFixedSize(kTailleLoupe, kTailleLoupe);
    l->addWidget(Image);
    PuissanceTB = new QSlider(Qt::Horizontal, this);
    PuissanceTB->setRange(kPuissanceMin, kPuissanceMax);
    PuissanceTB->setValue(kPuissanceDefaut);
    PuissanceTB->setPageStep(1);
    PuissanceTB->setTickPosition(QSlider::TicksBelow);
    PuissanceTB->setToolTip(QStringLiteral("Puissance de la loupe"));
    PuissanceTB->setAccessibleName(QStringLiteral("Puissance de la loupe"));
    PuissanceTB->installEventFilter(this);
    l->addWidget(PuissanceTB);
    setFixedSize(sizeHint());
}

int TLoupeForm::puissance() const { return PuissanceTB->value(); }

void TLoupeForm::montre(const QImage& ecran, QPoint centre, int pasZoom)
{
    m_image = imageLoupe(ecran, centre, puissance() * std::max(pasZoom, 1));
    Image->setPixmap(QPixmap::fromImage(m_image));
    if (!isVisible())
        show();
}

bool TLoupeForm::eventFilter(QObject* o, QEvent* e)
{
    if (o == PuissanceTB && e->type() == QEvent::KeyPress && toucheTransmise) {
        toucheTransmise(static_cast<QKeyEvent*>(e));
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void TLoupeForm::closeEvent(QCloseEvent* e)
{
    QWidget::closeEvent(e);
    emit fermee();
}

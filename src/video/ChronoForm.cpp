#include "ChronoForm.h"

#include "ImageLoader.h"

#include <QLabel>
#include <QVBoxLayout>

TChronoForm::TChronoForm(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Chronophotographie à partir de AVI"));
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    Image1 = new QLabel(this);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(1, 1);
    Image1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    l->addWidget(Image1);
    resize(642, 480);
}

bool TChronoForm::charge(const QString& fichier)
{
    const QImage i = chargeImage(fichier);
    montre(i);
    return !i.isNull();
}

void TChronoForm::montre(const QImage& image)
{
    m_image = image;
    ajuste();
}

void TChronoForm::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    ajuste();
}

void TChronoForm::ajuste()
{
    if (m_image.isNull()) {
        Image1->clear();
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(
        m_image.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

#pragma once
#include <QImage>
#include <QPoint>
#include <QWidget>

// The comparison picture: the first image's surroundings of the point against the current ones.
constexpr int kLargeurComparaison = 48;
constexpr int kHauteurComparaison = 50;

// The kCotePixels x kCotePixels pixels of `ecran` centred on `centre`; black outside it.
QImage PixelsAutour(const QImage& ecran, QPoint centre);

// Per channel |current - first| on black, or 255 minus it on white (`complementaire` false).
// Without both pictures, the plain background.
QImage ImageComparaison(const QImage& pixels, const QImage& init, bool complementaire);

// The 48 x 50 box of the tool bar; a click toggles black and white backgrounds.
class ComparaisonWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ComparaisonWidget(QWidget* parent = nullptr);

    bool complementaire() const { return m_complementaire; }
    const QImage& image() const { return m_image; }
    // Recomputes from the current pixels and those of the first row.
    void montre(const QImage& pixels, const QImage& init);
    // Cleared to white (buttons update).
    void efface();

signals:
    void fondChange(bool complementaire);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    bool m_complementaire = false;
    QImage m_image;
    QImage m_pixels;
    QImage m_init;
};

#pragma once
#include <QImage>
#include <QWidget>

#include <functional>

class QLabel;
class QSlider;

constexpr int kTailleLoupe = 200;
constexpr int kPuissanceMin = 2, kPuissanceMax = 6, kPuissanceDefaut = 3;

// The magnified picture: the pixels of `source` around `centre`, each drawn as a square of
// `facteur` x `facteur`, with a red cross through the middle.
QImage imageLoupe(const QImage& source, QPoint centre, int facteur, int taille = kTailleLoupe);

// "Loupe": a small tool window that stays on top and magnifies what is under the mouse.
// Shared by both video tools.
class TLoupeForm : public QWidget
{
    Q_OBJECT
public:
    explicit TLoupeForm(QWidget* parent = nullptr);

    int puissance() const;
    // Shows the window with the screen pixels of `ecran` around `centre`; `pasZoom` multiplies
    // the power as the picture is already enlarged that much.
    void montre(const QImage& ecran, QPoint centre, int pasZoom);
    const QImage& picture() const { return m_image; }

    // Keys typed on the power slider go to this hook (the capture tool's keys) and stop there.
    std::function<void(QKeyEvent*)> toucheTransmise;

    QLabel* Image;
    QSlider* PuissanceTB;

signals:
    void fermee();

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QImage m_image;
};

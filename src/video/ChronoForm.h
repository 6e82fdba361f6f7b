#pragma once
#include <QDialog>
#include <QImage>

class QLabel;

// "Chronophotographie à partir de AVI": one picture, stretched proportionally to the window.
// Shared by both video tools, shown modally.
class TChronoForm : public QDialog
{
    Q_OBJECT
public:
    explicit TChronoForm(QWidget* parent = nullptr);

    // Loads a saved picture; false (and the picture cleared) when it cannot be read.
    bool charge(const QString& fichier);
    void montre(const QImage& image);
    const QImage& image() const { return m_image; }
    QLabel* Image1;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void ajuste();
    QImage m_image;
};

#pragma once
#include "PageTabulo.h"

#include <QMainWindow>
#include <QWidget>

class QLabel;
class QTabWidget;

// Curves of one page: the NOMY columns against the NOMX columns, each scaled to fit.
class TraceTabulo : public QWidget
{
public:
    TraceTabulo(const PageTabulo& page, QVector<QPair<int, int>> courbes, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {420, 300}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    PageTabulo m_page;
    QVector<QPair<int, int>> m_courbes;
};

// The file held by the stand-in analysis program: its pages, one tab each.
class TabuloWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit TabuloWindow(QWidget* parent = nullptr);

    // A new file with this first page, or one more page of the file held (a new file when none).
    void nouveauFichier(const PageTabulo& page);
    void nouvellePage(const PageTabulo& page);
    int nombrePages() const { return int(m_pages.size()); }

    // Writes a page as a table file (".csv" or tab-separated by the name). False on failure.
    bool sauvePage(int index, const QString& chemin) const;

private:
    void ajoute(const PageTabulo& page);
    void enregistre();

    QVector<PageTabulo> m_pages;
    QTabWidget* m_onglets;
    QLabel* m_titre;
};

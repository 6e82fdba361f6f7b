#pragma once
#include "PointageModel.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

// Default width of a grid column, in pixels.
constexpr int kLargeurColonneGrille = 50;

// The results grid's contents, read from the pointing store: t, then x and y of each point
// (or the angle); the row being clicked shows its points already taken.
class GrillePointage : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GrillePointage(const PointageModel& modele, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Every cell rewritten; the grid grows to five rows past the last one when it runs short.
    void rafraichit();
    // New columns (points per image, angle mode) and rows back to a few empty ones.
    void reconstruit();

private:
    const PointageModel& m_modele;
    int m_lignes = 4;
};

// Cell text in its column's colour, 2 pixels in from the corner.
class GridDrawCell : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Read-only view: one heading row, no heading column, vertical scroll bar only.
class GrilleVue : public QTableView
{
    Q_OBJECT
public:
    explicit GrilleVue(QWidget* parent = nullptr);

signals:
    // A data row (0-based) was selected, for the time origin.
    void ligneChoisie(int ligne);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
};

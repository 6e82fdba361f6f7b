#include "GrillePointage.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

GrillePointage::GrillePointage(const PointageModel& modele, QObject* parent)
    : QAbstractTableModel(parent), m_modele(modele)
{
}

int GrillePointage::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_lignes; }

int GrillePointage::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_modele.ColonnesGrille();
}

QVariant GrillePointage::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        const QString t = m_modele.TexteCellule(index.column(), index.row());
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case Qt::ForegroundRole:
        if (index.column() == 0)
            return QColor(Qt::black);
        return m_modele.Couleur[std::min(kPointsMax, (index.column() + 1) / 2)];
    default:
        return {};
    }
}

QVariant GrillePointage::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const QStringList h = m_modele.EntetesGrille();
    return section >= 0 && section < h.size() ? QVariant(h.at(section)) : QVariant();
}

Qt::ItemFlags GrillePointage::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void GrillePointage::rafraichit()
{
    beginResetModel();
    // The row being clicked needs room too.
    if (m_lignes < m_modele.Nmes + 1)
        m_lignes = m_modele.Nmes + 4;
    endResetModel();
}

void GrillePointage::reconstruit()
{
    beginResetModel();
    m_lignes = std::max(4, m_modele.Nmes + 4);
    endResetModel();
}

void GridDrawCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString texte = opt.text;
    opt.text.clear();
    QStyledItemDelegate::paint(painter, opt, index);
    if (texte.isEmpty())
        return;
    painter->save();
    painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    painter->setFont(opt.font);
    const QRect r = option.rect.adjusted(2, 2, 0, 0);
    painter->drawText(r, Qt::AlignLeft | Qt::AlignTop, texte);
    painter->restore();
}

GrilleVue::GrilleVue(QWidget* parent) : QTableView(parent)
{
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(kLargeurColonneGrille);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);
    setItemDelegate(new GridDrawCell(this));
    connect(this, &QTableView::pressed, this, [this](const QModelIndex& i) { emit ligneChoisie(i.row()); });
}

void GrilleVue::keyPressEvent(QKeyEvent* e)
{
    // Typed characters are discarded; moving around the grid still works.
    if (!e->text().isEmpty() && e->text().at(0).isPrint()) {
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void GrilleVue::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        emit ligneChoisie(current.row());
}

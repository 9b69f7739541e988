#include "match_list_model.h"

#include "match_list.h"

MatchListModel::MatchListModel(const MatchList& list, QObject* parent)
    : QAbstractListModel(parent), m_list(list) {}

int MatchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_list.m_logView.size());
}

QVariant MatchListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return QString::fromStdString(m_list.m_logView[static_cast<std::size_t>(index.row())]);
        case Qt::SizeHintRole:
            return m_itemSize;
        default:
            return {};
    }
}

void MatchListModel::linesChanged() {
    if (rowCount() > 0) {
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    }
}

void MatchListModel::setItemSize(int extent, int rowHeight) {
    const QSize size(extent, rowHeight);
    if (size == m_itemSize) {
        return;
    }
    m_itemSize = size;
    // A layout change makes the view measure its rows again.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

#pragma once

#include <QAbstractListModel>
#include <QSize>

class MatchList;

/// The log view's model: one row per line of a MatchList's log view. The
/// MatchList holds the lines; this only shows them, so whoever changes the
/// list announces it here. User-interface thread.
class MatchListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit MatchListModel(const MatchList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// Around a change that may replace any part of the list.
    void beginReplace() { beginResetModel(); }
    void endReplace() { endResetModel(); }
    /// Announces that the text of existing lines changed (the count did not).
    void linesChanged();

    /// Every row is `extent` pixels wide and `rowHeight` high: the width the
    /// view scrolls over horizontally.
    void setItemSize(int extent, int rowHeight);

  private:
    const MatchList& m_list;
    QSize m_itemSize{100, 16};
};

#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <functional>

class MatchList;

/// The log view's model: one row per line of a MatchList's log view. The
/// MatchList holds the lines; this only shows them, so every change goes
/// through the list and is announced here. User-interface thread.
class MatchListModel : public QAbstractListModel {
    Q_OBJECT
  public:
    explicit MatchListModel(MatchList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    /// Runs `change`, which may replace any part of the list, as a reset.
    void replace(const std::function<void()>& change);
    /// Announces that the text of existing lines changed (the count did not).
    void linesChanged();

    /// Every row is `extent` pixels wide and `rowHeight` high: the width the
    /// view scrolls over horizontally.
    void setItemSize(int extent, int rowHeight);
    int horizontalExtent() const { return m_itemSize.width(); }

  private:
    MatchList& m_list;
    QSize m_itemSize{100, 16};
};

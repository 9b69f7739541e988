#pragma once

#include <QDialog>
#include <memory>
#include <vector>

class MatchList;
class PairOverviewModel;
class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

namespace PairOverviewId {
enum : int {
    Window = 1300,
    Table = 1301,
    MinPercent = 1302,
    SortByGroup = 1303,
    RunDelete = 1304,
    Status = 1305,
    FoldGroups = 1306,
    RunProgress = 1307,
};
}  // namespace PairOverviewId

/// The pair overview window: every pair of the loaded log in a sortable
/// table with thumbnails, filtered by a lowest percentage, and what the
/// automatic delete would do with each. It only shows; the main window acts
/// on its requests. User-interface thread.
class PairOverviewDlg : public QDialog {
    Q_OBJECT
  public:
    explicit PairOverviewDlg(QWidget* parent = nullptr);
    ~PairOverviewDlg() override;

    /// Lists the pairs of `list` afresh, predicted with the criteria `sequence`.
    void showPairs(const MatchList& list, const std::vector<int>& sequence);
    PairOverviewModel* model() const { return m_model.get(); }
    QTableView* table() const { return m_table; }

  signals:
    /// A pair (0-based) was double-clicked.
    void pairActivated(int pair);
    /// "Run automatic delete on these": the listed pairs in log order and the
    /// files the prediction removes.
    void runRequested(std::vector<int> pairs, int predictedRemovals);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void applyFilter();
    void refilter();
    void fitGroupColumn();
    void loadVisibleRows();
    void updateStatus();

    std::unique_ptr<PairOverviewModel> m_model;
    QSortFilterProxyModel* m_proxy;
    QTableView* m_table;
    QDoubleSpinBox* m_minPercent;
    QCheckBox* m_byGroup;
    QCheckBox* m_fold;
    QPushButton* m_run;
    QLabel* m_status;
};

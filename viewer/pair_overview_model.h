#pragma once

#include <QAbstractTableModel>
#include <QImage>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "pair_prediction.h"

class MatchList;

/// The pair overview: one row per pair of a match list with both sides'
/// thumbnails and facts, the percentage, the group of copies and what the
/// automatic delete would do with it. Facts and thumbnails are read on worker
/// threads, the rows asked for first (prioritise) and then every row in turn,
/// so that the predictions become complete. The model keeps copies of the
/// paths; the window never waits for a file. User-interface thread.
class PairOverviewModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column {
        ColPair,
        ColGroup,
        ColLeft,
        ColRight,
        ColPercent,
        ColAction,
        ColLeftSize,
        ColRightSize,
        ColLeftBytes,
        ColRightBytes,
        ColumnCount
    };
    /// Numbers for sorting: pixel counts, bytes, tenths of a percent.
    static constexpr int kSortRole = Qt::UserRole + 1;
    static constexpr int kThumbWidth = 64;
    static constexpr int kThumbHeight = 48;

    /// `sequence` is the delete criteria order the predictions use;
    /// `pixelRatio` that of the screen showing the thumbnails, so that they are
    /// read sharp on a scaled screen.
    PairOverviewModel(const MatchList& list, std::vector<int> sequence, qreal pixelRatio = 1.0,
                      QObject* parent = nullptr);
    ~PairOverviewModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    /// Pairs below this match (in tenths of a percent) are not listed; the
    /// predictions follow the listed pairs only.
    void setMinPercent(int tenths);
    bool listed(int row) const;
    int listedCount() const { return m_listedCount; }
    /// Folded, a group of copies shows as its first listed pair only, unless
    /// the group was opened (toggleGroup). Listing and the run are unchanged.
    void setFolded(bool folded);
    bool folded() const { return m_folded; }
    /// Listed and not folded away.
    bool shown(int row) const;
    /// Opens or closes the group whose first listed pair is `row`; false (and
    /// nothing changes) for any other row or when not folded.
    bool toggleGroup(int row);
    /// The listed pairs (0-based, in log order), as the automatic run takes them.
    std::vector<int> listedPairs() const;
    const PairPrediction& prediction(int row) const { return m_rows[slot(row)].prediction; }
    /// Files the automatic run would remove from the listed pairs.
    int predictedRemovals() const;

    /// Reads these rows before any other still waiting.
    void prioritise(int firstRow, int lastRow);
    int loadedCount() const { return m_loaded; }
    bool allLoaded() const { return m_loaded == static_cast<int>(m_rows.size()); }

  signals:
    /// Rows read so far, of all; sent as rows come in.
    void loadingProgress(int loaded, int total);
    /// Which rows are shown changed: folding or a group opened or closed.
    void foldingChanged();

  private:
    struct Row {
        std::string left;
        std::string right;
        int percent = 0;  ///< tenths
        int group = -1;
        enum State : unsigned char { Waiting, Queued, Reading, Read } state = Waiting;
        SideFacts leftFacts;
        SideFacts rightFacts;
        QImage leftThumb;
        QImage rightThumb;
        PairPrediction prediction;
    };
    struct Reading;
    static std::size_t slot(int row) { return static_cast<std::size_t>(row); }
    int rowOf(const Row& r) const { return static_cast<int>(&r - m_rows.data()); }
    void pump();
    void onRead(int row, const std::shared_ptr<Reading>& reading);
    void predict();
    void findGroupHeads();
    bool isGroupHead(int row) const;
    QString groupText(const Row& r) const;
    QString groupToolTip(const Row& r) const;
    QVariant display(const Row& r, int column) const;
    QVariant sortKey(const Row& r, int row, int column) const;

    std::vector<Row> m_rows;
    std::vector<int> m_sequence;
    qreal m_pixelRatio = 1.0;
    int m_minPercent = 0;
    int m_listedCount = 0;
    bool m_folded = false;
    std::vector<int> m_groupFiles;   ///< images in each group of copies
    std::vector<int> m_groupHead;    ///< first listed row of each group, -1 if none
    std::vector<int> m_groupListed;  ///< listed pairs of each group
    std::vector<char> m_groupOpen;
    int m_loaded = 0;
    int m_inFlight = 0;
    std::deque<int> m_queue;
    QThreadPool m_pool;
    QTimer m_predictTimer;
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);
};

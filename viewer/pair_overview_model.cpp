#include "pair_overview_model.h"

#include <QFileInfo>
#include <algorithm>
#include <climits>

#include "copy_groups.h"
#include "datafile_slot.h"
#include "format_file_size.h"
#include "image_pane.h"
#include "match_list.h"

struct PairOverviewModel::Reading {
    PreviewSide left;
    PreviewSide right;
    QImage leftThumb;
    QImage rightThumb;
};

namespace {

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString sideName(const std::string& path) {
    if (path == kDeletedEntry) {
        return QStringLiteral("Deleted");
    }
    return QFileInfo(qs(path)).fileName();
}

QString sizeText(const SideFacts& f) {
    return f.loaded ? qs(f.dimensionsLabel) : QString();
}

QString bytesText(const SideFacts& f) {
    return f.length > 0 ? qs(FormatFileSize(f.length)) : QString();
}

}  // namespace

PairOverviewModel::PairOverviewModel(const MatchList& list, std::vector<int> sequence,
                                     qreal pixelRatio, QObject* parent)
    : QAbstractTableModel(parent),
      m_sequence(std::move(sequence)),
      m_pixelRatio(std::clamp(pixelRatio, 1.0, 4.0)) {
    const int pairs = list.pairCount();
    m_rows.resize(static_cast<std::size_t>(std::max(pairs, 0)));
    for (int i = 0; i < pairs; ++i) {
        Row& r = m_rows[slot(i)];
        r.left = list.m_leftPaths[slot(i)];
        r.right = list.m_rightPaths[slot(i)];
        r.percent = list.percentOfPair(i);
        r.leftFacts.path = r.left;
        r.rightFacts.path = r.right;
    }
    const CopyGroups groups = GroupCopies(list.m_leftPaths, list.m_rightPaths);
    for (std::size_t i = 0; i < m_rows.size() && i < groups.pairGroup.size(); ++i) {
        m_rows[i].group = groups.pairGroup[i];
    }
    for (const auto& group : groups.groups) {
        m_groupFiles.push_back(static_cast<int>(group.size()));
    }
    m_groupOpen.assign(m_groupFiles.size(), 0);
    findGroupHeads();
    m_predictTimer.setSingleShot(true);
    m_predictTimer.setInterval(100);
    connect(&m_predictTimer, &QTimer::timeout, this, &PairOverviewModel::predict);
    predict();
    // Every row in turn, after whatever is asked for first.
    for (int i = 0; i < pairs; ++i) {
        m_rows[slot(i)].state = Row::Queued;
        m_queue.push_back(i);
    }
    m_pool.setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
    QTimer::singleShot(0, this, &PairOverviewModel::pump);
}

PairOverviewModel::~PairOverviewModel() {
    m_cancel->store(true);
    m_pool.clear();
    m_pool.waitForDone();
}

int PairOverviewModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int PairOverviewModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PairOverviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    static const char* const kTitles[ColumnCount] = {"Pair",          "Group",
                                                     "Image 1",       "Image 2",
                                                     "% match",       "Automatic delete",
                                                     "Image 1 size",  "Image 2 size",
                                                     "Image 1 bytes", "Image 2 bytes"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(kTitles[section])
                                                 : QVariant();
}

QVariant PairOverviewModel::data(const QModelIndex& idx, int role) const {
    if (!idx.isValid() || idx.row() >= rowCount()) {
        return {};
    }
    const Row& r = m_rows[slot(idx.row())];
    switch (role) {
        case Qt::DisplayRole:
            return display(r, idx.column());
        case Qt::DecorationRole:
            if (idx.column() == ColLeft && !r.leftThumb.isNull()) {
                return r.leftThumb;
            }
            if (idx.column() == ColRight && !r.rightThumb.isNull()) {
                return r.rightThumb;
            }
            return {};
        case Qt::ToolTipRole:
            if (idx.column() == ColLeft || idx.column() == ColRight) {
                return qs(idx.column() == ColLeft ? r.left : r.right);
            }
            if (idx.column() == ColGroup && r.group >= 0) {
                return groupToolTip(r);
            }
            return {};
        case Qt::TextAlignmentRole:
            if (idx.column() == ColLeft || idx.column() == ColRight || idx.column() == ColAction ||
                idx.column() == ColGroup) {
                return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            }
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        case kSortRole:
            return sortKey(r, idx.row(), idx.column());
        default:
            return {};
    }
}

QVariant PairOverviewModel::display(const Row& r, int column) const {
    const bool read = r.state == Row::Read;
    switch (column) {
        case ColPair:
            return rowOf(r) + 1;
        case ColLeft:
            return sideName(r.left);
        case ColRight:
            return sideName(r.right);
        case ColPercent:
            return QStringLiteral("%1.%2").arg(r.percent / 10).arg(r.percent % 10);
        case ColLeftSize:
            return sizeText(r.leftFacts);
        case ColRightSize:
            return sizeText(r.rightFacts);
        case ColLeftBytes:
            return bytesText(r.leftFacts);
        case ColRightBytes:
            return bytesText(r.rightFacts);
        case ColAction:
            if (!read) {
                return QStringLiteral("...");
            }
            return qs(r.prediction.action + " (" + r.prediction.reason + ")");
        case ColGroup:
            if (r.group < 0) {
                return {};
            }
            if (m_folded && isGroupHead(rowOf(r))) {
                return groupText(r);
            }
            return r.group + 1;
        default:
            return {};
    }
}

QString PairOverviewModel::groupText(const Row& r) const {
    const auto g = static_cast<std::size_t>(r.group);
    const int pairs = m_groupListed[g];
    if (pairs < 2) {
        return QString::number(r.group + 1);
    }
    // A triangle pointing right for a closed group, down for an open one.
    return QStringLiteral("%1 %2 (%3 files)")
        .arg(m_groupOpen[g] ? QChar(0x25BE) : QChar(0x25B8))
        .arg(r.group + 1)
        .arg(m_groupFiles[g]);
}

QString PairOverviewModel::groupToolTip(const Row& r) const {
    const auto g = static_cast<std::size_t>(r.group);
    QString tip = QStringLiteral("Group %1: %2 files in %3 listed pairs")
                      .arg(r.group + 1)
                      .arg(m_groupFiles[g])
                      .arg(m_groupListed[g]);
    if (m_folded && m_groupListed[g] > 1 && isGroupHead(rowOf(r))) {
        tip +=
            m_groupOpen[g] ? QStringLiteral("; click to close") : QStringLiteral("; click to open");
    }
    return tip;
}

QVariant PairOverviewModel::sortKey(const Row& r, int row, int column) const {
    const auto pixels = [](const SideFacts& f) {
        return static_cast<qlonglong>(f.width) * f.height;
    };
    switch (column) {
        case ColPercent:
            return r.percent;
        case ColLeftSize:
            return pixels(r.leftFacts);
        case ColRightSize:
            return pixels(r.rightFacts);
        case ColLeftBytes:
            return static_cast<qlonglong>(r.leftFacts.length);
        case ColRightBytes:
            return static_cast<qlonglong>(r.rightFacts.length);
        case ColGroup:
            // Groups in order, each group's pairs in log order.
            return static_cast<qlonglong>(r.group < 0 ? INT_MAX : r.group) * 1'000'000'000LL + row;
        case ColPair:
            return row;
        default:
            return display(r, column);
    }
}

void PairOverviewModel::setMinPercent(int tenths) {
    if (tenths == m_minPercent) {
        return;
    }
    m_minPercent = tenths;
    findGroupHeads();
    predict();
    if (m_folded && rowCount() > 0) {
        emit dataChanged(index(0, ColGroup), index(rowCount() - 1, ColGroup));
    }
}

void PairOverviewModel::findGroupHeads() {
    m_groupHead.assign(m_groupFiles.size(), -1);
    m_groupListed.assign(m_groupFiles.size(), 0);
    m_listedCount = 0;
    for (int row = 0; row < rowCount(); ++row) {
        if (!listed(row)) {
            continue;
        }
        ++m_listedCount;
        const int g = m_rows[slot(row)].group;
        if (g < 0) {
            continue;
        }
        const auto k = static_cast<std::size_t>(g);
        if (m_groupHead[k] < 0) {
            m_groupHead[k] = row;
        }
        ++m_groupListed[k];
    }
}

bool PairOverviewModel::isGroupHead(int row) const {
    const int g = m_rows[slot(row)].group;
    return g >= 0 && m_groupHead[static_cast<std::size_t>(g)] == row;
}

void PairOverviewModel::setFolded(bool folded) {
    if (folded == m_folded) {
        return;
    }
    m_folded = folded;
    std::fill(m_groupOpen.begin(), m_groupOpen.end(), 0);
    if (rowCount() > 0) {
        emit dataChanged(index(0, ColGroup), index(rowCount() - 1, ColGroup));
    }
    emit foldingChanged();
}

bool PairOverviewModel::shown(int row) const {
    if (!listed(row)) {
        return false;
    }
    const int g = m_rows[slot(row)].group;
    return !m_folded || g < 0 || m_groupOpen[static_cast<std::size_t>(g)] || isGroupHead(row);
}

bool PairOverviewModel::toggleGroup(int row) {
    if (!m_folded || row < 0 || row >= rowCount() || !isGroupHead(row)) {
        return false;
    }
    const auto g = static_cast<std::size_t>(m_rows[slot(row)].group);
    if (m_groupListed[g] < 2) {
        return false;
    }
    m_groupOpen[g] = m_groupOpen[g] ? 0 : 1;
    emit dataChanged(index(row, ColGroup), index(row, ColGroup));
    emit foldingChanged();
    return true;
}

bool PairOverviewModel::listed(int row) const {
    return row >= 0 && row < rowCount() && m_rows[slot(row)].percent >= m_minPercent;
}

std::vector<int> PairOverviewModel::listedPairs() const {
    std::vector<int> pairs;
    for (int i = 0; i < rowCount(); ++i) {
        if (listed(i)) {
            pairs.push_back(i);
        }
    }
    return pairs;
}

int PairOverviewModel::predictedRemovals() const {
    int n = 0;
    for (int i = 0; i < rowCount(); ++i) {
        if (listed(i) && m_rows[slot(i)].prediction.verdict != DeleteVerdict::NoDelete) {
            ++n;
        }
    }
    return n;
}

void PairOverviewModel::prioritise(int firstRow, int lastRow) {
    for (int row = std::min(lastRow, rowCount() - 1); row >= std::max(firstRow, 0); --row) {
        if (m_rows[slot(row)].state == Row::Queued) {
            // Taken from here first; its later place in the queue is skipped.
            m_queue.push_front(row);
        }
    }
    pump();
}

void PairOverviewModel::pump() {
    const int most = 2 * m_pool.maxThreadCount();
    while (m_inFlight < most && !m_queue.empty()) {
        const int row = m_queue.front();
        m_queue.pop_front();
        Row& r = m_rows[slot(row)];
        if (r.state != Row::Queued) {
            continue;
        }
        r.state = Row::Reading;
        ++m_inFlight;
        m_pool.start(
            [this, row, left = r.left, right = r.right, cancel = m_cancel, ratio = m_pixelRatio] {
                auto reading = std::make_shared<Reading>();
                if (!cancel->load()) {
                    const FitSize thumb{static_cast<int>(kThumbWidth * ratio),
                                        static_cast<int>(kThumbHeight * ratio)};
                    reading->left = ReadPreviewSide(left, thumb);
                    reading->right = ReadPreviewSide(right, thumb);
                    reading->leftThumb = ToDrawableImage(reading->left.thumbnail);
                    reading->rightThumb = ToDrawableImage(reading->right.thumbnail);
                    reading->leftThumb.setDevicePixelRatio(ratio);
                    reading->rightThumb.setDevicePixelRatio(ratio);
                }
                // The model outlives every task (its destructor waits for them);
                // the queued call is dropped if it is gone by then.
                QMetaObject::invokeMethod(
                    this, [this, row, reading] { onRead(row, reading); }, Qt::QueuedConnection);
            });
    }
}

void PairOverviewModel::onRead(int row, const std::shared_ptr<Reading>& reading) {
    --m_inFlight;
    Row& r = m_rows[slot(row)];
    r.leftFacts = std::move(reading->left.facts);
    r.rightFacts = std::move(reading->right.facts);
    r.leftThumb = std::move(reading->leftThumb);
    r.rightThumb = std::move(reading->rightThumb);
    r.state = Row::Read;
    ++m_loaded;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
    if (allLoaded()) {
        // Final before anyone hears that every row is in.
        m_predictTimer.stop();
        predict();
    } else if (!m_predictTimer.isActive()) {
        m_predictTimer.start();
    }
    emit loadingProgress(m_loaded, rowCount());
    pump();
}

void PairOverviewModel::predict() {
    std::vector<int> pairs = listedPairs();
    std::vector<std::pair<SideFacts, SideFacts>> facts;
    facts.reserve(pairs.size());
    for (int p : pairs) {
        facts.emplace_back(m_rows[slot(p)].leftFacts, m_rows[slot(p)].rightFacts);
    }
    const std::vector<PairPrediction> predictions = PredictRun(m_sequence, facts);
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        m_rows[slot(pairs[k])].prediction = predictions[k];
    }
    if (rowCount() > 0) {
        emit dataChanged(index(0, ColAction), index(rowCount() - 1, ColAction));
    }
}

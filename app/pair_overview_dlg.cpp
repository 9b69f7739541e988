#include "pair_overview_dlg.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "control_ids.h"
#include "pair_overview_model.h"

namespace {

/// Shows the rows the model shows, sorted by the model's numbers.
class ListedPairsProxy : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void refilter() { invalidateRowsFilter(); }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override {
        const auto* model = static_cast<const PairOverviewModel*>(sourceModel());
        return model != nullptr && model->shown(row);
    }
};

}  // namespace

PairOverviewDlg::PairOverviewDlg(QWidget* parent)
    : QDialog(parent),
      m_proxy(new ListedPairsProxy(this)),
      m_table(new QTableView(this)),
      m_minPercent(new QDoubleSpinBox(this)),
      m_byGroup(new QCheckBox("Sort by group of copies", this)),
      m_fold(new QCheckBox("Fold groups of copies", this)),
      m_run(new QPushButton("Run automatic delete on these", this)),
      m_status(new QLabel(this)) {
    using namespace PairOverviewId;
    SetControlId(this, Window);
    SetControlId(m_table, Table);
    SetControlId(m_minPercent, MinPercent);
    SetControlId(m_byGroup, SortByGroup);
    SetControlId(m_fold, FoldGroups);
    m_fold->setToolTip("One row per group of copies; click its group to open or close it");
    SetControlId(m_run, RunDelete);
    SetControlId(m_status, Status);
    setWindowTitle("Pair overview");
    setSizeGripEnabled(true);
    resize(1280, 680);

    m_minPercent->setRange(0.0, 100.0);
    m_minPercent->setDecimals(1);
    m_minPercent->setSingleStep(0.5);
    m_minPercent->setSuffix(" %");
    m_proxy->setSortRole(PairOverviewModel::kSortRole);
    m_table->setModel(m_proxy);
    m_table->setSortingEnabled(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setIconSize(QSize(PairOverviewModel::kThumbWidth, PairOverviewModel::kThumbHeight));
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(PairOverviewModel::kThumbHeight + 6);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(false);

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(new QLabel("Lowest % match listed:", this));
    filterRow->addWidget(m_minPercent);
    filterRow->addSpacing(16);
    filterRow->addWidget(m_byGroup);
    filterRow->addSpacing(16);
    filterRow->addWidget(m_fold);
    filterRow->addStretch(1);
    auto* actionRow = new QHBoxLayout;
    actionRow->addWidget(m_status, 1);
    actionRow->addWidget(m_run);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_table, 1);
    layout->addLayout(actionRow);

    connect(m_minPercent, &QDoubleSpinBox::valueChanged, this, &PairOverviewDlg::applyFilter);
    connect(m_byGroup, &QCheckBox::toggled, this, [this](bool on) {
        m_table->sortByColumn(on ? PairOverviewModel::ColGroup : PairOverviewModel::ColPair,
                              Qt::AscendingOrder);
    });
    connect(m_fold, &QCheckBox::toggled, this, [this](bool on) {
        if (m_model != nullptr) {
            m_model->setFolded(on);
        }
    });
    connect(m_table, &QTableView::clicked, this, [this](const QModelIndex& at) {
        if (m_model != nullptr && at.column() == PairOverviewModel::ColGroup) {
            m_model->toggleGroup(m_proxy->mapToSource(at).row());
        }
    });
    connect(m_table, &QTableView::doubleClicked, this,
            [this](const QModelIndex& at) { emit pairActivated(m_proxy->mapToSource(at).row()); });
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &PairOverviewDlg::loadVisibleRows);
    connect(m_proxy, &QAbstractItemModel::layoutChanged, this, &PairOverviewDlg::loadVisibleRows);
    connect(m_run, &QPushButton::clicked, this, [this] {
        if (m_model != nullptr && m_model->allLoaded()) {
            emit runRequested(m_model->listedPairs(), m_model->predictedRemovals());
        }
    });
}

PairOverviewDlg::~PairOverviewDlg() {
    m_proxy->setSourceModel(nullptr);
}

void PairOverviewDlg::showPairs(const MatchList& list, const std::vector<int>& sequence) {
    m_proxy->setSourceModel(nullptr);
    m_model = std::make_unique<PairOverviewModel>(list, sequence, devicePixelRatioF());
    m_model->setMinPercent(static_cast<int>(m_minPercent->value() * 10 + 0.5));
    m_model->setFolded(m_fold->isChecked());
    m_proxy->setSourceModel(m_model.get());
    connect(m_model.get(), &PairOverviewModel::loadingProgress, this,
            &PairOverviewDlg::updateStatus);
    connect(m_model.get(), &PairOverviewModel::foldingChanged, this, &PairOverviewDlg::refilter);
    m_table->sortByColumn(
        m_byGroup->isChecked() ? PairOverviewModel::ColGroup : PairOverviewModel::ColPair,
        Qt::AscendingOrder);
    // Room for a thumbnail and a name, and for "65535 x 65535 TIF".
    const QFontMetrics metrics = m_table->fontMetrics();
    const int sizeWidth = metrics.horizontalAdvance("65535 x 65535 JPG") + 16;
    const int bytesWidth = metrics.horizontalAdvance("Image 1 bytes") + 16;
    m_table->setColumnWidth(PairOverviewModel::ColPair, metrics.horizontalAdvance("99999") + 24);
    for (int c : {PairOverviewModel::ColLeft, PairOverviewModel::ColRight}) {
        m_table->setColumnWidth(c,
                                PairOverviewModel::kThumbWidth + metrics.averageCharWidth() * 14);
    }
    m_table->setColumnWidth(PairOverviewModel::ColPercent,
                            metrics.horizontalAdvance("% match") + 20);
    m_table->setColumnWidth(PairOverviewModel::ColAction,
                            metrics.horizontalAdvance("delete right (Higher resolution)") + 16);
    for (int c : {PairOverviewModel::ColLeftSize, PairOverviewModel::ColRightSize}) {
        m_table->setColumnWidth(c, sizeWidth);
    }
    for (int c : {PairOverviewModel::ColLeftBytes, PairOverviewModel::ColRightBytes}) {
        m_table->setColumnWidth(c, bytesWidth);
    }
    fitGroupColumn();
    updateStatus();
    loadVisibleRows();
}

void PairOverviewDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    loadVisibleRows();
}

void PairOverviewDlg::applyFilter() {
    if (m_model == nullptr) {
        return;
    }
    m_model->setMinPercent(static_cast<int>(m_minPercent->value() * 10 + 0.5));
    refilter();
}

void PairOverviewDlg::refilter() {
    static_cast<ListedPairsProxy*>(m_proxy)->refilter();
    fitGroupColumn();
    updateStatus();
    loadVisibleRows();
}

void PairOverviewDlg::fitGroupColumn() {
    const QFontMetrics metrics = m_table->fontMetrics();
    const QString widest = m_model != nullptr && m_model->folded()
                               ? QStringLiteral("%1 999 (999 files)").arg(QChar(0x25BE))
                               : QStringLiteral("Group");
    m_table->setColumnWidth(PairOverviewModel::ColGroup, metrics.horizontalAdvance(widest) + 20);
}

void PairOverviewDlg::loadVisibleRows() {
    if (m_model == nullptr || m_proxy->rowCount() == 0) {
        return;
    }
    const int top = std::max(m_table->rowAt(0), 0);
    int bottom = m_table->rowAt(m_table->viewport()->height() - 1);
    if (bottom < 0) {
        bottom = std::min(m_proxy->rowCount() - 1, top + 40);
    }
    // Taken in reverse so that the top row ends up first in line.
    for (int row = bottom; row >= top; --row) {
        const int source = m_proxy->mapToSource(m_proxy->index(row, 0)).row();
        m_model->prioritise(source, source);
    }
}

void PairOverviewDlg::updateStatus() {
    if (m_model == nullptr) {
        return;
    }
    const int listed = m_model->listedCount();
    const int rows = m_proxy->rowCount();
    QString text = QStringLiteral("%1 of %2 pairs listed").arg(listed).arg(m_model->rowCount());
    if (rows != listed) {
        text += QStringLiteral(", in %1 %2").arg(rows).arg(rows == 1 ? "row" : "rows");
    }
    if (!m_model->allLoaded()) {
        text += QStringLiteral("; reading %1 of %2...")
                    .arg(m_model->loadedCount())
                    .arg(m_model->rowCount());
    }
    m_status->setText(text);
    m_run->setEnabled(m_model->allLoaded() && listed > 0);
    m_run->setToolTip(m_model->allLoaded()
                          ? QString()
                          : QStringLiteral("Available once every pair is read, so that the "
                                           "number of files it names is final"));
}

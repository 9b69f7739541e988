#include "listed_delete_run.h"

#include <QProgressDialog>

#include "control_ids.h"
#include "delete_criteria.h"
#include "pair_overview_dlg.h"
#include "pair_removal.h"
#include "run_state.h"

ListedDeleteRun::ListedDeleteRun(RunState& run, PairViewer& viewer, std::vector<int> pairs,
                                 QWidget* progressParent)
    : m_run(run), m_viewer(viewer), m_pairs(std::move(pairs)) {
    const int total = static_cast<int>(m_pairs.size());
    m_progress = std::make_unique<QProgressDialog>(QString(), "Stop", 0, total, progressParent);
    SetControlId(m_progress.get(), PairOverviewId::RunProgress);
    m_progress->setWindowTitle("Automatic delete");
    // Nothing else may change the pairs or the files while the run walks them.
    m_progress->setWindowModality(Qt::ApplicationModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    connect(m_progress.get(), &QProgressDialog::canceled, this, [this] { m_stopAsked = true; });
    // Escape closes the window without "canceled"; the run must not go on unseen.
    connect(m_progress.get(), &QDialog::rejected, this, [this] { m_stopAsked = true; });
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ListedDeleteRun::step);
}

ListedDeleteRun::~ListedDeleteRun() {
    m_timer.stop();
    if (m_outcome == Outcome::Running && m_started) {
        m_run.settings().m_nDeleteMode = m_savedMode;
        m_viewer.autoRun() = m_savedRun;
    }
}

void ListedDeleteRun::start() {
    // The removals go the automatic run's way (no beep, no question of its
    // own, no summary per pass); what was set before comes back at the end.
    TwinlySettings& settings = m_run.settings();
    AutoDeleteRun& autoRun = m_viewer.autoRun();
    m_started = true;
    m_savedMode = settings.m_nDeleteMode;
    m_savedRun = autoRun;
    settings.m_nDeleteMode = DeleteMode::Automatic;
    autoRun.active = 0;
    autoRun.confirmNeeded = 0;
    autoRun.summaryShown = 1;
    m_progress->setLabelText(QStringLiteral("Pair 0 of %1").arg(pairCount()));
    m_progress->setValue(0);
    m_progress->show();
    m_timer.start();
}

void ListedDeleteRun::step() {
    if (m_stopAsked || !m_progress->isVisible()) {
        finish(Outcome::Stopped);
        return;
    }
    if (m_next >= pairCount()) {
        finish(Outcome::Finished);
        return;
    }
    const int pair = m_pairs[static_cast<std::size_t>(m_next++)];
    PairResult result = PairResult::Kept;
    if (pair >= 0 && pair < m_viewer.pairCount()) {
        m_viewer.selectPair(pair);
        m_viewer.selectLogLine(m_run.matches().m_firstPairLine + 5 * pair);
        m_viewer.ShowCurrentPairAgain();
        result = actOnShownPair();
    }
    m_removed += result == PairResult::Removed ? 1 : 0;
    m_progress->setLabelText(QStringLiteral("Pair %1 of %2: %3 %4 removed")
                                 .arg(m_next)
                                 .arg(pairCount())
                                 .arg(m_removed)
                                 .arg(m_removed == 1 ? "file" : "files"));
    m_progress->setValue(m_next);
    emit pairDone(m_next, m_removed);
    if (result == PairResult::Failed) {
        finish(Outcome::Failed);
        return;
    }
    m_timer.start();
}

ListedDeleteRun::PairResult ListedDeleteRun::actOnShownPair() {
    const SideFacts& left = m_viewer.side(kLeftSide);
    const SideFacts& right = m_viewer.side(kRightSide);
    const DeleteDecision d = EvaluateDeleteCriteria(
        DeleteMode::Automatic, m_run.settings().m_nDeleteSequence, left, right);
    // Pairs the removal would refuse are passed over quietly here: a refusal
    // box for each would stop the run for nothing.
    if (d.verdict == DeleteVerdict::NoDelete || !NoDeleteReasonNow(left, right).empty() ||
        SidesAreOneFile(left, right)) {
        return PairResult::Kept;
    }
    const int side = d.verdict == DeleteVerdict::DeleteLeft ? kLeftSide : kRightSide;
    const MoveFlags& moves = m_run.moves();
    switch (m_viewer.removal().DeleteOrMoveImage(
        side, side == kRightSide ? moves.rightMoves : moves.leftMoves)) {
        case RemovalResult::Removed:
            return PairResult::Removed;
        case RemovalResult::NotRemoved:
            return PairResult::Kept;
        case RemovalResult::Failed:
            break;
    }
    return PairResult::Failed;
}

void ListedDeleteRun::finish(Outcome outcome) {
    m_timer.stop();
    m_run.settings().m_nDeleteMode = m_savedMode;
    AutoDeleteRun& autoRun = m_viewer.autoRun();
    autoRun = m_savedRun;
    autoRun.confirmNeeded = 1;
    m_outcome = outcome;
    m_progress->hide();
    emit finished();
}

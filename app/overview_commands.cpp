#include "overview_commands.h"

#include "command_router.h"
#include "datafile_slot.h"
#include "delete_criteria.h"
#include "main_ids.h"
#include "page_switcher.h"
#include "pair_overview_dlg.h"
#include "pair_removal.h"
#include "pair_viewer.h"
#include "prompter.h"
#include "run_state.h"
#include "wait_cursor.h"

namespace {
constexpr const char* kRunCaption = "Automatic delete";
}  // namespace

OverviewCommands::OverviewCommands(RunState& run, PairViewer& viewer, PageSwitcher& pages,
                                   CommandRouter& commands, Prompter& prompter, QWidget& window)
    : m_run(run), m_viewer(viewer), m_pages(pages), m_prompter(prompter), m_window(window) {
    commands.setHandler(MainId::MenuPairOverview, [this] { ShowOverview(); });
    commands.setHandler(MainId::PairOverview, [this] { ShowOverview(); });
}

OverviewCommands::~OverviewCommands() = default;

void OverviewCommands::ShowOverview() {
    if (m_dlg == nullptr) {
        m_dlg = std::make_unique<PairOverviewDlg>(&m_window);
        QObject::connect(m_dlg.get(), &PairOverviewDlg::pairActivated, m_dlg.get(),
                         [this](int pair) { OpenPair(pair); });
        QObject::connect(m_dlg.get(), &PairOverviewDlg::runRequested, m_dlg.get(),
                         [this](const std::vector<int>& pairs, int files) {
                             if (RunOnPairs(pairs, files) > 0) {
                                 ShowOverview();
                             }
                         });
    }
    const auto& sequence = m_run.settings().m_nDeleteSequence;
    m_dlg->showPairs(m_run.matches(), std::vector<int>(sequence.begin(), sequence.end()));
    m_dlg->show();
    m_dlg->raise();
    m_dlg->activateWindow();
}

void OverviewCommands::OpenPair(int pair) {
    if (pair < 0 || pair >= m_viewer.pairCount()) {
        return;
    }
    if (m_pages.currentPage() != kPageView) {
        m_pages.selectPage(kPageView, true);
    }
    m_viewer.selectPair(pair);
    m_viewer.selectLogLine(m_run.matches().m_firstPairLine + 5 * pair);
    m_viewer.ShowCurrentPairAgain();
    m_window.raise();
    m_window.activateWindow();
}

bool OverviewCommands::confirm(int pairs, int files) {
    const MoveFlags& moves = m_run.moves();
    std::string how;
    if (moves.leftMoves || moves.rightMoves) {
        how = "moved or deleted, as the 'Move' setup says.";
    } else if (m_run.settings().m_bPermanentDelete) {
        how = "deleted permanently.";
    } else {
        how = "moved to the trash.";
    }
    const std::string text = "Run the automatic delete on the " + std::to_string(pairs) +
                             (pairs == 1 ? " listed pair?" : " listed pairs?") + "\n\n" +
                             std::to_string(files) + (files == 1 ? " file" : " files") +
                             " will be " + how;
    return m_prompter.message(kRunCaption, text, PromptButtons::YesNo, PromptIcon::Warning) ==
           PromptAnswer::Yes;
}

int OverviewCommands::RunOnPairs(const std::vector<int>& pairs, int predictedRemovals) {
    if (pairs.empty() || !confirm(static_cast<int>(pairs.size()), predictedRemovals)) {
        return 0;
    }
    if (m_pages.currentPage() != kPageView) {
        m_pages.selectPage(kPageView, true);
    }
    // The removals go the automatic run's way (no beep, no question of its
    // own, no summary per pass); what was set before comes back afterwards.
    TwinlySettings& settings = m_run.settings();
    AutoDeleteRun& autoRun = m_viewer.autoRun();
    const DeleteMode mode = settings.m_nDeleteMode;
    const AutoDeleteRun savedRun = autoRun;
    settings.m_nDeleteMode = DeleteMode::Automatic;
    autoRun.active = 0;
    autoRun.confirmNeeded = 0;
    autoRun.summaryShown = 1;
    WaitCursor wait;
    int removed = 0;
    for (int pair : pairs) {
        if (pair < 0 || pair >= m_viewer.pairCount()) {
            continue;
        }
        m_viewer.selectPair(pair);
        m_viewer.selectLogLine(m_run.matches().m_firstPairLine + 5 * pair);
        m_viewer.ShowCurrentPairAgain();
        removed += actOnShownPair() ? 1 : 0;
    }
    settings.m_nDeleteMode = mode;
    autoRun = savedRun;
    autoRun.confirmNeeded = 1;
    m_prompter.inform(kRunCaption,
                      "The automatic delete on the listed pairs removed " +
                          std::to_string(removed) + (removed == 1 ? " file." : " files."),
                      PromptIcon::Information);
    return removed;
}

bool OverviewCommands::actOnShownPair() {
    const SideFacts& left = m_viewer.side(kLeftSide);
    const SideFacts& right = m_viewer.side(kRightSide);
    const DeleteDecision d = EvaluateDeleteCriteria(
        DeleteMode::Automatic, m_run.settings().m_nDeleteSequence, left, right);
    if (d.verdict == DeleteVerdict::NoDelete || !NoDeleteReasonNow(left, right).empty() ||
        SidesAreOneFile(left, right)) {
        return false;
    }
    const int side = d.verdict == DeleteVerdict::DeleteLeft ? kLeftSide : kRightSide;
    const auto pair = static_cast<std::size_t>(m_viewer.selectedPair());
    const MoveFlags& moves = m_run.moves();
    m_viewer.removal().DeleteOrMoveImage(side,
                                         side == kRightSide ? moves.rightMoves : moves.leftMoves);
    // Marked only once the file operation succeeded.
    const MatchList& matches = m_run.matches();
    const auto& paths = side == kLeftSide ? matches.m_leftPaths : matches.m_rightPaths;
    return pair < paths.size() && paths[pair] == kDeletedEntry;
}

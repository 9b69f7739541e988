#include "overview_commands.h"

#include "command_router.h"
#include "listed_delete_run.h"
#include "main_ids.h"
#include "page_switcher.h"
#include "pair_overview_dlg.h"
#include "pair_viewer.h"
#include "prompter.h"
#include "run_state.h"

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
        QObject::connect(
            m_dlg.get(), &PairOverviewDlg::runRequested, m_dlg.get(),
            [this](const std::vector<int>& pairs, int files) { RunOnPairs(pairs, files); });
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

bool OverviewCommands::RunOnPairs(const std::vector<int>& pairs, int predictedRemovals) {
    if (m_listedRun != nullptr || pairs.empty() ||
        !confirm(static_cast<int>(pairs.size()), predictedRemovals)) {
        return false;
    }
    if (m_pages.currentPage() != kPageView) {
        m_pages.selectPage(kPageView, true);
    }
    QWidget* parent =
        m_dlg != nullptr && m_dlg->isVisible() ? static_cast<QWidget*>(m_dlg.get()) : &m_window;
    m_listedRun = std::make_unique<ListedDeleteRun>(m_run, m_viewer, pairs, parent);
    QObject::connect(
        m_listedRun.get(), &ListedDeleteRun::finished, &m_window, [this] { onRunFinished(); },
        Qt::QueuedConnection);
    m_listedRun->start();
    return true;
}

void OverviewCommands::onRunFinished() {
    const std::unique_ptr<ListedDeleteRun> run = std::move(m_listedRun);
    const int removed = run->removed();
    const std::string files = std::to_string(removed) + (removed == 1 ? " file." : " files.");
    std::string text;
    switch (run->outcome()) {
        case ListedDeleteRun::Outcome::Stopped:
            text = "The automatic delete on the listed pairs was stopped after " +
                   std::to_string(run->pairsTaken()) + " of " + std::to_string(run->pairCount()) +
                   " pairs. It removed " + files;
            break;
        case ListedDeleteRun::Outcome::Failed:
            text = "The automatic delete on the listed pairs ended at pair " +
                   std::to_string(run->pairsTaken()) + " of " + std::to_string(run->pairCount()) +
                   ", where a delete or move failed. It removed " + files;
            break;
        default:
            text = "The automatic delete on the listed pairs removed " + files;
            break;
    }
    m_prompter.inform(kRunCaption, text, PromptIcon::Information);
    if (removed > 0 && m_dlg != nullptr && m_dlg->isVisible()) {
        ShowOverview();
    }
}

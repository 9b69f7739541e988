#include "undo_commands.h"

#include "command_router.h"
#include "file_ops.h"
#include "main_ids.h"
#include "pair_removal.h"
#include "pair_viewer.h"
#include "path_compare.h"
#include "prompter.h"
#include "run_state.h"

namespace {
constexpr const char* kUndoCaption = "Undo delete";
}  // namespace

UndoCommands::UndoCommands(RunState& run, PairViewer& viewer, CommandRouter& commands,
                           Prompter& prompter, FileOps& fileOps)
    : m_run(run), m_viewer(viewer), m_prompter(prompter), m_fileOps(fileOps) {
    commands.setHandler(MainId::MenuUndoDelete, [this] { UndoLastRemoval(); });
}

void UndoCommands::UndoLastRemoval() {
    std::vector<RemovalStep>& history = m_viewer.removal().history();
    if (history.empty()) {
        m_prompter.inform(kUndoCaption, "There is no delete or move to undo.",
                          PromptIcon::Information);
        return;
    }
    const RemovalStep& step = history.back();
    const bool back = step.trashed ? m_fileOps.restoreFromTrash(step.nowAt).has_value()
                                   : m_fileOps.moveBack(step.nowAt, step.originalPath);
    if (!back) {
        // The step stays: once the place is free again, the next undo puts it back.
        std::string reason = m_fileOps.lastFailure();
        if (reason.empty()) {
            reason = "Unable to put back " + step.originalPath;
        }
        m_prompter.inform(kUndoCaption, reason, PromptIcon::Error);
        return;
    }
    const RemovalStep done = std::move(history.back());
    history.pop_back();
    m_run.unmarkDeleted(done.originalPath, done.marks);
    showPairOf(done.originalPath);
}

void UndoCommands::showPairOf(const std::string& path) {
    const MatchList& matches = m_run.matches();
    const int current = m_viewer.selectedPair();
    const auto holds = [&](int pair) {
        const auto i = static_cast<std::size_t>(pair);
        return pair >= 0 && pair < matches.pairCount() &&
               (SamePath(matches.m_leftPaths[i], path) || SamePath(matches.m_rightPaths[i], path));
    };
    int pair = current;
    for (int i = 0; !holds(pair) && i < matches.pairCount(); ++i) {
        pair = i;
    }
    if (!holds(pair)) {
        return;
    }
    if (pair != current) {
        m_viewer.selectPair(pair);
        m_viewer.selectLogLine(matches.m_firstPairLine + 5 * pair);
    }
    m_viewer.ShowCurrentPairAgain();
}

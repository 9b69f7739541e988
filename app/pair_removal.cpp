#include "pair_removal.h"

#include "auto_delete_runner.h"
#include "command_router.h"
#include "delete_messages.h"
#include "desktop.h"
#include "file_ops.h"
#include "image_pane.h"
#include "main_ids.h"
#include "pair_viewer.h"
#include "prompter.h"
#include "run_state.h"
#include "wait_cursor.h"

PairRemoval::PairRemoval(RunState& run, PairViewer& viewer, CommandRouter& commands,
                         Prompter& prompter, Desktop& desktop, FileOps& fileOps)
    : m_run(run), m_viewer(viewer), m_prompter(prompter), m_desktop(desktop), m_fileOps(fileOps) {
    using namespace MainId;
    const auto bind = [&commands, this](int id, int side, bool move) {
        commands.setHandler(id, [this, side, move] { DeleteOrMoveImage(side, move); });
    };
    // The two Delete buttons drop a pending automatic step first: the press
    // is the step, or the user's own choice.
    const auto bindDelete = [&commands, this](int id, int side) {
        commands.setHandler(id, [this, side] {
            m_viewer.autoDelete().stopStep();
            const MoveFlags& moves = m_run.moves();
            DeleteOrMoveImage(side, side == kRightSide ? moves.rightMoves : moves.leftMoves);
        });
    };
    bindDelete(LeftDelete, kLeftSide);
    bindDelete(RightDelete, kRightSide);
    bind(LeftMove, kLeftSide, true);
    bind(RightMove, kRightSide, true);
    bind(MenuLeftDelete, kLeftSide, false);
    bind(MenuRightDelete, kRightSide, false);
    bind(MenuLeftMove, kLeftSide, true);
    bind(MenuRightMove, kRightSide, true);
}

void PairRemoval::DeleteOrMoveImage(int side, bool move) {
    SideFacts& facts = m_viewer.side(side);
    if (m_viewer.selectedPair() < 0 || facts.path.empty() || facts.titleText == kDeletedEntry) {
        return;
    }
    TwinlySettings& settings = m_run.settings();
    AutoDeleteRun& run = m_viewer.autoRun();
    if (settings.m_nDeleteMode == DeleteMode::Automatic && run.confirmNeeded) {
        if (!ConfirmAutomaticDelete()) {
            return;
        }
        if (settings.m_nDeleteMode == DeleteMode::Automatic) {
            run.active = 1;
        }
    }
    WaitCursor wait;
    const std::string path = facts.path;
    RemovalStep step;
    // A side that showed a placeholder has no readable file: only its marks go.
    if (facts.loaded && !removeFile(side, path, move, step)) {
        return;
    }
    step.marks = m_run.markDeleted(path);
    if (!step.nowAt.empty()) {
        m_history.push_back(std::move(step));
    }
    if (settings.m_nDeleteMode != DeleteMode::Automatic && settings.m_bBeep) {
        m_desktop.playAsterisk();
    }
    facts.loaded = false;
    m_viewer.pane(side)->setCrossed(true);
    // Seen while the next pair is read.
    m_viewer.pane(side)->repaint();
    m_run.setLogChanged(true);
    run.deletedCount += 1;
    m_viewer.RunNextSteps(settings.m_nDeleteMode);
}

bool PairRemoval::removeFile(int side, const std::string& path, bool move, RemovalStep& step) {
    FileOps& ops = m_fileOps;
    step.originalPath = path;
    if (move) {
        const std::string& folder = side == kRightSide ? m_run.settings().m_strMoveFolder2
                                                       : m_run.settings().m_strMoveFolder;
        const std::optional<std::string> movedTo =
            folder.empty() ? std::nullopt : ops.moveToFolder(path, folder);
        step.trashed = false;
        step.nowAt = movedTo.value_or(std::string());
        return movedTo.has_value();
    }
    // Never a permanent delete the user did not choose: no trash, no delete.
    if (m_run.settings().m_bPermanentDelete) {
        return ops.deletePermanently(path);
    }
    if (!ops.moveToTrash(path)) {
        return false;
    }
    step.nowAt = ops.lastTrashedPath();
    return true;
}

void PairRemoval::ShowDeleteSummary(int count) {
    AutoDeleteRun& run = m_viewer.autoRun();
    run.deletedCount = 0;
    run.confirmNeeded = 1;
    run.summaryShown = 1;
    const int last = m_viewer.selectedPair() + 1;
    const std::string text = DeleteSummaryText(run.firstPair, last, count,
                                               m_run.moves().leftMoves || m_run.moves().rightMoves,
                                               m_run.settings().m_bPermanentDelete != 0);
    if (text.empty()) {
        return;
    }
    m_prompter.message(kDeleteSummaryCaption, text, PromptButtons::Ok, PromptIcon::Information);
}

bool PairRemoval::ConfirmAutomaticDelete() {
    AutoDeleteRun& run = m_viewer.autoRun();
    const PromptAnswer answer =
        m_prompter.message(kConfirmAutoDeleteCaption, kConfirmAutoDeleteText,
                           PromptButtons::YesNoCancel, PromptIcon::Information);
    if (answer == PromptAnswer::Yes) {
        run.confirmNeeded = 0;
        run.firstPair = m_viewer.selectedPair() + 1;
        run.summaryShown = 0;
        run.deletedCount = 0;
        return true;
    }
    m_run.settings().m_nDeleteMode = DeleteMode::SemiAuto;
    return answer == PromptAnswer::No;
}

#include "pair_removal.h"

#include "auto_delete_runner.h"
#include "command_router.h"
#include "delete_criteria.h"
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

RemovalResult PairRemoval::DeleteOrMoveImage(int side, bool move) {
    SideFacts& facts = m_viewer.side(side);
    if (m_viewer.selectedPair() < 0 || facts.path.empty() || facts.titleText == kDeletedEntry) {
        return RemovalResult::NotRemoved;
    }
    TwinlySettings& settings = m_run.settings();
    AutoDeleteRun& run = m_viewer.autoRun();
    const SideFacts& left = m_viewer.side(kLeftSide);
    const SideFacts& right = m_viewer.side(kRightSide);
    // Both looked at again now: what was shown may be stale, and removing
    // either side of one file, or the survivor of a gone twin, loses the
    // only copy.
    if (SidesAreOneFile(left, right)) {
        refuse(kSameFileRemovalText, true);
        return RemovalResult::NotRemoved;
    }
    if (const std::string reason = NoDeleteReasonNow(left, right); !reason.empty()) {
        refuse(std::string(DeleteCriterionHeading(static_cast<int>(DeleteCriterion::NoDelete))) +
                   "\n" + reason,
               false);
        return RemovalResult::NotRemoved;
    }
    if (settings.m_nDeleteMode == DeleteMode::Automatic && run.confirmNeeded) {
        if (!ConfirmAutomaticDelete()) {
            return RemovalResult::NotRemoved;
        }
        if (settings.m_nDeleteMode == DeleteMode::Automatic) {
            run.active = 1;
        }
    }
    WaitCursor wait;
    const std::string path = facts.path;
    RemovalStep step;
    if (const std::string failure = removeFile(side, path, move, step); !failure.empty()) {
        reportFailure(path, failure);
        return RemovalResult::Failed;
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
    return RemovalResult::Removed;
}

void PairRemoval::refuse(const std::string& text, bool sameFile) {
    // The pair is shown as the disk has it now, so the user sees why.
    m_viewer.ShowCurrentPairAgain();
    m_viewer.showPairInfo(text);
    if (m_viewer.autoRun().active) {
        m_viewer.autoDelete().takeNoDeleteStep();
        return;
    }
    m_viewer.focusNext();
    if (sameFile) {
        m_prompter.message(kRemovalRefusedCaption, text, PromptButtons::Ok, PromptIcon::Warning);
    }
}

void PairRemoval::reportFailure(const std::string& path, const std::string& failure) {
    // A failure ends an automatic run: the next pair would likely fail alike.
    m_viewer.autoDelete().endRun();
    if (!SideFileStateNow(path).exists) {
        m_viewer.ShowCurrentPairAgain();
    }
    m_prompter.message(kRemovalFailedCaption, failure, PromptButtons::Ok, PromptIcon::Warning);
}

std::string PairRemoval::removeFile(int side, const std::string& path, bool move,
                                    RemovalStep& step) {
    FileOps& ops = m_fileOps;
    step.originalPath = path;
    bool done = false;
    if (move) {
        const std::string& folder = side == kRightSide ? m_run.settings().m_strMoveFolder2
                                                       : m_run.settings().m_strMoveFolder;
        if (folder.empty()) {
            return "Unable to move " + path + ": no \"Move to\" folder is set";
        }
        const std::optional<std::string> movedTo = ops.moveToFolder(path, folder);
        step.trashed = false;
        step.nowAt = movedTo.value_or(std::string());
        done = movedTo.has_value();
    } else if (m_run.settings().m_bPermanentDelete) {
        done = ops.deletePermanently(path);
    } else {
        // Never a permanent delete the user did not choose: no trash, no delete.
        done = ops.moveToTrash(path);
        if (done) {
            step.nowAt = ops.lastTrashedPath();
        }
    }
    if (done) {
        return {};
    }
    const std::string failure = ops.lastFailure();
    return failure.empty() ? (move ? "Unable to move " : "Unable to delete ") + path : failure;
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

#include "pair_removal.h"

#include "auto_delete_runner.h"
#include "delete_messages.h"
#include "desktop.h"
#include "file_ops.h"
#include "image_pane.h"
#include "main_dlg.h"
#include "match_list_model.h"
#include "pair_viewer.h"
#include "prompter.h"
#include "wait_cursor.h"

PairRemoval::PairRemoval(CMainDlg& dlg, PairViewer& viewer) : m_dlg(dlg), m_viewer(viewer) {
    const auto bind = [&dlg, this](int id, int side, auto move) {
        dlg.setCommandHandler(id, [this, side, move] { DeleteOrMoveImage(side, move()); });
    };
    // The two Delete buttons drop a pending automatic step first: the press
    // is the step, or the user's own choice.
    const auto bindDelete = [&dlg, this](int id, int side, bool (CMainDlg::*moves)() const) {
        dlg.setCommandHandler(id, [this, side, moves] {
            m_viewer.autoDelete().stopStep();
            DeleteOrMoveImage(side, (m_dlg.*moves)());
        });
    };
    bindDelete(1017, kLeftSide, &CMainDlg::leftMoves);
    bindDelete(1018, kRightSide, &CMainDlg::rightMoves);
    bind(1019, kLeftSide, [] { return true; });
    bind(1020, kRightSide, [] { return true; });
    bind(32793, kLeftSide, [] { return false; });
    bind(32791, kRightSide, [] { return false; });
    bind(32840, kLeftSide, [] { return true; });
    bind(32841, kRightSide, [] { return true; });
}

void PairRemoval::DeleteOrMoveImage(int side, bool move) {
    SideFacts& facts = m_viewer.side(side);
    if (m_viewer.selectedPair() < 0 || facts.path.empty() || facts.titleText == kDeletedEntry) {
        return;
    }
    TwinlySettings& settings = m_dlg.settings();
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
    // A side that showed a placeholder has no readable file: only its marks go.
    if (facts.loaded && !removeFile(side, path, move)) {
        return;
    }
    MarkReferencesDeleted(path);
    if (settings.m_nDeleteMode != DeleteMode::Automatic && settings.m_bBeep) {
        m_dlg.desktop().playAsterisk();
    }
    facts.loaded = false;
    m_viewer.pane(side)->setCrossed(true);
    // Seen while the next pair is read.
    m_viewer.pane(side)->repaint();
    m_dlg.setLogChanged(true);
    run.deletedCount += 1;
    m_viewer.RunNextSteps(settings.m_nDeleteMode);
}

bool PairRemoval::removeFile(int side, const std::string& path, bool move) {
    FileOps& ops = m_dlg.fileOps();
    if (move) {
        const std::string& folder = side == kRightSide ? m_dlg.settings().m_strMoveFolder2
                                                       : m_dlg.settings().m_strMoveFolder;
        return !folder.empty() && ops.moveToFolder(path, folder).has_value();
    }
    // Never a permanent delete the user did not choose: no trash, no delete.
    return m_dlg.settings().m_bPermanentDelete ? ops.deletePermanently(path)
                                               : ops.moveToTrash(path);
}

void PairRemoval::MarkReferencesDeleted(const std::string& path) {
    m_viewer.matches().markDeleted(path);
    m_viewer.model().linesChanged();
    // Either side of a pair may come from the primary data file, and its
    // records changed either way, so the reminder to save covers both.
    if (m_dlg.primary().hasRecords() && m_dlg.primary().markDeleted(path)) {
        m_dlg.setPrimaryUnsaved(true);
    }
    if (m_dlg.secondary().hasRecords()) {
        m_dlg.secondary().markDeleted(path);
    }
}

void PairRemoval::ShowDeleteSummary(int count) {
    AutoDeleteRun& run = m_viewer.autoRun();
    run.deletedCount = 0;
    run.confirmNeeded = 1;
    run.summaryShown = 1;
    const int last = m_viewer.selectedPair() + 1;
    const std::string text =
        DeleteSummaryText(run.firstPair, last, count, m_dlg.leftMoves() || m_dlg.rightMoves(),
                          m_dlg.settings().m_bPermanentDelete != 0);
    if (text.empty()) {
        return;
    }
    m_dlg.prompter().message(kDeleteSummaryCaption, text, PromptButtons::Ok,
                             PromptIcon::Information);
}

bool PairRemoval::ConfirmAutomaticDelete() {
    AutoDeleteRun& run = m_viewer.autoRun();
    const PromptAnswer answer =
        m_dlg.prompter().message(kConfirmAutoDeleteCaption, kConfirmAutoDeleteText,
                                 PromptButtons::YesNoCancel, PromptIcon::Information);
    if (answer == PromptAnswer::Yes) {
        run.confirmNeeded = 0;
        run.firstPair = m_viewer.selectedPair() + 1;
        run.summaryShown = 0;
        run.deletedCount = 0;
        return true;
    }
    m_dlg.settings().m_nDeleteMode = DeleteMode::SemiAuto;
    return answer == PromptAnswer::No;
}

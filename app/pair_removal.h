#pragma once

#include <string>
#include <vector>

#include "run_state.h"

class CommandRouter;
class Desktop;
class FileOps;
class PairViewer;
class Prompter;

/// One removal that can be put back: a file trashed or moved (a permanent
/// delete cannot).
struct RemovalStep {
    std::string originalPath;
    std::string nowAt;  ///< the file in the trash, or in the move folder
    bool trashed = true;
    DeletionMarks marks;  ///< what marking it deleted changed
};

/// What became of one asked-for removal.
enum class RemovalResult {
    Removed,     ///< trashed, deleted or moved, and marked
    NotRemoved,  ///< nothing to remove, refused, or not confirmed
    Failed,      ///< the file operation failed (reported)
};

/// Removing one image of the shown pair: to the trash, permanently or into the
/// side's "Move to" folder, and marking every reference to it afterwards.
/// Nothing is marked unless the file operation succeeded. User-interface thread.
class PairRemoval {
  public:
    PairRemoval(RunState& run, PairViewer& viewer, CommandRouter& commands, Prompter& prompter,
                Desktop& desktop, FileOps& fileOps);

    /// Removes the image of `side` (kLeftSide, kRightSide): moves it into the
    /// side's folder when `move`, else deletes it (to the trash unless "Deletes
    /// are permanent"). Then marks it, crosses its pane and shows the next pair.
    /// A side already "Deleted" changes nothing. A pair the criteria must not
    /// judge now (a side gone, changed, unread or both sides one file) is
    /// refused with the reason; a failed file operation is reported and
    /// marks nothing.
    RemovalResult DeleteOrMoveImage(int side, bool move);
    /// The message after an automatic run removed `count` images.
    void ShowDeleteSummary(int count);
    /// Asked before the first removal of an automatic run: true goes on with it.
    bool ConfirmAutomaticDelete();
    /// Every trash and move since the program started, the latest last.
    std::vector<RemovalStep>& history() { return m_history; }

  private:
    /// Empty when the file went; else one line naming the file and the reason.
    std::string removeFile(int side, const std::string& path, bool move, RemovalStep& step);
    /// Nothing is removed: `text` says why, and an automatic run walks on as
    /// for "No delete".
    void refuse(const std::string& text, bool sameFile);
    void reportFailure(const std::string& path, const std::string& failure);

    RunState& m_run;
    PairViewer& m_viewer;
    Prompter& m_prompter;
    Desktop& m_desktop;
    FileOps& m_fileOps;
    std::vector<RemovalStep> m_history;
};

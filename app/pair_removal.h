#pragma once

#include <string>

class CMainDlg;
class PairViewer;

/// Removing one image of the shown pair: to the trash, permanently or into the
/// side's "Move to" folder, and marking every reference to it afterwards.
/// Nothing is marked unless the file operation succeeded. User-interface thread.
class PairRemoval {
  public:
    PairRemoval(CMainDlg& dlg, PairViewer& viewer);

    /// Removes the image of `side` (kLeftSide, kRightSide): moves it into the
    /// side's folder when `move`, else deletes it (to the trash unless "Deletes
    /// are permanent"). Then marks it, crosses its pane and shows the next pair.
    /// A side already "Deleted", or a failed file operation, changes nothing.
    void DeleteOrMoveImage(int side, bool move);
    /// Marks `path` deleted in the log view, both path lists and the records
    /// of both data files.
    void MarkReferencesDeleted(const std::string& path);
    /// The message after an automatic run removed `count` images.
    void ShowDeleteSummary(int count);
    /// Asked before the first removal of an automatic run: true goes on with it.
    bool ConfirmAutomaticDelete();

  private:
    bool removeFile(int side, const std::string& path, bool move);

    CMainDlg& m_dlg;
    PairViewer& m_viewer;
};

#pragma once

#include <QObject>

#include "delete_criteria.h"

class CMainDlg;

/// The switches of the Options menu with the rules that mark and gray them
/// when the menu opens, the three delete modes, and the Tools and list
/// editor commands. The sort and large-view marks are the log commands'.
/// User-interface thread.
class OptionCommands : public QObject {
    Q_OBJECT
  public:
    explicit OptionCommands(CMainDlg& dlg);

    /// Check and radio marks of the Options items from the settings; "Pause
    /// on 'No delete'" is enabled only in automatic mode and keeps its mark.
    void UpdateOptionsMenu();
    /// "Manual delete", "Semi-auto delete" (both end an automatic run) and
    /// "Automatic delete" (only sets the mode).
    void SetDeleteMode(DeleteMode mode);
    /// "Open Image list...": the list editor with the last image list.
    void StartListEditor();
    /// "Run Windows Explorer...": the file manager on the last image folder,
    /// else on the home folder.
    void ExploreLastFolder();

  private:
    void flip(int id, int& flag);
    void toggleShowMove();

    CMainDlg& m_dlg;
};

#pragma once

#include <QObject>

#include "delete_criteria.h"

class CommandRouter;
class Desktop;
class MainMenus;
class PairViewer;
class RunState;
class ViewerPanel;

/// The switches of the Options menu with the rules that mark and gray them
/// when the menu opens, the three delete modes, and the Tools and list
/// editor commands. The sort and large-view marks are the log commands'.
/// User-interface thread.
class OptionCommands : public QObject {
    Q_OBJECT
  public:
    OptionCommands(RunState& run, PairViewer& pairs, ViewerPanel& viewer, CommandRouter& commands,
                   MainMenus& menus, Desktop& desktop);

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
    void flip(CommandRouter& commands, int id, int& flag);
    void toggleShowMove();

    RunState& m_run;
    PairViewer& m_pairs;
    ViewerPanel& m_viewer;
    MainMenus& m_menus;
    Desktop& m_desktop;
};

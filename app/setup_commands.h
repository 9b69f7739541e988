#pragma once

class AutoDeleteRunner;
class CommandRouter;
class Desktop;
class KeyValueStore;
class Prompter;
class QWidget;
class RunState;

/// The setup dialogs of the main window: find-dups setup (menu and the
/// "Setup..." button), delete setup, the move-to folders and the default
/// folders. Each dialog gets copies of the run's settings and hands them
/// back only on OK. User-interface thread.
class SetupCommands {
  public:
    /// `window` parents the dialogs.
    SetupCommands(RunState& run, AutoDeleteRunner& autoDelete, CommandRouter& commands,
                  Prompter& prompter, Desktop& desktop, KeyValueStore& store, QWidget& window);

    /// On OK: the find settings, the filter and its unlocking for the rest of
    /// the run, and the settings summary of the "Find dups" page.
    void OpenFindSetup();
    /// On OK: the delete mode, criteria, switches and delay, then the move rule.
    void OpenDeleteSetup();
    /// On OK: the move switch and both folders, then the move rule.
    void OpenMoveFolderSetup();
    /// On OK: the three default folders, stored at once.
    void OpenFolderPrefs();

  private:
    RunState& m_run;
    AutoDeleteRunner& m_autoDelete;
    Prompter& m_prompter;
    Desktop& m_desktop;
    KeyValueStore& m_store;
    QWidget& m_window;
};

#pragma once

#include <string>

class CommandRouter;
class FileOps;
class PairViewer;
class Prompter;
class RunState;

/// "Undo delete": puts back the latest trashed or moved image of the session,
/// one step per command, back to the first. Never overwrites: when the old
/// place is taken the step stays, with the reason shown. User-interface thread.
class UndoCommands {
  public:
    UndoCommands(RunState& run, PairViewer& viewer, CommandRouter& commands, Prompter& prompter,
                 FileOps& fileOps);

    void UndoLastRemoval();

  private:
    void showPairOf(const std::string& path);

    RunState& m_run;
    PairViewer& m_viewer;
    Prompter& m_prompter;
    FileOps& m_fileOps;
};

#pragma once

class CommandRouter;
class Prompter;
class RunState;

/// "Open..." of the single-image row: choose an image file, load it and make
/// the single comparison record from it. User-interface thread.
class SingleImageCommands {
  public:
    SingleImageCommands(RunState& run, CommandRouter& commands, Prompter& prompter);

    void OnOpenSingle();

  private:
    RunState& m_run;
    Prompter& m_prompter;
};

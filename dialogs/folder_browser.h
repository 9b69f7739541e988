#pragma once

#include <string>

class Prompter;

/// The folder chooser of the build, move-to and default-folder dialogs. It
/// asks the prompter, so tests answer it from a script and the program shows
/// FolderBrowseDialog (through AppPrompter).
class CFolderBrowser {
  public:
    /// `initialFolder` is selected when the chooser opens; empty for none.
    CFolderBrowser(Prompter& prompter, std::string initialFolder);

    /// Shows the chooser: 1 when a folder was chosen (then in m_strChosenFolder),
    /// 2 when cancelled (m_strChosenFolder then holds the initial folder).
    /// User-interface thread.
    int DoBrowse();

    std::string m_strTitle = "Current Selection";
    std::string m_strInitialFolder;
    std::string m_strChosenFolder;

  private:
    Prompter& m_prompter;
};

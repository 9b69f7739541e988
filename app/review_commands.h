#pragma once

#include <string>

class CommandRouter;
class MainMenus;
class PairViewer;
class Prompter;

/// The reviewer's memory of "View dups": the shown pair marked "not a
/// duplicate" in the per-user list, so that later find runs leave it out, and
/// the whole list forgotten again. User-interface thread.
class ReviewCommands {
  public:
    ReviewCommands(PairViewer& viewer, CommandRouter& commands, MainMenus& menus,
                   Prompter& prompter, std::string notDupListPath);

    /// Records the shown pair with both files' sizes and times, then shows
    /// the next pair. A pair with a removed side cannot be judged any more.
    void MarkShownPairNotDuplicate();
    /// Asks with the count, then empties the list.
    void ForgetNotDuplicates();

  private:
    bool shownPairJudgeable() const;

    PairViewer& m_viewer;
    Prompter& m_prompter;
    std::string m_listPath;
};

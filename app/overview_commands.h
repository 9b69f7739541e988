#pragma once

#include <memory>
#include <vector>

class CommandRouter;
class ListedDeleteRun;
class PageSwitcher;
class PairOverviewDlg;
class PairViewer;
class Prompter;
class QWidget;
class RunState;

/// The pair overview window of "View dups" and what it asks for: a pair
/// opened on "View dups", and the automatic delete run on exactly the listed
/// pairs after one confirmation. User-interface thread.
class OverviewCommands {
  public:
    OverviewCommands(RunState& run, PairViewer& viewer, PageSwitcher& pages,
                     CommandRouter& commands, Prompter& prompter, QWidget& window);
    ~OverviewCommands();

    /// Opens (or raises) the overview over the loaded pairs.
    void ShowOverview();
    /// The overview window, once opened; null before.
    PairOverviewDlg* overview() const { return m_dlg.get(); }
    /// Shows pair `pair` (0-based) on "View dups".
    void OpenPair(int pair);
    /// Asks once, naming `predictedRemovals` files, then starts the criteria
    /// over `pairs` (log order), removing each pair's chosen image; the
    /// summary follows when the run ends. False when nothing started.
    bool RunOnPairs(const std::vector<int>& pairs, int predictedRemovals);
    /// The run started by RunOnPairs while it goes on; null otherwise.
    ListedDeleteRun* listedRun() const { return m_listedRun.get(); }

  private:
    bool confirm(int pairs, int files);
    void onRunFinished();

    RunState& m_run;
    PairViewer& m_viewer;
    PageSwitcher& m_pages;
    Prompter& m_prompter;
    QWidget& m_window;
    std::unique_ptr<PairOverviewDlg> m_dlg;
    std::unique_ptr<ListedDeleteRun> m_listedRun;
};

#pragma once

#include <QObject>
#include <optional>
#include <string>

class CommandRouter;
class Desktop;
class MainMenus;
class MatchList;
class PageSwitcher;
class PairViewer;
class Prompter;
class RunState;
class ViewPage;

/// The dups log commands of the main window: reading the default log or a
/// chosen one into the pair viewer, the steps after a find run, sorting,
/// "SaveAs log file..." and the write-back of removals. User-interface thread.
class LogCommands : public QObject {
    Q_OBJECT
  public:
    LogCommands(RunState& run, PairViewer& viewer, ViewPage& page, PageSwitcher& pages,
                CommandRouter& commands, MainMenus& menus, Prompter& prompter, Desktop& desktop);

    /// Dups.log in the log folder; empty when no log folder is set.
    std::string defaultLogPath() const;

    /// Reads the default log and shows its pairs, resuming at the pair shown
    /// before ("View dups" entered with results pending).
    void OpenDefaultLog();
    /// "Open log file (view images)...".
    void OnOpenLogFile();
    /// Reads the log a run just wrote and shows its first pair, then sorts it
    /// when the sort setting asks. Only after the run has written Dups.log.
    void ShowResultsAfterRun();
    /// The three sort commands: 1 no sort, 2 low to high, 3 high to low.
    void OnSortCommand(int sortMode);
    /// Re-orders the pairs by percentage, saves the log and shows the first pair.
    void SortPairs(bool descending, bool refresh);
    /// "SaveAs log file...".
    void OnSaveLogAs();
    /// "Open log file (text only)...": a chosen log in the desktop's text viewer.
    void OnOpenLogAsText();
    /// Writes the log view back to its file when images were removed; false
    /// when it was not written (reported, or the user kept a log that
    /// changed on disk).
    bool WriteBack();

  private:
    int readLog(const std::string& path, MatchList& into);
    /// Reads Dups.log, reporting a missing or invalid file; true when read.
    bool readDefaultLog(MatchList& list);
    void install(MatchList& list, const std::string& path);
    void showPairs();
    bool saveView(const std::string& path);
    /// Writes the shown pairs over the log they were read from, asking first
    /// when that file changed on disk since; true when they were saved.
    bool writeOverLoadedLog();
    std::optional<std::string> chooseLogSaveName();
    void updateMenuMarks();
    void showLogMenu(const QPoint& at);

    RunState& m_run;
    PairViewer& m_viewer;
    ViewPage& m_page;
    PageSwitcher& m_pages;
    MainMenus& m_menus;
    Prompter& m_prompter;
    Desktop& m_desktop;
    /// The file the shown pairs were read from; removals and sorts are saved there.
    std::string m_loadedLog;
};

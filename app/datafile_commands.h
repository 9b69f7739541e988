#pragma once

class CommandRouter;
class Desktop;
class JobController;
class PageSwitcher;
class Prompter;
class QWidget;
class RunState;
class StatusLines;

/// "Open" and "SaveAs" of the two data file slots, with the purge of missing
/// entries before a save. User-interface thread.
class DatafileCommands {
  public:
    /// Registers the page buttons and the menu items; `window` is repainted
    /// before a save so the file dialog is gone from the screen.
    DatafileCommands(RunState& run, const JobController& jobs, StatusLines& status,
                     PageSwitcher& pages, CommandRouter& commands, Prompter& prompter,
                     Desktop& desktop, QWidget& window);

    /// Reads a chosen data file into slot 0 (primary) or 1; true when filled.
    bool open(int slot);
    /// Writes a slot that holds records to a chosen file.
    void saveAs(int slot);

  private:
    void purge(int slot);

    RunState& m_run;
    const JobController& m_jobs;
    StatusLines& m_status;
    PageSwitcher& m_pages;
    Prompter& m_prompter;
    Desktop& m_desktop;
    QWidget& m_window;
};

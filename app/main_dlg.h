#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>

#include "command_router.h"
#include "main_dlg_services.h"
#include "page_switcher.h"
#include "run_state.h"

class AcceleratorFilter;
class BuildCommands;
class DatafileCommands;
class FindCommands;
class FindPage;
class GetDataPage;
class JobController;
class JobDisplay;
class LogCommands;
class MainMenus;
class MethodPage;
class OptionCommands;
class PairViewer;
class QTabWidget;
class ReviewCommands;
class UndoCommands;
class OverviewCommands;
class SetupCommands;
class SingleImageCommands;
class StatusLines;
class ViewPage;
class ViewerPanel;

/// The main window of the duplicate finder. It builds the four pages, the
/// pair viewer, the menus and the status lines, wires them to the run state
/// and the command classes, switches the pages and keeps the close sequence.
/// Every control is found by its id. All members run on the user-interface
/// thread.
class CMainDlg : public QDialog, public PageSwitcher {
    Q_OBJECT
  public:
    explicit CMainDlg(const MainDlgServices& services, QWidget* parent = nullptr);
    /// Saves the settings, stops any job and frees what the window owns.
    ~CMainDlg() override;

    RunState& run() { return m_run; }

    // ----- Pages -----
    MainPage currentPage() const override;
    void selectPage(MainPage page, bool byUser = false) override;
    void showViewLayout(bool tall) override;
    /// The tall "View dups" layout is on.
    bool isExpanded() const { return m_bExpanded != 0; }

    /// Runs the command of a button, menu item or accelerator. Ids without a
    /// handler do nothing.
    void OnCommand(int id) { m_commands.run(id); }

    /// The close path: the reminder to save the primary data file, the log
    /// write-back, then the window closes.
    void reject() override;

    // ----- Parts, for the tests that drive them -----
    CommandRouter& commands() { return m_commands; }
    JobController& jobs() { return *m_jobs; }
    MainMenus& menus() { return *m_menus; }
    FindPage& findPage() { return *m_findPage; }
    ViewerPanel& viewer() { return *m_viewer; }
    PairViewer& pairViewer() { return *m_pairViewer; }
    LogCommands& logCommands() { return *m_logCommands; }
    BuildCommands& buildCommands() { return *m_builds; }
    FindCommands& findCommands() { return *m_finds; }

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void connectCommands();
    void initialise();
    void seedLogFolder();
    void showPage(bool byUser);
    void layoutCompactAtStart();
    void layoutCompact();
    void layoutTall();
    int menuHeight() const;
    void onTabChanged();
    void onDeferredSave();
    void pressFocusedButton();
    void toggleLargeView();
    void OnDestroy();

    KeyValueStore& m_store;
    Prompter& m_prompter;
    FileOps& m_fileOps;
    Desktop& m_desktop;
    QString m_dataFolder;
    QString m_seedLogFile;

    RunState m_run;
    CommandRouter m_commands;
    int m_bExpanded = 0;
    bool m_selectingPage = false;
    bool m_destroyed = false;

    QWidget* m_client = nullptr;
    QTabWidget* m_tab = nullptr;
    MethodPage* m_methodPage = nullptr;
    GetDataPage* m_getDataPage = nullptr;
    FindPage* m_findPage = nullptr;
    ViewPage* m_viewPage = nullptr;
    ViewerPanel* m_viewer = nullptr;
    MainMenus* m_menus = nullptr;
    JobController* m_jobs = nullptr;
    std::unique_ptr<StatusLines> m_status;
    std::unique_ptr<JobDisplay> m_jobDisplay;
    std::unique_ptr<DatafileCommands> m_datafiles;
    std::unique_ptr<PairViewer> m_pairViewer;
    std::unique_ptr<LogCommands> m_logCommands;
    std::unique_ptr<OptionCommands> m_options;
    std::unique_ptr<SetupCommands> m_setups;
    std::unique_ptr<BuildCommands> m_builds;
    std::unique_ptr<FindCommands> m_finds;
    std::unique_ptr<SingleImageCommands> m_single;
    std::unique_ptr<ReviewCommands> m_review;
    std::unique_ptr<UndoCommands> m_undo;
    std::unique_ptr<OverviewCommands> m_overview;
    AcceleratorFilter* m_accelerators = nullptr;
    QTimer m_saveTimer;
};

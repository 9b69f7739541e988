#pragma once

#include <QDialog>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "compare.h"
#include "datafile_slot.h"
#include "find_modes.h"
#include "image_record.h"
#include "settings.h"

class AcceleratorFilter;
class BuildCommands;
class DatafileCommands;
class Desktop;
class FileOps;
class FindCommands;
class FindPage;
class GetDataPage;
class JobController;
class KeyValueStore;
class LogCommands;
class MainMenus;
class MethodPage;
class OptionCommands;
class PairViewer;
class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class RmsTable;
class SetupCommands;
class SingleImageCommands;
class ViewPage;
class ViewerPanel;

/// What the main window needs from outside; tests hand in temporary folders,
/// an isolated store and a scripted prompter.
struct MainDlgServices {
    KeyValueStore& store;
    Prompter& prompter;
    FileOps& fileOps;
    Desktop& desktop;
    /// Per-user data folder: on a first start the default data, log and list
    /// folders are made subfolders of it.
    QString dataFolder;
    /// The shipped Dups.log copied into a log folder that has none.
    QString seedLogFile;
};

/// The main window of the duplicate finder. It owns the state of a run (the
/// settings, both data file slots, the single comparison image, the job) and
/// coordinates the four pages, the pair viewer, the menus and the job
/// controller, each a class of its own. Every control is found by its id.
/// All members run on the user-interface thread.
class CMainDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CMainDlg(const MainDlgServices& services, QWidget* parent = nullptr);
    /// Saves the settings, stops any job and frees what the window owns.
    ~CMainDlg() override;

    // ----- Pages -----
    /// The page the tab control shows (MainPage).
    int currentPage() const;
    /// Shows the controls of the selected page and lays the window out for
    /// it; `byUser` is 1 when a tab click changed the page.
    void ShowPage(int byUser);
    void SelectGetDataPage();
    void SelectFindPage();
    void SelectViewPage(int byUser);
    /// Enables "Find dups" when the data the comparison mode needs is loaded.
    void UpdateFindButton();
    /// The rule of UpdateFindButton, without touching the controls.
    bool ComparisonDataLoaded() const;
    void EnableModeButtons(bool enable);
    void RefreshDatafileTexts();
    CompareMode compareMode() const { return m_nCompareMode; }

    // ----- Layout -----
    /// The tall "View dups" layout (grown to the screen with the large view).
    void LayoutViewPage();
    /// "View dups" with the viewer below the log view (tall), or the log view
    /// alone in the compact height when a log has no pairs (short).
    void ShowViewLayout(bool tall);
    bool isExpanded() const { return m_bExpanded != 0; }

    // ----- Commands -----
    /// Runs the command of a button, menu item or accelerator. Ids without a
    /// handler do nothing.
    void OnCommand(int id);
    /// Installs (or replaces) the handler of a command id.
    void setCommandHandler(int id, std::function<void()> handler);
    /// Presses whichever of left/right "Delete", "Next" or "Back" has the focus.
    void PressFocusedButton();

    // ----- Close -----
    /// The close path: the reminder to save the primary data file, the log
    /// write-back, then the window closes.
    void reject() override;
    /// "SaveAs" of a slot (0 primary, 1 secondary).
    void OnSaveAsDatafile(int slot);
    /// "Open" of a slot (0 primary, 1 secondary); true when the slot was filled.
    bool OnOpenDatafile(int slot);

    // ----- Results -----
    /// The end of a finished find run, after Dups.log was written: reads it
    /// back into the pair list, shows its first pair and sorts it when the
    /// sort setting asks. Called by the job's finishing step, and only when
    /// the run's log was saved.
    void ShowResultsAfterRun();
    PairViewer& pairViewer() { return *m_pairViewer; }
    LogCommands& logCommands() { return *m_logCommands; }

    // ----- State of the run -----
    TwinlySettings& settings() { return m_settings; }
    const TwinlySettings& settings() const { return m_settings; }
    DatafileSlot& primary() { return m_primary; }
    DatafileSlot& secondary() { return m_secondary; }
    /// What the "Get data" page shows for a slot's data (0 primary, 1 secondary).
    std::string& slotLabel(int slot) { return m_slotLabels[slot == 1 ? 1 : 0]; }
    ImageRecord& singleRecord() { return m_singleRecord; }
    /// The single comparison image's path: "Image 1" of every mode-2 pair.
    const std::string& singlePath() const { return m_strSinglePath; }
    void setSinglePath(const std::string& path) { m_strSinglePath = path; }
    bool singleLoaded() const { return m_bSingleLoaded != 0; }
    void setSingleLoaded(bool loaded) { m_bSingleLoaded = loaded ? 1 : 0; }
    bool primaryUnsaved() const { return m_bPrimaryUnsaved != 0; }
    void setPrimaryUnsaved(bool unsaved) { m_bPrimaryUnsaved = unsaved ? 1 : 0; }
    /// The loaded primary data file; empty when none (the default "SaveAs" name).
    const std::string& primaryPath() const { return m_strPrimaryPath; }
    void setPrimaryPath(const std::string& path) { m_strPrimaryPath = path; }
    bool resultsPending() const { return m_bResultsPending != 0; }
    void setResultsPending(bool pending) { m_bResultsPending = pending ? 1 : 0; }
    bool logChanged() const { return m_bLogChanged != 0; }
    void setLogChanged(bool changed) { m_bLogChanged = changed ? 1 : 0; }
    /// The resampling filter of builds (0..13); 3 at every start, never stored.
    int filterIndex() const { return m_nFilterIndex; }
    void setFilterIndex(int index) { m_nFilterIndex = index; }
    /// The find setup shows its filter list for the rest of the run.
    bool filterUnlocked() const { return m_bFilterUnlocked != 0; }
    void setFilterUnlocked(bool unlocked) { m_bFilterUnlocked = unlocked ? 1 : 0; }
    /// The rounded square roots every metric looks up.
    const RmsTable& rmsTable() const { return *m_pRmsTable; }
    /// The band of the "Dup if within" edits, in tenths of a percent.
    std::int32_t lowerBoundTenths() const;
    std::int32_t upperBoundTenths() const;
    /// The comparison settings of the next find run, for the current mode.
    FindSettings findSettings() const;
    /// Writes the settings summary of the "Find dups" page anew.
    void RefreshSettingsText();
    /// Whether each side's "Delete" button moves instead (the move rule).
    bool leftMoves() const { return m_bLeftMoves; }
    bool rightMoves() const { return m_bRightMoves; }

    // ----- Status lines -----
    void setStatus(const QString& text);  ///< 1025, "Get data" page
    QString status() const;
    /// 1052; hidden on every page change, shown only when asked.
    void setDataState(const QString& text, bool show = false);
    void setStatus3(const QString& text);                     ///< 1040
    void setStatus4(const QString& text);                     ///< 1051
    void setStatus7(const QString& text);                     ///< 1056
    QProgressBar* progressBar() const { return m_progress; }  ///< 1037
    QPushButton* abortButton() const { return m_abort; }      ///< 1090

    // ----- Collaborators -----
    JobController& jobs() { return *m_jobs; }
    BuildCommands& buildCommands() { return *m_builds; }
    FindCommands& findCommands() { return *m_finds; }
    MainMenus& menus() { return *m_menus; }
    OptionCommands& optionCommands() { return *m_options; }
    ViewerPanel& viewer() { return *m_viewer; }
    MethodPage& methodPage() { return *m_methodPage; }
    GetDataPage& getDataPage() { return *m_getDataPage; }
    FindPage& findPage() { return *m_findPage; }
    ViewPage& viewPage() { return *m_viewPage; }
    KeyValueStore& store() { return m_store; }
    Prompter& prompter() { return m_prompter; }
    FileOps& fileOps() { return m_fileOps; }
    Desktop& desktop() { return m_desktop; }

    /// Move rule: with "'Move' instead of 'Delete'" a side's Delete button moves
    /// when that side's folder exists; the option turns itself off when
    /// neither does. Then the Move-button rule.
    void ApplyMoveRule();
    /// Shows each "Move" button when "Show 'Move' controls" is on, its folder
    /// exists and its Delete button does not already move.
    void ApplyMoveButtonRule();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void buildControls();
    void connectCommands();
    void initialise();
    void initBounds();
    void seedLogFolder();
    void layoutCompactAtStart();
    void layoutCompact();
    int menuHeight() const;
    void onTabChanged();
    void onCompareModeChanged(CompareMode mode);
    void onDeferredSave();
    void showAbout();
    void showHelp();
    void toggleLargeView();
    void OnDestroy();

    // Places that later work fills in; until then each does nothing.
    int PairCount() const;
    void ReloadPairList();
    void ShowCurrentPairAgain();
    void MarkAutoDeleteConfirmNeeded();
    void RefitImages();
    void SaveLogViewToDefault();

    KeyValueStore& m_store;
    Prompter& m_prompter;
    FileOps& m_fileOps;
    Desktop& m_desktop;
    QString m_dataFolder;
    QString m_seedLogFile;

    TwinlySettings m_settings;
    DatafileSlot m_primary;
    DatafileSlot m_secondary;
    std::array<std::string, 2> m_slotLabels;
    ImageRecord m_singleRecord{};
    std::string m_strSinglePath;
    std::string m_strPrimaryPath;
    std::unique_ptr<const RmsTable> m_pRmsTable;
    std::unordered_map<int, std::function<void()>> m_handlers;

    CompareMode m_nCompareMode = CompareMode::WithinPrimary;
    int m_bSingleLoaded = 0;
    int m_bPrimaryUnsaved = 0;
    int m_bResultsPending = 1;
    int m_bLogChanged = 0;
    int m_bExpanded = 0;
    int m_nFilterIndex = 3;
    int m_bFilterUnlocked = 0;
    bool m_bLeftMoves = false;
    bool m_bRightMoves = false;
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
    std::unique_ptr<DatafileCommands> m_datafiles;
    std::unique_ptr<BuildCommands> m_builds;
    std::unique_ptr<FindCommands> m_finds;
    std::unique_ptr<SingleImageCommands> m_single;
    std::unique_ptr<PairViewer> m_pairViewer;
    std::unique_ptr<LogCommands> m_logCommands;
    std::unique_ptr<OptionCommands> m_options;
    std::unique_ptr<SetupCommands> m_setups;
    AcceleratorFilter* m_accelerators = nullptr;
    QLabel* m_dataState = nullptr;
    QLabel* m_status3 = nullptr;
    QLabel* m_status4 = nullptr;
    QLabel* m_status7 = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_abort = nullptr;
    QTimer m_saveTimer;
};

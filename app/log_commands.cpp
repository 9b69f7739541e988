#include "log_commands.h"

#include <QAction>
#include <QDir>
#include <QListView>
#include <QMenu>

#include "command_router.h"
#include "desktop.h"
#include "log_reader.h"
#include "log_writer.h"
#include "main_ids.h"
#include "main_menus.h"
#include "main_texts.h"
#include "match_list.h"
#include "page_switcher.h"
#include "pair_viewer.h"
#include "path_compare.h"
#include "prompter.h"
#include "run_state.h"
#include "view_page.h"
#include "wait_cursor.h"

namespace {

constexpr int kSortNone = 1;
constexpr int kSortAscending = 2;
constexpr int kSortDescending = 3;

constexpr const char* kLogFilter = "Dups log file (*.log)|*.log|All files (*.*)|*.*||";

}  // namespace

LogCommands::LogCommands(RunState& run, PairViewer& viewer, ViewPage& page, PageSwitcher& pages,
                         CommandRouter& commands, MainMenus& menus, Prompter& prompter,
                         Desktop& desktop)
    : m_run(run),
      m_viewer(viewer),
      m_page(page),
      m_pages(pages),
      m_menus(menus),
      m_prompter(prompter),
      m_desktop(desktop) {
    using namespace MainId;
    commands.setHandler(MenuOpenLog, [this] { OnOpenLogFile(); });
    commands.setHandler(MenuNoSort, [this] { OnSortCommand(kSortNone); });
    commands.setHandler(MenuSortDescending, [this] { OnSortCommand(kSortDescending); });
    commands.setHandler(MenuSortAscending, [this] { OnSortCommand(kSortAscending); });
    commands.setHandler(MenuSaveLog, [this] { OnSaveLogAs(); });
    commands.setHandler(MenuOpenDupsLogText, [this] { m_desktop.openFile(defaultLogPath()); });
    commands.setHandler(MenuOpenLogText, [this] { OnOpenLogAsText(); });

    for (QMenu* menu :
         {menus.popup("View"), menus.popup("Options"), menus.contextMenu(LogViewMenu)}) {
        connect(menu, &QMenu::aboutToShow, this, &LogCommands::updateMenuMarks);
    }
    connect(page.logView(), &QWidget::customContextMenuRequested, this, &LogCommands::showLogMenu);
}

std::string LogCommands::defaultLogPath() const {
    const std::string& folder = m_run.settings().m_strLogPath;
    if (folder.empty()) {
        return {};
    }
    return QDir(QString::fromStdString(folder)).filePath("Dups.log").toStdString();
}

int LogCommands::readLog(const std::string& path, MatchList& into) {
    WaitCursor wait;
    return ReadDupsLog(path, into);
}

void LogCommands::install(MatchList& list, const std::string& path) {
    // Removals in the shown log are kept before another log takes its place.
    if (m_run.logChanged() && !m_loadedLog.empty()) {
        WriteBack();
    }
    m_viewer.replaceMatches(list);
    m_loadedLog = path;
    m_run.setLogChanged(false);
}

void LogCommands::showPairs() {
    const int n = m_viewer.pairCount();
    m_pages.showViewLayout(true);
    int c = m_viewer.currentPairIndex();
    if (c == 0 || c > n) {
        c = n;
    }
    m_viewer.selectPair(c - 1);
    m_run.recordPairLines();
    m_viewer.selectLogLine(0);
    m_viewer.OnNext();
}

bool LogCommands::readDefaultLog(MatchList& list) {
    const std::string path = defaultLogPath();
    switch (readLog(path, list)) {
        case kLogNotOpened:
            m_prompter.message("Error", "No Dups.log was found..", PromptButtons::Ok,
                               PromptIcon::Error);
            m_page.setTitle("No Dups.log file was found.");
            return false;
        case kLogInvalid:
            m_page.setTitle(kTextInvalidLog);
            if (m_prompter.message("Warning",
                                   "Not a valid Dups log record.\nDo you wish to view it as "
                                   "text?",
                                   PromptButtons::YesNo,
                                   PromptIcon::Warning) == PromptAnswer::Yes) {
                m_desktop.openFile(path);
            }
            return false;
        default:
            return true;
    }
}

void LogCommands::OpenDefaultLog() {
    MatchList list;
    if (!readDefaultLog(list)) {
        return;
    }
    install(list, defaultLogPath());
    if (m_viewer.pairCount() == 0) {
        m_page.setTitle(kTextNoDups);
        m_pages.showViewLayout(false);
        return;
    }
    showPairs();
}

void LogCommands::OnOpenLogFile() {
    FileDialogSpec spec;
    spec.title = "Open (Dups log file as images)";
    spec.initialFolder = m_run.settings().m_strLogPath;
    spec.defaultExtension = "log";
    spec.initialName = "*.log";
    spec.filter = kLogFilter;
    spec.mustExist = true;
    spec.overwritePrompt = true;
    const std::optional<std::string> path = m_prompter.openFile(spec);
    if (!path) {
        return;
    }
    MatchList list;
    switch (readLog(*path, list)) {
        case kLogNotOpened:
            m_prompter.message("Error", "No log file was found..", PromptButtons::Ok,
                               PromptIcon::Error);
            return;
        case kLogInvalid:
            if (m_prompter.message(
                    "Warning",
                    "Not a valid Dups log record file.\nDo you wish to view as a text file?",
                    PromptButtons::OkCancel, PromptIcon::Warning) == PromptAnswer::Ok) {
                m_desktop.openFile(*path);
            }
            return;
        default:
            break;
    }
    install(list, *path);
    m_run.setResultsPending(false);
    m_pages.selectPage(kPageView);
    if (m_viewer.pairCount() == 0) {
        m_page.setTitle(kTextNoPairs);
        m_pages.showViewLayout(false);
        return;
    }
    showPairs();
}

void LogCommands::ShowResultsAfterRun() {
    MatchList list;
    if (!readDefaultLog(list)) {
        return;
    }
    // The run has rewritten the file the old pairs came from: their marks
    // must not overwrite its results.
    if (SamePath(m_loadedLog, defaultLogPath())) {
        m_run.setLogChanged(false);
    }
    install(list, defaultLogPath());
    m_run.setResultsPending(false);
    m_viewer.setCurrentPairIndex(0);
    const int n = m_viewer.pairCount();
    if (n == 0) {
        m_page.setTitle(kTextNoPairs);
        return;
    }
    m_viewer.selectPair(n - 1);
    m_run.recordPairLines();
    m_viewer.selectLogLine(0);
    // The first pair of a run is shown, never deleted on sight.
    m_viewer.RunNextSteps(DeleteMode::Manual);
    const int sort = m_run.settings().m_nSortMode;
    if (sort == kSortAscending || sort == kSortDescending) {
        SortPairs(sort == kSortDescending, false);
    }
}

void LogCommands::OnSortCommand(int sortMode) {
    TwinlySettings& settings = m_run.settings();
    if (sortMode == kSortNone) {
        settings.m_nSortMode = kSortNone;
    } else if (settings.m_nSortMode != sortMode) {
        settings.m_nSortMode = sortMode;
        SortPairs(sortMode == kSortDescending, true);
    }
    updateMenuMarks();
}

void LogCommands::SortPairs(bool descending, bool refresh) {
    if (!m_viewer.sortMatches(descending)) {
        return;
    }
    if (refresh && m_pages.currentPage() == kPageView) {
        m_pages.showViewLayout(true);
    }
    m_viewer.selectPair(m_viewer.pairCount() - 1);
    m_viewer.selectLogLine(0);
    m_run.setLogChanged(true);
    writeOverLoadedLog();
    m_viewer.OnNext();
}

std::optional<std::string> LogCommands::chooseLogSaveName() {
    FileDialogSpec spec;
    spec.title = "SaveAs (Dups log record file)";
    spec.initialFolder = m_run.settings().m_strLogPath;
    spec.defaultExtension = "*.log";
    spec.initialName = "DupsRecordLog";
    spec.filter = "Dups log file (*.log)|*.log||";
    spec.mustExist = true;
    spec.overwritePrompt = true;
    return m_prompter.chooseSaveFile(spec);
}

void LogCommands::OnSaveLogAs() {
    const std::optional<std::string> path = chooseLogSaveName();
    if (!path || m_run.matches().m_logView.empty()) {
        return;
    }
    if (saveView(*path)) {
        m_desktop.playAsterisk();
    }
}

void LogCommands::OnOpenLogAsText() {
    FileDialogSpec spec;
    spec.title = "Open (Log file as text)";
    spec.filter = "Log file (*.log)|*.log|All files (*.*)|*.*||";
    spec.defaultExtension = "log";
    spec.initialName = "*.log";
    spec.initialFolder = m_run.settings().m_strLogPath;
    spec.mustExist = true;
    const std::optional<std::string> path = m_prompter.openFile(spec);
    if (path) {
        m_desktop.openFile(path->empty() ? defaultLogPath() : *path);
    }
}

bool LogCommands::WriteBack() {
    if (!m_run.logChanged()) {
        return true;
    }
    return writeOverLoadedLog();
}

bool LogCommands::writeOverLoadedLog() {
    if (m_loadedLog.empty()) {
        return saveView(m_loadedLog);
    }
    switch (m_run.writeMatchesBack(m_loadedLog)) {
        case WriteBackResult::Written:
            m_run.setResultsPending(false);
            m_run.setLogChanged(false);
            return true;
        case WriteBackResult::Failed:
            return saveView(m_loadedLog);
        case WriteBackResult::ChangedOnDisk:
            break;
    }
    // Another run wrote the file since it was read: its results are not ours
    // to replace unasked.
    const PromptAnswer answer = m_prompter.message(
        "Dups log changed",
        m_loadedLog +
            "\nchanged on disk since it was read, perhaps written by another search.\n\n"
            "Yes - Save the pairs shown, with their marks, under another name.\n"
            "No - Replace the file with the pairs shown.\n"
            "Cancel - Keep the file as it is; the marks are not saved.",
        PromptButtons::YesNoCancel, PromptIcon::Warning);
    if (answer == PromptAnswer::No) {
        if (!saveView(m_loadedLog)) {
            return false;
        }
    } else if (answer == PromptAnswer::Yes) {
        const std::optional<std::string> path = chooseLogSaveName();
        if (!path || !saveView(*path)) {
            return false;
        }
        m_loadedLog = *path;
    } else {
        return false;
    }
    m_run.restampMatches(m_loadedLog);
    m_run.setLogChanged(false);
    return true;
}

bool LogCommands::saveView(const std::string& path) {
    if (path.empty() || !SaveLogView(path, m_run.matches())) {
        m_prompter.message("Error", "Unable to save Dups log file!\n" + path, PromptButtons::Ok,
                           PromptIcon::Error);
        return false;
    }
    m_run.setResultsPending(false);
    return true;
}

void LogCommands::updateMenuMarks() {
    using namespace MainId;
    const int sort = m_run.settings().m_nSortMode;
    m_menus.action(MenuLargeView)->setChecked(m_run.settings().m_bLargeView != 0);
    m_menus.action(MenuNoSort)->setChecked(sort == kSortNone);
    m_menus.action(MenuSortAscending)->setChecked(sort == kSortAscending);
    m_menus.action(MenuSortDescending)->setChecked(sort == kSortDescending);
}

void LogCommands::showLogMenu(const QPoint& at) {
    if (m_pages.currentPage() != kPageView) {
        return;
    }
    updateMenuMarks();
    QListView* view = m_page.logView();
    m_menus.contextMenu(MainId::LogViewMenu)->exec(view->viewport()->mapToGlobal(at));
}

#include "list_commands.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <optional>

#include "add_files_filter.h"
#include "app_paths.h"
#include "desktop.h"
#include "list_checks.h"
#include "list_document.h"
#include "list_verifier.h"
#include "prompter.h"
#include "wait_cursor.h"

namespace {

constexpr int kLargeCount = 2000;
constexpr const char* kListFilter = "Image list (*.lst)|*.lst|All files (*.*)|*.*||";
constexpr const char* kUnsavedCaption = "Unsaved list";

}  // namespace

ListCommands::ListCommands(ListDocument& document, EditorSettings& settings, Prompter& prompter,
                           Desktop& desktop, ListEditorView& view, std::string programFolder)
    : m_doc(document),
      m_settings(settings),
      m_prompter(prompter),
      m_desktop(desktop),
      m_view(view),
      m_programFolder(std::move(programFolder)) {}

// ---- opening and saving ----------------------------------------------------

void ListCommands::openAtStart(const std::string& path) {
    m_doc.open(path, m_prompter);
}

void ListCommands::newList() {
    if (!mayDiscard()) {
        return;
    }
    m_doc.clear();
    m_view.clearPreview();
    recount();
}

void ListCommands::open() {
    const auto path = chooseListFile("Open selected Image list file. Replaces current Image list");
    if (!path || !mayDiscard()) {
        return;
    }
    // The list stays as it is until the new one has been read.
    if (std::optional<ListFileContent> content = ReadListEntries(*path, m_prompter)) {
        adopt(std::move(*content), *path);
    }
}

void ListCommands::openRecent(int slot) {
    const std::string path = m_settings.recent.at(slot);
    if (path.empty()) {
        return;
    }
    // A list that is gone is forgotten without a question about the list shown.
    if (QFileInfo::exists(QString::fromStdString(path)) && !mayDiscard()) {
        return;
    }
    std::optional<ListFileContent> content = ReadListEntries(path, m_prompter);
    if (!content) {
        m_settings.recent.remove(slot);
        m_view.showRecentLists();
        return;
    }
    adopt(std::move(*content), path);
}

void ListCommands::adopt(ListFileContent content, const std::string& path) {
    m_view.clearPreview();
    m_doc.replace(std::move(content), path);
    m_settings.recent.add(path);
    m_view.showRecentLists();
    finishRead();
}

void ListCommands::addImageList() {
    const auto path = chooseListFile("Add (append) selected Image list file to current Image list");
    if (!path) {
        return;
    }
    m_doc.merge(*path, m_prompter);
    finishRead();
}

// Whatever a read produced: shipped lists name files below the program folder by a token.
void ListCommands::finishRead() {
    m_doc.model().replaceInstallFolder(m_programFolder);
    recount();
}

bool ListCommands::save() {
    if (m_doc.named() && m_doc.changed() && mayReplaceListFile() && m_doc.save(m_prompter)) {
        m_settings.recent.add(m_doc.path());
        m_view.showRecentLists();
        recount();
        return true;
    }
    return saveAs();
}

bool ListCommands::saveAs() {
    const auto path = m_prompter.chooseSaveFile({.title = "SaveAs (Image list file)",
                                                 .filter = "Image list(*.lst)|*.lst||",
                                                 .defaultExtension = "lst",
                                                 .initialName = "Image_list.lst",
                                                 .initialFolder = defaultListFolder(),
                                                 .overwritePrompt = true});
    if (!path) {
        return false;
    }
    const bool written = m_doc.saveAs(*path, m_prompter);
    if (written) {
        m_settings.recent.add(*path);
        m_view.showRecentLists();
    }
    recount();
    return written;
}

// A file read only up to where it ran out may hold lines the list lacks, or
// be no list at all: it is not replaced unasked. No offers another name.
bool ListCommands::mayReplaceListFile() {
    if (!m_doc.fileReadPartly()) {
        return true;
    }
    return m_prompter.message("Orvex",
                              m_doc.path() +
                                  "\nends without its END line, so it was not read as a whole "
                                  "image list:\nits last line may be missing from the list "
                                  "shown.\n\nReplace the file with the list shown?",
                              PromptButtons::YesNo, PromptIcon::Warning) == PromptAnswer::Yes;
}

bool ListCommands::confirmClose() {
    return offerToSave(false);
}

bool ListCommands::mayDiscard() {
    return offerToSave(true);
}

// Yes saves the list first (a save that does not happen keeps it), No drops it.
bool ListCommands::offerToSave(bool withCancel) {
    const bool changedList = m_doc.named() && m_doc.changed();
    const bool neverSaved = !m_doc.named() && !m_doc.model().empty();
    if (!changedList && !neverSaved) {
        return true;
    }
    const PromptAnswer answer = m_prompter.message(
        kUnsavedCaption,
        changedList ? "You have not saved your changed Image list. Do you widh to save it?"
                    : "You have not saved your Image list. Do you widh to save it?",
        withCancel ? PromptButtons::YesNoCancel : PromptButtons::YesNo, PromptIcon::Question);
    if (answer == PromptAnswer::Yes) {
        return changedList ? save() : saveAs();
    }
    return !withCancel || answer != PromptAnswer::Cancel;
}

std::optional<std::string> ListCommands::chooseListFile(const std::string& title) const {
    return m_prompter.openFile({.title = title,
                                .filter = kListFilter,
                                .defaultExtension = "lst",
                                .initialName = "*.lst",
                                .initialFolder = defaultListFolder(),
                                .mustExist = true});
}

// A missing folder would open the list dialogs in its parent with its name
// typed in, and Save As would write beside it.
std::string ListCommands::defaultListFolder() const {
    QString folder = QString::fromStdString(m_settings.defaultListFolder);
    if (folder.isEmpty()) {
        folder = QDir(UserDataFolder()).filePath("Orvexs");
    }
    if (QDir::isAbsolutePath(folder)) {
        QDir().mkpath(folder);
    }
    return folder.toStdString();
}

// ---- editing ---------------------------------------------------------------

void ListCommands::endEdit() {
    m_doc.markEdited();
    recount();
}

void ListCommands::addFiles() {
    const std::vector<std::string> files =
        m_prompter.openFiles({.title = "Add selected image file(s)",
                              .filter = AddFilesFilter(m_settings.types),
                              .initialFolder = m_settings.lastBatchFile,
                              .mustExist = true});
    if (files.empty()) {
        return;
    }
    m_settings.lastBatchFile = FolderPart(files.front());
    ImageListModel& model = m_doc.model();
    const bool wasEmpty = model.empty();
    for (const std::string& file : files) {
        if (!IsAcceptedImageType(file, m_settings.types)) {
            continue;
        }
        if (wasEmpty) {
            model.append(file);
        } else {
            model.appendUnlessPresent(file);
        }
    }
    endEdit();
}

void ListCommands::addFolder(const PickedFolder& picked) {
    m_settings.lastBatchFolder = picked.path;
    ImageListModel& model = m_doc.model();
    const std::string entry = MakeFolderEntry(picked.path, false);
    model.appendUnlessPresent(entry);
    // The note goes on the folder just picked, also when it was listed already.
    for (int row = model.size() - 1; row >= 0; --row) {
        if (SameEntry(model.at(row), entry)) {
            model.setSubfolderNote(row, picked.includeSubfolders);
            m_view.selectRows({row}, row);
            break;
        }
    }
    endEdit();
}

void ListCommands::addDropped(const std::vector<std::string>& paths) {
    ImageListModel& model = m_doc.model();
    // What is a folder is asked of the file system: folder names may hold dots.
    if (paths.size() == 1 && QFileInfo(QString::fromStdString(paths.front())).isDir()) {
        std::string entry = MakeFolderEntry(paths.front(), false);
        entry += kNoSubfoldersNote;
        model.appendUnlessPresent(entry);
        endEdit();
        return;
    }
    const int before = model.size();
    for (const std::string& path : paths) {
        if (IsAcceptedImageType(path, m_settings.types) &&
            !QFileInfo(QString::fromStdString(path)).isDir()) {
            model.appendUnlessPresent(path);
        }
    }
    if (model.size() > before) {
        endEdit();
    }
}

void ListCommands::setSubfolderNote(bool withSubfolders) {
    ImageListModel& model = m_doc.model();
    const std::vector<int> rows = model.size() == 1 ? std::vector<int>{0} : m_view.selectedRows();
    bool any = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        any = model.setSubfolderNote(*it, withSubfolders) || any;
    }
    if (any) {
        // A changed note is a change of the list the user must not lose.
        endEdit();
    } else {
        recount();
    }
}

void ListCommands::deleteSelection() {
    ImageListModel& model = m_doc.model();
    if (model.size() == 1) {
        model.removeRowList({0});
    } else {
        const std::vector<int> rows = m_view.selectedRows();
        if (rows.empty()) {
            return;
        }
        model.removeRowList(rows);
    }
    endEdit();
}

void ListCommands::move(MoveDirection direction) {
    const std::vector<int> rows = m_view.selectedRows();
    ImageListModel& model = m_doc.model();
    const std::vector<int> moved =
        direction == MoveDirection::Up ? model.moveUp(rows) : model.moveDown(rows);
    std::vector<int> movedTopFirst = moved;
    std::sort(movedTopFirst.begin(), movedTopFirst.end());
    if (movedTopFirst != rows) {
        m_view.selectRows(moved, moved.front());
        m_doc.markEdited();
    }
    m_view.showFields();
}

void ListCommands::explore() {
    const std::vector<int> rows = m_view.selectedRows();
    std::string target = QDir::homePath().toStdString();
    if (!rows.empty() && rows.size() < 30) {
        const ParsedEntry entry = ParseListEntry(m_doc.model().at(rows.front()));
        // A folder entry opens the folder itself, a file entry the folder holding it.
        target = entry.folder ? entry.path : FolderPart(entry.path);
        if (target.empty()) {
            target = entry.path;
        }
    }
    m_desktop.exploreFolder(target);
}

void ListCommands::verify() {
    m_doc.prune();
    if (m_doc.model().empty()) {
        recount();
        return;
    }
    const VerifyResult result =
        VerifyList(m_doc.model(), m_prompter, [this](int row) { m_view.selectRows({row}, row); });
    if (result.deleted > 0) {
        m_doc.markEdited();
    }
    recount();
}

// ---- counting and options --------------------------------------------------

void ListCommands::count(bool full) {
    ListCount result;
    {
        WaitCursor wait;
        result = CountEntries(m_doc.entries(), full, m_settings.types);
    }
    m_hasFiles = result.hasFiles;
    if (result.stoppedAtFile) {
        m_status.clear();
        m_view.showFields();
        return;
    }
    m_status =
        std::to_string(result.folders) + " Folders:  " + std::to_string(result.files) + " Files";
    if (!result.hasFiles) {
        m_view.clearPreview();
    }
    m_view.showFields();
    if (result.files > kLargeCount && !m_largeHintShown) {
        m_largeHintShown = true;
        const PromptAnswer answer = m_prompter.message(
            "Information",
            "For large numbers of image files (2000+),\nyou may wish to turn of the 'Auto "
            "count'.\nJust use the button 'Get count' \nTurn 'Auto count'  off now?",
            PromptButtons::OkCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Ok) {
            m_settings.autoCount = false;
            m_view.showAutoCount(false);
        }
    }
}

void ListCommands::setAutoCount(bool on) {
    m_settings.autoCount = on;
    m_view.showAutoCount(on);
    if (on) {
        count(true);
    }
}

void ListCommands::setTypes(const ImageTypeFilter& types) {
    m_settings.types = types;
    showTypeFilterState();
    m_view.showFields();
}

void ListCommands::showTypeFilterState() {
    m_status = m_settings.types.allStandardOn() ? "" : "Image file filters set";
}

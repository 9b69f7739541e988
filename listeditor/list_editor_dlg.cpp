#include "list_editor_dlg.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "orvex_about_dlg.h"
#include "add_files_filter.h"
#include "app_paths.h"
#include "control_ids.h"
#include "desktop.h"
#include "file_types_dlg.h"
#include "full_screen_view.h"
#include "image_list_model.h"
#include "key_value_store.h"
#include "list_checks.h"
#include "list_file.h"
#include "list_verifier.h"
#include "preview_pane.h"
#include "prompter.h"
#include "thumbnail_preview.h"
#include "wait_cursor.h"
#include "window_placement.h"

using namespace ListEditorId;

namespace {

constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 510;
constexpr int kLargeCount = 2000;

constexpr const char* kListFilter = "Image list (*.lst)|*.lst|All files (*.*)|*.*||";
constexpr const char* kUnsavedCaption = "Unsaved list";

}  // namespace

CListEditorDlg::CListEditorDlg(KeyValueStore& store, Prompter& prompter, Desktop& desktop,
                               ListEditorOptions options, QWidget* parent)
    : QDialog(parent),
      m_store(store),
      m_prompter(prompter),
      m_desktop(desktop),
      m_options(std::move(options)) {
    setObjectName("id103");
    setWindowTitle("Image list   (files and folders)");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setAcceptDrops(true);
    setSizeGripEnabled(true);

    m_client = new QWidget(this);
    m_client->resize(kEditorClientWidth, kEditorClientHeight);
    m_c = CreateListEditorControls(m_client, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_c.menuBar);
    layout->addWidget(m_client);
    m_model = new ImageListModel(this);
    m_c.list->setModel(m_model);

    const auto& rules = ListEditorLayoutRules();
    m_layout.InstallLayout(m_client, nullptr, rules.data(), static_cast<int>(rules.size()));
    m_client->installEventFilter(this);
    m_c.pane->installEventFilter(this);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kEditorClientWidth, kEditorClientHeight + m_c.menuBar->sizeHint().height());

    m_strProgramFolder =
        m_options.programFolder.empty() ? ProgramFolder().toStdString() : m_options.programFolder;
    const QString picture = m_options.instructionPicture.isEmpty()
                                ? FindSharedFile("orvex/Text1.jpg")
                                : m_options.instructionPicture;
    m_preview = new ThumbnailPreview(m_c.pane, m_c.sizeLabel, picture, this);
    connectCommands();

    if (!m_options.commandLineList.empty() && readList(m_options.commandLineList)) {
        m_strListPath = m_options.commandLineList;
        m_strListName = ListTitle(m_strListPath);
        m_bNamed = 1;
    }
    recount();

    LoadEditorSettings(m_store, m_settings);
    setAutoCount(m_settings.autoCount);
    updateRecentMenu();
    m_strStatus = m_settings.types.allStandardOn() ? "" : "Image file filters set";
    if (m_bHasFiles) {
        m_preview->showInstructionPicture();
    }
    pushFields();
    if (const auto placement = LoadWindowPlacement(m_store)) {
        ApplyPlacement(*this, *placement, minimumSize());
    }
    m_c.list->setFocus();
}

CListEditorDlg::~CListEditorDlg() = default;

const std::vector<std::string>& CListEditorDlg::entries() const {
    return m_model->entries();
}

void CListEditorDlg::connectCommands() {
    const auto onClick = [this](int id, auto slot) {
        connect(m_c.buttons.at(id), &QPushButton::clicked, this, slot);
    };
    const auto onMenu = [this](int id, auto slot) {
        connect(m_c.actions.at(id), &QAction::triggered, this, slot);
    };
    onClick(New, &CListEditorDlg::onNew);
    onClick(Open, &CListEditorDlg::onOpen);
    onClick(AddImageList, &CListEditorDlg::onAddImageList);
    onClick(AddFiles, &CListEditorDlg::onAddFiles);
    onClick(AddFolder, &CListEditorDlg::onAddFolder);
    onClick(IncludeSubfolders, [this] { onSubfolderNote(true); });
    onClick(NoSubfolders, [this] { onSubfolderNote(false); });
    onClick(DeleteSelection, &CListEditorDlg::onDeleteSelection);
    onClick(Verify, &CListEditorDlg::onVerify);
    onClick(Save, &CListEditorDlg::onSave);
    onClick(SaveAs, &CListEditorDlg::onSaveAs);
    onClick(GetCount, [this] { count(true); });
    onClick(Up, &CListEditorDlg::onUp);
    onClick(Down, &CListEditorDlg::onDown);
    onClick(Explore, &CListEditorDlg::onExplore);
    onClick(Help, [this] { m_desktop.openHelp("orvex-introduction.html"); });
    onClick(Ok, &CListEditorDlg::onOk);
    onClick(Cancel, &CListEditorDlg::reject);

    onMenu(MenuNew, &CListEditorDlg::onNew);
    onMenu(MenuOpen, &CListEditorDlg::onOpen);
    onMenu(MenuAddImageList, &CListEditorDlg::onAddImageList);
    onMenu(MenuAddFiles, &CListEditorDlg::onAddFiles);
    onMenu(MenuAddFolder, &CListEditorDlg::onAddFolder);
    onMenu(MenuAddTagInclude, [this] { onSubfolderNote(true); });
    onMenu(MenuAddTagNo, [this] { onSubfolderNote(false); });
    onMenu(MenuDelete, &CListEditorDlg::onDeleteSelection);
    onMenu(MenuVerify, &CListEditorDlg::onVerify);
    onMenu(MenuSave, &CListEditorDlg::onSave);
    onMenu(MenuSaveAs, &CListEditorDlg::onSaveAs);
    onMenu(MenuExplore, &CListEditorDlg::onExplore);
    onMenu(MenuAutoCount, &CListEditorDlg::onAutoCount);
    onMenu(MenuFilterTypes, &CListEditorDlg::onFilterTypes);
    onMenu(MenuHelp, [this] { m_desktop.openHelp("orvex-introduction.html"); });
    onMenu(MenuAbout, &CListEditorDlg::onAbout);
    onMenu(MenuExit, &CListEditorDlg::onOk);
    onMenu(MenuViewThumbnail, &CListEditorDlg::onViewThumbnail);
    onMenu(MenuViewFullScreen, &CListEditorDlg::onViewFullScreen);
    onMenu(MenuPaneFullScreen, &CListEditorDlg::onPaneFullScreen);
    for (int slot = 0; slot < RecentLists::kSlots; ++slot) {
        onMenu(MenuRecent1 + slot, [this, slot] { onRecent(slot); });
    }
    connect(m_c.listMenuThumbnail, &QAction::triggered, this, &CListEditorDlg::onViewThumbnail);
    connect(m_c.listMenuFullScreen, &QAction::triggered, this, &CListEditorDlg::onViewFullScreen);

    connect(m_c.list, &QListView::doubleClicked, this, &CListEditorDlg::onViewThumbnail);
    connect(m_c.list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_c.listMenu->popup(m_c.list->viewport()->mapToGlobal(pos));
    });
    connect(m_c.list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CListEditorDlg::onSelectionChanged);
    connect(m_c.pane, &PreviewPane::clicked, this, &CListEditorDlg::onViewThumbnail);
    connect(m_c.pane, &PreviewPane::menuRequested, this, [this](const QPoint& at) {
        if (m_preview->hasRealImage()) {
            m_c.paneMenu->popup(at);
        }
    });
}

bool CListEditorDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize) {
        m_layout.ApplyLayout();
    }
    return QDialog::eventFilter(watched, event);
}

// ---- list commands ---------------------------------------------------------

void CListEditorDlg::onNew() {
    m_model->clear();
    m_preview->clear();
    m_bNamed = 0;
    m_bChanged = 0;
    m_strListName.clear();
    m_strListPath.clear();
    recount();
}

void CListEditorDlg::onOpen() {
    const auto path =
        m_prompter.openFile({.title = "Open selected Image list file. Replaces current Image list",
                             .filter = kListFilter,
                             .defaultExtension = "lst",
                             .initialName = "*.lst",
                             .initialFolder = defaultListFolder(),
                             .mustExist = true});
    if (!path) {
        return;
    }
    onNew();
    if (readList(*path)) {
        m_strListPath = *path;
        m_strListName = ListTitle(*path);
        m_bNamed = 1;
        m_bChanged = 0;
        m_settings.recent.add(*path);
        updateRecentMenu();
    }
    m_model->replaceInstallFolder(m_strProgramFolder);
    recount();
}

void CListEditorDlg::onAddImageList() {
    const auto path =
        m_prompter.openFile({.title = "Add (append) selected Image list file to current Image list",
                             .filter = kListFilter,
                             .defaultExtension = "lst",
                             .initialName = "*.lst",
                             .initialFolder = defaultListFolder(),
                             .mustExist = true});
    if (!path) {
        return;
    }
    if (readList(*path) && m_bNamed) {
        m_bChanged = 1;
    }
    m_model->replaceInstallFolder(m_strProgramFolder);
    recount();
}

void CListEditorDlg::onAddFiles() {
    const std::vector<std::string> files =
        m_prompter.openFiles({.title = "Add selected image file(s)",
                              .filter = AddFilesFilter(m_settings.types),
                              .initialFolder = m_settings.lastBatchFile,
                              .mustExist = true});
    if (files.empty()) {
        return;
    }
    m_settings.lastBatchFile = FolderPart(files.front());
    const bool wasEmpty = m_model->empty();
    for (const std::string& file : files) {
        if (!IsAcceptedImageType(file, m_settings.types)) {
            continue;
        }
        if (wasEmpty) {
            m_model->append(file);
        } else {
            m_model->appendUnlessPresent(file);
        }
    }
    endEdit();
}

void CListEditorDlg::onAddFolder() {
    const std::string title = "Open folder to add to the Image list";
    std::optional<PickedFolder> picked;
    if (m_options.pickFolder) {
        picked = m_options.pickFolder(m_settings.lastBatchFolder, title);
    } else {
        FolderPicker picker(m_settings.lastBatchFolder, m_prompter, this);
        picker.setWindowTitle(QString::fromStdString(title));
        picked = picker.run();
    }
    if (!picked) {
        return;
    }
    m_settings.lastBatchFolder = picked->path;
    const std::string entry = MakeFolderEntry(picked->path, false);
    m_model->appendUnlessPresent(entry);
    // The note goes on the folder just picked, also when it was listed already.
    for (int row = m_model->size() - 1; row >= 0; --row) {
        if (SameEntry(m_model->at(row), entry)) {
            m_model->setSubfolderNote(row, picked->includeSubfolders);
            selectOnly(row);
            break;
        }
    }
    endEdit();
}

void CListEditorDlg::onSubfolderNote(bool withSubfolders) {
    std::vector<int> rows = m_model->size() == 1 ? std::vector<int>{0} : selectedRows();
    bool any = false;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it) {
        any = m_model->setSubfolderNote(*it, withSubfolders) || any;
    }
    if (any) {
        // A changed note is a change of the list the user must not lose.
        endEdit();
    } else {
        recount();
    }
}

void CListEditorDlg::onDeleteSelection() {
    if (m_model->size() == 1) {
        m_model->removeRowList({0});
    } else {
        const std::vector<int> rows = selectedRows();
        if (rows.empty()) {
            return;
        }
        m_model->removeRowList(rows);
    }
    endEdit();
}

void CListEditorDlg::onUp() {
    const std::vector<int> rows = selectedRows();
    const std::vector<int> moved = m_model->moveUp(rows);
    if (moved != rows) {
        QItemSelection selection;
        for (int row : moved) {
            selection.select(m_model->index(row), m_model->index(row));
        }
        m_c.list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        m_c.list->selectionModel()->setCurrentIndex(m_model->index(moved.front()),
                                                    QItemSelectionModel::NoUpdate);
        if (m_bNamed) {
            m_bChanged = 1;
        }
    }
    pushFields();
}

void CListEditorDlg::onDown() {
    std::vector<int> rows = selectedRows();
    const std::vector<int> moved = m_model->moveDown(rows);
    std::sort(rows.begin(), rows.end(), std::greater<>());
    if (moved != rows) {
        QItemSelection selection;
        for (int row : moved) {
            selection.select(m_model->index(row), m_model->index(row));
        }
        m_c.list->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
        m_c.list->selectionModel()->setCurrentIndex(m_model->index(moved.front()),
                                                    QItemSelectionModel::NoUpdate);
        if (m_bNamed) {
            m_bChanged = 1;
        }
    }
    pushFields();
}

void CListEditorDlg::onExplore() {
    const std::vector<int> rows = selectedRows();
    std::string target = QDir::homePath().toStdString();
    if (!rows.empty() && rows.size() < 30) {
        const ParsedEntry entry = ParseListEntry(m_model->at(rows.front()));
        // A folder entry opens the folder itself, a file entry the folder holding it.
        target = entry.folder ? entry.path : FolderPart(entry.path);
        if (target.empty()) {
            target = entry.path;
        }
    }
    m_desktop.exploreFolder(target);
}

void CListEditorDlg::onVerify() {
    pruneList();
    if (m_model->empty()) {
        recount();
        return;
    }
    const VerifyResult result =
        VerifyList(*m_model, m_prompter, [this](int row) { selectOnly(row); });
    if (result.deleted > 0 && m_bNamed) {
        m_bChanged = 1;
    }
    recount();
}

bool CListEditorDlg::onSave() {
    if (m_bNamed && m_bChanged) {
        pruneList();
        if (writeList(m_strListPath)) {
            m_bNamed = 1;
            m_bChanged = 0;
            m_settings.recent.add(m_strListPath);
            updateRecentMenu();
            recount();
            return true;
        }
    }
    return onSaveAs();
}

bool CListEditorDlg::onSaveAs() {
    const auto path = m_prompter.saveFile({.title = "SaveAs (Image list file)",
                                           .filter = "Image list(*.lst)|*.lst||",
                                           .defaultExtension = "lst",
                                           .initialName = "Image_list.lst",
                                           .initialFolder = defaultListFolder(),
                                           .overwritePrompt = true});
    if (!path) {
        return false;
    }
    pruneList();
    const bool written = writeList(*path);
    if (written) {
        m_bNamed = 1;
        m_bChanged = 0;
        m_strListPath = *path;
        m_strListName = ListTitle(*path);
        m_settings.recent.add(*path);
        updateRecentMenu();
    }
    recount();
    return written;
}

void CListEditorDlg::onOk() {
    bool canClose = true;
    if (m_bNamed && m_bChanged) {
        if (m_prompter.message(
                kUnsavedCaption,
                "You have not saved your changed Image list. Do you widh to save it?",
                PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes) {
            canClose = onSave();
        }
    } else if (!m_bNamed && !m_model->empty()) {
        if (m_prompter.message(kUnsavedCaption,
                               "You have not saved your Image list. Do you widh to save it?",
                               PromptButtons::YesNo, PromptIcon::Question) == PromptAnswer::Yes) {
            canClose = onSaveAs();
        }
    }
    // The user asked for the list to be kept: a save that did not happen keeps the window open.
    if (!canClose) {
        return;
    }
    SaveEditorSettings(m_store, m_settings, m_prompter);
    SaveWindowPlacement(m_store, PlacementOf(*this));
    m_store.flush();
    accept();
}

void CListEditorDlg::reject() {
    QDialog::reject();
}

void CListEditorDlg::onRecent(int slot) {
    const std::string path = m_settings.recent.at(slot);
    if (path.empty()) {
        return;
    }
    onNew();
    if (readList(path)) {
        m_strListPath = path;
        m_strListName = ListTitle(path);
        m_bNamed = 1;
        m_bChanged = 0;
        m_settings.recent.add(path);
    } else {
        m_settings.recent.remove(slot);
    }
    updateRecentMenu();
    m_model->replaceInstallFolder(m_strProgramFolder);
    recount();
}

void CListEditorDlg::onAutoCount() {
    setAutoCount(!m_settings.autoCount);
}

void CListEditorDlg::setAutoCount(bool on) {
    m_settings.autoCount = on;
    m_c.actions.at(MenuAutoCount)->setChecked(on);
    if (on) {
        count(true);
    }
}

void CListEditorDlg::onFilterTypes() {
    CFileTypesDlg dlg(m_settings.types, m_desktop, this);
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    m_settings.types = dlg.types();
    m_strStatus = m_settings.types.allStandardOn() ? "" : "Image file filters set";
    pushFields();
}

void CListEditorDlg::onAbout() {
    COrvexAboutDlg dlg(this);
    dlg.exec();
}

// ---- drag and drop ---------------------------------------------------------

void CListEditorDlg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void CListEditorDlg::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            QString path = url.toLocalFile();
            while (path.size() > 1 && path.endsWith('/')) {
                path.chop(1);
            }
            paths.push_back(path.toStdString());
        }
    }
    if (paths.empty()) {
        return;
    }
    event->acceptProposedAction();
    addDroppedPaths(paths);
}

void CListEditorDlg::addDroppedPaths(const std::vector<std::string>& paths) {
    // What is a folder is asked of the file system: folder names may hold dots.
    if (paths.size() == 1 && QFileInfo(QString::fromStdString(paths.front())).isDir()) {
        std::string entry = MakeFolderEntry(paths.front(), false);
        entry += kNoSubfoldersNote;
        m_model->appendUnlessPresent(entry);
        endEdit();
        return;
    }
    const int before = m_model->size();
    for (const std::string& path : paths) {
        if (IsAcceptedImageType(path, m_settings.types) &&
            !QFileInfo(QString::fromStdString(path)).isDir()) {
            m_model->appendUnlessPresent(path);
        }
    }
    if (m_model->size() > before) {
        endEdit();
    }
}

// ---- preview ---------------------------------------------------------------

std::string CListEditorDlg::entryAtCaret() const {
    const QModelIndex current = m_c.list->currentIndex();
    return current.isValid() ? m_model->at(current.row()) : std::string();
}

void CListEditorDlg::onViewThumbnail() {
    m_preview->load(entryAtCaret());
    pushFields();
}

void CListEditorDlg::onViewFullScreen() {
    onViewThumbnail();
    onPaneFullScreen();
}

void CListEditorDlg::onPaneFullScreen() {
    if (m_preview->source().empty()) {
        return;
    }
    FullScreenView view(m_preview->source(), m_prompter, this);
    view.exec();
}

void CListEditorDlg::onSelectionChanged() {
    if (m_bHasFiles) {
        m_preview->showInstructionPicture();
    }
    pushFields();
}

// ---- helpers ---------------------------------------------------------------

bool CListEditorDlg::readList(const std::string& path) {
    WaitCursor wait;
    int result = 0;
    m_model->editAll([&](std::vector<std::string>& entries) {
        result = MergeListFile(path, entries, m_prompter);
    });
    return result == 1;
}

bool CListEditorDlg::writeList(const std::string& path) {
    WaitCursor wait;
    return WriteListFile(path, m_model->entries(), m_prompter) == 1;
}

void CListEditorDlg::pruneList() {
    m_model->editAll([](std::vector<std::string>& entries) { PruneRedundantEntries(entries); });
}

void CListEditorDlg::endEdit() {
    if (m_bNamed) {
        m_bChanged = 1;
    }
    recount();
}

void CListEditorDlg::count(bool full) {
    ListCount result;
    {
        WaitCursor wait;
        result = CountEntries(m_model->entries(), full, m_settings.types);
    }
    m_bHasFiles = result.hasFiles ? 1 : 0;
    if (result.stoppedAtFile) {
        m_strStatus.clear();
        pushFields();
        return;
    }
    m_strStatus =
        std::to_string(result.folders) + " Folders:  " + std::to_string(result.files) + " Files";
    if (!result.hasFiles) {
        m_preview->clear();
    }
    pushFields();
    if (result.files > kLargeCount && !m_bLargeHintShown) {
        m_bLargeHintShown = 1;
        const PromptAnswer answer = m_prompter.message(
            "Information",
            "For large numbers of image files (2000+),\nyou may wish to turn of the 'Auto "
            "count'.\nJust use the button 'Get count' \nTurn 'Auto count'  off now?",
            PromptButtons::OkCancel, PromptIcon::Question);
        if (answer == PromptAnswer::Ok) {
            m_settings.autoCount = false;
            m_c.actions.at(MenuAutoCount)->setChecked(false);
        }
    }
}

void CListEditorDlg::pushFields() {
    m_c.listName->setText(QString::fromStdString(m_strListName));
    m_c.status->setText(QString::fromStdString(m_strStatus));
    const bool any = !m_model->empty();
    for (int id : {DeleteSelection, New, Verify, Save, SaveAs, GetCount}) {
        m_c.buttons.at(id)->setEnabled(any);
    }
    for (int id : {MenuSave, MenuSaveAs, MenuDelete, MenuVerify}) {
        m_c.actions.at(id)->setEnabled(any);
    }
    const bool selected = m_c.list->selectionModel()->hasSelection();
    const bool movable = m_model->size() > 1 && selected;
    const bool wasVisible = m_c.buttons.at(Up)->isVisibleTo(m_client);
    m_c.buttons.at(Up)->setVisible(movable);
    m_c.buttons.at(Down)->setVisible(movable);
    if (wasVisible != movable) {
        m_layout.ApplyLayout();
    }
    for (QAction* action : {m_c.actions.at(MenuViewThumbnail), m_c.actions.at(MenuViewFullScreen),
                            m_c.listMenuThumbnail, m_c.listMenuFullScreen}) {
        action->setEnabled(selected);
    }
}

void CListEditorDlg::updateRecentMenu() {
    QAction* first = m_c.actions.at(MenuRecent1);
    if (m_settings.recent.empty()) {
        first->setText("Recent image lists");
        first->setEnabled(false);
    } else {
        first->setText(QString::fromStdString(ListTitle(m_settings.recent.at(0))));
        first->setEnabled(true);
    }
    for (int slot = 1; slot < RecentLists::kSlots; ++slot) {
        QAction* action = m_c.actions.at(MenuRecent1 + slot);
        const std::string& path = m_settings.recent.at(slot);
        action->setText(QString::fromStdString(ListTitle(path)));
        action->setVisible(!path.empty());
    }
}

void CListEditorDlg::selectOnly(int row) {
    const QModelIndex index = m_model->index(row);
    m_c.list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    m_c.list->scrollTo(index);
}

std::vector<int> CListEditorDlg::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_c.list->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string CListEditorDlg::defaultListFolder() const {
    if (!m_settings.defaultListFolder.empty()) {
        return m_settings.defaultListFolder;
    }
    const QString folder = QDir(UserDataFolder()).filePath("Orvexs");
    QDir().mkpath(folder);
    return folder.toStdString();
}

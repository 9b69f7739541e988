#include "list_editor_dlg.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "app_paths.h"
#include "control_ids.h"
#include "desktop.h"
#include "file_types_dlg.h"
#include "full_screen_view.h"
#include "key_value_store.h"
#include "orvex_about_dlg.h"
#include "preview_pane.h"
#include "prompter.h"
#include "thumbnail_preview.h"
#include "window_placement.h"

using namespace ListEditorId;

namespace {

constexpr int kMinimumWidth = 300;
constexpr int kMinimumHeight = 510;
constexpr const char* kHelpPage = "orvex-introduction.html";

std::string programFolderOf(const ListEditorOptions& options) {
    return options.programFolder.empty() ? ProgramFolder().toStdString() : options.programFolder;
}

}  // namespace

CListEditorDlg::CListEditorDlg(KeyValueStore& store, Prompter& prompter, Desktop& desktop,
                               ListEditorOptions options, QWidget* parent)
    : QDialog(parent),
      m_store(store),
      m_prompter(prompter),
      m_desktop(desktop),
      m_options(std::move(options)),
      m_commands(m_doc, m_settings, m_prompter, m_desktop, *this, programFolderOf(m_options)) {
    SetControlId(this, EditorWindow);
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
    m_c.list->setModel(&m_doc.model());

    const auto& rules = ListEditorLayoutRules();
    m_layout.InstallLayout(m_client, nullptr, rules.data(), static_cast<int>(rules.size()));
    m_client->installEventFilter(this);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kEditorClientWidth, kEditorClientHeight + m_c.menuBar->sizeHint().height());

    const QString picture = m_options.instructionPicture.isEmpty()
                                ? FindSharedFile("orvex/Text1.jpg")
                                : m_options.instructionPicture;
    m_preview = new ThumbnailPreview(m_c.pane, m_c.sizeLabel, picture, this);
    connectCommands();

    // The settings come first: a list named on the command line is counted as
    // the stored auto count says, and an answer to the large-count hint stays.
    LoadEditorSettings(m_store, m_settings);
    showAutoCount(m_settings.autoCount);
    showRecentLists();
    m_commands.defaultListFolder();  // made now, so the first Open opens inside it
    if (!m_options.commandLineList.empty()) {
        m_commands.openAtStart(m_options.commandLineList);
    }
    m_commands.recount();
    m_commands.showTypeFilterState();
    if (m_commands.hasFiles()) {
        m_preview->showInstructionPicture();
    }
    showFields();
    if (const auto placement = LoadWindowPlacement(m_store)) {
        ApplyPlacement(*this, *placement, minimumSize());
    }
    m_c.list->setFocus();
}

CListEditorDlg::~CListEditorDlg() {
    // The view is a child widget and outlives the document's model.
    m_c.list->setModel(nullptr);
}

void CListEditorDlg::connectCommands() {
    ListCommands* commands = &m_commands;
    const auto onClick = [this](int id, auto slot) {
        connect(m_c.buttons.at(id), &QPushButton::clicked, this, slot);
    };
    const auto onMenu = [this](int id, auto slot) {
        connect(m_c.actions.at(id), &QAction::triggered, this, slot);
    };
    // Each command has a button and a menu entry.
    const auto onBoth = [&](int button, int menu, auto slot) {
        onClick(button, slot);
        onMenu(menu, slot);
    };
    onBoth(New, MenuNew, [commands] { commands->newList(); });
    onBoth(Open, MenuOpen, [commands] { commands->open(); });
    onBoth(AddImageList, MenuAddImageList, [commands] { commands->addImageList(); });
    onBoth(AddFiles, MenuAddFiles, [commands] { commands->addFiles(); });
    onBoth(AddFolder, MenuAddFolder, [this] { onAddFolder(); });
    onBoth(IncludeSubfolders, MenuAddTagInclude, [commands] { commands->setSubfolderNote(true); });
    onBoth(NoSubfolders, MenuAddTagNo, [commands] { commands->setSubfolderNote(false); });
    onBoth(DeleteSelection, MenuDelete, [commands] { commands->deleteSelection(); });
    onBoth(Verify, MenuVerify, [commands] { commands->verify(); });
    onBoth(Save, MenuSave, [commands] { commands->save(); });
    onBoth(SaveAs, MenuSaveAs, [commands] { commands->saveAs(); });
    onBoth(Explore, MenuExplore, [commands] { commands->explore(); });
    onBoth(Help, MenuHelp, [this] { m_desktop.openHelp(kHelpPage); });
    onBoth(Ok, MenuExit, [this] { onOk(); });
    onClick(GetCount, [commands] { commands->count(true); });
    onClick(Up, [commands] { commands->move(MoveDirection::Up); });
    onClick(Down, [commands] { commands->move(MoveDirection::Down); });
    onClick(Cancel, &CListEditorDlg::reject);

    onMenu(MenuAutoCount, [this] { m_commands.setAutoCount(!m_settings.autoCount); });
    onMenu(MenuFilterTypes, &CListEditorDlg::onFilterTypes);
    onMenu(MenuAbout, &CListEditorDlg::onAbout);
    onMenu(MenuViewThumbnail, &CListEditorDlg::onViewThumbnail);
    onMenu(MenuViewFullScreen, &CListEditorDlg::onViewFullScreen);
    onMenu(MenuPaneFullScreen, &CListEditorDlg::onPaneFullScreen);
    for (int slot = 0; slot < RecentLists::kSlots; ++slot) {
        onMenu(MenuRecent1 + slot, [commands, slot] { commands->openRecent(slot); });
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

// ---- commands that need the window -----------------------------------------

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
    if (picked) {
        m_commands.addFolder(*picked);
    }
}

void CListEditorDlg::onOk() {
    // The user asked for the list to be kept: a save that did not happen keeps the window open.
    if (!m_commands.confirmClose()) {
        return;
    }
    SaveEditorSettings(m_store, m_settings, m_prompter);
    SaveWindowPlacement(m_store, PlacementOf(*this));
    m_store.flush();
    accept();
}

void CListEditorDlg::reject() {
    if (m_commands.mayDiscard()) {
        QDialog::reject();
    }
}

void CListEditorDlg::onFilterTypes() {
    CFileTypesDlg dlg(m_settings.types, m_desktop, this);
    if (dlg.exec() == QDialog::Accepted) {
        m_commands.setTypes(dlg.types());
    }
}

void CListEditorDlg::onAbout() {
    COrvexAboutDlg dlg(this);
    dlg.exec();
}

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
    m_commands.addDropped(paths);
}

// ---- preview ---------------------------------------------------------------

std::string CListEditorDlg::entryAtCaret() const {
    const QModelIndex current = m_c.list->currentIndex();
    return current.isValid() ? m_doc.model().at(current.row()) : std::string();
}

void CListEditorDlg::onViewThumbnail() {
    m_preview->load(entryAtCaret());
    showFields();
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
    if (m_commands.hasFiles()) {
        m_preview->showInstructionPicture();
    }
    showFields();
}

// ---- what the commands show ------------------------------------------------

std::vector<int> CListEditorDlg::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : m_c.list->selectionModel()->selectedIndexes()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CListEditorDlg::selectRows(const std::vector<int>& rows, int caret) {
    QItemSelection selection;
    for (int row : rows) {
        selection.select(m_doc.model().index(row), m_doc.model().index(row));
    }
    QItemSelectionModel* model = m_c.list->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect);
    model->setCurrentIndex(m_doc.model().index(caret), QItemSelectionModel::NoUpdate);
    m_c.list->scrollTo(m_doc.model().index(caret));
}

void CListEditorDlg::clearPreview() {
    m_preview->clear();
}

void CListEditorDlg::showFields() {
    m_c.listName->setText(QString::fromStdString(m_doc.name()));
    m_c.status->setText(QString::fromStdString(m_commands.status()));
    const bool any = !m_doc.model().empty();
    for (int id : {DeleteSelection, New, Verify, Save, SaveAs, GetCount}) {
        m_c.buttons.at(id)->setEnabled(any);
    }
    for (int id : {MenuSave, MenuSaveAs, MenuDelete, MenuVerify}) {
        m_c.actions.at(id)->setEnabled(any);
    }
    const bool selected = m_c.list->selectionModel()->hasSelection();
    const bool movable = m_doc.model().size() > 1 && selected;
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

void CListEditorDlg::showAutoCount(bool on) {
    m_c.actions.at(MenuAutoCount)->setChecked(on);
}

void CListEditorDlg::showRecentLists() {
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

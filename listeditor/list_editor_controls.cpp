#include "list_editor_controls.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyle>

#include "control_ids.h"
#include "preview_pane.h"

namespace {

using namespace ListEditorId;

constexpr int W = kEditorClientWidth;
constexpr int H = kEditorClientHeight;
constexpr int kColumnLeft = W - 250;
constexpr int kButtonWidth = 118;
constexpr int kButtonHeight = 26;
constexpr int kRowStep = 30;
constexpr int kFirstRow = 254;

struct ButtonSpec {
    int id;
    const char* text;
    int column;
    int row;
};

// Two columns of command buttons below the preview.
constexpr ButtonSpec kCommandButtons[] = {
    {New, "New", 0, 0},
    {Open, "Open...", 1, 0},
    {AddFiles, "Add file(s)...", 0, 1},
    {AddFolder, "Add folder...", 1, 1},
    {IncludeSubfolders, "Include subfolders", 0, 2},
    {NoSubfolders, "No subfolders", 1, 2},
    {AddImageList, "Add image list...", 0, 3},
    {DeleteSelection, "Delete selection(s)", 1, 3},
    {Verify, "Verify", 0, 4},
    {GetCount, "Get count", 1, 4},
    {Save, "Save", 0, 5},
    {SaveAs, "SaveAs...", 1, 5},
};

QPushButton* makeButton(QWidget* client, int id, const QString& text, QRect rect) {
    auto* button = new QPushButton(text, client);
    SetControlId(button, id);
    button->setAutoDefault(false);
    button->setGeometry(rect);
    return button;
}

QAction* makeAction(ListEditorControls& c, QMenu* menu, int id, const QString& text) {
    auto* action = menu->addAction(text);
    SetControlId(action, id);
    c.actions[id] = action;
    return action;
}

void createMenus(ListEditorControls& c, QWidget* window) {
    c.menuBar = new QMenuBar(window);
    QMenu* file = c.menuBar->addMenu("&File");
    makeAction(c, file, MenuNew, "&New");
    makeAction(c, file, MenuOpen, "&Open...");
    makeAction(c, file, MenuAddImageList, "Add &image list...");
    makeAction(c, file, MenuAddFiles, "Add &file(s)...");
    makeAction(c, file, MenuAddFolder, "Add f&older...");
    file->addSeparator();
    makeAction(c, file, MenuSave, "&Save");
    makeAction(c, file, MenuSaveAs, "Save &As...");
    file->addSeparator();
    makeAction(c, file, MenuRecent1, "Recent image lists");
    makeAction(c, file, MenuRecent2, QString());
    makeAction(c, file, MenuRecent3, QString());
    makeAction(c, file, MenuRecent4, QString());
    file->addSeparator();
    makeAction(c, file, MenuExit, "E&xit");

    QMenu* list = c.menuBar->addMenu("&List");
    makeAction(c, list, MenuAddTagInclude, "Add tag (include subfolders)");
    makeAction(c, list, MenuAddTagNo, "Add tag (no subfolders)");
    makeAction(c, list, MenuDelete, "&Delete selection(s)");
    list->addSeparator();
    makeAction(c, list, MenuVerify, "&Verify (files exist)");
    makeAction(c, list, MenuExplore, "Run Windows explorer...");

    QMenu* view = c.menuBar->addMenu("&View");
    makeAction(c, view, MenuViewThumbnail, "Selected item (&thumbnail)");
    makeAction(c, view, MenuViewFullScreen, "Selected item (&full screen)");

    QMenu* options = c.menuBar->addMenu("&Options");
    QAction* autoCount = makeAction(c, options, MenuAutoCount, "Auto count");
    autoCount->setCheckable(true);
    autoCount->setChecked(true);
    makeAction(c, options, MenuFilterTypes, "Filter image file types...");

    QMenu* help = c.menuBar->addMenu("&Help");
    makeAction(c, help, MenuHelp, "Help");
    makeAction(c, help, MenuAbout, "About");

    // The context menus reuse the commands under their own wording.
    c.listMenu = new QMenu(window);
    SetControlId(c.listMenu, ListMenu);
    c.listMenuThumbnail = c.listMenu->addAction("View selected item (thumbnail)");
    c.listMenuFullScreen = c.listMenu->addAction("View selected item (full screen)");
    c.listMenu->addSeparator();
    c.listMenu->addAction(c.actions[MenuAddTagInclude]);
    c.listMenu->addAction(c.actions[MenuAddTagNo]);
    c.listMenu->addAction(c.actions[MenuDelete]);
    c.listMenu->addSeparator();
    c.listMenu->addAction(c.actions[MenuExplore]);

    c.paneMenu = new QMenu(window);
    SetControlId(c.paneMenu, PaneMenu);
    makeAction(c, c.paneMenu, MenuPaneFullScreen, "Full screen");
}

LayoutAnchor anchor(int edge) {
    return {LayoutAnchor::Offset, 0, edge};
}

LayoutRule rule(int id, int left, int top, int right, int bottom) {
    return {id, anchor(left), anchor(top), anchor(right), anchor(bottom)};
}

}  // namespace

ListEditorControls CreateListEditorControls(QWidget* client, QWidget* window) {
    ListEditorControls c;
    c.listName = new QLineEdit(client);
    SetControlId(c.listName, ListName);
    c.listName->setReadOnly(true);
    c.listName->setPlaceholderText("(new image list)");
    c.listName->setGeometry(10, 10, kColumnLeft - 20, 22);

    c.list = new QListView(client);
    SetControlId(c.list, List);
    c.list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    c.list->setTextElideMode(Qt::ElideNone);
    c.list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    c.list->setContextMenuPolicy(Qt::CustomContextMenu);
    c.list->setGeometry(10, 38, kColumnLeft - 20, H - 40 - 38);

    c.pane = new PreviewPane(client);
    SetControlId(c.pane, Preview);
    c.pane->setGeometry(kColumnLeft, 10, 240, 180);

    c.sizeLabel = new QLineEdit(client);
    SetControlId(c.sizeLabel, SizeLabel);
    c.sizeLabel->setReadOnly(true);
    c.sizeLabel->setAlignment(Qt::AlignCenter);
    c.sizeLabel->setGeometry(kColumnLeft, 194, 240, 22);

    QStyle* style = client->style();
    const struct {
        int id;
        QStyle::StandardPixmap icon;
        const char* tip;
    } arrows[] = {{Explore, QStyle::SP_DirOpenIcon, "Run Windows explorer..."},
                  {Up, QStyle::SP_ArrowUp, "Move the selected entries up"},
                  {Down, QStyle::SP_ArrowDown, "Move the selected entries down"}};
    int x = kColumnLeft;
    for (const auto& a : arrows) {
        QPushButton* b = makeButton(client, a.id, QString(), QRect(x, 222, 32, kButtonHeight));
        b->setIcon(style->standardIcon(a.icon));
        b->setToolTip(a.tip);
        c.buttons[a.id] = b;
        x += 36;
    }
    for (const ButtonSpec& spec : kCommandButtons) {
        const QRect rect(kColumnLeft + spec.column * (kButtonWidth + 4),
                         kFirstRow + spec.row * kRowStep, kButtonWidth, kButtonHeight);
        c.buttons[spec.id] = makeButton(client, spec.id, spec.text, rect);
    }

    c.status = new ElidingLabel(client);
    SetControlId(c.status, Status);
    c.status->setGeometry(10, H - 30, W - 270 - 10, 22);

    c.buttons[Help] = makeButton(client, Help, "Help", QRect(W - 255, H - 32, 75, kButtonHeight));
    c.buttons[Cancel] =
        makeButton(client, Cancel, "Cancel", QRect(W - 170, H - 32, 75, kButtonHeight));
    c.buttons[Ok] = makeButton(client, Ok, "OK", QRect(W - 85, H - 32, 75, kButtonHeight));

    createMenus(c, window);
    return c;
}

const std::array<LayoutRule, 23>& ListEditorLayoutRules() {
    using E = LayoutAnchor;
    static const std::array<LayoutRule, 23> rules = {
        rule(List, E::Left, E::Top, E::Right, E::Bottom),
        rule(SizeLabel, E::Right, E::Top, E::Right, E::Top),
        rule(Preview, E::Right, E::Top, E::Right, E::Top),
        rule(ListName, E::Left, E::Top, E::Right, E::Top),
        rule(Up, E::Right, E::Top, E::Right, E::Top),
        rule(Down, E::Right, E::Top, E::Right, E::Top),
        rule(Explore, E::Right, E::Top, E::Right, E::Top),
        rule(New, E::Right, E::Top, E::Right, E::Top),
        rule(Open, E::Right, E::Top, E::Right, E::Top),
        rule(AddFiles, E::Right, E::Top, E::Right, E::Top),
        rule(AddFolder, E::Right, E::Top, E::Right, E::Top),
        rule(IncludeSubfolders, E::Right, E::Top, E::Right, E::Top),
        rule(NoSubfolders, E::Right, E::Top, E::Right, E::Top),
        rule(AddImageList, E::Right, E::Top, E::Right, E::Top),
        rule(DeleteSelection, E::Right, E::Top, E::Right, E::Top),
        rule(Verify, E::Right, E::Top, E::Right, E::Top),
        rule(Save, E::Right, E::Top, E::Right, E::Top),
        rule(SaveAs, E::Right, E::Top, E::Right, E::Top),
        rule(GetCount, E::Right, E::Top, E::Right, E::Top),
        rule(Status, E::Left, E::Bottom, E::Right, E::Bottom),
        rule(Help, E::Right, E::Bottom, E::Right, E::Bottom),
        rule(Cancel, E::Right, E::Bottom, E::Right, E::Bottom),
        rule(Ok, E::Right, E::Bottom, E::Right, E::Bottom),
    };
    return rules;
}

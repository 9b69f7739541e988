#pragma once
// The controls and menus of the list editor window, placed by rectangle as
// the dialog template has them, and the rules that keep them in place.

#include <array>
#include <map>

#include "eliding_label.h"
#include "layout_engine.h"

class PreviewPane;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QMenu;
class QMenuBar;
class QPushButton;
class QWidget;

/// Control and command ids of the list editor window.
namespace ListEditorId {
enum : int {
    EditorWindow = 103,
    PaneMenu = 132,
    ListMenu = 135,
    Ok = 1,
    Cancel = 2,
    Status = 1000,
    GetCount = 1001,
    IncludeSubfolders = 1002,
    NoSubfolders = 1003,
    Up = 1013,
    Down = 1014,
    List = 1015,
    New = 1016,
    Save = 1017,
    AddFolder = 1018,
    AddFiles = 1019,
    SizeLabel = 1022,
    Preview = 1023,
    AddImageList = 1127,
    Open = 1145,
    DeleteSelection = 1162,
    Verify = 1211,
    SaveAs = 1215,
    ListName = 1216,
    Help = 1277,
    Explore = 1410,
    MenuViewThumbnail = 32771,
    MenuDelete = 32772,
    MenuNew = 32773,
    MenuOpen = 32774,
    MenuAddFiles = 32775,
    MenuAddFolder = 32776,
    MenuAddImageList = 32777,
    MenuVerify = 32778,
    MenuSave = 32779,
    MenuSaveAs = 32780,
    MenuRecent1 = 32781,
    MenuRecent2 = 32782,
    MenuRecent3 = 32783,
    MenuRecent4 = 32784,
    MenuExit = 32785,
    MenuViewFullScreen = 32786,
    MenuExplore = 32788,
    MenuFilterTypes = 32789,
    MenuHelp = 32790,
    MenuAbout = 32791,
    MenuPaneFullScreen = 32793,
    MenuAutoCount = 32794,
    MenuAddTagInclude = 32795,
    MenuAddTagNo = 32796,
};
}

struct ListEditorControls {
    QLineEdit* listName = nullptr;
    QListView* list = nullptr;
    ElidingLabel* status = nullptr;
    PreviewPane* pane = nullptr;
    QLineEdit* sizeLabel = nullptr;
    std::map<int, QPushButton*> buttons;  ///< every push button by id
    QMenuBar* menuBar = nullptr;
    std::map<int, QAction*> actions;  ///< every menu command by id
    QMenu* listMenu = nullptr;        ///< context menu 135 of the list
    QMenu* paneMenu = nullptr;        ///< menu 132 of the preview
    QAction* listMenuThumbnail = nullptr;
    QAction* listMenuFullScreen = nullptr;
};

/// Client size the controls are placed for.
inline constexpr int kEditorClientWidth = 660;
inline constexpr int kEditorClientHeight = 560;

/// Creates the controls in `client` at their template rectangles and the
/// menus, parented to `window`.
ListEditorControls CreateListEditorControls(QWidget* client, QWidget* window);

/// The 23 layout rules of the list editor window.
const std::array<LayoutRule, 23>& ListEditorLayoutRules();

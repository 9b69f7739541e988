#include "main_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "control_ids.h"
#include "main_ids.h"

namespace {

struct Command {
    int id;
    const char* text;
};

// Every command of the menus with its text.
const Command kCommands[] = {
    {MainId::MenuOpenPrimary, "Open (Primary image data file)..."},
    {MainId::MenuOpenSecondary, "Open (Secondary image data file)..."},
    {MainId::MenuOpenDupsLog, "Open Dups.log (view images)"},
    {MainId::MenuOpenLog, "Open log file (view images)..."},
    {MainId::MenuOpenImageList, "Open Image list..."},
    {MainId::MenuSavePrimary, "SaveAs (Primary image data file)..."},
    {MainId::MenuSaveSecondary, "SaveAs (Secondary image data file)..."},
    {MainId::MenuSaveLog, "SaveAs log file..."},
    {MainId::MenuExit, "Exit"},
    {MainId::MenuRebuildPrimary, "Fast rebuild (Primary image data file)"},
    {MainId::MenuRebuildSecondary, "Fast rebuild (Secondary image data file)"},
    {MainId::MenuFindSetup, "Find dups setup (method and restrictions)..."},
    {MainId::MenuOpenDupsLogText, "Open Dups.log (text only)"},
    {MainId::MenuOpenLogText, "Open log file (text only)..."},
    {MainId::MenuNoSort, "No sort on % match"},
    {MainId::MenuSortDescending, "Sort high-to-low % match"},
    {MainId::MenuSortAscending, "Sort low-to-high % match"},
    {MainId::MenuLargeView, "Large size dropdown view"},
    {MainId::MenuAutoFind, "Show 'Find dups' (after Get data)"},
    {MainId::MenuAutoView, "Show 'View Dups' (after Find dups)"},
    {MainId::MenuShowFileSizes, "Show file sizes"},
    {MainId::MenuBeep, "Beep on deleting file"},
    {MainId::MenuRemindSave, "Remind to save datafile"},
    {MainId::MenuManualDelete, "Manual delete"},
    {MainId::MenuSemiAutoDelete, "Semi-auto delete"},
    {MainId::MenuAutomaticDelete, "Automatic delete"},
    {MainId::MenuPauseOnNoDelete, "Pause on 'No delete' in Automatic mode"},
    {MainId::MenuPermanentDelete, "Deletes are permanent"},
    {MainId::MenuShowMove, "Show 'Move' controls"},
    {MainId::MenuMoveInstead, "'Move' instead of 'Delete'"},
    {MainId::MenuMoveFolders, "'Move' to folder setup..."},
    {MainId::MenuDeleteSetup, "Automatic and Semi-auto delete setup..."},
    {MainId::MenuFolderPrefs, "Folder preferences..."},
    {MainId::MenuAllImageFormats, "Read HEIC, AVIF, WebP, JPEG XL and RAW"},
    {MainId::MenuExplore, "Run Windows Explorer..."},
    {MainId::MenuHelp, "Help"},
    {MainId::MenuAbout, "About"},
    {MainId::MenuNotDuplicate, "Not a duplicate\tN"},
    {MainId::MenuForgetNotDuplicates, "Forget pairs marked not duplicate..."},
    {MainId::MenuUndoDelete, "Undo delete\tCtrl+Z"},
    {MainId::MenuPairOverview, "Pair overview..."},
    // Pane menus.
    {MainId::MenuLeftFullScreen, "Full screen"},
    {MainId::MenuLeftOpenImage, "Open image"},
    {MainId::MenuLeftProperties, "Properties"},
    {MainId::MenuLeftDelete, "Delete"},
    {MainId::MenuLeftMove, "Move"},
    {MainId::MenuRightFullScreen, "Full screen "},
    {MainId::MenuRightOpenImage, "Open image"},
    {MainId::MenuRightProperties, "Properties"},
    {MainId::MenuRightDelete, "Delete"},
    {MainId::MenuRightMove, "Move"},
};

constexpr int kSeparator = 0;

const int kCheckable[] = {MainId::MenuLargeView,
                          MainId::MenuAutoFind,
                          MainId::MenuAutoView,
                          MainId::MenuShowFileSizes,
                          MainId::MenuBeep,
                          MainId::MenuRemindSave,
                          MainId::MenuPauseOnNoDelete,
                          MainId::MenuPermanentDelete,
                          MainId::MenuShowMove,
                          MainId::MenuMoveInstead,
                          MainId::MenuAllImageFormats};
// Checked in the menu resource itself; the update rules take over when a popup
// opens.
const int kCheckedAtStart[] = {MainId::MenuAutoFind, MainId::MenuAutoView,
                               MainId::MenuPauseOnNoDelete};

}  // namespace

MainMenus::MainMenus(QWidget* window)
    : QObject(window),
      m_window(window),
      m_bar(new QMenuBar(window)),
      m_sortGroup(new QActionGroup(this)),
      m_deleteModeGroup(new QActionGroup(this)) {
    SetControlId(m_bar, MainId::MenuBar);
    for (const Command& c : kCommands) {
        makeAction(c.id, c.text);
    }
    for (int id : kCheckable) {
        m_actions[id]->setCheckable(true);
    }
    for (int id : kCheckedAtStart) {
        m_actions[id]->setChecked(true);
    }
    for (int id : {MainId::MenuNoSort, MainId::MenuSortDescending, MainId::MenuSortAscending}) {
        m_actions[id]->setCheckable(true);
        m_sortGroup->addAction(m_actions[id]);
    }
    for (int id :
         {MainId::MenuManualDelete, MainId::MenuSemiAutoDelete, MainId::MenuAutomaticDelete}) {
        m_actions[id]->setCheckable(true);
        m_deleteModeGroup->addAction(m_actions[id]);
    }

    addPopup("&File",
             {MainId::MenuOpenPrimary, MainId::MenuOpenSecondary, kSeparator,
              MainId::MenuOpenDupsLog, MainId::MenuOpenLog, kSeparator, MainId::MenuOpenImageList,
              kSeparator, MainId::MenuSavePrimary, MainId::MenuSaveSecondary, MainId::MenuSaveLog,
              kSeparator, MainId::MenuExit});
    addPopup("&Data", {MainId::MenuOpenPrimary, MainId::MenuOpenSecondary, kSeparator,
                       MainId::MenuSavePrimary, MainId::MenuSaveSecondary, kSeparator,
                       MainId::MenuRebuildPrimary, MainId::MenuRebuildSecondary});
    addPopup("F&ind", {MainId::MenuFindSetup});
    addPopup(
        "&View",
        {MainId::MenuOpenDupsLog, MainId::MenuOpenLog, kSeparator, MainId::MenuOpenDupsLogText,
         MainId::MenuOpenLogText, kSeparator, MainId::MenuSaveLog, kSeparator, MainId::MenuNoSort,
         MainId::MenuSortDescending, MainId::MenuSortAscending, kSeparator, MainId::MenuLargeView,
         kSeparator, MainId::MenuNotDuplicate, MainId::MenuUndoDelete, MainId::MenuPairOverview});
    addPopup("&Options", {MainId::MenuAutoFind,
                          MainId::MenuAutoView,
                          MainId::MenuLargeView,
                          MainId::MenuShowFileSizes,
                          MainId::MenuBeep,
                          MainId::MenuRemindSave,
                          kSeparator,
                          MainId::MenuManualDelete,
                          MainId::MenuSemiAutoDelete,
                          MainId::MenuAutomaticDelete,
                          MainId::MenuPauseOnNoDelete,
                          MainId::MenuPermanentDelete,
                          MainId::MenuUndoDelete,
                          kSeparator,
                          MainId::MenuShowMove,
                          MainId::MenuMoveInstead,
                          MainId::MenuMoveFolders,
                          kSeparator,
                          MainId::MenuDeleteSetup,
                          kSeparator,
                          MainId::MenuNoSort,
                          MainId::MenuSortDescending,
                          MainId::MenuSortAscending,
                          kSeparator,
                          MainId::MenuAllImageFormats,
                          kSeparator,
                          MainId::MenuFolderPrefs,
                          MainId::MenuForgetNotDuplicates});
    addPopup("&Tools", {MainId::MenuExplore});
    addPopup("&Help", {MainId::MenuHelp, MainId::MenuAbout});

    const auto context = [this](int resourceId, std::initializer_list<int> ids) {
        auto* menu = new QMenu(m_window);
        SetControlId(menu, resourceId);
        for (int id : ids) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(m_actions[id]);
            }
        }
        m_context.insert(resourceId, menu);
    };
    context(MainId::LeftPaneMenu, {MainId::MenuLeftFullScreen, MainId::MenuLeftOpenImage,
                                   MainId::MenuLeftProperties, kSeparator, MainId::MenuLeftDelete,
                                   MainId::MenuLeftMove, kSeparator, MainId::MenuNotDuplicate});
    context(MainId::RightPaneMenu,
            {MainId::MenuRightFullScreen, MainId::MenuRightOpenImage, MainId::MenuRightProperties,
             kSeparator, MainId::MenuRightDelete, MainId::MenuRightMove, kSeparator,
             MainId::MenuNotDuplicate});
    context(MainId::LogViewMenu, {MainId::MenuOpenDupsLog, MainId::MenuOpenDupsLogText,
                                  MainId::MenuOpenLog, MainId::MenuOpenLogText, MainId::MenuSaveLog,
                                  kSeparator, MainId::MenuNoSort, MainId::MenuSortDescending,
                                  MainId::MenuSortAscending, kSeparator, MainId::MenuLargeView});
}

QAction* MainMenus::makeAction(int id, const char* text) {
    auto* a = new QAction(QString::fromLatin1(text), this);
    SetControlId(a, id);
    connect(a, &QAction::triggered, this, [this, id] { emit command(id); });
    m_actions.insert(id, a);
    return a;
}

QMenu* MainMenus::addPopup(const char* title, std::initializer_list<int> ids) {
    QMenu* menu = m_bar->addMenu(QString::fromLatin1(title));
    for (int id : ids) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else {
            menu->addAction(m_actions[id]);
        }
    }
    m_popups.insert(QString::fromLatin1(title).remove('&'), menu);
    return menu;
}

QMenu* MainMenus::popup(const QString& title) const {
    return m_popups.value(title);
}

#include "option_commands.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "app_paths.h"
#include "auto_delete_runner.h"
#include "command_router.h"
#include "desktop.h"
#include "main_ids.h"
#include "main_menus.h"
#include "move_rule.h"
#include "pair_viewer.h"
#include "run_state.h"
#include "viewer_panel.h"

OptionCommands::OptionCommands(RunState& run, PairViewer& pairs, ViewerPanel& viewer,
                               CommandRouter& commands, MainMenus& menus, Desktop& desktop)
    : m_run(run), m_pairs(pairs), m_viewer(viewer), m_menus(menus), m_desktop(desktop) {
    using namespace MainId;
    TwinlySettings& s = run.settings();
    flip(commands, MenuAutoFind, s.m_bAutoFind);
    flip(commands, MenuAutoView, s.m_bAutoView);
    flip(commands, MenuBeep, s.m_bBeep);
    flip(commands, MenuRemindSave, s.m_bRemindSave);
    flip(commands, MenuPauseOnNoDelete, s.m_bPauseOnNoDelete);
    flip(commands, MenuPermanentDelete, s.m_bPermanentDelete);
    flip(commands, MenuAllImageFormats, s.m_bAllImageFormats);
    commands.setHandler(MenuShowFileSizes, [this] {
        TwinlySettings& s = m_run.settings();
        s.m_bShowFileSizes = s.m_bShowFileSizes ? 0 : 1;
        // Lengths are only known for a pair that is shown.
        if (!s.m_bShowFileSizes || m_pairs.selectedPair() >= 0) {
            m_pairs.UpdateSizeLabels();
        }
        UpdateOptionsMenu();
    });
    commands.setHandler(MenuShowMove, [this] { toggleShowMove(); });
    commands.setHandler(MenuMoveInstead, [this] {
        TwinlySettings& s = m_run.settings();
        s.m_bMoveTo = s.m_bMoveTo ? 0 : 1;
        m_run.applyMoveRule();
        UpdateOptionsMenu();
    });
    commands.setHandler(MenuManualDelete, [this] { SetDeleteMode(DeleteMode::Manual); });
    commands.setHandler(MenuSemiAutoDelete, [this] { SetDeleteMode(DeleteMode::SemiAuto); });
    commands.setHandler(MenuAutomaticDelete, [this] { SetDeleteMode(DeleteMode::Automatic); });
    commands.setHandler(MenuOpenImageList, [this] { StartListEditor(); });
    commands.setHandler(MenuExplore, [this] { ExploreLastFolder(); });

    if (QMenu* menu = menus.popup("Options")) {
        connect(menu, &QMenu::aboutToShow, this, &OptionCommands::UpdateOptionsMenu);
    }
}

void OptionCommands::flip(CommandRouter& commands, int id, int& flag) {
    commands.setHandler(id, [this, &flag] {
        flag = flag ? 0 : 1;
        UpdateOptionsMenu();
    });
}

void OptionCommands::toggleShowMove() {
    TwinlySettings& s = m_run.settings();
    s.m_bShowMove = s.m_bShowMove ? 0 : 1;
    if (s.m_bShowMove) {
        // Turned on by hand, each side's button shows wherever its folder is,
        // even beside a Delete button that moves already; the next move rule
        // tidies that up.
        m_viewer.button(MainId::LeftMove)->setVisible(MoveFolderExists(s.m_strMoveFolder));
        m_viewer.button(MainId::RightMove)->setVisible(MoveFolderExists(s.m_strMoveFolder2));
    } else {
        m_viewer.applyMoveButtonRule();
    }
    UpdateOptionsMenu();
}

void OptionCommands::SetDeleteMode(DeleteMode mode) {
    m_run.settings().m_nDeleteMode = mode;
    if (mode != DeleteMode::Automatic) {
        m_pairs.autoDelete().endRun();
    }
    UpdateOptionsMenu();
}

void OptionCommands::UpdateOptionsMenu() {
    using namespace MainId;
    const TwinlySettings& s = m_run.settings();
    const auto check = [this](int id, int flag) { m_menus.action(id)->setChecked(flag != 0); };
    check(MenuAutoFind, s.m_bAutoFind);
    check(MenuAutoView, s.m_bAutoView);
    check(MenuShowFileSizes, s.m_bShowFileSizes);
    check(MenuBeep, s.m_bBeep);
    check(MenuRemindSave, s.m_bRemindSave);
    check(MenuPauseOnNoDelete, s.m_bPauseOnNoDelete);
    check(MenuPermanentDelete, s.m_bPermanentDelete);
    check(MenuShowMove, s.m_bShowMove);
    check(MenuMoveInstead, s.m_bMoveTo);
    check(MenuAllImageFormats, s.m_bAllImageFormats);
    m_menus.action(MenuPauseOnNoDelete)->setEnabled(s.m_nDeleteMode == DeleteMode::Automatic);
    // The exclusive group clears the other two marks.
    const int modeIds[] = {MenuManualDelete, MenuSemiAutoDelete, MenuAutomaticDelete};
    const int mode = std::clamp(static_cast<int>(s.m_nDeleteMode), 1, 3);
    m_menus.action(modeIds[mode - 1])->setChecked(true);
}

void OptionCommands::StartListEditor() {
    // One argument, empty when no list was used yet: the editor then opens none.
    m_desktop.startProcess(OrvexExecutable().toStdString(), {m_run.primary().m_strSourceList});
}

void OptionCommands::ExploreLastFolder() {
    const std::string& folder = m_run.primary().m_strSourceFolder;
    m_desktop.exploreFolder(folder.empty() ? QDir::homePath().toStdString() : folder);
}

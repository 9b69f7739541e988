#include "option_commands.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QPushButton>
#include <algorithm>

#include "app_paths.h"
#include "auto_delete_runner.h"
#include "desktop.h"
#include "main_dlg.h"
#include "main_menus.h"
#include "move_rule.h"
#include "pair_viewer.h"
#include "viewer_panel.h"

OptionCommands::OptionCommands(CMainDlg& dlg) : m_dlg(dlg) {
    TwinlySettings& s = dlg.settings();
    flip(32809, s.m_bAutoFind);
    flip(32807, s.m_bAutoView);
    flip(32834, s.m_bBeep);
    flip(32843, s.m_bRemindSave);
    flip(32799, s.m_bPauseOnNoDelete);
    flip(32832, s.m_bPermanentDelete);
    dlg.setCommandHandler(32835, [this] {
        TwinlySettings& s = m_dlg.settings();
        s.m_bShowFileSizes = s.m_bShowFileSizes ? 0 : 1;
        // Lengths are only known for a pair that is shown.
        if (!s.m_bShowFileSizes || m_dlg.pairViewer().selectedPair() >= 0) {
            m_dlg.pairViewer().UpdateSizeLabels();
        }
        UpdateOptionsMenu();
    });
    dlg.setCommandHandler(32842, [this] { toggleShowMove(); });
    dlg.setCommandHandler(32838, [this] {
        TwinlySettings& s = m_dlg.settings();
        s.m_bMoveTo = s.m_bMoveTo ? 0 : 1;
        m_dlg.ApplyMoveRule();
        UpdateOptionsMenu();
    });
    dlg.setCommandHandler(32827, [this] { SetDeleteMode(DeleteMode::Manual); });
    dlg.setCommandHandler(32815, [this] { SetDeleteMode(DeleteMode::SemiAuto); });
    dlg.setCommandHandler(32814, [this] { SetDeleteMode(DeleteMode::Automatic); });
    dlg.setCommandHandler(32802, [this] { StartListEditor(); });
    dlg.setCommandHandler(32781, [this] { ExploreLastFolder(); });

    if (QMenu* menu = dlg.menus().popup("Options")) {
        connect(menu, &QMenu::aboutToShow, this, &OptionCommands::UpdateOptionsMenu);
    }
}

void OptionCommands::flip(int id, int& flag) {
    m_dlg.setCommandHandler(id, [this, &flag] {
        flag = flag ? 0 : 1;
        UpdateOptionsMenu();
    });
}

void OptionCommands::toggleShowMove() {
    TwinlySettings& s = m_dlg.settings();
    s.m_bShowMove = s.m_bShowMove ? 0 : 1;
    if (s.m_bShowMove) {
        // Turned on by hand, each side's button shows wherever its folder is,
        // even beside a Delete button that moves already; the next move rule
        // tidies that up.
        m_dlg.viewer().button(1019)->setVisible(MoveFolderExists(s.m_strMoveFolder));
        m_dlg.viewer().button(1020)->setVisible(MoveFolderExists(s.m_strMoveFolder2));
    } else {
        m_dlg.ApplyMoveButtonRule();
    }
    UpdateOptionsMenu();
}

void OptionCommands::SetDeleteMode(DeleteMode mode) {
    m_dlg.settings().m_nDeleteMode = mode;
    if (mode != DeleteMode::Automatic) {
        m_dlg.pairViewer().autoDelete().endRun();
    }
    UpdateOptionsMenu();
}

void OptionCommands::UpdateOptionsMenu() {
    const TwinlySettings& s = m_dlg.settings();
    MainMenus& menus = m_dlg.menus();
    const auto check = [&menus](int id, int flag) { menus.action(id)->setChecked(flag != 0); };
    check(32809, s.m_bAutoFind);
    check(32807, s.m_bAutoView);
    check(32835, s.m_bShowFileSizes);
    check(32834, s.m_bBeep);
    check(32843, s.m_bRemindSave);
    check(32799, s.m_bPauseOnNoDelete);
    check(32832, s.m_bPermanentDelete);
    check(32842, s.m_bShowMove);
    check(32838, s.m_bMoveTo);
    menus.action(32799)->setEnabled(s.m_nDeleteMode == DeleteMode::Automatic);
    // The exclusive group clears the other two marks.
    const int modeIds[] = {32827, 32815, 32814};
    const int mode = std::clamp(static_cast<int>(s.m_nDeleteMode), 1, 3);
    menus.action(modeIds[mode - 1])->setChecked(true);
}

void OptionCommands::StartListEditor() {
    // One argument, empty when no list was used yet: the editor then opens none.
    m_dlg.desktop().startProcess(OrvexExecutable().toStdString(),
                                 {m_dlg.primary().m_strSourceList});
}

void OptionCommands::ExploreLastFolder() {
    const std::string& folder = m_dlg.primary().m_strSourceFolder;
    m_dlg.desktop().exploreFolder(folder.empty() ? QDir::homePath().toStdString() : folder);
}

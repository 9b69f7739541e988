// Shows one dialog with sample values so it can be looked at or captured:
// dialog_preview build|find|delete|move|prefs|browse
#include <QApplication>
#include <QTimer>
#include <cstring>

#include "app_prompter.h"
#include "build_dlg.h"
#include "delete_setup_dlg.h"
#include "desktop.h"
#include "find_setup_dlg.h"
#include "folder_browse_dialog.h"
#include "folder_prefs_dlg.h"
#include "move_folder_dlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* which = argc > 1 ? argv[1] : "build";
    AppPrompter prompter;
    RecordingDesktop desktop;
    if (std::strcmp(which, "build") == 0) {
        CBuildDlg dlg(
            prompter, desktop, [](const std::string&, bool, bool) { return 1000; },
            [](const std::string&, bool) { return 0; });
        dlg.m_strFolder = "/home/user/Pictures";
        dlg.m_bSubfolders = 1;
        dlg.m_bQuickCount = 1;
        return dlg.exec();
    }
    if (std::strcmp(which, "find") == 0) {
        CFindSetupDlg dlg(desktop);
        dlg.m_nMatchRestriction = MatchRestriction::SameAspect;
        dlg.m_bFilterUnlocked = 1;
        return dlg.exec();
    }
    if (std::strcmp(which, "delete") == 0) {
        CDeleteSetupDlg dlg(desktop);
        dlg.m_nMode = argc > 2 ? DeleteMode::Automatic : DeleteMode::SemiAuto;
        return dlg.exec();
    }
    if (std::strcmp(which, "move") == 0) {
        CMoveFolderDlg dlg(prompter);
        dlg.m_bMoveOnly = 1;
        dlg.m_strLeftFolder = "/home/user/Pictures/moved-left";
        dlg.m_strRightFolder = "/home/user/Pictures/moved-right";
        return dlg.exec();
    }
    if (std::strcmp(which, "prefs") == 0) {
        CFolderPrefsDlg dlg(prompter);
        dlg.m_strDataFolder = "/home/user/.local/share/Velmora/Twinly/DupData";
        dlg.m_strLogFolder = "/home/user/.local/share/Velmora/Twinly/DupLogs";
        dlg.m_strListFolder = "/home/user/.local/share/Velmora/Twinly/Orvexs";
        return dlg.exec();
    }
    FolderBrowseDialog dlg("Choose image folder for 'Move'", argc > 2 ? argv[2] : "/usr/share");
    return dlg.exec();
}

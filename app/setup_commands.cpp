#include "setup_commands.h"

#include "auto_delete_runner.h"
#include "command_router.h"
#include "delete_setup_dlg.h"
#include "find_setup_dlg.h"
#include "folder_prefs_dlg.h"
#include "main_ids.h"
#include "move_folder_dlg.h"
#include "run_state.h"

SetupCommands::SetupCommands(RunState& run, AutoDeleteRunner& autoDelete, CommandRouter& commands,
                             Prompter& prompter, Desktop& desktop, KeyValueStore& store,
                             QWidget& window)
    : m_run(run),
      m_autoDelete(autoDelete),
      m_prompter(prompter),
      m_desktop(desktop),
      m_store(store),
      m_window(window) {
    using namespace MainId;
    commands.setHandler(MenuFindSetup, [this] { OpenFindSetup(); });
    commands.setHandler(FindSetup, [this] { OpenFindSetup(); });
    commands.setHandler(MenuDeleteSetup, [this] { OpenDeleteSetup(); });
    commands.setHandler(MenuMoveFolders, [this] { OpenMoveFolderSetup(); });
    commands.setHandler(MenuFolderPrefs, [this] { OpenFolderPrefs(); });
}

void SetupCommands::OpenFindSetup() {
    TwinlySettings& s = m_run.settings();
    CFindSetupDlg d(m_desktop, &m_window);
    d.m_nMethod = s.m_nMethod;
    d.m_bUseLumForGrey = s.m_bUseLumForGrey;
    d.m_bCheckMirror = s.m_bCheckMirror;
    d.m_bCheckRotation = s.m_bCheckRotation;
    d.m_bAdjustColor = s.m_bAdjustColor;
    d.m_nAdjustAmount = s.m_nAdjustAmount;
    d.m_nMatchRestriction = s.m_nMatchRestriction;
    d.m_nAspectTol = s.m_nAspectTol;
    d.m_nSizeTol = s.m_nSizeTol;
    d.m_nDupsLimit = s.m_nDupsLimit;
    d.m_nFilterIndex = m_run.filterIndex();
    d.m_bFilterUnlocked = m_run.filterUnlocked() ? 1 : 0;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_nMethod = d.m_nMethod;
    s.m_bUseLumForGrey = d.m_bUseLumForGrey;
    s.m_bCheckMirror = d.m_bCheckMirror;
    s.m_bCheckRotation = d.m_bCheckRotation;
    s.m_bAdjustColor = d.m_bAdjustColor;
    s.m_nAdjustAmount = d.m_nAdjustAmount;
    s.m_nMatchRestriction = d.m_nMatchRestriction;
    s.m_nAspectTol = d.m_nAspectTol;
    s.m_nSizeTol = d.m_nSizeTol;
    s.m_nDupsLimit = d.m_nDupsLimit;
    m_run.setFilterIndex(d.m_nFilterIndex);
    m_run.setFilterUnlocked(d.m_bFilterUnlocked != 0);
    m_run.announceSettings();
}

void SetupCommands::OpenDeleteSetup() {
    TwinlySettings& s = m_run.settings();
    AutoDeleteRunner& runner = m_autoDelete;
    // Timers keep firing under a modal dialog: no image goes while it is open.
    const bool stepWasPending = runner.stepPending();
    runner.stopStep();
    CDeleteSetupDlg d(m_desktop, &m_window);
    d.m_nMode = s.m_nDeleteMode;
    d.m_bPause = s.m_bPauseOnNoDelete;
    d.m_bPermanent = s.m_bPermanentDelete;
    d.m_bMoveInstead = s.m_bMoveTo;
    d.m_nDelay = s.m_nAutoDelay;
    d.m_nSequence = s.m_nDeleteSequence;
    if (d.exec() == QDialog::Accepted) {
        s.m_nDeleteMode = d.m_nMode;
        s.m_bPauseOnNoDelete = d.m_bPause;
        s.m_bPermanentDelete = d.m_bPermanent;
        s.m_bMoveTo = d.m_bMoveInstead;
        s.m_nAutoDelay = d.m_nDelay;
        s.m_nDeleteSequence = d.m_nSequence;
        m_run.applyMoveRule();
    }
    if (s.m_nDeleteMode != DeleteMode::Automatic) {
        // As choosing the mode from the menu does.
        runner.endRun();
    } else if (stepWasPending) {
        runner.resumeStep();
    }
}

void SetupCommands::OpenMoveFolderSetup() {
    TwinlySettings& s = m_run.settings();
    CMoveFolderDlg d(m_prompter, &m_window);
    d.m_bMoveOnly = s.m_bMoveTo;
    d.m_strLeftFolder = s.m_strMoveFolder;
    d.m_strRightFolder = s.m_strMoveFolder2;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_bMoveTo = d.m_bMoveOnly;
    s.m_strMoveFolder = d.m_strLeftFolder;
    s.m_strMoveFolder2 = d.m_strRightFolder;
    m_run.applyMoveRule();
}

void SetupCommands::OpenFolderPrefs() {
    TwinlySettings& s = m_run.settings();
    CFolderPrefsDlg d(m_prompter, &m_window);
    d.m_strDataFolder = s.m_strDupDataPath;
    d.m_strLogFolder = s.m_strLogPath;
    d.m_strListFolder = s.m_strListPath;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_strDupDataPath = d.m_strDataFolder;
    s.m_strLogPath = d.m_strLogFolder;
    s.m_strListPath = d.m_strListFolder;
    SaveFolderPaths(m_store, s);
}

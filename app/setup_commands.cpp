#include "setup_commands.h"

#include "auto_delete_runner.h"
#include "delete_setup_dlg.h"
#include "find_setup_dlg.h"
#include "folder_prefs_dlg.h"
#include "main_dlg.h"
#include "move_folder_dlg.h"
#include "pair_viewer.h"

SetupCommands::SetupCommands(CMainDlg& dlg) : m_dlg(dlg) {
    dlg.setCommandHandler(32829, [this] { OpenFindSetup(); });
    dlg.setCommandHandler(1092, [this] { OpenFindSetup(); });
    dlg.setCommandHandler(32816, [this] { OpenDeleteSetup(); });
    dlg.setCommandHandler(32839, [this] { OpenMoveFolderSetup(); });
    dlg.setCommandHandler(32844, [this] { OpenFolderPrefs(); });
}

void SetupCommands::OpenFindSetup() {
    TwinlySettings& s = m_dlg.settings();
    CFindSetupDlg d(m_dlg.desktop(), &m_dlg);
    d.m_nMethod = s.m_nMethod;
    d.m_bUseLumForGrey = s.m_bUseLumForGrey;
    d.m_bCheckMirror = s.m_bCheckMirror;
    d.m_bAdjustColor = s.m_bAdjustColor;
    d.m_nAdjustAmount = s.m_nAdjustAmount;
    d.m_nMatchRestriction = s.m_nMatchRestriction;
    d.m_nAspectTol = s.m_nAspectTol;
    d.m_nSizeTol = s.m_nSizeTol;
    d.m_nDupsLimit = s.m_nDupsLimit;
    d.m_nFilterIndex = m_dlg.filterIndex();
    d.m_bFilterUnlocked = m_dlg.filterUnlocked() ? 1 : 0;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_nMethod = d.m_nMethod;
    s.m_bUseLumForGrey = d.m_bUseLumForGrey;
    s.m_bCheckMirror = d.m_bCheckMirror;
    s.m_bAdjustColor = d.m_bAdjustColor;
    s.m_nAdjustAmount = d.m_nAdjustAmount;
    s.m_nMatchRestriction = d.m_nMatchRestriction;
    s.m_nAspectTol = d.m_nAspectTol;
    s.m_nSizeTol = d.m_nSizeTol;
    s.m_nDupsLimit = d.m_nDupsLimit;
    m_dlg.setFilterIndex(d.m_nFilterIndex);
    m_dlg.setFilterUnlocked(d.m_bFilterUnlocked != 0);
    m_dlg.RefreshSettingsText();
}

void SetupCommands::OpenDeleteSetup() {
    TwinlySettings& s = m_dlg.settings();
    AutoDeleteRunner& runner = m_dlg.pairViewer().autoDelete();
    // Timers keep firing under a modal dialog: no image goes while it is open.
    const bool stepWasPending = runner.stepPending();
    runner.stopStep();
    CDeleteSetupDlg d(m_dlg.desktop(), &m_dlg);
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
        m_dlg.ApplyMoveRule();
    }
    if (s.m_nDeleteMode != DeleteMode::Automatic) {
        // As choosing the mode from the menu does.
        runner.endRun();
    } else if (stepWasPending) {
        runner.resumeStep();
    }
}

void SetupCommands::OpenMoveFolderSetup() {
    TwinlySettings& s = m_dlg.settings();
    CMoveFolderDlg d(m_dlg.prompter(), &m_dlg);
    d.m_bMoveOnly = s.m_bMoveTo;
    d.m_strLeftFolder = s.m_strMoveFolder;
    d.m_strRightFolder = s.m_strMoveFolder2;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_bMoveTo = d.m_bMoveOnly;
    s.m_strMoveFolder = d.m_strLeftFolder;
    s.m_strMoveFolder2 = d.m_strRightFolder;
    m_dlg.ApplyMoveRule();
}

void SetupCommands::OpenFolderPrefs() {
    TwinlySettings& s = m_dlg.settings();
    CFolderPrefsDlg d(m_dlg.prompter(), &m_dlg);
    d.m_strDataFolder = s.m_strDupDataPath;
    d.m_strLogFolder = s.m_strLogPath;
    d.m_strListFolder = s.m_strListPath;
    if (d.exec() != QDialog::Accepted) {
        return;
    }
    s.m_strDupDataPath = d.m_strDataFolder;
    s.m_strLogPath = d.m_strLogFolder;
    s.m_strListPath = d.m_strListFolder;
    SaveFolderPaths(m_dlg.store(), s);
}

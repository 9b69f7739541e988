#include "datafile_commands.h"

#include <QApplication>

#include "datafile_io.h"
#include "desktop.h"
#include "job_controller.h"
#include "main_dlg.h"
#include "prompter.h"

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

DatafileCommands::DatafileCommands(CMainDlg& dlg) : m_dlg(dlg) {}

void DatafileCommands::saveAs(int slot) {
    DatafileSlot& data = slot == 0 ? m_dlg.primary() : m_dlg.secondary();
    if (!data.hasRecords() || m_dlg.jobs().isRunning()) {
        return;
    }
    FileDialogSpec spec;
    spec.title = "SaveAs (Dups data file)";
    spec.filter = "Dups data file (*.dup)|*.dup||";
    spec.defaultExtension = "dup";
    spec.initialName = slot == 1                     ? "SecondaryData"
                       : m_dlg.primaryPath().empty() ? "PrimaryData"
                                                     : m_dlg.primaryPath();
    spec.initialFolder = m_dlg.settings().m_strDupDataPath;
    spec.overwritePrompt = true;
    const std::optional<std::string> path = m_dlg.prompter().saveFile(spec);
    if (!path) {
        return;
    }
    m_dlg.repaint();
    if (m_dlg.logChanged()) {
        purge(slot);
    }
    // The unsaved mark stays when nothing was written, so the work is not lost.
    if (WriteDatafile(*path, data) != 1) {
        m_dlg.prompter().inform("Error", "Unable to save Dups data file!", PromptIcon::Error);
        return;
    }
    m_dlg.desktop().playAsterisk();
    if (slot == 0) {
        m_dlg.setPrimaryUnsaved(false);
    }
}

bool DatafileCommands::open(int slot) {
    if (m_dlg.jobs().isRunning()) {
        return false;
    }
    FileDialogSpec spec;
    spec.title = "Open (Dups data file)";
    spec.filter = "Dups data file (*.dup)|*.dup|All files (*.*)|*.*||";
    spec.defaultExtension = "dup";
    spec.initialName = "*.dup";
    spec.initialFolder = m_dlg.settings().m_strDupDataPath;
    spec.mustExist = true;
    const std::optional<std::string> path = m_dlg.prompter().openFile(spec);
    if (!path) {
        return false;
    }
    DatafileSlot& data = slot == 0 ? m_dlg.primary() : m_dlg.secondary();
    if (ReadDatafile(*path, slot, data, m_dlg.prompter()) != 1) {
        m_dlg.prompter().inform("Error", "Unable to open Dups data file!", PromptIcon::Error);
        return false;
    }
    if (slot == 0) {
        m_dlg.setPrimaryPath(*path);
    }
    m_dlg.slotLabel(slot) = DatafileLabel(*path);
    data.m_strSourceNote = data.sourceNote();
    m_dlg.UpdateFindButton();
    m_dlg.setDataState(qs(m_dlg.slotLabel(slot)));
    if (m_dlg.settings().m_bAutoFind && m_dlg.ComparisonDataLoaded()) {
        m_dlg.SelectFindPage();
    } else {
        m_dlg.SelectGetDataPage();
    }
    return true;
}

void DatafileCommands::purge(int slot) {
    DatafileSlot& data = slot == 0 ? m_dlg.primary() : m_dlg.secondary();
    if (!data.hasRecords()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_dlg.setStatus3("Checking files...");
    const PurgeResult result = PurgeMissingRecords(data);
    if (slot == 0 && result.removedExisting) {
        m_dlg.setPrimaryUnsaved(true);
    }
    m_dlg.setStatus3(QString());
    m_dlg.SelectGetDataPage();
    QApplication::restoreOverrideCursor();
}

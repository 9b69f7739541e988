#include "datafile_commands.h"

#include <QWidget>

#include "command_router.h"
#include "datafile_io.h"
#include "desktop.h"
#include "job_controller.h"
#include "main_ids.h"
#include "page_switcher.h"
#include "prompter.h"
#include "run_state.h"
#include "status_lines.h"
#include "wait_cursor.h"

DatafileCommands::DatafileCommands(RunState& run, const JobController& jobs, StatusLines& status,
                                   PageSwitcher& pages, CommandRouter& commands, Prompter& prompter,
                                   Desktop& desktop, QWidget& window)
    : m_run(run),
      m_jobs(jobs),
      m_status(status),
      m_pages(pages),
      m_prompter(prompter),
      m_desktop(desktop),
      m_window(window) {
    using namespace MainId;
    // Only the menu's "Open" counts as having the primary data saved.
    commands.setHandler(PrimaryOpen, [this] { open(kPrimarySlot); });
    commands.setHandler(SecondaryOpen, [this] {
        if (m_run.compareMode() == CompareMode::SecondaryToPrimary) {
            open(kSecondarySlot);
        }
    });
    commands.setHandler(MenuOpenPrimary, [this] {
        if (open(kPrimarySlot)) {
            m_run.setPrimaryUnsaved(false);
        }
    });
    commands.setHandler(MenuOpenSecondary, [this] { open(kSecondarySlot); });
    commands.setHandler(MenuSavePrimary, [this] { saveAs(kPrimarySlot); });
    commands.setHandler(MenuSaveSecondary, [this] { saveAs(kSecondarySlot); });
}

void DatafileCommands::saveAs(int slot) {
    if (!m_run.slot(slot).hasRecords() || m_jobs.isRunning()) {
        return;
    }
    FileDialogSpec spec;
    spec.title = "SaveAs (Dups data file)";
    spec.filter = "Dups data file (*.dup)|*.dup||";
    spec.defaultExtension = "dup";
    spec.initialName = slot == kSecondarySlot        ? "SecondaryData"
                       : m_run.primaryPath().empty() ? "PrimaryData"
                                                     : m_run.primaryPath();
    spec.initialFolder = m_run.settings().m_strDupDataPath;
    spec.overwritePrompt = true;
    const std::optional<std::string> path = m_prompter.chooseSaveFile(spec);
    if (!path) {
        return;
    }
    m_window.repaint();
    if (m_run.logChanged()) {
        purge(slot);
    }
    // The unsaved mark stays when nothing was written, so the work is not lost.
    if (WriteDatafile(*path, m_run.slot(slot)) != 1) {
        m_prompter.inform("Error", "Unable to save Dups data file!", PromptIcon::Error);
        return;
    }
    m_desktop.playAsterisk();
    if (slot == kPrimarySlot) {
        m_run.setPrimaryUnsaved(false);
    }
}

bool DatafileCommands::open(int slot) {
    if (m_jobs.isRunning()) {
        return false;
    }
    FileDialogSpec spec;
    spec.title = "Open (Dups data file)";
    spec.filter = "Dups data file (*.dup)|*.dup|All files (*.*)|*.*||";
    spec.defaultExtension = "dup";
    spec.initialName = "*.dup";
    spec.initialFolder = m_run.settings().m_strDupDataPath;
    spec.mustExist = true;
    const std::optional<std::string> path = m_prompter.openFile(spec);
    if (!path) {
        return false;
    }
    // Read aside: a file that cannot be read leaves the slot as it was.
    DatafileSlot data = m_run.slot(slot).sourceOnly();
    if (ReadDatafile(*path, slot, data, m_prompter) != 1) {
        m_prompter.inform("Error", "Unable to open Dups data file!", PromptIcon::Error);
        return false;
    }
    if (slot == kPrimarySlot) {
        m_run.setPrimaryPath(*path);
    }
    data.m_strSourceNote = data.sourceNote();
    m_run.setSlotLabel(slot, DatafileLabel(*path));
    m_run.setSlot(slot, std::move(data));
    m_status.setDataState(QString::fromStdString(m_run.slotLabel(slot)));
    if (m_run.settings().m_bAutoFind && m_run.comparisonDataLoaded()) {
        m_pages.selectPage(kPageFind);
    } else {
        m_pages.selectPage(kPageGetData);
    }
    return true;
}

void DatafileCommands::purge(int slot) {
    if (!m_run.slot(slot).hasRecords()) {
        return;
    }
    WaitCursor wait;
    m_status.setJobLine(JobLine::Detail, "Checking files...");
    const PurgeResult result = m_run.purgeSlot(slot);
    if (slot == kPrimarySlot && result.removedExisting) {
        m_run.setPrimaryUnsaved(true);
    }
    m_status.setJobLine(JobLine::Detail, QString());
    m_pages.selectPage(kPageGetData);
}

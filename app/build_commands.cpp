#include "build_commands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

#include "background_counter.h"
#include "build_dlg.h"
#include "datafile_io.h"
#include "datafile_slot.h"
#include "folder_walk.h"
#include "job_controller.h"
#include "job_display.h"
#include "list_file.h"
#include "main_dlg.h"
#include "main_menus.h"
#include "main_texts.h"
#include "prompter.h"
#include "slot_build.h"

namespace {

constexpr const char* kTextGettingPaths = "Getting image file paths...";
constexpr const char* kTextUserAborted = "User aborted...";

int slotOfMode(int mode) {
    return mode == JobController::kBuildPrimary || mode == JobController::kFastPrimary ? 0 : 1;
}

class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

BuildCommands::BuildCommands(CMainDlg& dlg)
    : m_dlg(dlg),
      m_signerFactory([](BuildRun run, ResizeMode filter) { return MakeRunSigner(run, filter); }) {
    const TwinlySettings& s = dlg.settings();
    dlg.primary().m_strSourceFolder = s.m_strLastFolder;
    dlg.primary().m_strSourceList = s.m_strLastListFile;
    dlg.primary().m_bSubfolders = s.m_bRecursive;
    dlg.secondary().m_strSourceFolder = s.m_strLastSecFolder;
    m_secondaryBrowseStart = s.m_strLastInFolder;

    dlg.setCommandHandler(1084, [this] { OnBuild(0); });
    dlg.setCommandHandler(1088, [this] { OnBuild(1); });
    dlg.setCommandHandler(32823, [this] { OnFastRebuild(0); });
    dlg.setCommandHandler(32824, [this] { OnFastRebuild(1); });
    connect(&dlg.jobs(), &JobController::progressTick, this, &BuildCommands::onTick);
    connect(&dlg.jobs(), &JobController::finished, this, &BuildCommands::onFinished);
    for (const char* popup : {"File", "Data"}) {
        if (QMenu* menu = dlg.menus().popup(popup)) {
            connect(menu, &QMenu::aboutToShow, this, &BuildCommands::UpdateDataMenuItems);
        }
    }
}

BuildCommands::~BuildCommands() = default;

DatafileSlot& BuildCommands::slotData(int slot) {
    return slot == 0 ? m_dlg.primary() : m_dlg.secondary();
}

void BuildCommands::StoreSlotSources() {
    TwinlySettings& s = m_dlg.settings();
    s.m_strLastFolder = m_dlg.primary().m_strSourceFolder;
    s.m_strLastListFile = m_dlg.primary().m_strSourceList;
    s.m_bRecursive = m_dlg.primary().m_bSubfolders;
    s.m_strLastSecFolder = m_dlg.secondary().m_strSourceFolder;
}

void BuildCommands::UpdateDataMenuItems() {
    const bool idle = !m_dlg.jobs().isRunning();
    const auto enable = [this](int id, bool on) {
        if (QAction* a = m_dlg.menus().action(id)) {
            a->setEnabled(on);
        }
    };
    enable(32806, idle);
    enable(32818, idle);
    enable(32803, idle && m_dlg.primary().hasRecords());
    enable(32821, idle && m_dlg.secondary().hasRecords());
    enable(32823, idle && m_dlg.primary().hasRecords());
    enable(32824, idle && m_dlg.secondary().hasRecords());
}

// ----- Build -----

bool BuildCommands::runBuildDialog(int slot) {
    DatafileSlot& data = slotData(slot);
    TwinlySettings& s = m_dlg.settings();
    BackgroundCounter counter;
    CBuildDlg dialog(m_dlg.prompter(), m_dlg.desktop(), counter.folderCounter(),
                     counter.listCounter(), &m_dlg);
    counter.attach(dialog);
    dialog.m_bSubfolders = data.m_bSubfolders;
    dialog.m_bQuickCount = s.m_bQuickCount;
    dialog.m_strListFile = data.m_strSourceList;
    dialog.m_strFolder = data.m_strSourceFolder;
    dialog.m_strBrowseStart = slot == 0 ? s.m_strLastInFolder : m_secondaryBrowseStart;
    dialog.m_strListFolder = s.m_strListPath;
    dialog.m_nSourceKind = data.m_nSourceKind;
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    data.m_bSubfolders = dialog.m_bSubfolders;
    data.m_strSourceList = dialog.m_strListFile;
    data.m_strSourceFolder = dialog.m_strFolder;
    (slot == 0 ? s.m_strLastInFolder : m_secondaryBrowseStart) = dialog.m_strBrowseStart;
    s.m_strListPath = dialog.m_strListFolder;
    data.m_nSourceKind = dialog.m_nSourceKind;
    if (slot == 0) {
        s.m_bQuickCount = dialog.m_bQuickCount;
    }
    return true;
}

// Gathers the paths of the slot's source; false (with the slot empty and any
// message shown) when there is nothing to build.
bool BuildCommands::gather(int slot, SlotBuild& build, bool showGetting) {
    if (showGetting) {
        m_dlg.setStatus(kTextGettingPaths);
        m_dlg.repaint();  // the walk below keeps the event loop busy
    }
    bool userCancelled = false;
    const GatherResult result = build.gather(m_dlg.prompter(), &userCancelled);
    if (result != GatherResult::Gathered) {
        slotData(slot).clearData();
        m_dlg.RefreshDatafileTexts();
        if (userCancelled) {
            m_dlg.setStatus(kUserCancelledStatus);
        } else if (showGetting) {
            m_dlg.setStatus(QString());
        }
        if (result == GatherResult::TooFew) {
            m_dlg.prompter().inform("", kTooFewImagesMessage, PromptIcon::Information);
        }
        return false;
    }
    return true;
}

void BuildCommands::OnBuild(int slot) {
    if (m_dlg.jobs().isRunning() || !runBuildDialog(slot)) {
        return;
    }
    const BuildRun run = slot == 0 ? BuildRun::BuildPrimary : BuildRun::BuildSecondary;
    auto build = std::make_shared<SlotBuild>(run, slotData(slot));
    {
        WaitCursor wait;
        if (slot == 0) {
            m_dlg.setPrimaryPath({});  // a freshly built slot has no file name
        }
        slotData(slot).clearData();
        m_dlg.RefreshDatafileTexts();
        m_dlg.UpdateFindButton();
        if (!gather(slot, *build, run != BuildRun::BuildSecondary)) {
            return;
        }
    }
    startJob(slot == 0 ? JobController::kBuildPrimary : JobController::kBuildSecondary, run,
             std::move(build));
}

// ----- Fast rebuild -----

bool BuildCommands::confirmRebuild(int slot, int before, int now) {
    std::string text;
    PromptButtons buttons = PromptButtons::OkCancel;
    const char* which = slot == 0 ? "primary" : "secondary";
    if (now != before) {
        text = std::string("There are changes in the file count.\nYou need to rebuild the ") +
               which + " data file." + (slot == 0 ? " Press 'OK' to rebuild." : "") +
               "\nImage file count change = " + std::to_string(now - before);
    } else {
        text = std::string(
                   "There is no change in the file count.\nIt appears there is no need "
                   "to rebuild the ") +
               which + " data file." + (slot == 0 ? " Press 'OK' to rebuild anyway." : "") +
               "\nImage file count = " + std::to_string(now);
        if (slot == 1) {
            buttons = PromptButtons::Ok;
        }
    }
    const PromptAnswer answer =
        m_dlg.prompter().message("Information", text, buttons, PromptIcon::Information);
    return buttons == PromptButtons::OkCancel && answer == PromptAnswer::Ok;
}

void BuildCommands::OnFastRebuild(int slot) {
    DatafileSlot& data = slotData(slot);
    if (m_dlg.jobs().isRunning() || !data.hasRecords()) {
        return;
    }
    {
        WaitCursor wait;
        m_dlg.setStatus3("Checking files...");
        const PurgeResult purged = PurgeMissingRecords(data);
        if (slot == 0 && purged.removedExisting) {
            m_dlg.setPrimaryUnsaved(true);
        }
        m_dlg.setStatus3(QString());
    }
    m_dlg.RefreshDatafileTexts();
    const int now = data.m_nSourceKind != 0
                        ? CountFolderImages(data.m_strSourceFolder, data.m_bSubfolders == 1, false)
                        : CountListFile(data.m_strSourceList, false);
    if (!confirmRebuild(slot, data.count(), now)) {
        return;
    }
    const BuildRun run = slot == 0 ? BuildRun::RebuildPrimary : BuildRun::RebuildSecondary;
    std::shared_ptr<SlotBuild> build;
    {
        WaitCursor wait;
        SlotEntries old = data.takeEntries();
        build = std::make_shared<SlotBuild>(run, data, std::move(old));
        m_dlg.RefreshDatafileTexts();
        m_dlg.UpdateFindButton();
        if (!gather(slot, *build, true)) {
            return;
        }
    }
    startJob(slot == 0 ? JobController::kFastPrimary : JobController::kFastSecondary, run,
             std::move(build));
}

// ----- The job -----

void BuildCommands::startJob(int mode, BuildRun run, std::shared_ptr<SlotBuild> build) {
    const int total = build->pathCount();
    JobController::Work work =
        [build, threads = m_threads,
         signer = m_signerFactory(run, static_cast<ResizeMode>(m_dlg.filterIndex()))](
            JobProgress& p) { return build->readImages(signer, threads, p); };
    if (!m_dlg.jobs().start(mode, total, std::move(work))) {
        return;
    }
    m_build = std::move(build);
    m_dlg.setStatus(kTextReadingImages);
    ProgressInit(m_dlg, total, JobTotalLine::Status4);
    UpdateDataMenuItems();
}

void BuildCommands::onTick(int mode) {
    if (mode == JobController::kFind) {
        return;
    }
    const JobProgress& p = m_dlg.jobs().progress();
    const int done = p.progress.load(std::memory_order_relaxed);
    ShowJobProgress(m_dlg, done, p.total.load(std::memory_order_relaxed));
    m_dlg.setStatus3(QStringLiteral("Doing..%1").arg(done));
}

void BuildCommands::onFinished(int mode, bool completed) {
    if (mode == JobController::kFind) {
        return;
    }
    const int slot = slotOfMode(mode);
    std::shared_ptr<SlotBuild> build = std::move(m_build);
    if (!completed || build == nullptr) {
        AbortBuild(slot);
        if (!m_dlg.jobs().failure().empty()) {
            m_dlg.prompter().inform("Error",
                                    "The image data could not be built: " + m_dlg.jobs().failure(),
                                    PromptIcon::Error);
        }
        return;
    }
    slotData(slot) = build->takeSlot();
    if (mode == JobController::kBuildPrimary) {
        m_dlg.setPrimaryUnsaved(true);
    }
    FinishBuild(slot);
}

void BuildCommands::FinishBuild(int slot) {
    DatafileSlot& data = slotData(slot);
    ResetJobDisplay(m_dlg);
    m_dlg.UpdateFindButton();
    m_dlg.slotLabel(slot) = kTextBuiltReady;
    m_dlg.setDataState(kTextBuiltReady);
    m_dlg.setStatus3(QString());
    m_dlg.setStatus4(QString());
    m_dlg.setStatus(kTextFinishedBuilding);
    m_dlg.EnableModeButtons(true);
    UpdateDataMenuItems();
    // The count of the slot just built, whichever slot that was.
    m_dlg.setStatus(
        QStringLiteral("Finished: %1 images analyzed. Ready to 'Find dups'").arg(data.count()));
    m_dlg.RefreshDatafileTexts();
    if (m_dlg.settings().m_bAutoFind && m_dlg.ComparisonDataLoaded()) {
        m_dlg.SelectFindPage();
    }
}

void BuildCommands::AbortBuild(int slot) {
    DatafileSlot& data = slotData(slot);
    data.clearData();
    m_dlg.slotLabel(slot) = kTextNotBuilt;
    ResetJobDisplay(m_dlg);
    m_dlg.setStatus3(QString());
    m_dlg.setStatus4(QString());
    m_dlg.setStatus(kTextUserAborted);
    m_dlg.setDataState(kTextNotBuilt);
    m_dlg.UpdateFindButton();
    m_dlg.EnableModeButtons(true);
    m_dlg.RefreshDatafileTexts();
    UpdateDataMenuItems();
}

#include "build_commands.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QWidget>

#include "background_counter.h"
#include "build_dlg.h"
#include "command_router.h"
#include "datafile_io.h"
#include "folder_source.h"
#include "folder_walk.h"
#include "job_controller.h"
#include "job_display.h"
#include "list_file.h"
#include "main_ids.h"
#include "main_menus.h"
#include "main_texts.h"
#include "page_switcher.h"
#include "prompter.h"
#include "run_state.h"
#include "slot_build.h"
#include "status_lines.h"
#include "wait_cursor.h"

namespace {

constexpr const char* kTextGettingPaths = "Getting image file paths...";
constexpr const char* kTextUserAborted = "User aborted...";

int slotOfMode(JobMode mode) {
    return mode == JobMode::BuildPrimary || mode == JobMode::FastPrimary ? kPrimarySlot
                                                                         : kSecondarySlot;
}

// A mistyped folder would otherwise empty the slot and build nothing, without
// a word.
bool sourceFolderFound(const DatafileSlot& slot, Prompter& prompter) {
    if (slot.m_nSourceKind != 1) {
        return true;
    }
    const QFileInfo folder(QString::fromStdString(slot.m_strSourceFolder));
    if (folder.isDir()) {
        return true;
    }
    const std::string& typed = slot.m_strSourceFolder;
    prompter.inform("Twinly",
                    typed.empty()      ? std::string("Enter the folder to read image files from.")
                    : !folder.exists() ? "The folder " + typed + " does not exist."
                                       : typed + " is not a folder.",
                    PromptIcon::Warning);
    return false;
}

}  // namespace

BuildCommands::BuildCommands(RunState& run, JobController& jobs, JobDisplay& jobDisplay,
                             StatusLines& status, PageSwitcher& pages, CommandRouter& commands,
                             MainMenus& menus, Prompter& prompter, Desktop& desktop,
                             QWidget& window)
    : m_run(run),
      m_jobs(jobs),
      m_jobDisplay(jobDisplay),
      m_status(status),
      m_pages(pages),
      m_menus(menus),
      m_prompter(prompter),
      m_desktop(desktop),
      m_window(window),
      m_signerFactory([this](BuildRun r, ResizeMode filter) {
          return MakeRunSigner(r, filter, m_run.imageFormats());
      }) {
    const TwinlySettings& s = run.settings();
    DatafileSlot primary;
    primary.m_strSourceFolder = s.m_strLastFolder;
    primary.m_strSourceList = s.m_strLastListFile;
    primary.m_bSubfolders = s.m_bRecursive;
    run.setSlotSource(kPrimarySlot, primary);
    DatafileSlot secondary;
    secondary.m_strSourceFolder = s.m_strLastSecFolder;
    run.setSlotSource(kSecondarySlot, secondary);
    m_secondaryBrowseStart = s.m_strLastInFolder;

    using namespace MainId;
    commands.setHandler(PrimaryBuild, [this] { OnBuild(kPrimarySlot); });
    commands.setHandler(SecondaryBuild, [this] { OnBuild(kSecondarySlot); });
    commands.setHandler(MenuRebuildPrimary, [this] { OnFastRebuild(kPrimarySlot); });
    commands.setHandler(MenuRebuildSecondary, [this] { OnFastRebuild(kSecondarySlot); });
    connect(&jobs, &JobController::progressTick, this, &BuildCommands::onTick);
    connect(&jobs, &JobController::finished, this, &BuildCommands::onFinished);
    for (const char* popup : {"File", "Data"}) {
        if (QMenu* menu = menus.popup(popup)) {
            connect(menu, &QMenu::aboutToShow, this, &BuildCommands::UpdateDataMenuItems);
        }
    }
}

BuildCommands::~BuildCommands() = default;

void BuildCommands::StoreSlotSources() {
    TwinlySettings& s = m_run.settings();
    s.m_strLastFolder = m_run.primary().m_strSourceFolder;
    s.m_strLastListFile = m_run.primary().m_strSourceList;
    s.m_bRecursive = m_run.primary().m_bSubfolders;
    s.m_strLastSecFolder = m_run.secondary().m_strSourceFolder;
}

void BuildCommands::UpdateDataMenuItems() {
    const bool idle = !m_jobs.isRunning();
    const auto enable = [this](int id, bool on) {
        if (QAction* a = m_menus.action(id)) {
            a->setEnabled(on);
        }
    };
    using namespace MainId;
    enable(MenuOpenPrimary, idle);
    enable(MenuOpenSecondary, idle);
    enable(MenuSavePrimary, idle && m_run.primary().hasRecords());
    enable(MenuSaveSecondary, idle && m_run.secondary().hasRecords());
    enable(MenuRebuildPrimary, idle && m_run.primary().hasRecords());
    enable(MenuRebuildSecondary, idle && m_run.secondary().hasRecords());
}

// ----- Build -----

bool BuildCommands::runBuildDialog(int slot) {
    DatafileSlot source = m_run.slot(slot).sourceOnly();
    TwinlySettings& s = m_run.settings();
    BackgroundCounter counter(m_run.imageFormats());
    CBuildDlg dialog(m_prompter, m_desktop, counter.folderCounter(), counter.listCounter(),
                     &m_window);
    counter.attach(dialog);
    dialog.m_bSubfolders = source.m_bSubfolders;
    dialog.m_bQuickCount = s.m_bQuickCount;
    dialog.m_strListFile = source.m_strSourceList;
    dialog.m_strFolder = source.m_strSourceFolder;
    dialog.m_strBrowseStart = slot == kPrimarySlot ? s.m_strLastInFolder : m_secondaryBrowseStart;
    dialog.m_strListFolder = s.m_strListPath;
    dialog.m_nSourceKind = source.m_nSourceKind;
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    source.m_bSubfolders = dialog.m_bSubfolders;
    source.m_strSourceList = dialog.m_strListFile;
    source.m_strSourceFolder = dialog.m_strFolder;
    source.m_nSourceKind = dialog.m_nSourceKind;
    m_run.setSlotSource(slot, source);
    (slot == kPrimarySlot ? s.m_strLastInFolder : m_secondaryBrowseStart) = dialog.m_strBrowseStart;
    s.m_strListPath = dialog.m_strListFolder;
    if (slot == kPrimarySlot) {
        s.m_bQuickCount = dialog.m_bQuickCount;
    }
    return true;
}

// Gathers the paths of the slot's source; false (with the slot empty and any
// message shown) when there is nothing to build.
bool BuildCommands::gather(int slot, SlotBuild& build, bool showGetting) {
    if (showGetting) {
        m_status.setStatus(kTextGettingPaths);
        m_window.repaint();  // the walk below keeps the event loop busy
    }
    bool userCancelled = false;
    const GatherResult result = build.gather(m_prompter, &userCancelled, m_run.imageFormats());
    if (result != GatherResult::Gathered) {
        m_run.clearSlot(slot);
        if (userCancelled) {
            m_status.setStatus(kUserCancelledStatus);
        } else if (showGetting) {
            m_status.setStatus(QString());
        }
        if (result == GatherResult::TooFew) {
            m_prompter.inform("", kTooFewImagesMessage, PromptIcon::Information);
        }
        return false;
    }
    return true;
}

void BuildCommands::OnBuild(int slot) {
    if (m_jobs.isRunning() || !runBuildDialog(slot) ||
        !sourceFolderFound(m_run.slot(slot), m_prompter)) {
        return;
    }
    const BuildRun run = slot == kPrimarySlot ? BuildRun::BuildPrimary : BuildRun::BuildSecondary;
    auto build = std::make_shared<SlotBuild>(run, m_run.slot(slot));
    {
        WaitCursor wait;
        if (slot == kPrimarySlot) {
            m_run.setPrimaryPath({});  // a freshly built slot has no file name
        }
        m_run.clearSlot(slot);
        if (!gather(slot, *build, run != BuildRun::BuildSecondary)) {
            return;
        }
    }
    startJob(slot == kPrimarySlot ? JobMode::BuildPrimary : JobMode::BuildSecondary, run,
             std::move(build));
}

// ----- Fast rebuild -----

bool BuildCommands::confirmRebuild(int slot, int before, int now) {
    std::string text;
    PromptButtons buttons = PromptButtons::OkCancel;
    const bool primary = slot == kPrimarySlot;
    const char* which = primary ? "primary" : "secondary";
    if (now != before) {
        text = std::string("There are changes in the file count.\nYou need to rebuild the ") +
               which + " data file." + (primary ? " Press 'OK' to rebuild." : "") +
               "\nImage file count change = " + std::to_string(now - before);
    } else {
        text = std::string(
                   "There is no change in the file count.\nIt appears there is no need "
                   "to rebuild the ") +
               which + " data file." + (primary ? " Press 'OK' to rebuild anyway." : "") +
               "\nImage file count = " + std::to_string(now);
        if (!primary) {
            buttons = PromptButtons::Ok;
        }
    }
    const PromptAnswer answer =
        m_prompter.message("Information", text, buttons, PromptIcon::Information);
    return buttons == PromptButtons::OkCancel && answer == PromptAnswer::Ok;
}

void BuildCommands::OnFastRebuild(int slot) {
    if (m_jobs.isRunning() || !m_run.slot(slot).hasRecords()) {
        return;
    }
    {
        WaitCursor wait;
        m_status.setJobLine(JobLine::Detail, "Checking files...");
        const PurgeResult purged = m_run.purgeSlot(slot);
        if (slot == kPrimarySlot && purged.removedExisting) {
            m_run.setPrimaryUnsaved(true);
        }
        m_status.setJobLine(JobLine::Detail, QString());
    }
    const DatafileSlot& data = m_run.slot(slot);
    const ImageFormats formats = m_run.imageFormats();
    DiskFolderSource disk;
    const int now =
        data.m_nSourceKind != 0
            ? CountFolderImages(data.m_strSourceFolder, data.m_bSubfolders == 1, false, formats)
            : CountListFileWith(disk, data.m_strSourceList, false, formats);
    if (!confirmRebuild(slot, data.count(), now)) {
        return;
    }
    const BuildRun run =
        slot == kPrimarySlot ? BuildRun::RebuildPrimary : BuildRun::RebuildSecondary;
    std::shared_ptr<SlotBuild> build;
    {
        WaitCursor wait;
        SlotEntries old = m_run.takeSlotEntries(slot);
        build = std::make_shared<SlotBuild>(run, m_run.slot(slot), std::move(old));
        if (!gather(slot, *build, true)) {
            return;
        }
    }
    startJob(slot == kPrimarySlot ? JobMode::FastPrimary : JobMode::FastSecondary, run,
             std::move(build));
}

// ----- The job -----

void BuildCommands::startJob(JobMode mode, BuildRun run, std::shared_ptr<SlotBuild> build) {
    const int total = build->pathCount();
    JobController::Work work =
        [build, threads = m_threads,
         signer = m_signerFactory(run, static_cast<ResizeMode>(m_run.filterIndex()))](
            JobProgress& p) { return build->readImages(signer, threads, p); };
    if (!m_jobs.start(mode, total, std::move(work))) {
        return;
    }
    m_build = std::move(build);
    m_status.setStatus(kTextReadingImages);
    m_jobDisplay.showStart(total, JobLine::Counter);
    UpdateDataMenuItems();
}

void BuildCommands::onTick(JobMode mode) {
    if (mode == JobMode::Find) {
        return;
    }
    const JobProgress& p = m_jobs.progress();
    const int done = p.progress.load(std::memory_order_relaxed);
    m_jobDisplay.showProgress(done, p.total.load(std::memory_order_relaxed));
    m_status.setJobLine(JobLine::Detail, QStringLiteral("Doing..%1").arg(done));
}

void BuildCommands::onFinished(JobMode mode, bool completed) {
    if (mode == JobMode::Find) {
        return;
    }
    const int slot = slotOfMode(mode);
    std::shared_ptr<SlotBuild> build = std::move(m_build);
    if (!completed || build == nullptr) {
        AbortBuild(slot);
        if (!m_jobs.failure().empty()) {
            m_prompter.inform("Error", "The image data could not be built: " + m_jobs.failure(),
                              PromptIcon::Error);
        }
        return;
    }
    m_run.setSlotLabel(slot, kTextBuiltReady);
    m_run.setSlot(slot, build->takeSlot());
    if (mode == JobMode::BuildPrimary) {
        m_run.setPrimaryUnsaved(true);
    }
    FinishBuild(slot);
}

void BuildCommands::FinishBuild(int slot) {
    m_jobDisplay.reset();
    m_status.setDataState(kTextBuiltReady);
    m_status.setJobLine(JobLine::Detail, QString());
    m_status.setJobLine(JobLine::Counter, QString());
    UpdateDataMenuItems();
    // The count of the slot just built, whichever slot that was.
    m_status.setStatus(QStringLiteral("Finished: %1 images analyzed. Ready to 'Find dups'")
                           .arg(m_run.slot(slot).count()));
    if (m_run.settings().m_bAutoFind && m_run.comparisonDataLoaded()) {
        m_pages.selectPage(kPageFind);
    }
}

void BuildCommands::AbortBuild(int slot) {
    m_run.clearSlot(slot);
    m_run.setSlotLabel(slot, kTextNotBuilt);
    m_jobDisplay.reset();
    m_status.setJobLine(JobLine::Detail, QString());
    m_status.setJobLine(JobLine::Counter, QString());
    m_status.setStatus(kTextUserAborted);
    m_status.setDataState(kTextNotBuilt);
    UpdateDataMenuItems();
}

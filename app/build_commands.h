#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "build_run.h"
#include "imaging.h"
#include "source_gather.h"

class CommandRouter;
class Desktop;
class JobController;
class JobDisplay;
class MainMenus;
class PageSwitcher;
class Prompter;
class QWidget;
class RunState;
class SlotBuild;
class StatusLines;
enum class JobMode;

/// The build and fast-rebuild commands of the two data file slots: the build
/// dialog, gathering the paths, the job that makes the records, and the
/// finishing and aborting steps. Also the rule that grays the data file menu
/// items while a job runs. User-interface thread.
class BuildCommands : public QObject {
    Q_OBJECT
  public:
    /// Makes the signer of a run; the default reads each file with
    /// SignatureFromFile. Tests hand in signers that count or block.
    using SignerFactory = std::function<ImageSigner(BuildRun run, ResizeMode filter)>;

    /// Registers the commands and takes the slots' sources from the run's
    /// settings (the primary slot's folder, list and subfolder flag and the
    /// secondary slot's folder are stored settings). `window` parents the
    /// build dialog.
    BuildCommands(RunState& run, JobController& jobs, JobDisplay& jobDisplay, StatusLines& status,
                  PageSwitcher& pages, CommandRouter& commands, MainMenus& menus,
                  Prompter& prompter, Desktop& desktop, QWidget& window);
    ~BuildCommands() override;

    /// "Build..." of slot 0 (primary) or 1 (secondary).
    void OnBuild(int slot);
    /// "Fast rebuild" of slot 0 or 1.
    void OnFastRebuild(int slot);

    /// Writes the slots' sources back into the settings, before they are saved.
    void StoreSlotSources();
    /// Enables the open, save and fast rebuild items of File and Data only
    /// when no job runs (save and rebuild also need records in the slot).
    void UpdateDataMenuItems();

    void setSignerFactory(SignerFactory factory) { m_signerFactory = std::move(factory); }
    /// Decoding threads of a build; 0 uses every core.
    void setThreads(int threads) { m_threads = threads; }

  private:
    bool runBuildDialog(int slot);
    bool gather(int slot, SlotBuild& build, bool showGetting);
    bool confirmRebuild(int slot, int before, int now);
    void startJob(JobMode mode, BuildRun run, std::shared_ptr<SlotBuild> build);
    void onTick(JobMode mode);
    void onFinished(JobMode mode, bool completed);
    void FinishBuild(int slot);
    void AbortBuild(int slot);

    RunState& m_run;
    JobController& m_jobs;
    JobDisplay& m_jobDisplay;
    StatusLines& m_status;
    PageSwitcher& m_pages;
    MainMenus& m_menus;
    Prompter& m_prompter;
    Desktop& m_desktop;
    QWidget& m_window;
    SignerFactory m_signerFactory;
    int m_threads = 0;
    /// The secondary slot's own browse-start folder (not stored).
    std::string m_secondaryBrowseStart;
    /// Worked on by the running job's worker; read once the job has ended.
    std::shared_ptr<SlotBuild> m_build;
};

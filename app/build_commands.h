#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "build_run.h"
#include "imaging.h"
#include "source_gather.h"

class CMainDlg;
class DatafileSlot;
class SlotBuild;

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

    /// Registers the commands with `dlg` and takes the slots' sources from
    /// its settings (the primary slot's folder, list and subfolder flag and
    /// the secondary slot's folder are stored settings).
    explicit BuildCommands(CMainDlg& dlg);
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
    DatafileSlot& slotData(int slot);
    bool runBuildDialog(int slot);
    bool gather(int slot, SlotBuild& build, bool showGetting);
    bool confirmRebuild(int slot, int before, int now);
    void startJob(int mode, BuildRun run, std::shared_ptr<SlotBuild> build);
    void onTick(int mode);
    void onFinished(int mode, bool completed);
    void FinishBuild(int slot);
    void AbortBuild(int slot);

    CMainDlg& m_dlg;
    SignerFactory m_signerFactory;
    int m_threads = 0;
    /// The secondary slot's own browse-start folder (not stored).
    std::string m_secondaryBrowseStart;
    /// Worked on by the running job's worker; read once the job has ended.
    std::shared_ptr<SlotBuild> m_build;
};

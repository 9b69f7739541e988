#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "find_run.h"

class CMainDlg;

/// The "Find dups" button: the band read and corrected from the edits, the
/// find-dups job over copies of the loaded data, its progress, and the
/// finishing (FinishFindRun) and aborting steps. User-interface thread.
class FindCommands : public QObject {
    Q_OBJECT
  public:
    /// Registers the button with `dlg`.
    explicit FindCommands(CMainDlg& dlg);
    ~FindCommands() override;

    /// Runs the comparison on the worker thread: RunFindDups, unless a test
    /// hands in its own.
    using Runner = std::function<FindRunResult(const FindRunInput&, JobProgress&)>;

    void StartFindJob();
    /// Comparison threads of a run; 0 uses every core.
    void setThreads(int threads) { m_threads = threads; }
    void setRunner(Runner runner) { m_runner = std::move(runner); }

  private:
    struct Run;
    void onTick(int mode);
    void onFinished(int mode, bool completed);
    void FinishFindRun(const Run& run);
    void AbortFind();

    CMainDlg& m_dlg;
    int m_threads = 0;
    Runner m_runner = RunFindDups;
    /// The running job's data and result; read once the job has ended.
    std::shared_ptr<Run> m_run;
};

#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "job_progress.h"

/// What the one job of the main window does.
enum class JobMode : int {
    Find = 0,
    BuildPrimary = 1,
    BuildSecondary = 2,
    FastPrimary = 3,
    FastSecondary = 4,
};

/// Runs the one background job of the main window: a find-dups run or a build
/// of a data file slot. The work runs on its own thread and touches no widget;
/// the user-interface thread polls the shared counters on a timer and handles
/// the end of the job there.
class JobController : public QObject {
    Q_OBJECT
  public:
    /// Poll intervals while a job runs, and the delay of the last poll after
    /// the work has ended.
    static constexpr int kFindPollMs = 500;
    static constexpr int kBuildPollMs = 1000;
    static constexpr int kEndPollMs = 250;

    /// The job's work; runs on the worker thread and returns true when it ran
    /// to its end, false when it stopped because a stop was requested. It must
    /// work on its own copies: the window's data may not be touched from it.
    using Work = std::function<bool(JobProgress&)>;

    explicit JobController(QObject* parent = nullptr);
    /// Stops and joins a running job without reporting its end.
    ~JobController() override;

    /// Starts a job of `mode` with `total` units; ignored (false) while a job
    /// runs. The worker runs below normal priority (find) or at the lowest
    /// (builds). User-interface thread.
    bool start(JobMode mode, int total, Work work);

    bool isRunning() const { return m_bBuildRunning || m_bFindRunning; }
    bool isBuildRunning() const { return m_bBuildRunning; }
    JobMode mode() const { return m_nJobMode; }
    const JobProgress& progress() const { return m_progress; }
    /// Why the last job failed (an exception left its work); empty otherwise.
    const std::string& failure() const { return m_failure; }

    /// The abort button: the work stops at its next check.
    void requestAbort() { m_progress.requestStop(); }
    /// Stops the job and waits for its thread; nothing is reported afterwards.
    void stopAndJoin();

  signals:
    /// A job has started. User-interface thread.
    void started(JobMode mode);
    /// A poll while the job runs (500 ms find, 1000 ms build). User-interface thread.
    void progressTick(JobMode mode);
    /// The job is over and its thread joined; the running flags are already
    /// clear. `completed` is false when it was stopped or failed.
    /// User-interface thread.
    void finished(JobMode mode, bool completed);

  private:
    enum State { kIdle = 0, kRunning = 1, kDone = 2, kStopped = 4 };
    void poll();
    void runWork(const Work& work);

    JobProgress m_progress;
    std::atomic<int> m_nJobState{kIdle};
    JobMode m_nJobMode = JobMode::Find;
    bool m_bBuildRunning = false;
    bool m_bFindRunning = false;
    std::string m_failure;
    std::string m_workerFailure;  // written by the worker, read after the join
    QTimer m_poll;
    std::jthread m_worker;
};

#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <thread>

#include "job_progress.h"

/// Runs the one background job of the main window: a find-dups run or a build
/// of a data file slot. The work runs on its own thread and touches no widget;
/// the user-interface thread polls the shared counters on a timer and handles
/// the end of the job there.
class JobController : public QObject {
    Q_OBJECT
  public:
    enum Mode {
        kFind = 0,
        kBuildPrimary = 1,
        kBuildSecondary = 2,
        kFastPrimary = 3,
        kFastSecondary = 4
    };
    /// The job's work; runs on the worker thread and returns true when it ran
    /// to its end, false when it stopped because a stop was requested.
    using Work = std::function<bool(JobProgress&)>;

    explicit JobController(QObject* parent = nullptr);
    ~JobController() override;

    /// Starts a job of `mode` with `total` units; ignored (false) while a job runs.
    /// User-interface thread.
    bool start(int mode, int total, Work work);

    bool isRunning() const { return m_bBuildRunning || m_bFindRunning; }
    bool isBuildRunning() const { return m_bBuildRunning; }
    bool isFindRunning() const { return m_bFindRunning; }
    int mode() const { return m_nJobMode; }
    const JobProgress& progress() const { return m_progress; }

    /// The abort button: the work stops at its next check.
    void requestAbort() { m_progress.requestStop(); }
    /// Stops the job and waits for its thread; nothing runs afterwards.
    void stopAndJoin();

  signals:
    /// A poll while the job runs (500 ms find, 1000 ms build). User-interface thread.
    void progressTick(int mode);
    /// The job is over; the running flags are already clear. User-interface thread.
    void finished(int mode, bool completed);

  private:
    enum State { kIdle = 0, kRunning = 1, kDone = 2, kStopped = 4 };
    void poll();

    JobProgress m_progress;
    std::atomic<int> m_nJobState{kIdle};
    int m_nJobMode = kFind;
    bool m_bBuildRunning = false;
    bool m_bFindRunning = false;
    QTimer m_poll;
    std::jthread m_worker;
};

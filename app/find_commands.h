#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "find_run.h"

class CommandRouter;
class FindPage;
class JobController;
class JobDisplay;
class LogCommands;
class PageSwitcher;
class Prompter;
class RmsTable;
class RunState;
class StatusLines;
enum class JobMode;

/// The "Find dups" button: the band read and corrected from the page's edits,
/// the find-dups job over copies of the loaded data, its progress, and the
/// finishing (FinishFindRun) and aborting steps. A finished run's log goes to
/// the log commands. User-interface thread.
class FindCommands : public QObject {
    Q_OBJECT
  public:
    FindCommands(RunState& run, JobController& jobs, JobDisplay& jobDisplay, StatusLines& status,
                 PageSwitcher& pages, FindPage& page, LogCommands& logs, CommandRouter& commands,
                 Prompter& prompter);
    ~FindCommands() override;

    /// Runs the comparison on the worker thread: RunFindDups, unless a test
    /// hands in its own.
    using Runner = std::function<FindRunResult(const FindRunInput&, JobProgress&)>;

    void StartFindJob();
    /// Comparison threads of a run; 0 uses every core.
    void setThreads(int threads) { m_threads = threads; }
    void setRunner(Runner runner) { m_runner = std::move(runner); }
    /// The per-user list of pairs marked not a duplicate; empty searches without one.
    void setNotDupListPath(std::string path) { m_notDupListPath = std::move(path); }

  private:
    struct Job;
    void onTick(JobMode mode);
    void onFinished(JobMode mode, bool completed);
    void FinishFindRun(const Job& job);
    void AbortFind();
    bool readNotDuplicates(Job& job);

    RunState& m_run;
    JobController& m_jobs;
    JobDisplay& m_jobDisplay;
    StatusLines& m_status;
    PageSwitcher& m_pages;
    FindPage& m_page;
    LogCommands& m_logs;
    Prompter& m_prompter;
    /// The rounded square roots every metric looks up, made once.
    std::unique_ptr<const RmsTable> m_pRmsTable;
    int m_threads = 0;
    std::string m_notDupListPath;
    Runner m_runner = RunFindDups;
    /// The running job's data and result; read once the job has ended.
    std::shared_ptr<Job> m_job;
};

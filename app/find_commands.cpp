#include "find_commands.h"

#include <QDir>

#include "command_router.h"
#include "datafile_slot.h"
#include "find_page.h"
#include "find_request.h"
#include "job_controller.h"
#include "job_display.h"
#include "log_commands.h"
#include "main_ids.h"
#include "main_texts.h"
#include "not_dup_list.h"
#include "page_switcher.h"
#include "prompter.h"
#include "rms_table.h"
#include "run_state.h"
#include "status_lines.h"
#include "wait_cursor.h"

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

/// What a run compares, copied from the run state so the worker never reads
/// the window's own data, and what it hands back.
struct FindCommands::Job {
    DatafileSlot primary;
    DatafileSlot secondary;
    ImageRecord single{};
    NotDupList notDuplicates;  ///< the input points at it while the job runs
    FindRunInput input;
    FindRunResult result;
    int imageTotal = 0;  ///< the image files the finish text names
};

FindCommands::FindCommands(RunState& run, JobController& jobs, JobDisplay& jobDisplay,
                           StatusLines& status, PageSwitcher& pages, FindPage& page,
                           LogCommands& logs, CommandRouter& commands, Prompter& prompter)
    : m_run(run),
      m_jobs(jobs),
      m_jobDisplay(jobDisplay),
      m_status(status),
      m_pages(pages),
      m_page(page),
      m_logs(logs),
      m_prompter(prompter),
      m_pRmsTable(std::make_unique<const RmsTable>()) {
    commands.setHandler(MainId::FindDups, [this] { StartFindJob(); });
    connect(&jobs, &JobController::progressTick, this, &FindCommands::onTick);
    connect(&jobs, &JobController::finished, this, &FindCommands::onFinished);
}

FindCommands::~FindCommands() = default;

void FindCommands::StartFindJob() {
    if (m_jobs.isRunning() || !m_run.comparisonDataLoaded()) {
        return;
    }
    // Allocated first so the input's spans point at copies that stay put.
    auto job = std::make_shared<Job>();
    if (!readNotDuplicates(*job)) {
        return;
    }
    WaitCursor wait;
    const CompareMode mode = m_run.compareMode();
    const MatchBand band = m_page.takeCorrectedBand();
    m_status.setDataState("Finding dups...");

    job->primary = m_run.primary();
    if (mode == CompareMode::SecondaryToPrimary) {
        job->secondary = m_run.secondary();
    }
    job->single = m_run.singleRecord();
    FindRequest request;
    request.mode = mode;
    request.primary = &job->primary;
    request.secondary = &job->secondary;
    request.singleRecord = &job->single;
    request.singlePath = m_run.singlePath();
    request.settings = m_run.findSettings();
    request.dupsLimit = m_run.settings().m_nDupsLimit;
    job->input = MakeFindRunInput(request, band);
    job->input.threads = m_threads;
    job->input.rmsTable = m_pRmsTable.get();
    job->input.notDuplicates = &job->notDuplicates;
    const QString logFolder = qs(m_run.settings().m_strLogPath);
    if (!logFolder.isEmpty()) {
        QDir().mkpath(logFolder);
    }
    job->input.logPath = QDir(logFolder).filePath("Dups.log").toStdString();
    job->imageTotal = job->primary.count() +
                      (mode == CompareMode::SecondaryToPrimary ? job->secondary.count() : 0);

    const int total = mode == CompareMode::WithinPrimary        ? job->primary.count()
                      : mode == CompareMode::SecondaryToPrimary ? job->secondary.count()
                                                                : 1;
    JobController::Work work = [job, runner = m_runner](JobProgress& p) {
        job->result = runner(job->input, p);
        return job->result.completed;
    };
    if (m_jobs.start(JobMode::Find, total, std::move(work))) {
        m_job = std::move(job);
        m_jobDisplay.showStart(total, JobLine::Total);
    }
}

bool FindCommands::readNotDuplicates(Job& job) {
    if (m_notDupListPath.empty()) {
        return true;
    }
    std::string problem;
    if (ReadNotDupList(m_notDupListPath, job.notDuplicates, problem) != NotDupReadResult::Invalid) {
        return true;
    }
    // The user decides: a search that silently shows judged pairs again, or
    // none at all, would both surprise.
    const std::string text = "The list of pairs marked not a duplicate cannot be read (" + problem +
                             ").\n\nSearch without it?";
    return m_prompter.message("Find dups", text, PromptButtons::YesNo, PromptIcon::Warning) ==
           PromptAnswer::Yes;
}

void FindCommands::onTick(JobMode mode) {
    if (mode != JobMode::Find) {
        return;
    }
    const JobProgress& p = m_jobs.progress();
    const int done = p.progress.load(std::memory_order_relaxed);
    m_jobDisplay.showProgress(done, p.total.load(std::memory_order_relaxed));
    m_status.setJobLine(JobLine::Counter, QStringLiteral("Doing: %1").arg(done));
    m_status.setJobLine(JobLine::Detail,
                        QStringLiteral("%1 matches").arg(p.found.load(std::memory_order_relaxed)));
}

void FindCommands::onFinished(JobMode mode, bool completed) {
    if (mode != JobMode::Find) {
        return;
    }
    std::shared_ptr<Job> job = std::move(m_job);
    if (!completed || job == nullptr) {
        AbortFind();
        if (!m_jobs.failure().empty()) {
            m_prompter.inform("Error", "The search for duplicates failed: " + m_jobs.failure(),
                              PromptIcon::Error);
        }
        return;
    }
    FinishFindRun(*job);
    if (job->result.logSaved && job->result.matchTotal > 0 && m_run.settings().m_bAutoView) {
        m_pages.selectPage(kPageView, true);
    }
}

void FindCommands::FinishFindRun(const Job& job) {
    m_status.clearJobLines();
    m_jobDisplay.reset();
    const FindRunResult& result = job.result;
    if (m_pages.currentPage() == kPageFind) {
        QString text = QStringLiteral("Finished: %1 matching pairs from %2 total image files.")
                           .arg(result.matchTotal)
                           .arg(job.imageTotal);
        // Only a log that is on disk can be viewed.
        if (result.matchTotal > 0 && result.logSaved) {
            text += " Ready to 'View Dups.log";
        }
        m_status.setDataState(text, true);
    }
    if (!result.logSaved) {
        // The old log, if any, is still there: showing it now would pass it off as this run's.
        m_prompter.inform("Error", "Unable to save the dups log: " + job.input.logPath,
                          PromptIcon::Error);
        return;
    }
    m_run.setResultsPending(true);
    m_logs.ShowResultsAfterRun();
}

void FindCommands::AbortFind() {
    m_status.clearJobLines();
    m_status.setDataState("User aborted...", true);
    m_jobDisplay.reset();
}

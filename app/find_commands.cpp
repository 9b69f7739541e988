#include "find_commands.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

#include "datafile_slot.h"
#include "find_page.h"
#include "find_request.h"
#include "job_controller.h"
#include "job_display.h"
#include "main_dlg.h"
#include "main_texts.h"
#include "prompter.h"

namespace {
QString qs(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

/// What a run compares, copied from the window so the worker never reads the
/// window's own data, and what it hands back.
struct FindCommands::Run {
    DatafileSlot primary;
    DatafileSlot secondary;
    ImageRecord single{};
    FindRunInput input;
    FindRunResult result;
    int imageTotal = 0;  ///< the image files the finish text names
};

FindCommands::FindCommands(CMainDlg& dlg) : m_dlg(dlg) {
    dlg.setCommandHandler(1029, [this] { StartFindJob(); });
    connect(&dlg.jobs(), &JobController::progressTick, this, &FindCommands::onTick);
    connect(&dlg.jobs(), &JobController::finished, this, &FindCommands::onFinished);
}

FindCommands::~FindCommands() = default;

void FindCommands::StartFindJob() {
    if (m_dlg.jobs().isRunning() || !m_dlg.ComparisonDataLoaded()) {
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const CompareMode mode = m_dlg.compareMode();
    FindPage& page = m_dlg.findPage();
    const MatchBand band = MatchBand::Corrected(page.lowerEdit()->text().toStdString(),
                                                page.upperEdit()->text().toStdString());
    if (qs(band.lowText) != page.lowerEdit()->text()) {
        page.lowerEdit()->setText(qs(band.lowText));
    }
    if (qs(band.highText) != page.upperEdit()->text()) {
        page.upperEdit()->setText(qs(band.highText));
    }
    m_dlg.setDataState("Finding dups...");

    // Allocated first so the input's spans point at copies that stay put.
    auto run = std::make_shared<Run>();
    run->primary = m_dlg.primary();
    if (mode == CompareMode::SecondaryToPrimary) {
        run->secondary = m_dlg.secondary();
    }
    run->single = m_dlg.singleRecord();
    FindRequest request;
    request.mode = mode;
    request.primary = &run->primary;
    request.secondary = &run->secondary;
    request.singleRecord = &run->single;
    request.singlePath = m_dlg.singlePath();
    request.settings = m_dlg.findSettings();
    request.dupsLimit = m_dlg.settings().m_nDupsLimit;
    run->input = MakeFindRunInput(request, band);
    run->input.threads = m_threads;
    run->input.rmsTable = &m_dlg.rmsTable();
    const QString logFolder = qs(m_dlg.settings().m_strLogPath);
    if (!logFolder.isEmpty()) {
        QDir().mkpath(logFolder);
    }
    run->input.logPath = QDir(logFolder).filePath("Dups.log").toStdString();
    run->imageTotal = run->primary.count() +
                      (mode == CompareMode::SecondaryToPrimary ? run->secondary.count() : 0);

    const int total = mode == CompareMode::WithinPrimary        ? run->primary.count()
                      : mode == CompareMode::SecondaryToPrimary ? run->secondary.count()
                                                                : 1;
    JobController::Work work = [run, runner = m_runner](JobProgress& p) {
        run->result = runner(run->input, p);
        return run->result.completed;
    };
    if (m_dlg.jobs().start(JobController::kFind, total, std::move(work))) {
        m_run = std::move(run);
        ProgressInit(m_dlg, total, JobTotalLine::Status7);
    }
    QApplication::restoreOverrideCursor();
}

void FindCommands::onTick(int mode) {
    if (mode != JobController::kFind) {
        return;
    }
    const JobProgress& p = m_dlg.jobs().progress();
    const int done = p.progress.load(std::memory_order_relaxed);
    ShowJobProgress(m_dlg, done, p.total.load(std::memory_order_relaxed));
    m_dlg.setStatus4(QStringLiteral("Doing: %1").arg(done));
    m_dlg.setStatus3(QStringLiteral("%1 matches").arg(p.found.load(std::memory_order_relaxed)));
}

void FindCommands::onFinished(int mode, bool completed) {
    if (mode != JobController::kFind) {
        return;
    }
    std::shared_ptr<Run> run = std::move(m_run);
    if (!completed || run == nullptr) {
        AbortFind();
        if (!m_dlg.jobs().failure().empty()) {
            m_dlg.prompter().inform("Error",
                                    "The search for duplicates failed: " + m_dlg.jobs().failure(),
                                    PromptIcon::Error);
        }
        return;
    }
    FinishFindRun(*run);
    if (run->result.logSaved && run->result.matchTotal > 0 && m_dlg.settings().m_bAutoView) {
        m_dlg.SelectViewPage(1);
    }
}

void FindCommands::FinishFindRun(const Run& run) {
    m_dlg.UpdateFindButton();
    m_dlg.setStatus3(QString());
    m_dlg.setStatus4(QString());
    m_dlg.setStatus7(QString());
    ResetJobDisplay(m_dlg);
    const FindRunResult& result = run.result;
    if (m_dlg.currentPage() == kPageFind) {
        QString text = QStringLiteral("Finished: %1 matching pairs from %2 total image files.")
                           .arg(result.matchTotal)
                           .arg(run.imageTotal);
        // Only a log that is on disk can be viewed.
        if (result.matchTotal > 0 && result.logSaved) {
            text += " Ready to 'View Dups.log";
        }
        m_dlg.setDataState(text, true);
    }
    m_dlg.EnableModeButtons(true);
    m_dlg.RefreshDatafileTexts();
    if (!result.logSaved) {
        // The old log, if any, is still there: showing it now would pass it off as this run's.
        m_dlg.prompter().inform("Error", "Unable to save the dups log: " + run.input.logPath,
                                PromptIcon::Error);
        return;
    }
    m_dlg.setResultsPending(true);
    m_dlg.ShowResultsAfterRun();
}

void FindCommands::AbortFind() {
    m_dlg.setStatus7(QString());
    m_dlg.setStatus3(QString());
    m_dlg.setStatus4(QString());
    m_dlg.setDataState("User aborted...", true);
    m_dlg.UpdateFindButton();
    ResetJobDisplay(m_dlg);
    m_dlg.EnableModeButtons(true);
}

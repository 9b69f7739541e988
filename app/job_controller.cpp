#include "job_controller.h"

#include <exception>

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

// Threads the job starts inherit this, so the engine's pools run low too.
void lowerWorkerPriority(JobMode mode) {
#ifdef __linux__
    const int niceness = mode == JobMode::Find ? 5 : 19;
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), niceness);
#else
    (void)mode;
#endif
}

}  // namespace

JobController::JobController(QObject* parent) : QObject(parent) {
    connect(&m_poll, &QTimer::timeout, this, &JobController::poll);
}

JobController::~JobController() {
    stopAndJoin();
}

bool JobController::start(JobMode mode, int total, Work work) {
    if (isRunning()) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_nJobMode = mode;
    m_failure.clear();
    m_workerFailure.clear();
    m_progress.total.store(total);
    m_progress.progress.store(0);
    m_progress.found.store(0);
    m_progress.keepRunning.store(true);
    m_nJobState.store(kRunning, std::memory_order_release);
    (mode == JobMode::Find ? m_bFindRunning : m_bBuildRunning) = true;
    m_worker = std::jthread([this, mode, work = std::move(work)] {
        lowerWorkerPriority(mode);
        runWork(work);
    });
    m_poll.start(mode == JobMode::Find ? kFindPollMs : kBuildPollMs);
    emit started(mode);
    return true;
}

void JobController::runWork(const Work& work) {
    bool completed = false;
    try {
        completed = work(m_progress);
    } catch (const std::exception& e) {
        m_workerFailure = e.what();
    } catch (...) {
        m_workerFailure = "unknown error";
    }
    m_nJobState.store(completed ? kDone : kStopped, std::memory_order_release);
    // The end is shown without waiting for the next regular poll. Should the
    // controller be gone by then, Qt drops the call.
    QMetaObject::invokeMethod(
        this, [this] { QTimer::singleShot(kEndPollMs, this, &JobController::poll); },
        Qt::QueuedConnection);
}

void JobController::poll() {
    const int state = m_nJobState.load(std::memory_order_acquire);
    if (state == kRunning) {
        emit progressTick(m_nJobMode);
        return;
    }
    if (state == kIdle) {
        m_poll.stop();
        return;
    }
    m_poll.stop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_failure = m_workerFailure;
    m_nJobState.store(kIdle, std::memory_order_relaxed);
    m_bBuildRunning = false;
    m_bFindRunning = false;
    emit finished(m_nJobMode, state == kDone);
}

void JobController::stopAndJoin() {
    m_poll.stop();
    m_progress.requestStop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_nJobState.store(kIdle, std::memory_order_relaxed);
    m_bBuildRunning = false;
    m_bFindRunning = false;
}

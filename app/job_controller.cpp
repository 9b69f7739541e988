#include "job_controller.h"

JobController::JobController(QObject* parent) : QObject(parent) {
    connect(&m_poll, &QTimer::timeout, this, &JobController::poll);
}

JobController::~JobController() {
    stopAndJoin();
}

bool JobController::start(int mode, int total, Work work) {
    if (isRunning()) {
        return false;
    }
    if (m_worker.joinable()) {
        m_worker.join();
    }
    m_nJobMode = mode;
    m_progress.total.store(total);
    m_progress.progress.store(0);
    m_progress.found.store(0);
    m_progress.keepRunning.store(true);
    m_nJobState.store(kRunning, std::memory_order_release);
    (mode == kFind ? m_bFindRunning : m_bBuildRunning) = true;
    m_worker = std::jthread([this, work = std::move(work)] {
        const bool completed = work(m_progress);
        m_nJobState.store(completed ? kDone : kStopped, std::memory_order_release);
    });
    m_poll.start(mode == kFind ? 500 : 1000);
    return true;
}

void JobController::poll() {
    const int state = m_nJobState.load(std::memory_order_acquire);
    if (state == kRunning) {
        emit progressTick(m_nJobMode);
        return;
    }
    m_poll.stop();
    if (m_worker.joinable()) {
        m_worker.join();
    }
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

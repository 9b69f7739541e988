#include "progress_display.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <future>
#include <thread>

#include "stop_signal.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// Asked at every redraw: the user may resize the terminal meanwhile.
int terminalColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
        return size.ws_col;
    }
    const char* columns = std::getenv("COLUMNS");
    const int fromEnvironment = columns != nullptr ? std::atoi(columns) : 0;
    return fromEnvironment > 0 ? fromEnvironment : 80;
}

class Display {
  public:
    Display(const ProgressView& view, bool quiet) : m_view(view), m_quiet(quiet) {}

    double workAt(int done, int total) const {
        return m_view.work ? m_view.work(done, total) : done;
    }

    void show(const JobProgress& progress, double seconds, bool last) {
        if (m_quiet) {
            return;
        }
        const int total = progress.total.load();
        const int done = std::min(progress.progress.load(), total);
        const double work = workAt(done, total);
        const double allWork = workAt(total, total);
        if (StderrStyle().terminal) {
            m_estimate.add(seconds, work);
            BarFacts facts{m_view.label, m_view.unit, work, allWork, seconds, {}, {}, last};
            facts.secondsLeft = m_estimate.secondsLeft(allWork);
            if (m_view.showFound) {
                facts.found = progress.found.load();
            }
            std::fputs(BarLine(facts, terminalColumns(), StderrStyle()).c_str(), stderr);
            std::fflush(stderr);
        } else {
            const double fraction =
                allWork > 0 ? std::min(1.0, work / allWork) : (last ? 1.0 : 0.0);
            printTenth(fraction, work, allWork);
        }
    }

  private:
    void printTenth(double fraction, double work, double allWork) {
        const int tenth = static_cast<int>(fraction * 10);
        if (tenth <= m_tenthShown) {
            return;
        }
        m_tenthShown = tenth;
        std::fprintf(stderr, "%s: %d%% (%lld/%lld %s)\n", m_view.label.c_str(), tenth * 10,
                     std::llround(work), std::llround(allWork), m_view.unit.c_str());
        std::fflush(stderr);
    }

    const ProgressView& m_view;
    const bool m_quiet;
    TimeLeftEstimate m_estimate;
    int m_tenthShown = 0;
};

}  // namespace

ProgressOutcome RunWithProgress(JobProgress& progress, const std::function<void()>& job,
                                const ProgressView& view, bool quiet) {
    Display display(view, quiet);
    std::promise<void> finished;
    std::future<void> done = finished.get_future();
    const Clock::time_point start = Clock::now();
    const auto elapsed = [start] {
        return std::chrono::duration<double>(Clock::now() - start).count();
    };
    std::thread worker([&] {
        try {
            job();
            finished.set_value();
        } catch (...) {
            finished.set_exception(std::current_exception());
        }
    });
    while (done.wait_for(kPollInterval) != std::future_status::ready) {
        if (StopSignalled()) {
            progress.requestStop();
        }
        display.show(progress, elapsed(), false);
    }
    worker.join();
    ProgressOutcome outcome;
    outcome.seconds = elapsed();
    const int total = progress.total.load();
    outcome.work = display.workAt(std::min(progress.progress.load(), total), total);
    if (!progress.stopRequested()) {
        display.show(progress, outcome.seconds, true);
    } else if (!quiet && StderrStyle().terminal) {
        std::fputs("\n", stderr);
    }
    done.get();
    return outcome;
}

#include "progress_display.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <future>
#include <thread>

#include "stop_signal.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr int kBarWidth = 24;

std::string wholeText(double value) {
    return std::to_string(std::llround(value));
}

std::string duration(double seconds) {
    const long long total = std::llround(seconds);
    char text[32];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

class Display {
  public:
    Display(const ProgressView& view, bool quiet)
        : m_view(view), m_quiet(quiet), m_terminal(::isatty(STDERR_FILENO) == 1) {}

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
        const double fraction = allWork > 0 ? std::min(1.0, work / allWork) : (last ? 1.0 : 0.0);
        if (m_terminal) {
            drawBar(progress, fraction, work, allWork, seconds, last);
        } else {
            printTenth(fraction, work, allWork);
        }
    }

  private:
    void drawBar(const JobProgress& progress, double fraction, double work, double allWork,
                 double seconds, bool last) {
        const int filled = static_cast<int>(fraction * kBarWidth);
        std::string line = "\r" + m_view.label + " [" + std::string(filled, '#') +
                           std::string(kBarWidth - filled, '.') + "] " +
                           std::to_string(static_cast<int>(fraction * 100)) + "%  " +
                           wholeText(work) + "/" + wholeText(allWork) + " " + m_view.unit;
        if (seconds >= 0.5 && work > 0) {
            const double rate = work / seconds;
            line += "  " + (rate >= 100 ? wholeText(rate) : OneDecimal(rate)) + " " + m_view.unit +
                    "/s";
            line += last ? "  " + duration(seconds)
                         : "  " + duration((allWork - work) / rate) + " left";
        }
        if (m_view.showFound) {
            line += "  " + std::to_string(progress.found.load()) + " found";
        }
        line += "\x1b[K";
        if (last) {
            line += "\n";
        }
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }

    void printTenth(double fraction, double work, double allWork) {
        const int tenth = static_cast<int>(fraction * 10);
        if (tenth <= m_tenthShown) {
            return;
        }
        m_tenthShown = tenth;
        std::fprintf(stderr, "%s: %d%% (%s/%s %s)\n", m_view.label.c_str(), tenth * 10,
                     wholeText(work).c_str(), wholeText(allWork).c_str(), m_view.unit.c_str());
        std::fflush(stderr);
    }

    const ProgressView& m_view;
    const bool m_quiet;
    const bool m_terminal;
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
    } else if (!quiet && ::isatty(STDERR_FILENO) == 1) {
        std::fputs("\n", stderr);
    }
    done.get();
    return outcome;
}

std::string OneDecimal(double value) {
    const long long tenths = std::llround(value * 10);
    return std::to_string(tenths / 10) + "." + std::to_string(std::llabs(tenths % 10));
}

std::string DurationAndRate(double seconds, double count, const std::string& unit) {
    const int decimals = seconds < 1 ? 3 : seconds < 10 ? 2 : 1;
    const long long scale = decimals == 3 ? 1000 : decimals == 2 ? 100 : 10;
    const long long scaled = std::llround(seconds * static_cast<double>(scale));
    std::string fraction = std::to_string(scaled % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    std::string text = std::to_string(scaled / scale) + "." + fraction + " s";
    if (seconds > 0 && count > 0) {
        const double rate = count / seconds;
        text += " (" + (rate >= 100 ? wholeText(rate) : OneDecimal(rate)) + " " + unit + "/s)";
    }
    return text;
}

#pragma once
// The texts of the progress display: the bar line on a terminal, its time
// left estimate, and the durations and rates of the closing summary.

#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "console_style.h"

/// Estimates the time a job has left from the pace of its recent work (the
/// last kWindowSeconds), so an estimate follows a job that speeds up or
/// slows down; while the run is younger than that, from its whole pace.
class TimeLeftEstimate {
  public:
    static constexpr double kWindowSeconds = 20.0;

    /// Work done by `seconds` after the start; times must not go back.
    void add(double seconds, double work);
    /// Seconds left until `allWork` is done; empty until a pace shows (at
    /// least a second in and some work done).
    std::optional<double> secondsLeft(double allWork) const;

  private:
    std::deque<std::pair<double, double>> m_samples{{0.0, 0.0}};
};

/// What one redraw of the bar shows.
struct BarFacts {
    std::string label;  ///< "Reading"
    std::string unit;   ///< "images"
    double work = 0;
    double allWork = 0;
    double seconds = 0;                 ///< since the start
    std::optional<double> secondsLeft;  ///< shown while not `last`
    std::optional<int> found;           ///< matches so far, when the job counts them
    bool last = false;                  ///< the job has ended: show its duration
};

/// The bar line, starting with "\r" and, once `last`, ending with "\n":
/// "Label [#####.....] 42%  2100/5000 images  350 images/s  0:08 left".
/// Never wider than `columns` - 1, so it cannot wrap and leave copies of
/// itself; parts give way in order: the bar shrinks, then the count goes,
/// then the rate. Clears the rest of the line. Any thread.
std::string BarLine(const BarFacts& facts, int columns, const ConsoleStyle& style);

/// "0:07", "12:34", "1:02:03". Any thread.
std::string ClockText(double seconds);

/// "12.3": one decimal, independent of the locale. Any thread.
std::string OneDecimal(double value);

/// A duration for the closing summary: "0.012 s", "4.25 s", "44.0 s",
/// with a rate of `count` `unit` per second when it can be measured:
/// " (11.4 images/s)". Any thread.
std::string DurationAndRate(double seconds, double count, const std::string& unit);

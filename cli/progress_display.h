#pragma once
// Runs a job on a worker thread while the main thread shows its progress on
// stderr and turns a stop signal into the job's stop request.

#include <functional>
#include <string>

#include "job_progress.h"
#include "progress_line.h"

/// How a job's progress counter reads as work done.
struct ProgressView {
    std::string label;  ///< what is being done, "Reading images"
    std::string unit;   ///< what the rate counts, "images"
    /// Work done when the job's progress counter stands at `done` (of `total`);
    /// the counter itself when not set.
    std::function<double(int done, int total)> work;
    bool showFound = false;  ///< also show the matches found so far
};

/// How a job ended, as the display saw it.
struct ProgressOutcome {
    double seconds = 0.0;  ///< from start to end of the job
    double work = 0.0;     ///< work done at the end, as the view counts it
};

/// Runs `job` on a worker thread and returns when it has ended. Meanwhile,
/// unless `quiet`, shows a bar with count, rate and time left when stderr is
/// a terminal, else one plain line per tenth of the work; a stop signal calls
/// progress.requestStop(). An exception of the job is thrown again here.
/// Main thread.
ProgressOutcome RunWithProgress(JobProgress& progress, const std::function<void()>& job,
                                const ProgressView& view, bool quiet);

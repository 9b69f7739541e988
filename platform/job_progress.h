#pragma once
// What a running job shares with the user-interface thread: counters the
// worker writes and a keep-running flag the abort button clears. Plain atomics,
// no locks; the final result travels by value when the job ends.

#include <atomic>

struct JobProgress {
    std::atomic<int> total{0};     ///< units of the job
    std::atomic<int> progress{0};  ///< finished frontier: units done so far
    std::atomic<int> found{0};     ///< matching pairs found (find runs)
    std::atomic<bool> keepRunning{true};

    bool stopRequested() const { return !keepRunning.load(std::memory_order_relaxed); }
    void requestStop() { keepRunning.store(false, std::memory_order_relaxed); }
};

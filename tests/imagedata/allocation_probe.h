#pragma once
// Records the largest single allocation made while a probe is alive, so a test
// can show that a reader refused a hostile count before allocating for it.

#include <cstddef>

class AllocationProbe {
  public:
    AllocationProbe();
    ~AllocationProbe();
    AllocationProbe(const AllocationProbe&) = delete;
    AllocationProbe& operator=(const AllocationProbe&) = delete;

    /// The largest request through operator new since the probe started.
    std::size_t largest() const;
};

#pragma once
// Internal to the imaging library, visible to its tests: the precomputed
// weights of one axis of a resampling.

#include <cstdint>
#include <vector>

#include "imaging.h"

namespace imaging_detail {

/// Weights are fixed-point numbers with this many fraction bits, so results
/// are the same whatever the compiler does with floating point.
inline constexpr int kWeightBits = 20;
inline constexpr std::int32_t kWeightOne = std::int32_t{1} << kWeightBits;

/// For each output position: the first source position it reads and `taps`
/// weights (zero beyond what the position uses), summing to exactly kWeightOne.
struct AxisWeights {
    int taps = 0;
    std::vector<std::int32_t> first;
    std::vector<std::int32_t> weights;  ///< output-major, `taps` per output
};

/// The kernel's reach around its centre, in source pixels at scale 1; 0 for an unknown mode.
double KernelSupport(ResizeMode mode);

/// Computes the weights for one axis. False for an unknown mode or a zero length.
bool ComputeAxisWeights(std::uint32_t srcLength, std::uint32_t dstLength, ResizeMode mode,
                        AxisWeights& axis);

}  // namespace imaging_detail

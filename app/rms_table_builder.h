#pragma once
// Stand-in for the comparison engine's own table until that lands; same entries.

#include <cstdint>
#include <vector>

inline constexpr int kRmsTableSize = 195076;  // 3 * 255^2 + 1

/// Entry i = min(255, floor(sqrt(floor(i / 3)) + 0.5)), exact in integers.
std::vector<std::uint8_t> BuildRmsTable();

#include "rms_table.h"

#include <algorithm>
#include <cmath>

RmsTable::RmsTable() {
    for (int k = 0; k < kSize; ++k) {
        const double root = std::floor(std::sqrt(static_cast<double>(k / 3)) + 0.5);
        m_entries[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(std::min(255.0, root));
    }
}

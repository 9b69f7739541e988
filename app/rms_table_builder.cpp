#include "rms_table_builder.h"

std::vector<std::uint8_t> BuildRmsTable() {
    std::vector<std::uint8_t> table(kRmsTableSize);
    // Nearest integer root of q is r + 1 exactly when q > r * r + r.
    int r = 0;
    for (int i = 0; i < kRmsTableSize; ++i) {
        const int q = i / 3;
        while ((r + 1) * (r + 1) <= q) {
            ++r;
        }
        const int nearest = q > r * r + r ? r + 1 : r;
        table[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(nearest < 255 ? nearest : 255);
    }
    return table;
}

#include "format_file_size.h"

// Built front to back rather than with insert(): gcc 12 at -O3 reports a
// false overlap in string::insert and fails the optimised build.
std::string FormatFileSize(std::int64_t length) {
    const std::string digits = std::to_string(length < 0 ? 0 : length);
    const std::size_t n = digits.size();
    std::string grouped;
    grouped.reserve(n + 2);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t left = n - i;  // digits from here to the end
        if (i > 0 && ((left == 3 && n >= 4) || (left == 6 && n >= 7))) {
            grouped += ',';
        }
        grouped += digits[i];
    }
    if (grouped.size() >= 7) {
        return grouped;
    }
    return std::string(2 * (7 - grouped.size()), ' ') + grouped;
}

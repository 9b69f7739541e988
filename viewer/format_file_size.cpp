#include "format_file_size.h"

std::string FormatFileSize(std::int64_t length) {
    std::string text = std::to_string(length < 0 ? 0 : length);
    const std::size_t digits = text.size();
    if (digits >= 7) {
        text.insert(digits - 3, ",");
        text.insert(digits - 6, ",");
    } else if (digits >= 4) {
        text.insert(digits - 3, ",");
    }
    if (text.size() < 7) {
        text.insert(0, 2 * (7 - text.size()), ' ');
    }
    return text;
}

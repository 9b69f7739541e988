#include "status_line.h"

namespace {
constexpr std::size_t kStatusChars = 35;

bool isContinuationByte(unsigned char c) {
    return (c & 0xC0) == 0x80;
}
}  // namespace

std::string ShortenForStatusLine(const std::string& path) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isContinuationByte(static_cast<unsigned char>(path[i]))) {
            continue;
        }
        if (chars == kStatusChars) {
            return path.substr(0, i) + "...";
        }
        ++chars;
    }
    return path;
}

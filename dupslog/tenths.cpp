#include "tenths.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>

std::int32_t ParseLeadingInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            value = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(value);
}

std::int32_t ParseTenths(const std::string& text) {
    const std::size_t dot = text.find('.');
    if (dot == std::string::npos || dot + 1 == text.size()) {
        const std::int64_t whole = ParseLeadingInt(text);
        return static_cast<std::int32_t>(
            std::clamp<std::int64_t>(whole * 10, std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max()));
    }
    const char next = text[dot + 1];
    if (std::isdigit(static_cast<unsigned char>(next))) {
        return ParseLeadingInt(text.substr(0, dot) + next);
    }
    const std::int64_t whole = ParseLeadingInt(text.substr(0, dot));
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(whole * 10, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

std::string FormatTenths(std::int32_t tenths) {
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::int32_t ParseWholePercent(const std::string& text) {
    return ParseLeadingInt(text.substr(0, text.find('.')));
}

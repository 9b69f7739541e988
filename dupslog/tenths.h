#pragma once
// Match percentages travel as tenths of a percent (980 is 98.0 %).

#include <cstdint>
#include <string>

/// "98.57" -> 985, "98" -> 980, "98." -> 980, "98,5" -> 980, "98.x" -> 980.
std::int32_t ParseTenths(const std::string& text);
/// 980 -> "98.0", 985 -> "98.5", 1000 -> "100.0".
std::string FormatTenths(std::int32_t tenths);
/// The whole number before the first "." (the whole text without one).
std::int32_t ParseWholePercent(const std::string& text);
/// The leading decimal number of a text, as the C library's atoi reads it:
/// blanks, an optional sign, digits; 0 without digits, saturating at the
/// 32-bit limits.
std::int32_t ParseLeadingInt(const std::string& text);

#pragma once

#include <cstdint>
#include <string>

/// The file size as the viewer's size labels and criteria status show it:
/// "," before the last three digits from four digits on, and before the last six
/// from seven digits on (never more separators, so 1234567890 reads
/// "1234,567,890"); a result shorter than 7 characters gets two blanks in front
/// per missing character, which keeps numbers roughly aligned in a proportional
/// font. A negative length is shown as 0. Any thread.
std::string FormatFileSize(std::int64_t length);

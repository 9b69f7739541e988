#pragma once

#include <string>

/// A path as the folder browser's status line shows it: the first 35 characters
/// and "..." when it is longer, else unchanged. Characters are counted as UTF-8
/// code points, so a name is never cut inside a character. Any thread.
std::string ShortenForStatusLine(const std::string& path);

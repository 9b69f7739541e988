#pragma once
// Whole-path equality follows the file system: exact on Linux, ignoring letter
// case on Windows. Suffix tests are separate and always ignore case.

#include <string>

/// True when `a` and `b` name the same path on this platform's file system. Any thread.
bool SamePath(const std::string& a, const std::string& b);

/// A key for hashing paths such that SamePath(a, b) implies equal keys. Any thread.
std::string PathKey(const std::string& path);

/// `path` with doubled separators and "." steps removed ("/a//b/./c" gives
/// "/a/b/c"); a final separator stays. ".." steps stay as they are: through a
/// link they need not lead back where they came from. Any thread.
std::string NormalizePath(const std::string& path);

/// True when `path` holds a CR or LF: no line-based file (image list, dups
/// log) can carry it. Any thread.
bool HasLineBreak(const std::string& path);

/// `path` for a message: a CR shown as "\\r", an LF as "\\n". Any thread.
std::string PathForDisplay(const std::string& path);

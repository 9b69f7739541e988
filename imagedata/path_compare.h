#pragma once
// Whole-path equality follows the file system: exact on Linux, ignoring letter
// case on Windows. Suffix tests are separate and always ignore case.

#include <string>

/// True when `a` and `b` name the same path on this platform's file system. Any thread.
bool SamePath(const std::string& a, const std::string& b);

/// A key for hashing paths such that SamePath(a, b) implies equal keys. Any thread.
std::string PathKey(const std::string& path);

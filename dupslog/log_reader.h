#pragma once
// Reading a dups log back into a match list.

#include <string>

class MatchList;

inline constexpr int kLogNotOpened = 1;  ///< the file cannot be opened
inline constexpr int kLogInvalid = 2;    ///< not a valid dups log
inline constexpr int kLogRead = 3;       ///< read into the list

/// Longest line a log may hold, and most lines, so that a hostile file cannot
/// exhaust memory (a run logs at most 1,000,000 pairs of five lines).
inline constexpr std::size_t kMaxLogLineBytes = 64 * 1024;
inline constexpr std::size_t kMaxLogLines = 8'000'000;

/// Reads the log at `path` (already resolved; the caller picks the default
/// log) into `list`. On kLogRead the list holds the log's lines, paths and
/// pair lines; otherwise `list` is left as it was. Any thread that owns `list`.
int ReadDupsLog(const std::string& path, MatchList& list);

#pragma once
// The pairs of a dups log as the viewer works on them: the log's lines and the
// two image paths of every pair, kept in step.

#include <string>
#include <vector>

#include "disk_stamp.h"

/// The log view (every line of a log except "DUPS" and "END") and the left and
/// right path lists: pair i is entry i of both lists and the five view lines
/// from m_firstPairLine + 5 i. Owned by one thread (the user-interface thread).
class MatchList {
  public:
    std::vector<std::string> m_logView;
    std::vector<std::string> m_leftPaths;   ///< image 1 of each pair, or "Deleted"
    std::vector<std::string> m_rightPaths;  ///< image 2 of each pair, or "Deleted"
    int m_firstPairLine = -1;               ///< the line after "-- Matches --"; -1 without one
    int m_lastPairLine = -1;                ///< first line of the last pair; -1 without pairs
    /// The log file as it stood when read: before writing the list back over
    /// it, compare with DiskStampOf(path) so that a log written meanwhile by
    /// another run is not lost.
    DiskStamp m_readStamp;

    int pairCount() const;
    /// Index of the "-- Matches --" line, -1 when there is none.
    int matchesLine() const;
    /// Sets the first-pair and last-pair lines from the current lines.
    void recordPairLines();
    /// The sort key of pair i: the last five characters of its percentage line
    /// read as a decimal number (0 when unreadable or out of range).
    double percentKey(int pair) const;
    /// The percentage of pair i in tenths of a percent.
    int percentOfPair(int pair) const;
    /// True when the file at `path` is no longer the log this list was read
    /// from (another file, or the same one changed since). A path with
    /// nothing at it has nothing to lose and counts as unchanged. Any thread.
    bool logChangedOnDisk(const std::string& path) const;
    /// Marks every reference to `path` deleted: its path lines in the view
    /// ("Image 1 path: Deleted " + path) and its entries in both path lists
    /// ("Deleted"). Paths compare as the file system does (SamePath). Returns
    /// how many entries and lines changed.
    int markDeleted(const std::string& path);
    /// Undoes markDeleted(path) once the file is back: every path line
    /// "Image N path: Deleted " + path loses its mark and its pair's entry
    /// gets the path again. Returns how many entries and lines changed.
    int unmarkDeleted(const std::string& path);

    void clear();
    void swap(MatchList& other) noexcept;
};

/// Re-orders the pairs by percentage, stably (equal percentages keep their log
/// order), renumbers them ";Match no: 1" on and records the pair lines. Does
/// nothing and returns false for fewer than 2 or more than 10,000 pairs, or
/// when the lines do not hold five per pair followed by one closing line.
/// The thread that owns `list`.
bool SortPairs(MatchList& list, bool descending);

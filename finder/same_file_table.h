#pragma once
// Which entries of a find run name one file, decided once when the run
// starts: a pair of one file under two names is no duplicate, and deleting
// "one" of its images would delete the only copy.

#include <span>
#include <string>
#include <vector>

/// One number per entry of the two sides of a run; entries that are one file
/// (equal once written plainly, or the same device and inode where both
/// exist, so that a link and its target are one file) share their number.
/// Entries whose path holds a line break are unusable: no log can carry them.
class SameFileTable {
  public:
    /// The number of an entry no pair may include.
    static constexpr int kUnusable = -1;

    /// `firstPaths` are the outer entries of the run, `secondPaths` those they
    /// are compared with (the same span for a run within one data file).
    /// Looks at the file system. The job's worker thread.
    SameFileTable(std::span<const std::string> firstPaths,
                  std::span<const std::string> secondPaths);

    /// True when first entry `first` and second entry `second` must not be
    /// paired: one file, or either unusable. Any thread.
    bool excluded(int first, int second) const {
        const int a = idOf(m_first, first);
        const int b = idOf(m_second, second);
        return a == kUnusable || b == kUnusable || a == b;
    }

  private:
    static int idOf(const std::vector<int>& ids, int index) {
        return index >= 0 && static_cast<std::size_t>(index) < ids.size()
                   ? ids[static_cast<std::size_t>(index)]
                   : kUnusable;
    }

    std::vector<int> m_first;
    std::vector<int> m_second;
};

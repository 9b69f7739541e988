#pragma once
// The pairs the user has judged "not a duplicate", kept per user so that later
// find runs leave them out. A pair is recorded with each file's size and
// modification time: once either file changes, the pair is compared again.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

/// A file as it was when the pair was judged.
struct FileStamp {
    std::string path;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;  ///< modification time, nanoseconds since 1970 UTC

    bool operator==(const FileStamp&) const = default;
};

/// One recorded pair; `first` is the path with the smaller PathKey.
struct NotDupPair {
    FileStamp first;
    FileStamp second;
};

/// Reads the size and modification time of the regular file at `path` (links
/// followed) into `stamp`; false when it is no readable regular file. Any thread.
bool StampFile(const std::string& path, FileStamp& stamp);

/// Most pairs a list may hold, and the longest path, so that a hostile file
/// cannot exhaust memory.
inline constexpr std::size_t kMaxNotDupPairs = 1'000'000;
inline constexpr std::size_t kMaxNotDupPathBytes = 64 * 1024;

/// The recorded pairs, in the order they were first recorded. Owned by one thread.
class NotDupList {
  public:
    const std::vector<NotDupPair>& pairs() const { return m_pairs; }
    int count() const { return static_cast<int>(m_pairs.size()); }
    /// Records the pair, replacing an earlier record of the same two paths
    /// (in either order). False, with the list unchanged, when both name the
    /// same path, a path is empty, too long or holds a line break, or the list is full.
    bool add(FileStamp a, FileStamp b);
    /// Forgets the pair of these two paths (in either order); false when it was not recorded.
    bool remove(const std::string& a, const std::string& b);
    /// The record of these two paths (in either order), or null.
    const NotDupPair* find(const std::string& a, const std::string& b) const;
    void clear();

  private:
    std::vector<NotDupPair> m_pairs;
    std::unordered_map<std::string, std::size_t> m_indexOfKey;  ///< pair key to index
};

/// The list file in the per-user data folder (beside the DupLogs folder).
std::string NotDupListPath(const std::string& dataFolder);

enum class NotDupReadResult { Read, Missing, Invalid };

/// Reads the list at `path` into `list`. A missing file is an empty list. On
/// Invalid `problem` says what is wrong and `list` is left as it was. Any
/// thread that owns `list`.
NotDupReadResult ReadNotDupList(const std::string& path, NotDupList& list, std::string& problem);

/// Writes the list atomically, creating the folder when needed; false (any old
/// file intact) when it cannot be written. Any thread that owns `list`.
bool SaveNotDupList(const std::string& path, const NotDupList& list);

/// What a change to the stored list came to.
enum class NotDupChange { Changed, NotRecorded, Failed };

/// Records files `a` and `b` (spelt as the data files spell them) as not a
/// duplicate in the list at `listPath`, with their sizes and modification
/// times now, and saves the list. Failed, with `problem` naming the file, when
/// a file cannot be read, the pair cannot be recorded, or the list is damaged
/// (it is then kept as it is) or cannot be written. Any thread.
NotDupChange MarkNotDuplicate(const std::string& listPath, const std::string& a,
                              const std::string& b, std::string& problem);

/// Forgets the pair of `a` and `b` in the list at `listPath` and saves it;
/// NotRecorded, with nothing written, when the pair was not recorded. Any thread.
NotDupChange ForgetNotDuplicate(const std::string& listPath, const std::string& a,
                                const std::string& b, std::string& problem);

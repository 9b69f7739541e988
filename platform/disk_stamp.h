#pragma once
// Telling whether a file is still the one read earlier, before writing over it.

#include <cstdint>
#include <string>

/// Which file a path named at one moment, and how it stood then.
struct DiskStamp {
    bool present = false;  ///< false: nothing was there (or it could not be looked at)
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;  ///< modification time in nanoseconds since the epoch
    bool operator==(const DiskStamp&) const = default;
};

/// The stamp of the file at `path` now (links followed). Any thread.
DiskStamp DiskStampOf(const std::string& path);
/// The stamp of an open file. Any thread.
DiskStamp DiskStampOfDescriptor(int fd);

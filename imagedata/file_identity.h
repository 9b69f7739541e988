#pragma once
// Whether two paths name one file: the same path once written plainly, or
// the same device and inode (a link and its target, a hard link, a folder
// reached by two routes). Removing "one of two" such paths removes the only
// copy.

#include <cstdint>
#include <optional>
#include <string>

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

/// The identity of the file `path` names now, links followed; nothing when
/// no file is there. Any thread.
std::optional<FileIdentity> FileIdentityOf(const std::string& path);

/// True when `a` and `b` are one file now: equal once written plainly
/// (NormalizePath, SamePath), or both there with one identity. Any thread.
bool SameFile(const std::string& a, const std::string& b);

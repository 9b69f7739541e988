#pragma once
// Splitting a path at its last slash, as the file operations need it: the
// folder to create, sync or check, and the name to keep.

#include <string>

/// The folder holding `path`: "/" for a file at the top, "." for a bare name.
inline std::string ParentFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// The last part of `path`, after its last slash.
inline std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

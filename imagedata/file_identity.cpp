#include "file_identity.h"

#include <sys/stat.h>

#include "path_compare.h"

std::optional<FileIdentity> FileIdentityOf(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

bool SameFile(const std::string& a, const std::string& b) {
    if (SamePath(NormalizePath(a), NormalizePath(b))) {
        return true;
    }
    const std::optional<FileIdentity> first = FileIdentityOf(a);
    return first && first == FileIdentityOf(b);
}

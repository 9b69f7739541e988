#include "file_move.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "path_parts.h"

namespace {

// The highest "name (n).ext" a move tries before giving up.
constexpr int kMaxNameNumber = 9999;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

int copyBytes(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n == 0) {
            return 0;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (!writeAll(to, buffer.data(), static_cast<std::size_t>(n))) {
            return errno;
        }
    }
}

}  // namespace

std::string NumberedFileName(const std::string& name, int n) {
    if (n == 1) {
        return name;
    }
    const std::size_t dot = name.find_last_of('.');
    const bool hasSuffix = dot != std::string::npos && dot != 0;
    const std::string base = hasSuffix ? name.substr(0, dot) : name;
    const std::string suffix = hasSuffix ? name.substr(dot) : std::string();
    return base + " (" + std::to_string(n) + ")" + suffix;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
#endif
    // Where the file system cannot refuse by itself, a new hard link can.
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return 0;
    }
    if (errno == EEXIST || errno == EXDEV) {
        return errno;
    }
    struct stat taken {};
    if (::lstat(to.c_str(), &taken) == 0) {
        return EEXIST;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

FileOpOutcome FileOpFailure(const std::string& action, const std::string& path, int error) {
    return FileOpFailure(action, path, std::string(std::strerror(error)));
}

FileOpOutcome FileOpFailure(const std::string& action, const std::string& path,
                            const std::string& reason) {
    FileOpOutcome outcome;
    outcome.failure = "Unable to " + action + " " + path + ": " + reason;
    return outcome;
}

int CopyFileExclusive(const std::string& source, const std::string& target) {
    const int from = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (from < 0) {
        return errno;
    }
    struct stat info {};
    const int statError = ::fstat(from, &info) != 0 ? errno : (S_ISREG(info.st_mode) ? 0 : EINVAL);
    if (statError != 0) {
        ::close(from);
        return statError;
    }
    const int to = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (to < 0) {
        const int error = errno;
        ::close(from);
        return error;
    }
    int error = copyBytes(from, to);
    if (error == 0 && ::fsync(to) != 0) {
        error = errno;
    }
    if (error == 0) {
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        ::futimens(to, times);
        ::fchmod(to, info.st_mode & 07777);
    }
    if (::close(to) != 0 && error == 0) {
        error = errno;
    }
    ::close(from);
    if (error != 0) {
        // Half a picture under the user's name is worse than none.
        ::unlink(target.c_str());
    }
    return error;
}

FileOpOutcome MoveFileIntoFolder(const std::string& path, const std::string& folder) {
    const std::string action = "move";
    const std::string where = path + " to " + folder;
    struct stat source {};
    if (::lstat(path.c_str(), &source) != 0) {
        return FileOpFailure(action, where, errno);
    }
    if (S_ISDIR(source.st_mode)) {
        return FileOpFailure(action, where, EISDIR);
    }
    struct stat target {};
    if (::stat(folder.c_str(), &target) != 0) {
        return FileOpFailure(action, where, errno);
    }
    if (!S_ISDIR(target.st_mode)) {
        return FileOpFailure(action, where, ENOTDIR);
    }
    const std::string name = FileNameOf(path);
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    bool copying = false;
    for (int n = 1; n <= kMaxNameNumber; ++n) {
        const std::string candidate = prefix + NumberedFileName(name, n);
        const int error =
            copying ? CopyFileExclusive(path, candidate) : RenameNoReplace(path, candidate);
        if (error == EEXIST) {
            continue;
        }
        if (error == EXDEV && !copying) {
            if (!S_ISREG(source.st_mode)) {
                return FileOpFailure(action, where, EXDEV);
            }
            copying = true;
            --n;  // the same name again, by copy
            continue;
        }
        if (error != 0) {
            return FileOpFailure(action, where, error);
        }
        if (copying && ::unlink(path.c_str()) != 0) {
            // Two copies would look like a move that went wrong: keep the original.
            const int unlinkError = errno;
            ::unlink(candidate.c_str());
            return FileOpFailure(action, where, unlinkError);
        }
        FileOpOutcome outcome;
        outcome.ok = true;
        outcome.newPath = candidate;
        return outcome;
    }
    return FileOpFailure(action, where, EEXIST);
}

FileOpOutcome DeleteFilePermanently(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        return FileOpFailure("delete", path, errno);
    }
    if (S_ISDIR(info.st_mode)) {
        return FileOpFailure("delete", path, EISDIR);
    }
    if (::unlink(path.c_str()) != 0) {
        return FileOpFailure("delete", path, errno);
    }
    FileOpOutcome outcome;
    outcome.ok = true;
    return outcome;
}

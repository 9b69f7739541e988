#include "trash.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "path_parts.h"

namespace {

constexpr int kMaxTrashNames = 9999;
const std::string kAction = "move";

struct TrashFolder {
    std::string root;    ///< holds files/ and info/
    std::string topdir;  ///< the file system's top folder; empty for the home trash
    dev_t device = 0;
};

std::string absolutePath(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        return path;
    }
    char cwd[PATH_MAX];
    return ::getcwd(cwd, sizeof cwd) != nullptr ? std::string(cwd) + "/" + path : path;
}

std::optional<std::string> realFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        return std::nullopt;
    }
    return std::string(resolved);
}

// A folder of ours: made private if missing, and never a link someone put there.
bool ownFolder(const std::string& path, bool mustBeMine) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
        return false;
    }
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           (!mustBeMine || info.st_uid == ::getuid());
}

bool makeFolders(const std::string& path) {
    if (path.empty() || path == "/") {
        return true;
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode);
    }
    return makeFolders(ParentFolderOf(path)) &&
           (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST);
}

std::optional<TrashFolder> usableTrash(const std::string& root, const std::string& topdir,
                                       bool mustBeMine) {
    if (!ownFolder(root, mustBeMine) || !ownFolder(root + "/files", mustBeMine) ||
        !ownFolder(root + "/info", mustBeMine)) {
        return std::nullopt;
    }
    struct stat info {};
    if (::stat((root + "/files").c_str(), &info) != 0) {
        return std::nullopt;
    }
    return TrashFolder{root, topdir, info.st_dev};
}

std::optional<TrashFolder> homeTrash() {
    const std::string root = HomeTrashFolder();
    if (root.empty() || !makeFolders(ParentFolderOf(root))) {
        return std::nullopt;
    }
    return usableTrash(root, {}, false);
}

// A mount point as /proc/self/mountinfo writes it: blanks and the like as
// three octal digits after a backslash.
std::string unescapeMountPoint(const std::string& text) {
    std::string out;
    const auto octal = [&text](std::size_t at) { return text[at] >= '0' && text[at] <= '7'; };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            out.push_back(static_cast<char>(std::stoi(text.substr(i + 1, 3), nullptr, 8)));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

bool isBelow(const std::string& path, const std::string& folder) {
    if (folder == "/") {
        return true;
    }
    return path.size() >= folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

// The top folder of the file system holding `folder` (a real path): the
// deepest mount point above it. Bind mounts and subvolumes share a device
// number with their neighbours, so the mount table decides, not st_dev.
std::string topdirOf(const std::string& folder) {
    std::FILE* table = std::fopen("/proc/self/mountinfo", "re");
    std::string best;
    if (table != nullptr) {
        char* line = nullptr;
        std::size_t capacity = 0;
        while (::getline(&line, &capacity, table) > 0) {
            // Fields: id, parent, major:minor, root, mount point, ...
            std::istringstream fields(line);
            std::string field;
            for (int i = 0; i < 5; ++i) {
                fields >> field;
            }
            const std::string point = unescapeMountPoint(field);
            if (fields && !point.empty() && point.front() == '/' && isBelow(folder, point) &&
                point.size() >= best.size()) {
                best = point;
            }
        }
        std::free(line);
        std::fclose(table);
    }
    return best.empty() ? "/" : best;
}

// The device the home trash is (or would be) on: that of its nearest
// existing folder.
std::optional<dev_t> homeDevice() {
    std::string folder = HomeTrashFolder();
    while (!folder.empty()) {
        struct stat info {};
        if (::stat(folder.c_str(), &info) == 0) {
            return info.st_dev;
        }
        if (folder == "/") {
            break;
        }
        folder = ParentFolderOf(folder);
    }
    return std::nullopt;
}

std::optional<TrashFolder> topdirTrash(const std::string& topdir) {
    const std::string uid = std::to_string(::getuid());
    const std::string base = topdir == "/" ? "" : topdir;
    // The administrator's shared trash counts only when it is a real,
    // sticky folder, so that users cannot take each other's folders away.
    const std::string shared = base + "/.Trash";
    struct stat info {};
    if (::lstat(shared.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
        (info.st_mode & S_ISVTX) != 0) {
        if (auto trash = usableTrash(shared + "/" + uid, topdir, true)) {
            return trash;
        }
    }
    return usableTrash(base + "/.Trash-" + uid, topdir, true);
}

std::string deletionDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

bool writeInfo(int fd, const std::string& encodedPath) {
    const std::string text =
        "[Trash Info]\nPath=" + encodedPath + "\nDeletionDate=" + deletionDate() + "\n";
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n <= 0) {
            return false;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return ::fsync(fd) == 0;
}

// Reserves a name with its info file, then moves (or copies) the file under
// it. The info file goes first so that a crash never leaves a trashed file
// nobody can restore.
FileOpOutcome trashInto(const TrashFolder& trash, const std::string& path,
                        const std::string& recordedPath, bool copy) {
    const std::string name = FileNameOf(path);
    for (int n = 1; n <= kMaxTrashNames; ++n) {
        const std::string trashName = NumberedFileName(name, n);
        const std::string info = trash.root + "/info/" + trashName + ".trashinfo";
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return FileOpFailure(kAction, path + " to the trash", errno);
        }
        const bool written = writeInfo(fd, EncodeTrashPath(recordedPath));
        const int infoError = errno;
        ::close(fd);
        if (!written) {
            ::unlink(info.c_str());
            return FileOpFailure(kAction, path + " to the trash", infoError);
        }
        const std::string target = trash.root + "/files/" + trashName;
        int error = copy ? CopyFileExclusive(path, target) : RenameNoReplace(path, target);
        if (error == 0 && copy && ::unlink(path.c_str()) != 0) {
            error = errno;
            ::unlink(target.c_str());
        }
        if (error == 0) {
            FileOpOutcome outcome;
            outcome.ok = true;
            outcome.newPath = target;
            return outcome;
        }
        ::unlink(info.c_str());
        if (error == EEXIST) {
            continue;
        }
        if (error == EXDEV && !copy) {
            // Same device number yet another mount (a bind mount): copy instead.
            return trashInto(trash, path, recordedPath, true);
        }
        return FileOpFailure(kAction, path + " to the trash", error);
    }
    return FileOpFailure(kAction, path + " to the trash", EEXIST);
}

}  // namespace

std::string HomeTrashFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') {
        return std::string(data) + "/Trash";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return std::string(home) + "/.local/share/Trash";
    }
    return {};
}

std::string EncodeTrashPath(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            encoded.push_back(c);
        } else {
            encoded.push_back('%');
            encoded.push_back(kHex[byte >> 4]);
            encoded.push_back(kHex[byte & 0x0F]);
        }
    }
    return encoded;
}

FileOpOutcome MoveFileToTrash(const std::string& pathIn) {
    const std::string path = absolutePath(pathIn);
    struct stat file {};
    if (::lstat(path.c_str(), &file) != 0) {
        return FileOpFailure(kAction, path + " to the trash", errno);
    }
    if (S_ISDIR(file.st_mode)) {
        return FileOpFailure(kAction, path + " to the trash", EISDIR);
    }
    const std::optional<TrashFolder> home = homeTrash();
    if (home && home->device == file.st_dev) {
        return trashInto(*home, path, path, false);
    }
    // A file beside the home trash never goes anywhere else, even when that
    // trash cannot be made.
    if (!home && homeDevice() == file.st_dev) {
        return FileOpFailure(kAction, path + " to the trash", "no trash folder can be made");
    }
    const std::optional<std::string> folder = realFolder(ParentFolderOf(path));
    if (folder) {
        const std::string topdir = topdirOf(*folder);
        if (const auto own = topdirTrash(topdir); own && own->device == file.st_dev) {
            // Below a file system's own trash, paths are relative to its top folder.
            const std::string real = (*folder == "/" ? "" : *folder) + "/" + FileNameOf(path);
            const std::string relative = real.substr(topdir == "/" ? 1 : topdir.size() + 1);
            return trashInto(*own, path, relative, false);
        }
    }
    if (!home) {
        return FileOpFailure(kAction, path + " to the trash", "no trash folder can be made");
    }
    if (!S_ISREG(file.st_mode)) {
        return FileOpFailure(kAction, path + " to the trash", EXDEV);
    }
    return trashInto(*home, path, path, true);
}

#include "trash_restore.h"

#include <cerrno>
#include <fstream>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

#include "path_parts.h"

namespace {

const std::string kAction = "restore";
// A .trashinfo file holds one path and a date; anything this long is not one.
constexpr std::streamsize kMaxInfoBytes = 64 * 1024;

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The file system's top folder a trash root ($topdir/.Trash-$uid or
// $topdir/.Trash/$uid) belongs to; empty for the home trash.
std::string topdirOfTrash(const std::string& root) {
    const std::string name = FileNameOf(root);
    if (name.starts_with(".Trash-")) {
        return ParentFolderOf(root);
    }
    const std::string parent = ParentFolderOf(root);
    if (FileNameOf(parent) == ".Trash") {
        return ParentFolderOf(parent);
    }
    return {};
}

std::optional<std::string> readInfo(const std::string& infoPath, std::string& problem) {
    std::ifstream in(infoPath, std::ios::binary);
    if (!in) {
        problem = "its trash information " + infoPath + " cannot be read";
        return std::nullopt;
    }
    std::string text(static_cast<std::size_t>(kMaxInfoBytes) + 1, '\0');
    in.read(text.data(), kMaxInfoBytes + 1);
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (in.gcount() > kMaxInfoBytes) {
        problem = "its trash information " + infoPath + " is too long";
        return std::nullopt;
    }
    return text;
}

// The "Path=" value of the [Trash Info] group.
std::optional<std::string> infoPathValue(const std::string& text) {
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.starts_with('[')) {
            inGroup = line == "[Trash Info]";
        } else if (inGroup && line.starts_with("Path=")) {
            return line.substr(5);
        }
    }
    return std::nullopt;
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Renames `from` to `to`, or copies and removes it across file systems;
// never replaces a file at `to`. 0 or the errno value.
int putBack(const std::string& from, const std::string& to) {
    int error = RenameNoReplace(from, to);
    if (error != EXDEV) {
        return error;
    }
    error = CopyFileExclusive(from, to);
    if (error != 0) {
        return error;
    }
    if (::unlink(from.c_str()) != 0) {
        error = errno;
        ::unlink(to.c_str());
    }
    return error;
}

FileOpOutcome putBackOutcome(const std::string& from, const std::string& to) {
    if (!exists(from)) {
        return FileOpFailure(kAction, to, "it is no longer at " + from);
    }
    if (exists(to)) {
        return FileOpFailure(kAction, to, "another file is there now");
    }
    if (!isFolder(ParentFolderOf(to))) {
        return FileOpFailure(kAction, to, "its folder no longer exists");
    }
    const int error = putBack(from, to);
    if (error == EEXIST) {
        return FileOpFailure(kAction, to, "another file is there now");
    }
    if (error != 0) {
        return FileOpFailure(kAction, to, error);
    }
    FileOpOutcome outcome;
    outcome.ok = true;
    outcome.newPath = to;
    return outcome;
}

}  // namespace

std::optional<std::string> DecodeTrashPath(const std::string& encoded) {
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] != '%') {
            out.push_back(encoded[i]);
            continue;
        }
        if (i + 2 >= encoded.size()) {
            return std::nullopt;
        }
        const int high = hexValue(encoded[i + 1]);
        const int low = hexValue(encoded[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

std::optional<std::string> TrashedFileOrigin(const std::string& trashedPath, std::string& problem) {
    const std::string files = ParentFolderOf(trashedPath);
    if (FileNameOf(files) != "files") {
        problem = trashedPath + " is not in a trash folder";
        return std::nullopt;
    }
    const std::string root = ParentFolderOf(files);
    const std::string infoPath = root + "/info/" + FileNameOf(trashedPath) + ".trashinfo";
    const std::optional<std::string> text = readInfo(infoPath, problem);
    if (!text) {
        return std::nullopt;
    }
    const std::optional<std::string> value = infoPathValue(*text);
    const std::optional<std::string> path = value ? DecodeTrashPath(*value) : std::nullopt;
    if (!path || path->empty() || path->find('\n') != std::string::npos) {
        problem = "its trash information " + infoPath + " holds no usable path";
        return std::nullopt;
    }
    if (path->front() == '/') {
        return path;
    }
    const std::string topdir = topdirOfTrash(root);
    if (topdir.empty()) {
        problem = "its trash information " + infoPath + " holds no usable path";
        return std::nullopt;
    }
    return (topdir == "/" ? "" : topdir) + "/" + *path;
}

FileOpOutcome RestoreFromTrash(const std::string& trashedPath) {
    std::string problem;
    const std::optional<std::string> origin = TrashedFileOrigin(trashedPath, problem);
    if (!origin) {
        return FileOpFailure(kAction, trashedPath, problem);
    }
    FileOpOutcome outcome = putBackOutcome(trashedPath, *origin);
    if (outcome.ok) {
        const std::string root = ParentFolderOf(ParentFolderOf(trashedPath));
        ::unlink((root + "/info/" + FileNameOf(trashedPath) + ".trashinfo").c_str());
    }
    return outcome;
}

FileOpOutcome MoveFileBack(const std::string& movedPath, const std::string& originalPath) {
    return putBackOutcome(movedPath, originalPath);
}

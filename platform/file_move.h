#pragma once
// Moving and deleting the user's image files without ever overwriting one or
// leaving half a copy behind. Plain POSIX; any thread.

#include <string>

/// How a file operation ended: on success the file's new path (empty for a
/// delete), on failure one line naming the file and the reason.
struct FileOpOutcome {
    bool ok = false;
    std::string newPath;
    std::string failure;
};

/// The failure line: "Unable to " + action + " " + path + ": " + the system's
/// text for `error`.
FileOpOutcome FileOpFailure(const std::string& action, const std::string& path, int error);
/// The same with a reason of our own.
FileOpOutcome FileOpFailure(const std::string& action, const std::string& path,
                            const std::string& reason);

/// Moves the file at `path` into `folder`, keeping a file of the same name
/// there: the moved file then gets the next free name "name (2).ext",
/// "name (3).ext" ... Within a file system this is a rename; across file
/// systems the file is copied (the copy is removed again if anything fails)
/// and the source removed once the copy is complete. Only a name that is
/// taken leads to the next name; any other failure stops with its reason and
/// leaves the source as it was.
FileOpOutcome MoveFileIntoFolder(const std::string& path, const std::string& folder);

/// Removes the file at `path` for good. Folders are refused.
FileOpOutcome DeleteFilePermanently(const std::string& path);

/// rename() that never replaces an existing file: 0, or the errno value
/// (EEXIST when `to` is taken, EXDEV across file systems).
int RenameNoReplace(const std::string& from, const std::string& to);

/// `name` for n = 1, else "name (n).ext" (the extension follows the last dot).
std::string NumberedFileName(const std::string& name, int n);

/// Copies the regular file `source` to the new file `target` (which must not
/// exist), with the source's permissions and times. On failure the partial
/// target is removed and the errno value returned; EEXIST when the name is
/// taken. 0 on success.
int CopyFileExclusive(const std::string& source, const std::string& target);

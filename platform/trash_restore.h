#pragma once
// Putting back what we trashed or moved, so that a removal can be undone.
// Never overwrites: when the old place is taken the file stays where it is.
// Plain POSIX; any thread.

#include <optional>
#include <string>

#include "file_move.h"

/// "%XX" escapes undone, as the "Path=" key of a .trashinfo file holds a
/// path; nothing when an escape is cut short or not hexadecimal, or the path
/// would hold a NUL.
std::optional<std::string> DecodeTrashPath(const std::string& encoded);

/// Where the file `trashedPath` (inside a trash's "files" folder) came from,
/// read from its .trashinfo file: an absolute path as recorded, or a path
/// relative to the trash's own file system top folder made absolute. On
/// failure `problem` says why (missing, too long or damaged info file).
std::optional<std::string> TrashedFileOrigin(const std::string& trashedPath, std::string& problem);

/// Moves the trashed file back to where its .trashinfo says it came from and
/// removes the .trashinfo. Refused, with the file left in the trash, when its
/// old place is taken or its old folder is gone. On success `newPath` is the
/// restored path.
FileOpOutcome RestoreFromTrash(const std::string& trashedPath);

/// Moves a file that was moved to `movedPath` back to `originalPath`; refused,
/// with the file left where it is, when `originalPath` is taken. Across file
/// systems the file is copied and the copy at `movedPath` removed once complete.
FileOpOutcome MoveFileBack(const std::string& movedPath, const std::string& originalPath);

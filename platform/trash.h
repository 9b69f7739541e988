#pragma once
// The desktop's trash as the freedesktop.org Trash standard lays it out,
// so that file managers list and restore what we trashed. Plain POSIX; any
// thread.

#include <string>

#include "file_move.h"

/// The home trash: $XDG_DATA_HOME/Trash when that is an absolute path, else
/// ~/.local/share/Trash. Empty when neither can be told.
std::string HomeTrashFolder();

/// A path as the "Path=" key of a .trashinfo file holds it: escaped as in
/// URLs, every byte but letters, digits, "-", ".", "_", "~" and "/" written
/// as "%XX".
std::string EncodeTrashPath(const std::string& path);

/// Moves the file at `path` to the trash. A file on the home trash's file
/// system goes to the home trash. A file on another file system goes to that
/// file system's own trash, $topdir/.Trash/$uid when the administrator made
/// a sticky $topdir/.Trash, else $topdir/.Trash-$uid; when neither can be
/// used, to the home trash by a complete copy followed by removing the file.
/// On failure the file is where it was and no half copy is left.
FileOpOutcome MoveFileToTrash(const std::string& path);

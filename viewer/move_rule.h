#pragma once
// Whether the viewer's Delete buttons move instead of deleting, and when the
// separate Move buttons show.

#include <string>

struct MoveFlags {
    bool moveTo = false;      ///< "'Move' instead of 'Delete'" after the rule
    bool leftMoves = false;   ///< the left Delete button moves
    bool rightMoves = false;  ///< the right Delete button moves
    bool operator==(const MoveFlags&) const = default;
};

/// A side's Delete button moves when `moveTo` is on and that side's "Move to"
/// folder exists; `moveTo` itself ends off when neither side moves. Any thread.
MoveFlags ApplyMoveRule(bool moveTo, bool leftFolderExists, bool rightFolderExists);

/// "Move" or "Delete", the caption of a side's Delete button.
const char* DeleteButtonCaption(bool sideMoves);

/// A side's Move button shows while "Show 'Move' controls" is on, the side's
/// folder exists and its Delete button does not move already.
bool MoveButtonShown(bool showMove, bool folderExists, bool sideMoves);

/// Whether `folder` names an existing folder; false for an empty text or a file.
/// Touches the file system: user-interface thread or any worker.
bool MoveFolderExists(const std::string& folder);

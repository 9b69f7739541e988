#include "move_rule.h"

#include <filesystem>
#include <system_error>

MoveFlags ApplyMoveRule(bool moveTo, bool leftFolderExists, bool rightFolderExists) {
    MoveFlags f;
    f.leftMoves = moveTo && leftFolderExists;
    f.rightMoves = moveTo && rightFolderExists;
    f.moveTo = f.leftMoves || f.rightMoves;
    return f;
}

const char* DeleteButtonCaption(bool sideMoves) {
    return sideMoves ? "Move" : "Delete";
}

bool MoveButtonShown(bool showMove, bool folderExists, bool sideMoves) {
    return showMove && folderExists && !sideMoves;
}

bool MoveFolderExists(const std::string& folder) {
    if (folder.empty()) {
        return false;
    }
    // A plain file of that name is no place to move into.
    std::error_code ec;
    return std::filesystem::is_directory(std::filesystem::path(folder), ec);
}

#include "file_ops.h"

#include "file_move.h"
#include "trash.h"
#include "trash_restore.h"

bool QtFileOps::moveToTrash(const std::string& path) {
    const FileOpOutcome outcome = MoveFileToTrash(path);
    m_lastFailure = outcome.failure;
    m_lastTrashed = outcome.ok ? outcome.newPath : std::string();
    return outcome.ok;
}

bool QtFileOps::deletePermanently(const std::string& path) {
    const FileOpOutcome outcome = DeleteFilePermanently(path);
    m_lastFailure = outcome.failure;
    return outcome.ok;
}

std::optional<std::string> QtFileOps::moveToFolder(const std::string& path,
                                                   const std::string& folder) {
    const FileOpOutcome outcome = MoveFileIntoFolder(path, folder);
    m_lastFailure = outcome.failure;
    if (!outcome.ok) {
        return std::nullopt;
    }
    return outcome.newPath;
}

std::optional<std::string> QtFileOps::restoreFromTrash(const std::string& trashedPath) {
    const FileOpOutcome outcome = RestoreFromTrash(trashedPath);
    m_lastFailure = outcome.failure;
    if (!outcome.ok) {
        return std::nullopt;
    }
    return outcome.newPath;
}

bool QtFileOps::moveBack(const std::string& movedPath, const std::string& originalPath) {
    const FileOpOutcome outcome = MoveFileBack(movedPath, originalPath);
    m_lastFailure = outcome.failure;
    return outcome.ok;
}

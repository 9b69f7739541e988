#include "file_ops.h"

#include "file_move.h"
#include "trash.h"

bool QtFileOps::moveToTrash(const std::string& path) {
    const FileOpOutcome outcome = MoveFileToTrash(path);
    m_lastFailure = outcome.failure;
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

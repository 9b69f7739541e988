#pragma once
// Changes to the user's files: the only place that deletes or moves them.

#include <optional>
#include <string>

class FileOps {
  public:
    virtual ~FileOps() = default;

    /// Moves the file to the desktop's trash. False (and the file untouched)
    /// when no trash can take it; never falls back to a permanent delete.
    virtual bool moveToTrash(const std::string& path) = 0;
    virtual bool deletePermanently(const std::string& path) = 0;
    /// Moves the file into `folder`, renaming it when a file of that name is
    /// already there. Returns the new path, or nothing (file untouched) on failure.
    virtual std::optional<std::string> moveToFolder(const std::string& path,
                                                    const std::string& folder) = 0;
    /// After a failed call, one line naming the file and the reason ("Unable
    /// to move /p/a.jpg to /q: No space left on device"), for the user to
    /// read; empty after a success.
    virtual std::string lastFailure() const { return {}; }

    /// Where the last successful moveToTrash put the file, so that it can be
    /// put back; empty when that is not known.
    virtual std::string lastTrashedPath() const { return {}; }
    /// Puts a trashed file (its path in the trash) back where it came from.
    /// Returns the restored path, or nothing (file untouched) when its old
    /// place is taken or it cannot be put back.
    virtual std::optional<std::string> restoreFromTrash(const std::string& /*trashedPath*/) {
        return std::nullopt;
    }
    /// Moves a moved file back to its old path; false (file untouched) when
    /// that place is taken or the move fails.
    virtual bool moveBack(const std::string& /*movedPath*/, const std::string& /*originalPath*/) {
        return false;
    }
};

/// The real file operations: the freedesktop.org trash, unlink, and moves that
/// never overwrite.
class QtFileOps : public FileOps {
  public:
    bool moveToTrash(const std::string& path) override;
    bool deletePermanently(const std::string& path) override;
    std::optional<std::string> moveToFolder(const std::string& path,
                                            const std::string& folder) override;
    std::string lastFailure() const override { return m_lastFailure; }
    std::string lastTrashedPath() const override { return m_lastTrashed; }
    std::optional<std::string> restoreFromTrash(const std::string& trashedPath) override;
    bool moveBack(const std::string& movedPath, const std::string& originalPath) override;

  private:
    std::string m_lastFailure;
    std::string m_lastTrashed;
};

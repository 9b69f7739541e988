#pragma once
// Where folder walks get their listings from: the disk, or a test's own tree
// with a listing order it controls.

#include <cstdint>
#include <memory>
#include <string>

/// The separator that ends folder paths and folder lines of image lists.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

/// One entry of a folder listing ("." and ".." are never listed).
struct FolderEntry {
    std::string name;
    bool isFolder = false;  ///< a folder, or a link to one
};

/// Identifies a folder independently of the path it was reached by, so a walk
/// can tell when a link leads back to a folder it is already inside.
struct FolderId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FolderId&) const = default;
};

/// One open listing, in the order the source gives.
class FolderListing {
  public:
    virtual ~FolderListing() = default;
    virtual FolderId id() const = 0;
    /// The next entry; false at the end of the listing or when listing fails.
    virtual bool next(FolderEntry& entry) = 0;
    /// True when the listing ended because of an error rather than at its end.
    virtual bool failed() const = 0;
    /// What went wrong when failed(), for the user ("Permission denied"); may be empty.
    virtual std::string failure() const { return {}; }
};

/// Opens folder listings. Implementations are used on one thread at a time.
class FolderSource {
  public:
    virtual ~FolderSource() = default;
    /// Null when the folder cannot be listed.
    virtual std::unique_ptr<FolderListing> open(const std::string& folder) = 0;
    /// Why the last open() gave null, for the user; may be empty.
    virtual std::string lastFailure() const { return {}; }
};

/// The real file system, in the platform's directory listing order. Hidden
/// files are listed; devices, pipes and sockets are not (reading one would
/// block or make no sense as an image).
class DiskFolderSource : public FolderSource {
  public:
    std::unique_ptr<FolderListing> open(const std::string& folder) override;
    std::string lastFailure() const override { return m_lastFailure; }

  private:
    std::string m_lastFailure;
};

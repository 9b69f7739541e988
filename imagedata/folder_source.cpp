#include "folder_source.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <system_error>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// The folder's identity; false with the reason when it is no listable folder.
bool folderIdOf(const std::string& folder, FolderId& id, std::string& failure) {
#ifdef _WIN32
    std::error_code ec;
    const fs::path canonical = fs::canonical(fs::u8path(folder), ec);
    if (ec) {
        failure = ec.message();
        return false;
    }
    id = FolderId{0, std::hash<std::string>{}(canonical.string())};
    return true;
#else
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        failure = std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        failure = std::strerror(ENOTDIR);
        return false;
    }
    id = FolderId{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    return true;
#endif
}

class DiskFolderListing : public FolderListing {
  public:
    DiskFolderListing(FolderId id, fs::directory_iterator it) : m_id(id), m_it(std::move(it)) {}

    FolderId id() const override { return m_id; }
    bool failed() const override { return !m_failure.empty(); }
    std::string failure() const override { return m_failure; }

    bool next(FolderEntry& entry) override {
        while (m_it != fs::directory_iterator()) {
            const fs::directory_entry& current = *m_it;
            // These tests use the type the listing itself gives where the
            // platform has it; only links cost a look-up.
            std::error_code ec;
            const bool isFolder = current.is_directory(ec);
            const bool special =
                !isFolder && (current.is_fifo(ec) || current.is_socket(ec) ||
                              current.is_block_file(ec) || current.is_character_file(ec));
            if (!special) {
                entry.name = current.path().filename().string();
                entry.isFolder = isFolder;
            }
            m_it.increment(ec);
            if (ec) {
                m_failure = ec.message();
                m_it = fs::directory_iterator();
            }
            if (!special) {
                return true;
            }
        }
        return false;
    }

  private:
    FolderId m_id;
    fs::directory_iterator m_it;
    std::string m_failure;
};

}  // namespace

std::unique_ptr<FolderListing> DiskFolderSource::open(const std::string& folder) {
    m_lastFailure.clear();
    FolderId id;
    if (folder.empty()) {
        m_lastFailure = std::strerror(ENOENT);
        return nullptr;
    }
    if (!folderIdOf(folder, id, m_lastFailure)) {
        return nullptr;
    }
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec) {
        m_lastFailure = ec.message();
        return nullptr;
    }
    return std::make_unique<DiskFolderListing>(id, std::move(it));
}

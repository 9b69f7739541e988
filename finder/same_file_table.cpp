#include "same_file_table.h"

#include <unordered_map>

#include "datafile_slot.h"
#include "file_identity.h"
#include "path_compare.h"

namespace {

class FileNumbers {
  public:
    std::vector<int> number(std::span<const std::string> paths) {
        std::vector<int> ids;
        ids.reserve(paths.size());
        for (const std::string& path : paths) {
            ids.push_back(numberOf(path));
        }
        return ids;
    }

  private:
    int numberOf(const std::string& path) {
        if (HasLineBreak(path)) {
            return SameFileTable::kUnusable;
        }
        // Entries that stand for no file are never compared; each keeps its own number.
        if (path.empty() || path == kDeletedEntry) {
            return m_next++;
        }
        // Every entry is known by its plain path and, when the file is there,
        // by its identity; sharing either makes two entries one file.
        const std::string plain = "p" + PathKey(NormalizePath(path));
        std::string identityKey;
        if (const std::optional<FileIdentity> identity = FileIdentityOf(path)) {
            identityKey =
                "i" + std::to_string(identity->device) + ":" + std::to_string(identity->inode);
        }
        int id = m_next;
        if (const auto known = m_ids.find(plain); known != m_ids.end()) {
            id = known->second;
        } else if (const auto same = m_ids.find(identityKey); same != m_ids.end()) {
            id = same->second;
        } else {
            ++m_next;
        }
        m_ids.emplace(plain, id);
        if (!identityKey.empty()) {
            m_ids.emplace(identityKey, id);
        }
        return id;
    }

    std::unordered_map<std::string, int> m_ids;
    int m_next = 0;
};

}  // namespace

SameFileTable::SameFileTable(std::span<const std::string> firstPaths,
                             std::span<const std::string> secondPaths) {
    FileNumbers numbers;
    m_first = numbers.number(firstPaths);
    m_second = firstPaths.data() == secondPaths.data() && firstPaths.size() == secondPaths.size()
                   ? m_first
                   : numbers.number(secondPaths);
}

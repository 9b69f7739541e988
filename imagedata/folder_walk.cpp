#include "folder_walk.h"

#include <functional>
#include <unordered_set>

#include "image_suffix.h"

namespace {

constexpr int kQuickCountLimit = 999;

std::string withSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return folder;
    }
    return folder + kPathSeparator;
}

// The folders a walk has entered. Checking every folder met, not only those
// it is inside, also keeps a web of links from walking the same folders along
// every path through it, and keeps the images of a folder reached by two
// routes from being listed twice (their "duplicates" would be one file).
class VisitedFolders {
  public:
    /// False when the folder was entered before.
    bool enter(const FolderId& id) { return m_ids.insert(id).second; }

  private:
    struct Hash {
        std::size_t operator()(const FolderId& id) const {
            return std::hash<std::uint64_t>{}(id.inode * 31 + id.device);
        }
    };
    std::unordered_set<FolderId, Hash> m_ids;
};

class CountWalk {
  public:
    CountWalk(FolderSource& source, bool subfolders, bool quick, ImageFormats formats)
        : m_source(source), m_subfolders(subfolders), m_quick(quick), m_formats(formats) {}

    int count(const std::string& folderIn) {
        if (folderIn.empty()) {
            return 0;
        }
        const std::string folder = withSeparator(folderIn);
        const auto listing = m_source.open(folder);
        if (!listing || !m_visited.enter(listing->id())) {
            return 0;
        }
        int found = 0;
        FolderEntry entry;
        while (listing->next(entry)) {
            if (!entry.isFolder) {
                // The folder ends in a separator, so the name's own last four
                // characters decide.
                found += IsImageSuffix(entry.name, m_formats) ? 1 : 0;
            } else if (m_subfolders) {
                found += count(folder + entry.name);
            }
            if (m_quick && found > kQuickCountLimit) {
                break;
            }
        }
        return found;
    }

  private:
    FolderSource& m_source;
    bool m_subfolders;
    bool m_quick;
    ImageFormats m_formats;
    VisitedFolders m_visited;
};

class FillWalk {
  public:
    FillWalk(FolderSource& source, bool subfolders, DatafileSlot& slot, Prompter& prompter,
             ImageFormats formats)
        : m_source(source),
          m_subfolders(subfolders),
          m_slot(slot),
          m_prompter(prompter),
          m_formats(formats) {}

    bool userCancelled() const { return m_userCancelled; }

    AddResult fill(const std::string& folderIn) {
        if (folderIn.empty()) {
            return AddResult::Stopped;
        }
        const std::string folder = withSeparator(folderIn);
        const auto listing = m_source.open(folder);
        if (!listing) {
            return AddResult::Stopped;
        }
        if (!m_visited.enter(listing->id())) {
            return AddResult::Done;  // reached again through a link: nothing new there
        }
        return fillListing(folder, *listing);
    }

  private:
    AddResult fillListing(const std::string& folder, FolderListing& listing) {
        FolderEntry entry;
        bool firstEntry = true;
        while (listing.next(entry)) {
            if (!entry.isFolder) {
                if (IsImageSuffix(entry.name, m_formats) &&
                    !m_slot.appendPath(folder + entry.name)) {
                    return capacityReached(firstEntry);
                }
            } else if (m_subfolders) {
                const AddResult sub = fill(folder + entry.name);
                if (sub != AddResult::Done) {
                    return sub;
                }
            }
            firstEntry = false;
        }
        return listing.failed() ? AddResult::Stopped : AddResult::Done;
    }

    AddResult capacityReached(bool firstEntry) {
        const PromptAnswer answer = m_prompter.message(
            "Information", "Limit is 32,000 image files.\nProcess the 32,000 now.",
            PromptButtons::OkCancel, PromptIcon::Warning);
        if (answer == PromptAnswer::Ok) {
            return AddResult::AtCapacity;
        }
        m_slot.clearData();
        // Meeting the full list at a folder's first entry has always left the
        // status line alone.
        if (!firstEntry) {
            m_userCancelled = true;
        }
        return AddResult::Stopped;
    }

    FolderSource& m_source;
    bool m_subfolders;
    DatafileSlot& m_slot;
    Prompter& m_prompter;
    ImageFormats m_formats;
    VisitedFolders m_visited;
    bool m_userCancelled = false;
};

}  // namespace

int CountFolderImages(FolderSource& source, const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats) {
    return CountWalk(source, subfolders, quick, formats).count(folder);
}

int CountFolderImages(const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats) {
    DiskFolderSource disk;
    return CountFolderImages(disk, folder, subfolders, quick, formats);
}

AddResult AddFolderImages(FolderSource& source, const std::string& folder, bool subfolders,
                          DatafileSlot& slot, Prompter& prompter, bool* userCancelled,
                          ImageFormats formats) {
    FillWalk walk(source, subfolders, slot, prompter, formats);
    const AddResult result = walk.fill(folder);
    if (userCancelled != nullptr && walk.userCancelled()) {
        *userCancelled = true;
    }
    return result;
}

AddResult AddFolderImages(const std::string& folder, bool subfolders, DatafileSlot& slot,
                          Prompter& prompter, bool* userCancelled, ImageFormats formats) {
    DiskFolderSource disk;
    return AddFolderImages(disk, folder, subfolders, slot, prompter, userCancelled, formats);
}

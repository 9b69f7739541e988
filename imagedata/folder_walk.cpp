#include "folder_walk.h"

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "image_suffix.h"
#include "path_compare.h"

namespace {

constexpr int kQuickCountLimit = 999;
// Names beyond this many are summed up, so the message stays readable.
constexpr std::size_t kMaxNamesShown = 20;

std::string withSeparator(const std::string& folder) {
    if (!folder.empty() && folder.back() == kPathSeparator) {
        return folder;
    }
    return folder + kPathSeparator;
}

// True when `path` is new to `held` (always without one).
bool firstTime(HeldPaths* held, const std::string& path) {
    return held == nullptr || held->insert(PathKey(path)).second;
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
    CountWalk(FolderSource& source, bool subfolders, bool quick, ImageFormats formats,
              HeldPaths* held)
        : m_source(source),
          m_subfolders(subfolders),
          m_quick(quick),
          m_formats(formats),
          m_held(held) {}

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
                // characters decide. A path with a line break stands in the
                // fill as a "Deleted" entry of its own, so it always counts.
                if (IsImageSuffix(entry.name, m_formats)) {
                    const std::string path = folder + entry.name;
                    found += HasLineBreak(path) || firstTime(m_held, path) ? 1 : 0;
                }
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
    HeldPaths* m_held;
    VisitedFolders m_visited;
};

class FillWalk {
  public:
    FillWalk(FolderSource& source, bool subfolders, DatafileSlot& slot, Prompter& prompter,
             ImageFormats formats, HeldPaths* held)
        : m_source(source),
          m_subfolders(subfolders),
          m_slot(slot),
          m_prompter(prompter),
          m_formats(formats),
          m_held(held) {}

    bool userCancelled() const { return m_userCancelled; }
    const std::vector<std::string>& refused() const { return m_refused; }

    AddResult fill(const std::string& folderIn) {
        if (folderIn.empty()) {
            m_prompter.inform("Twinly", UnlistableFolderText(folderIn, {}), PromptIcon::Warning);
            return AddResult::Stopped;
        }
        const std::string folder = withSeparator(folderIn);
        const auto listing = m_source.open(folder);
        if (!listing) {
            m_prompter.inform("Twinly", UnlistableFolderText(folder, m_source.lastFailure()),
                              PromptIcon::Warning);
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
                if (IsImageSuffix(entry.name, m_formats) && !add(folder + entry.name)) {
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
        if (listing.failed()) {
            m_prompter.inform("Twinly", UnlistableFolderText(folder, listing.failure()),
                              PromptIcon::Warning);
            return AddResult::Stopped;
        }
        return AddResult::Done;
    }

    // False when the path list is full.
    bool add(const std::string& path) {
        if (HasLineBreak(path)) {
            // Lists and logs would split it into lines that name other files.
            if (!m_slot.appendPath(kDeletedEntry)) {
                return false;
            }
            m_refused.push_back(path);
            return true;
        }
        return !firstTime(m_held, path) || m_slot.appendPath(path);
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
    HeldPaths* m_held;
    VisitedFolders m_visited;
    std::vector<std::string> m_refused;
    bool m_userCancelled = false;
};

}  // namespace

std::string UnlistableFolderText(const std::string& folder, const std::string& reason) {
    if (folder.empty()) {
        return "No folder was named to list.";
    }
    return "Unable to list the folder " + folder + (reason.empty() ? "." : ": " + reason);
}

std::string LineBreakNamesText(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return {};
    }
    std::string text = "Left out " + std::to_string(paths.size()) +
                       (paths.size() == 1 ? " file" : " files") +
                       " whose name holds a line break, which image lists and dups logs cannot "
                       "carry:";
    for (std::size_t i = 0; i < std::min(paths.size(), kMaxNamesShown); ++i) {
        text += "\n" + PathForDisplay(paths[i]);
    }
    if (paths.size() > kMaxNamesShown) {
        text += "\n... and " + std::to_string(paths.size() - kMaxNamesShown) + " more";
    }
    return text;
}

int CountFolderImages(FolderSource& source, const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats, HeldPaths* held) {
    return CountWalk(source, subfolders, quick, formats, held).count(NormalizePath(folder));
}

int CountFolderImages(const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats) {
    DiskFolderSource disk;
    return CountFolderImages(disk, folder, subfolders, quick, formats);
}

AddResult AddFolderImages(FolderSource& source, const std::string& folder, bool subfolders,
                          DatafileSlot& slot, Prompter& prompter, bool* userCancelled,
                          ImageFormats formats, HeldPaths* held) {
    FillWalk walk(source, subfolders, slot, prompter, formats, held);
    const AddResult result = walk.fill(NormalizePath(folder));
    if (userCancelled != nullptr && walk.userCancelled()) {
        *userCancelled = true;
    }
    if (!walk.refused().empty()) {
        prompter.inform("Twinly", LineBreakNamesText(walk.refused()), PromptIcon::Warning);
    }
    return result;
}

AddResult AddFolderImages(const std::string& folder, bool subfolders, DatafileSlot& slot,
                          Prompter& prompter, bool* userCancelled, ImageFormats formats) {
    DiskFolderSource disk;
    return AddFolderImages(disk, folder, subfolders, slot, prompter, userCancelled, formats);
}

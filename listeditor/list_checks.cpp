#include "list_checks.h"

#include <algorithm>
#include <memory>

#include "folder_source.h"

namespace {

struct PruneItem {
    std::string text;
    bool recursive = false;
};

// Whether A is covered by B (both with their notes removed).
bool covers(const PruneItem& b, const PruneItem& a) {
    const bool aStartsWithB = a.text.compare(0, b.text.size(), b.text) == 0;
    if (b.recursive && aStartsWithB) {
        return true;
    }
    if (aStartsWithB && FolderPart(a.text) == b.text) {
        return true;
    }
    return a.text == b.text && (b.recursive || a.recursive == b.recursive);
}

}  // namespace

void PruneRedundantEntries(std::vector<std::string>& entries) {
    const std::size_t n = entries.size();
    std::vector<PruneItem> items(n);
    for (std::size_t i = 0; i < n; ++i) {
        items[i].text = entries[i];
        StripSuffix(items[i].text, kNoSubfoldersNote);
        items[i].recursive = StripSuffix(items[i].text, kIncludeSubfoldersNote);
    }
    // An entry deleted earlier no longer covers anything, exactly as if it had
    // been taken out of the list at once.
    std::vector<bool> alive(n, true);
    for (std::size_t a = n; a-- > 0;) {
        for (std::size_t b = n; b-- > 0;) {
            if (b != a && alive[b] && covers(items[b], items[a])) {
                alive[a] = false;
                break;
            }
        }
    }
    std::size_t out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (alive[i]) {
            if (out != i) {
                entries[out] = std::move(entries[i]);
            }
            ++out;
        }
    }
    entries.resize(out);
}

namespace {

int countIn(FolderSource& source, const std::string& folder, bool recursive,
            const ImageTypeFilter& filter, std::vector<FolderId>& inside) {
    const std::unique_ptr<FolderListing> listing = source.open(folder);
    if (!listing || std::find(inside.begin(), inside.end(), listing->id()) != inside.end()) {
        return 0;
    }
    inside.push_back(listing->id());
    int count = 0;
    FolderEntry entry;
    while (listing->next(entry)) {
        if (entry.isFolder) {
            if (recursive) {
                count +=
                    countIn(source, folder + entry.name + kPathSeparator, true, filter, inside);
            }
        } else if (IsAcceptedImageType(entry.name, filter)) {
            ++count;
        }
    }
    inside.pop_back();
    return count;
}

}  // namespace

int CountImages(const std::string& folder, bool recursive, const ImageTypeFilter& filter) {
    DiskFolderSource disk;
    std::vector<FolderId> inside;
    return countIn(disk, folder, recursive, filter, inside);
}

ListCount CountEntries(const std::vector<std::string>& entries, bool full,
                       const ImageTypeFilter& filter) {
    ListCount count;
    for (const std::string& entry : entries) {
        const ParsedEntry parsed = ParseListEntry(entry);
        if (!parsed.folder) {
            count.hasFiles = true;
            ++count.files;
            if (!full) {
                count.stoppedAtFile = true;
                return count;
            }
        } else if (full) {
            ++count.folders;
            count.files += CountImages(parsed.path, parsed.recursive, filter);
        }
    }
    return count;
}

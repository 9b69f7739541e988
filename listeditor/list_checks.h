#pragma once
// Checks on the entries of an image list that need no window: pruning entries
// covered by others, and counting the folders and images a list stands for.

#include <string>
#include <vector>

#include "list_entry.h"

/// Deletes every entry that another entry already covers: a path inside a
/// folder taken with subfolders, a file or folder directly inside a listed
/// folder, and duplicates (the later one goes). Comparisons respect case.
/// Any thread.
void PruneRedundantEntries(std::vector<std::string>& entries);

/// The images of `folder` (ending in the separator) whose type `filter`
/// accepts, with those of all folders below when `recursive`. A folder that
/// cannot be listed counts 0; links to folders are followed, but never into a
/// folder the walk is already inside. Any thread.
int CountImages(const std::string& folder, bool recursive, const ImageTypeFilter& filter);

struct ListCount {
    int folders = 0;
    int files = 0;
    bool hasFiles = false;       ///< a file entry was met
    bool stoppedAtFile = false;  ///< a quick count ended at the first file entry
};

/// Counts a list. A file entry counts 1 whatever its type; a folder entry, on a
/// full count, counts 1 folder and CountImages of it. A quick (not full) count
/// stops at the first file entry. Any thread.
ListCount CountEntries(const std::vector<std::string>& entries, bool full,
                       const ImageTypeFilter& filter);

#pragma once
// Turning a folder into image paths: the count (optionally quick) and the fill
// of a slot's path list. Both walk depth first in the platform's listing order,
// so a subfolder's images stand where the subfolder was met.
//
// Links to folders are followed, but a walk never enters a folder it has
// entered before (same device and inode): a link back up the tree cannot make
// it run forever, and a folder reached by two routes gives its images once.

#include <string>
#include <unordered_set>

#include "datafile_slot.h"
#include "folder_source.h"
#include "image_suffix.h"
#include "prompter.h"

/// How a fill walk ended.
enum class AddResult : int {
    Stopped = 0,     ///< the user cancelled at the capacity message, or a folder cannot be listed
    Done = 1,        ///< the whole tree was walked
    AtCapacity = 2,  ///< the path list is full; the user chose to go on with what was gathered
};

/// Status line text for a fill the user cancelled.
inline constexpr const char* kUserCancelledStatus = "User cancelled...";

/// The PathKey of every path a path list holds, so that a list build adds
/// each path once.
using HeldPaths = std::unordered_set<std::string>;

/// Number of image files in `folder` (and, with `subfolders`, below it). A
/// folder that cannot be listed counts 0. With `quick`, each folder stops as
/// soon as its running count passes 999, so any result above 999 only means
/// "at least 1000". `formats` says which file names are images. With `held`,
/// images already in it are not counted again (and are added to it).
/// User-interface thread (or any thread that owns `source`).
int CountFolderImages(const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats = ImageFormats::All);
int CountFolderImages(FolderSource& source, const std::string& folder, bool subfolders, bool quick,
                      ImageFormats formats = ImageFormats::All, HeldPaths* held = nullptr);

/// Appends the image paths of `folder` (and, with `subfolders`, of the folders
/// below it) to the slot's path list, the folder written without doubled
/// separators or "." steps. When the list becomes full, asks the user once
/// (OK keeps what was gathered, Cancel empties the list). A folder that cannot
/// be listed stops the walk with AddResult::Stopped, keeping what was
/// gathered, and tells the user which folder and why (UnlistableFolderText).
/// An image whose path holds a line break takes a "Deleted" entry instead
/// (it counts as unreadable) and the user is told its name once the walk
/// ends. With `held`, paths already in it are skipped (and new ones added).
/// `userCancelled`, when given, is set to true when the caller must show
/// kUserCancelledStatus in its status line (and is left alone otherwise).
/// User-interface thread.
AddResult AddFolderImages(const std::string& folder, bool subfolders, DatafileSlot& slot,
                          Prompter& prompter, bool* userCancelled = nullptr,
                          ImageFormats formats = ImageFormats::All);
AddResult AddFolderImages(FolderSource& source, const std::string& folder, bool subfolders,
                          DatafileSlot& slot, Prompter& prompter, bool* userCancelled = nullptr,
                          ImageFormats formats = ImageFormats::All, HeldPaths* held = nullptr);

/// The message for a folder a fill cannot list: "Unable to list the folder "
/// + folder + ": " + reason (or "." without one); "No folder was named to
/// list." for an empty one. Any thread.
std::string UnlistableFolderText(const std::string& folder, const std::string& reason);

/// The message naming files left out because their paths hold a line break,
/// each shown with "\r" and "\n" for the breaks; empty for none. Any thread.
std::string LineBreakNamesText(const std::vector<std::string>& paths);

#pragma once
// Image list files (*.lst): "START", two comment lines, one entry per line,
// "END". Written with CR LF line ends; read with CR LF, LF or CR alone, as
// lists made by hand or by scripts come. Folder entries end in the platform
// separator, optionally followed by " (include subfolders)" or
// " (no subfolders)".

#include <string>
#include <vector>

#include "datafile_slot.h"
#include "folder_source.h"
#include "image_suffix.h"
#include "prompter.h"

/// A list line longer than this makes the file invalid.
inline constexpr std::size_t kMaxListLineBytes = 32 * 1024;
/// So do more lines than this (far more than a path list can hold), which
/// bounds the memory and the folder walks a hostile file can ask for.
inline constexpr std::size_t kMaxListLines = 1'000'000;

/// Writes `entries` as an image list, replacing `path` atomically. Returns 1
/// when written; 0 after telling the user when the list is empty, an entry
/// holds a line break (it would read back as other entries) or the file
/// cannot be written (an existing file stays as it was). User-interface thread.
int WriteListFile(const std::string& path, const std::vector<std::string>& entries,
                  Prompter& prompter);

/// Adds the entries of the image list at `path` to `entries`. Into an empty
/// list every line is added; into a non-empty one only lines not already in it.
/// Returns 1 when read; 0 after telling the user when the file is missing or
/// not an image list (`entries` unchanged). `endLineMet`, when given, tells
/// whether the list ended at its "END" line: a file that runs out first may
/// have lost a last line without a line end. User-interface thread.
int MergeListFile(const std::string& path, std::vector<std::string>& entries, Prompter& prompter,
                  bool* endLineMet = nullptr);

/// How many images the list names, each path once as ReadListFile gathers
/// them: file lines count 1, folder lines their folder's count (quick or
/// not). 0 when the file cannot be opened, is not an image list or ends
/// before "END". With `quick`, stops once the count passes 999. Every image
/// format counts. User-interface thread.
int CountListFile(const std::string& path, bool quick);
/// CountListFile with folder listings from `source` and the images of folders
/// told by `formats` (a name of its own, so CountListFile can still be passed
/// as a function).
int CountListFileWith(FolderSource& source, const std::string& path, bool quick,
                      ImageFormats formats = ImageFormats::All);

/// Replaces the slot's path list with the paths the list names, walking its
/// folder lines (as AddFolderImages does). Paths are written without doubled
/// separators or "." steps, and a path already gathered is not added again.
/// Returns 1 when read up to "END"; 0 after telling the user when the file
/// cannot be opened or is not a complete image list (the path list is then
/// empty). `userCancelled` and `formats` as for
/// AddFolderImages. User-interface thread.
int ReadListFile(const std::string& path, DatafileSlot& slot, Prompter& prompter,
                 bool* userCancelled = nullptr, ImageFormats formats = ImageFormats::All);
/// ReadListFile with folder listings from `source`.
int ReadListFileWith(FolderSource& source, const std::string& path, DatafileSlot& slot,
                     Prompter& prompter, bool* userCancelled = nullptr,
                     ImageFormats formats = ImageFormats::All);

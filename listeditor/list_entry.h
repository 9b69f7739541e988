#pragma once
// The text form of one image list entry: a file path, or a folder path ending
// in the separator followed by a subfolder note.

#include <string>
#include <string_view>

#include "folder_source.h"

inline constexpr std::string_view kNoSubfoldersNote = " (no subfolders)";
inline constexpr std::string_view kIncludeSubfoldersNote = " (include subfolders)";

/// The image type switches of the editor. WMF stands for WMF and EMF.
struct ImageTypeFilter {
    bool jpg = true;
    bool bmp = true;
    bool pcx = true;
    bool png = true;
    bool gif = true;
    bool tif = true;
    bool tga = true;
    bool wmf = true;
    bool raw = false;
    bool psd = true;
    bool heic = true;  ///< HEIC and HEIF
    bool avif = true;
    bool webp = true;
    bool jxl = true;

    /// True when every type but the camera files is on.
    bool allStandardOn() const {
        return jpg && png && tif && bmp && pcx && gif && tga && wmf && psd && heic && avif &&
               webp && jxl;
    }
    bool operator==(const ImageTypeFilter&) const = default;
};

/// True when the end of `name` (ignoring ASCII case) names a type whose switch
/// is on: the last four characters for the older types, the whole extension
/// for the newer photo types (".heic", ".webp", ...). Any thread.
bool IsAcceptedImageType(std::string_view name, const ImageTypeFilter& filter);

/// Removes `suffix` from the end of `text` when it ends with it; true if removed.
bool StripSuffix(std::string& text, std::string_view suffix);

/// Removes trailing blanks (spaces and tabs).
void TrimTrailingBlanks(std::string& text);

/// An entry with its note taken apart.
struct ParsedEntry {
    std::string path;        ///< without note and trailing blanks
    bool recursive = false;  ///< carried " (include subfolders)"
    bool folder = false;     ///< the path ends in the separator
};

/// Splits an entry: " (no subfolders)" is removed first, then
/// " (include subfolders)" (which sets recursive), then trailing blanks.
ParsedEntry ParseListEntry(std::string_view entry);

/// True for a folder entry (whatever its note).
inline bool IsFolderEntry(std::string_view entry) {
    return ParseListEntry(entry).folder;
}

/// The text up to and including its last separator; empty when there is none.
std::string FolderPart(std::string_view path);

/// The folder entry for `folder`: a separator appended when missing, then
/// " (include subfolders)" when `withSubfolders`.
std::string MakeFolderEntry(std::string folder, bool withSubfolders);

/// Equality of whole entries as the file system sees paths: exact here,
/// ignoring case where the file system does.
bool SameEntry(std::string_view a, std::string_view b);

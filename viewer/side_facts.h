#pragma once

#include <cstdint>
#include <string>

/// What the viewer knows about one side (image 1 left, image 2 right) of the
/// shown pair: the file facts and the facts of the last image read on that side.
/// The criteria engine decides from these alone.
struct SideFacts {
    std::string path;       ///< current path of the side, or "Deleted"
    std::string titleText;  ///< file title, "Not found: " + path, or "Deleted"
    /// File size in bytes; 0 when the file was not found.
    std::int64_t length = 0;
    /// Creation time in seconds since the epoch; kept from the previous pair
    /// when the file was not found.
    std::int64_t creationTime = 0;
    /// Pixel size and type code of the last image read successfully on this side.
    int width = 0;
    int height = 0;
    std::string type;             ///< "JPG", "PNG", "TIF" ...
    std::string dimensionsLabel;  ///< "640 x 480 JPG"; empty while a placeholder shows
    bool loaded = false;          ///< the side's real file was read
};

/// "640 x 480 JPG": width, " x ", height, a blank and the type code. Any thread.
std::string DimensionsLabel(int width, int height, const std::string& type);

/// Reads the file facts of `facts.path` as the viewer shows a side: for a
/// regular file (links followed) its title, length and creation time (its
/// birth time where the file system keeps one, else its modification time);
/// anything else gets "Deleted" or "Not found: " + path and no length. False
/// when it is not a regular file. Any thread.
bool ReadSideFileFacts(SideFacts& facts);

/// Records whether the side's picture was read, and then its pixel size,
/// type code and label. Any thread.
void SetReadImageFacts(SideFacts& facts, bool read, int width, int height);

/// A side's file as the file system has it at one moment.
struct SideFileState {
    bool exists = false;
    bool regular = false;  ///< a regular file (links followed)
    std::int64_t size = 0;
};

/// The state of the file at `path` now. Any thread.
SideFileState SideFileStateNow(const std::string& path);

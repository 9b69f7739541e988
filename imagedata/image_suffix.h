#pragma once
// Which file names count as images, and the short type label the viewer shows.

#include <string>

/// True when the last four characters of `path` are one of the image suffixes
/// (".jpg", "jpeg", "tiff", ...), ignoring ASCII letter case. Any thread.
bool IsImageSuffix(const std::string& path);

/// The upper-cased extension of the file name, with "JPEG", "JPE", "JIF" shown
/// as "JPG" and "TIFF" as "TIF"; empty when the name has no ".". Any thread.
std::string FileTypeLabel(const std::string& path);

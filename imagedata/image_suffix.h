#pragma once
// Which file names count as images, and the short type label the viewer shows.

#include <string>

/// Which files count as images: the classic fourteen suffixes, or those and
/// the photo formats of phones and cameras (HEIC, AVIF, WebP, JPEG XL, RAW).
enum class ImageFormats { Classic, All };

/// True when the last four characters of `path` are one of the classic image
/// suffixes (".jpg", "jpeg", "tiff", ...), or, with ImageFormats::All, when
/// its whole extension is one of the newer ones (".heic", ".webp", ".nef",
/// ...), ignoring ASCII letter case. Any thread.
bool IsImageSuffix(const std::string& path, ImageFormats formats = ImageFormats::All);

/// The upper-cased extension of the file name, with "JPEG", "JPE", "JIF" shown
/// as "JPG", "TIFF" as "TIF", "HEIF" as "HEIC" and every camera raw
/// extension as "RAW"; empty when the name has no ".". Any thread.
std::string FileTypeLabel(const std::string& path);

#pragma once
// Reading an image file into an owned RGB buffer, the type chosen by its name
// and, when that fails, by its content.

#include <cstddef>
#include <cstdint>
#include <string>

#include "image_suffix.h"
#include "imaging.h"

/// The type for a path's last four characters, ignoring case (".JPG", "JPEG",
/// ".JPE", ".JIF", ".GIF", ".PNG", ".TIF", "TIFF", ".BMP", ".TGA", ".PCX",
/// ".PSD", ".WMF", ".EMF"); with ImageFormats::All also for the whole
/// extensions of the newer formats (".heic", ".heif", ".avif", ".webp",
/// ".jxl" and the camera raw ones); Unknown for any other ending. Any thread.
ImageType ImageTypeForPath(const std::string& path, ImageFormats formats = ImageFormats::All);

/// The type to read a file as after reading it as `tried` (the type its name
/// gives) failed: the type its first bytes say, when that is another type and
/// `formats` includes it; Unknown otherwise, so that no file is read by a
/// decoder its bytes do not match. Any thread.
ImageType ContentTypeAfterFailure(const std::uint8_t* data, std::size_t size, ImageType tried,
                                  ImageFormats formats);

/// Reads an image as the type its name gives, or when that fails as the type
/// its content says; metafiles are rendered to fit options' metafile box
/// (400 x 400 by default). Returns true with `out` set, or false with `out`
/// untouched and LastImageError() set. Any thread (EMF needs a
/// QGuiApplication to exist).
bool LoadImageFile(const std::string& path, RgbBuffer& out, const DecodeOptions& options = {},
                   ImageFormats formats = ImageFormats::All);

/// The code of the calling thread's last failed load (m_nLastImageError).
int LastImageError();

/// Records a load failure code for LastImageError() on the calling thread.
void SetLastImageError(int code);

/// The single-image message for a failed load: the LZW TIFF text for 36,
/// otherwise "Unable to open file. Error: " and the code.
std::string ImageLoadErrorText(int code);

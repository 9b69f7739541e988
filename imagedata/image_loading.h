#pragma once
// Reading an image file into an owned RGB buffer, the type chosen by the last
// four characters of its name.

#include <string>

#include "imaging.h"

/// The type for a path's last four characters, ignoring case (".JPG", "JPEG",
/// ".JPE", ".JIF", ".GIF", ".PNG", ".TIF", "TIFF", ".BMP", ".TGA", ".PCX",
/// ".PSD", ".WMF", ".EMF"); Unknown for any other ending. Any thread.
ImageType ImageTypeForPath(const std::string& path);

/// Reads an image as the type its name gives; metafiles are rendered to fit
/// options' metafile box (400 x 400 by default). Returns true with `out` set,
/// or false with `out` untouched and LastImageError() set. Any thread (EMF
/// needs a QGuiApplication to exist).
bool LoadImageFile(const std::string& path, RgbBuffer& out, const DecodeOptions& options = {});

/// The code of the calling thread's last failed load (m_nLastImageError).
int LastImageError();

/// Records a load failure code for LastImageError() on the calling thread.
void SetLastImageError(int code);

/// The single-image message for a failed load: the LZW TIFF text for 36,
/// otherwise "Unable to open file. Error: " and the code.
std::string ImageLoadErrorText(int code);

#include "image_suffix.h"

#include <array>
#include <string_view>

#include "imaging.h"

namespace {

constexpr std::array<std::string_view, 14> kImageSuffixes = {
    ".bmp", ".jpg", "jpeg", ".jpe", ".jif", ".tif", "tiff",
    ".png", ".pcx", ".tga", ".psd", ".wmf", ".emf", ".gif",
};

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsImageSuffix(const std::string& path, ImageFormats formats) {
    if (formats == ImageFormats::All && IsModernImageType(ImageTypeForExtension(path))) {
        return true;
    }
    if (path.size() < 4) {
        return false;
    }
    char last[4];
    for (std::size_t i = 0; i < 4; ++i) {
        last[i] = lowerAscii(path[path.size() - 4 + i]);
    }
    const std::string_view tail(last, 4);
    for (std::string_view suffix : kImageSuffixes) {
        if (tail == suffix) {
            return true;
        }
    }
    return false;
}

std::string FileTypeLabel(const std::string& path) {
    // Only the file name: a "." in a folder name is not an extension.
    std::size_t nameStart = path.find_last_of('/');
#ifdef _WIN32
    nameStart = path.find_last_of("\\/");
#endif
    nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < nameStart) {
        return {};
    }
    std::string label = path.substr(dot + 1);
    for (char& c : label) {
        c = upperAscii(c);
    }
    if (label == "JPEG" || label == "JPE" || label == "JIF") {
        return "JPG";
    }
    if (label == "TIFF") {
        return "TIF";
    }
    if (label == "HEIF") {
        return "HEIC";
    }
    if (ImageTypeForExtension(path) == ImageType::Raw) {
        return "RAW";
    }
    return label;
}

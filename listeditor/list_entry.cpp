#include "list_entry.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace {

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return lower(x) == lower(y); });
}

struct TypeEndings {
    bool ImageTypeFilter::*enabled;
    std::array<std::string_view, 16> endings;
};

// The older types are told by their last four characters ("jpeg" needs no
// dot), the newer ones by their whole extension.
const std::array<TypeEndings, 14> kTypeEndings = {{
    {&ImageTypeFilter::bmp, {".bmp"}},
    {&ImageTypeFilter::jpg, {".jpg", ".jpe", "jpeg", ".jif"}},
    {&ImageTypeFilter::tif, {".tif", "tiff"}},
    {&ImageTypeFilter::png, {".png"}},
    {&ImageTypeFilter::pcx, {".pcx"}},
    {&ImageTypeFilter::tga, {".tga"}},
    {&ImageTypeFilter::gif, {".gif"}},
    {&ImageTypeFilter::psd, {".psd"}},
    {&ImageTypeFilter::wmf, {".wmf", ".emf"}},
    {&ImageTypeFilter::raw,
     {".raf", ".crw", ".cr2", ".kdc", ".mrw", ".nef", ".orf", ".dng", ".ptx", ".pef", ".arw",
      ".x3f", ".cr3", ".rw2", ".srw"}},
    {&ImageTypeFilter::heic, {".heic", ".heif"}},
    {&ImageTypeFilter::avif, {".avif"}},
    {&ImageTypeFilter::webp, {".webp"}},
    {&ImageTypeFilter::jxl, {".jxl"}},
}};

}  // namespace

bool IsAcceptedImageType(std::string_view name, const ImageTypeFilter& filter) {
    for (const TypeEndings& type : kTypeEndings) {
        if (!(filter.*type.enabled)) {
            continue;
        }
        for (std::string_view ending : type.endings) {
            if (!ending.empty() && name.size() >= ending.size() &&
                equalsIgnoringCase(name.substr(name.size() - ending.size()), ending)) {
                return true;
            }
        }
    }
    return false;
}

bool StripSuffix(std::string& text, std::string_view suffix) {
    if (text.size() >= suffix.size() &&
        std::string_view(text).substr(text.size() - suffix.size()) == suffix) {
        text.resize(text.size() - suffix.size());
        return true;
    }
    return false;
}

void TrimTrailingBlanks(std::string& text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.pop_back();
    }
}

ParsedEntry ParseListEntry(std::string_view entry) {
    ParsedEntry parsed{std::string(entry)};
    StripSuffix(parsed.path, kNoSubfoldersNote);
    parsed.recursive = StripSuffix(parsed.path, kIncludeSubfoldersNote);
    TrimTrailingBlanks(parsed.path);
    parsed.folder = !parsed.path.empty() && parsed.path.back() == kPathSeparator;
    return parsed;
}

std::string FolderPart(std::string_view path) {
    const std::size_t last = path.rfind(kPathSeparator);
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

std::string MakeFolderEntry(std::string folder, bool withSubfolders) {
    if (folder.empty() || folder.back() != kPathSeparator) {
        folder += kPathSeparator;
    }
    if (withSubfolders) {
        folder += kIncludeSubfoldersNote;
    }
    return folder;
}

bool SameEntry(std::string_view a, std::string_view b) {
#ifdef _WIN32
    return equalsIgnoringCase(a, b);
#else
    return a == b;
#endif
}

#include "add_files_filter.h"

#include <algorithm>
#include <array>

namespace {

struct FilterType {
    bool ImageTypeFilter::*enabled;
    const char* word;
    const char* patterns;
};

// The order of the combined entry. The camera files: the older makes'
// endings, then those of today's cameras.
constexpr std::array<FilterType, 14> kCombined = {{
    {&ImageTypeFilter::jpg, "jpg,", "*.JPG;*.JPE;*.JPEG;*.JIF"},
    {&ImageTypeFilter::png, "png,", "*.PNG"},
    {&ImageTypeFilter::tif, "tif,", "*.TIF;*.TIFF"},
    {&ImageTypeFilter::bmp, "bmp,", "*.BMP"},
    {&ImageTypeFilter::pcx, "pcx,", "*.PCX"},
    {&ImageTypeFilter::gif, "gif,", "*.GIF"},
    {&ImageTypeFilter::tga, "tga,", "*.TGA"},
    {&ImageTypeFilter::wmf, "wmf,emf,", "*.WMF;*.EMF"},
    {&ImageTypeFilter::psd, "psd,", "*.PSD"},
    {&ImageTypeFilter::heic, "heic,heif,", "*.HEIC;*.HEIF"},
    {&ImageTypeFilter::avif, "avif,", "*.AVIF"},
    {&ImageTypeFilter::webp, "webp,", "*.WEBP"},
    {&ImageTypeFilter::jxl, "jxl,", "*.JXL"},
    {&ImageTypeFilter::raw, "raw",
     "*.RAW;*.RAF;*.CRW;*CR2;*.KDC;*.MRW;*.NEF;*.ORF;*.DNG;*.PTX;*.PEF;*.ARW;*.X3F;*.CR3;*.RW2;"
     "*.SRW"},
}};

// The order of the single-type entries, each with its type's patterns.
constexpr std::array<std::pair<bool ImageTypeFilter::*, const char*>, 14> kSingle = {{
    {&ImageTypeFilter::jpg, "JPEG Files (*.JPG)"},
    {&ImageTypeFilter::png, "PNG Files (*.PNG)"},
    {&ImageTypeFilter::tif, "TIFF Files (*.TIF)"},
    {&ImageTypeFilter::bmp, "BMP Files (*.BMP)"},
    {&ImageTypeFilter::gif, "GIF Files (*.GIF)"},
    {&ImageTypeFilter::pcx, "PCX Files (*.PCX)"},
    {&ImageTypeFilter::psd, "PhotoShop Files (*.PSD)"},
    {&ImageTypeFilter::tga, "Targa Files (*.TGA)"},
    {&ImageTypeFilter::wmf, "Windows Metafile (*.WMF,*.EMF)"},
    {&ImageTypeFilter::heic, "HEIC Files (*.HEIC)"},
    {&ImageTypeFilter::avif, "AVIF Files (*.AVIF)"},
    {&ImageTypeFilter::webp, "WebP Files (*.WEBP)"},
    {&ImageTypeFilter::jxl, "JPEG XL Files (*.JXL)"},
    {&ImageTypeFilter::raw, "Digital camera files (*.RAW)"},
}};

const char* patternsOf(bool ImageTypeFilter::*enabled) {
    return std::find_if(kCombined.begin(), kCombined.end(),
                        [enabled](const FilterType& t) { return t.enabled == enabled; })
        ->patterns;
}

}  // namespace

std::string AddFilesFilter(const ImageTypeFilter& types) {
    std::string words;
    std::string patterns;
    for (const FilterType& t : kCombined) {
        if (!(types.*t.enabled)) {
            continue;
        }
        words += t.word;
        // Patterns of neighbouring types need a separator between them.
        if (!patterns.empty()) {
            patterns += ';';
        }
        patterns += t.patterns;
    }
    std::string filter = "Image Files(" + words + ")|" + patterns + "|";
    for (const auto& [enabled, label] : kSingle) {
        if (types.*enabled) {
            filter += std::string(label) + "|" + patternsOf(enabled) + "|";
        }
    }
    return filter + "All files (*.*)|*.*||";
}

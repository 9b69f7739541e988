#include "add_files_filter.h"

#include <array>

namespace {

struct FilterType {
    bool ImageTypeFilter::*enabled;
    const char* word;
    const char* patterns;
};

// The order of the combined entry.
constexpr std::array<FilterType, 10> kCombined = {{
    {&ImageTypeFilter::jpg, "jpg,", "*.JPG;*.JPE;*.JPEG;*.JIF"},
    {&ImageTypeFilter::png, "png,", "*.PNG"},
    {&ImageTypeFilter::tif, "tif,", "*.TIF;*.TIFF"},
    {&ImageTypeFilter::bmp, "bmp,", "*.BMP"},
    {&ImageTypeFilter::pcx, "pcx,", "*.PCX"},
    {&ImageTypeFilter::gif, "gif,", "*.GIF"},
    {&ImageTypeFilter::tga, "tga,", "*.TGA"},
    {&ImageTypeFilter::wmf, "wmf,emf,", "*.WMF;*.EMF"},
    {&ImageTypeFilter::psd, "psd,", "*.PSD"},
    {&ImageTypeFilter::raw, "raw",
     "*.RAW;*.RAF;*.CRW;*CR2;*.KDC;*.MRW;*.NEF;*.ORF;*.DNG;*.PTX;*.PEF;*.ARW;*.X3F"},
}};

// The order of the single-type entries.
constexpr std::array<std::pair<bool ImageTypeFilter::*, const char*>, 10> kSingle = {{
    {&ImageTypeFilter::jpg, "JPEG Files (*.JPG)|*.JPG;*.JPE;*.JPEG;*.JIF|"},
    {&ImageTypeFilter::png, "PNG Files (*.PNG)|*.PNG|"},
    {&ImageTypeFilter::tif, "TIFF Files (*.TIF)|*.TIF;*.TIFF|"},
    {&ImageTypeFilter::bmp, "BMP Files (*.BMP)|*.BMP|"},
    {&ImageTypeFilter::gif, "GIF Files (*.GIF)|*.GIF|"},
    {&ImageTypeFilter::pcx, "PCX Files (*.PCX)|*.PCX|"},
    {&ImageTypeFilter::psd, "PhotoShop Files (*.PSD)|*.PSD|"},
    {&ImageTypeFilter::tga, "Targa Files (*.TGA)|*.TGA|"},
    {&ImageTypeFilter::wmf, "Windows Metafile (*.WMF,*.EMF)|*.WMF;*.EMF|"},
    {&ImageTypeFilter::raw,
     "Digital camera files (*.RAW)|*.RAW;*.RAF;*.CRW;*CR2;*.KDC;*.MRW;*.NEF;*.ORF;*.DNG;*.PTX;"
     "*.PEF;*.ARW;*.X3F|"},
}};

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
    for (const auto& [enabled, entry] : kSingle) {
        if (types.*enabled) {
            filter += entry;
        }
    }
    return filter + "All files (*.*)|*.*||";
}

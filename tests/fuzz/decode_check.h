#pragma once
// The checks every decoder target makes on one input read as one type.

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

#include "fuzz_support.h"
#include "imaging.h"

namespace fuzz {

/// Metafiles render through Qt's fonts, which need an application object.
inline void StartQt() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    InitializeImaging();
}

inline void CheckImage(const RgbBuffer& image) {
    if (image.width == 0 || image.height == 0 ||
        std::uint64_t{image.width} * image.height > kMaxImagePixels ||
        image.pixels.size() != std::size_t{image.width} * image.height * 3) {
        Fail("decoded image inconsistent");
    }
}

/// Decodes `data` as `type`, twice when the options matter: once plainly and
/// once with a small box and a minimum size (JPEG DCT scaling, metafiles,
/// thumbnails and previews); reads the orientation too.
inline void CheckDecode(const std::uint8_t* data, std::size_t size, ImageType type) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (ReadImageSize(data, size, type, width, height) &&
        (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxImagePixels)) {
        Fail("header size outside the limit");
    }
    RgbBuffer out;
    out.width = 3;
    if (DecodeImageMemory(data, size, type, out)) {
        CheckImage(out);
    } else if (ImagingLastError() == kImagingOk || out.width != 3 || !out.pixels.empty()) {
        Fail("a failed decode must set an error and leave the output alone");
    }
    const Orientation orientation = ReadImageOrientation(data, size, type);
    if (static_cast<int>(orientation) < 1 || static_cast<int>(orientation) > 8) {
        Fail("orientation outside 1 to 8");
    }
    if (type == ImageType::Jpeg || type == ImageType::Wmf || type == ImageType::Emf ||
        type == ImageType::Heif || type == ImageType::Avif || type == ImageType::JpegXl ||
        type == ImageType::Raw) {
        DecodeOptions small;
        small.metafileWidth = 1 + size % 61;
        small.metafileHeight = 1 + size % 37;
        small.minWidth = 1 + size % 41;
        small.minHeight = 1 + size % 23;
        RgbBuffer scaled;
        if (DecodeImageMemory(data, size, type, scaled, small)) {
            CheckImage(scaled);
            CheckImage(OrientForDisplay(scaled, orientation));
        }
    }
}

}  // namespace fuzz

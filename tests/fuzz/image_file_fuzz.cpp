// The file entry points: type by the name's suffix (the loader and the build's
// signature path) and by sniffing the content. The first byte picks the name.
#include <string>

#include "decode_check.h"
#include "image_loading.h"
#include "signature.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr const char* kNames[] = {
        "a.jpg",  "a.jpeg", "a.JPE",  "a.jif", "a.gif", "a.png", "a.tif",  "a.tiff",
        "a.bmp",  "a.tga",  "a.pcx",  "a.psd", "a.wmf", "a.emf", "a.wbmp", "a.txt",
        "a.heic", "a.avif", "a.webp", "a.jxl", "a.dng", "a.nef", "a.cr3",  "a.raf"};
    const std::string path = (fuzz::ScratchFolder() / kNames[data[0] % 24]).string();
    fuzz::WriteWholeFile(path, data + 1, size - 1);

    RgbBuffer image;
    if (LoadImageFile(path, image)) {
        fuzz::CheckImage(image);
    } else if (LastImageError() == 0) {
        fuzz::Fail("a failed load without an error code");
    }
    RgbBuffer sniffed;
    const int code = DecodeImageBySniffing(path, sniffed, 1 + data[0] % 200);
    if (code == 0) {
        fuzz::CheckImage(sniffed);
    }
    SniffImageType(path);
    ImageRecord record;
    const auto filter = static_cast<ResizeMode>(data[0] % 14);
    if (!SignatureFromFile(path, ResizeMode::Fallback, filter, record) && record.nWidth != 0) {
        fuzz::Fail("a failed signature must leave width 0");
    }
    std::remove(path.c_str());
    return 0;
}

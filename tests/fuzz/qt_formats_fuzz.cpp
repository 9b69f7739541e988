// BMP, GIF, TIFF and WBMP. The first byte picks the type, and picks it right
// for the seeds: 'B' BMP, 'G' GIF, 'I' or 'M' TIFF, 0 WBMP.
#include "decode_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    static constexpr ImageType kTypes[] = {ImageType::Wbmp, ImageType::Tiff, ImageType::Bmp,
                                           ImageType::Gif};
    fuzz::CheckDecode(data, size, kTypes[data[0] % 4]);
    return 0;
}

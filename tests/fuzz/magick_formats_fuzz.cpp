// Targa, PCX, Photoshop and WMF: the type the content names, Targa (which has
// no signature at its start) otherwise.
#include "decode_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImageType type = SniffImageData(data, size);
    if (type != ImageType::Pcx && type != ImageType::Photoshop && type != ImageType::Wmf) {
        type = ImageType::Targa;
    }
    fuzz::CheckDecode(data, size, type);
    return 0;
}

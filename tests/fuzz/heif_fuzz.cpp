// HEIC and AVIF through libheif; the first byte picks which the bytes are read as.
#include "decode_check.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::StartQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    fuzz::CheckDecode(data + 1, size - 1, data[0] % 2 == 0 ? ImageType::Heif : ImageType::Avif);
    return 0;
}

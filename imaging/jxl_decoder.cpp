// JPEG XL through libjxl, upright (its orientation field is applied). When the
// caller needs fewer pixels, the frame stops after its low-frequency pass:
// an eighth of the resolution, at a fraction of the full decode.

#include <jxl/decode.h>

#include <memory>

#include "decoders.h"

namespace imaging_detail {

namespace {

struct DecoderDeleter {
    void operator()(JxlDecoder* d) const { JxlDecoderDestroy(d); }
};
using Decoder = std::unique_ptr<JxlDecoder, DecoderDeleter>;

bool IsJxl(const std::uint8_t* data, std::size_t size) {
    const JxlSignature signature = JxlSignatureCheck(data, size);
    return signature == JXL_SIG_CODESTREAM || signature == JXL_SIG_CONTAINER;
}

bool Start(const std::uint8_t* data, std::size_t size, int events, Decoder& decoder) {
    if (!IsJxl(data, size)) {
        return Fail(kImagingWrongFormat);
    }
    decoder.reset(JxlDecoderCreate(nullptr));
    if (!decoder || JxlDecoderSubscribeEvents(decoder.get(), events) != JXL_DEC_SUCCESS ||
        JxlDecoderSetInput(decoder.get(), data, size) != JXL_DEC_SUCCESS) {
        return Fail(kImagingOutOfMemory);
    }
    JxlDecoderCloseInput(decoder.get());
    return true;
}

// The picture's size as shown: orientations 5 to 8 swap the sides.
bool OrientedSize(const JxlBasicInfo& info, std::uint32_t& width, std::uint32_t& height) {
    if (!CheckDeclaredSize(info.xsize, info.ysize)) {
        return false;
    }
    const bool swapped = info.orientation >= JXL_ORIENT_TRANSPOSE;
    width = swapped ? info.ysize : info.xsize;
    height = swapped ? info.xsize : info.ysize;
    return true;
}

// Reading past the end, or an error, after the header said more was coming.
bool FailEarlyEnd(JxlDecoderStatus status) {
    return Fail(status == JXL_DEC_NEED_MORE_INPUT ? kImagingTruncated : kImagingCorrupt);
}

}  // namespace

bool JxlSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height) {
    Decoder decoder;
    if (!Start(data, size, JXL_DEC_BASIC_INFO, decoder)) {
        return false;
    }
    const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
    JxlBasicInfo info;
    if (status != JXL_DEC_BASIC_INFO ||
        JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS) {
        return FailEarlyEnd(status);
    }
    return OrientedSize(info, width, height);
}

bool DecodeJxl(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options) {
    const bool reduced = options.minWidth > 0 || options.minHeight > 0;
    Decoder decoder;
    if (!Start(data, size,
               JXL_DEC_BASIC_INFO | JXL_DEC_FULL_IMAGE | (reduced ? JXL_DEC_FRAME_PROGRESSION : 0),
               decoder)) {
        return false;
    }
    JxlBasicInfo info{};
    bool alpha = false;
    RgbBuffer image;
    std::vector<std::uint8_t> rgba;
    for (;;) {
        const JxlDecoderStatus status = JxlDecoderProcessInput(decoder.get());
        if (status == JXL_DEC_BASIC_INFO) {
            std::uint32_t width = 0;
            std::uint32_t height = 0;
            if (JxlDecoderGetBasicInfo(decoder.get(), &info) != JXL_DEC_SUCCESS ||
                !OrientedSize(info, width, height) || !AllocatePixels(image, width, height)) {
                return ImagingLastError() == kImagingOk ? Fail(kImagingCorrupt) : false;
            }
            alpha = info.alpha_bits > 0;
            try {
                rgba.resize(alpha ? image.pixels.size() / 3 * 4 : 0);
            } catch (const std::bad_alloc&) {
                return Fail(kImagingOutOfMemory);
            }
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            const JxlPixelFormat format{alpha ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
            std::size_t needed = 0;
            std::uint8_t* target = alpha ? rgba.data() : image.pixels.data();
            const std::size_t have = alpha ? rgba.size() : image.pixels.size();
            if (JxlDecoderImageOutBufferSize(decoder.get(), &format, &needed) != JXL_DEC_SUCCESS ||
                needed != have ||
                JxlDecoderSetImageOutBuffer(decoder.get(), &format, target, have) !=
                    JXL_DEC_SUCCESS) {
                return Fail(kImagingUnsupportedVariant);
            }
        } else if (status == JXL_DEC_FRAME_PROGRESSION) {
            const std::size_t ratio = JxlDecoderGetIntendedDownsamplingRatio(decoder.get());
            if (ratio > 1 && image.width / ratio >= options.minWidth &&
                image.height / ratio >= options.minHeight &&
                JxlDecoderFlushImage(decoder.get()) == JXL_DEC_SUCCESS) {
                break;
            }
        } else if (status == JXL_DEC_FULL_IMAGE || status == JXL_DEC_SUCCESS) {
            // An animation gives its first frame.
            if (image.empty()) {
                return Fail(kImagingCorrupt);
            }
            break;
        } else {
            return FailEarlyEnd(status);
        }
    }
    if (alpha) {
        CompositeOverWhite(rgba.data(), rgba.size() / 4, image.pixels.data());
    }
    out = std::move(image);
    return true;
}

}  // namespace imaging_detail

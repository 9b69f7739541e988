// WebP through libwebp: one copy less than Qt's plugin, which decodes into a
// QImage first. An animation gives its first frame.

#include <webp/decode.h>
#include <webp/demux.h>

#include <memory>

#include "decoders.h"

namespace imaging_detail {

namespace {

bool FailFrom(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OUT_OF_MEMORY:
            return Fail(kImagingOutOfMemory);
        case VP8_STATUS_UNSUPPORTED_FEATURE:
            return Fail(kImagingUnsupportedVariant);
        case VP8_STATUS_NOT_ENOUGH_DATA:
            return Fail(kImagingTruncated);
        default:
            return Fail(kImagingCorrupt);
    }
}

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};

// The still picture's bytes: the whole file, or an animation's first frame.
bool StillPicture(const std::uint8_t* data, std::size_t size, const std::uint8_t*& still,
                  std::size_t& stillSize, std::unique_ptr<WebPDemuxer, DemuxDeleter>& demux,
                  WebPIterator& frame, bool& haveFrame) {
    if (SniffImageData(data, size) != ImageType::WebP) {
        return Fail(kImagingWrongFormat);
    }
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(data, size, &features);
    if (status != VP8_STATUS_OK) {
        return FailFrom(status);
    }
    still = data;
    stillSize = size;
    if (!features.has_animation) {
        return true;
    }
    const WebPData whole{data, size};
    demux.reset(WebPDemux(&whole));
    if (!demux || !WebPDemuxGetFrame(demux.get(), 1, &frame)) {
        return Fail(kImagingCorrupt);
    }
    haveFrame = true;
    still = frame.fragment.bytes;
    stillSize = frame.fragment.size;
    return true;
}

}  // namespace

bool WebpSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
              std::uint32_t& height) {
    if (SniffImageData(data, size) != ImageType::WebP) {
        return Fail(kImagingWrongFormat);
    }
    int w = 0;
    int h = 0;
    if (!WebPGetInfo(data, size, &w, &h) || w <= 0 || h <= 0) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h))) {
        return false;
    }
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    return true;
}

bool DecodeWebp(const std::uint8_t* data, std::size_t size, RgbBuffer& out) {
    const std::uint8_t* still = nullptr;
    std::size_t stillSize = 0;
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux;
    WebPIterator frame{};
    bool haveFrame = false;
    struct FrameRelease {
        WebPIterator& frame;
        bool& have;
        ~FrameRelease() {
            if (have) {
                WebPDemuxReleaseIterator(&frame);
            }
        }
    } release{frame, haveFrame};
    if (!StillPicture(data, size, still, stillSize, demux, frame, haveFrame)) {
        return false;
    }
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) {
        return Fail(kImagingUnsupportedVariant);
    }
    VP8StatusCode status = WebPGetFeatures(still, stillSize, &config.input);
    if (status != VP8_STATUS_OK) {
        return FailFrom(status);
    }
    const int w = config.input.width;
    const int h = config.input.height;
    if (w <= 0 || h <= 0) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h))) {
        return false;
    }
    const bool alpha = config.input.has_alpha != 0;
    RgbBuffer image;
    if (!AllocatePixels(image, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h))) {
        return false;
    }
    std::vector<std::uint8_t> rgba;
    try {
        rgba.resize(alpha ? image.pixels.size() / 3 * 4 : 0);
    } catch (const std::bad_alloc&) {
        return Fail(kImagingOutOfMemory);
    }
    config.output.colorspace = alpha ? MODE_RGBA : MODE_RGB;
    config.output.is_external_memory = 1;
    config.output.u.RGBA.rgba = alpha ? rgba.data() : image.pixels.data();
    config.output.u.RGBA.stride = alpha ? w * 4 : static_cast<int>(image.stride());
    config.output.u.RGBA.size = alpha ? rgba.size() : image.pixels.size();
    status = WebPDecode(still, stillSize, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) {
        return FailFrom(status);
    }
    if (alpha) {
        CompositeOverWhite(rgba.data(), rgba.size() / 4, image.pixels.data());
    }
    out = std::move(image);
    return true;
}

}  // namespace imaging_detail

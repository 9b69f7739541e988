// Camera raw files through LibRaw. Pixels stay as the sensor stored them (the
// orientation is reported, not applied). When the caller needs fewer pixels,
// the camera's own preview JPEG stands in: no demosaicing at all.

#include <libraw/libraw.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "decoders.h"

namespace imaging_detail {

namespace {

// LibRaw prints damaged files to stderr unless given its own handler.
void IgnoreDataError(void*, const char*, const int) {}

bool FailFrom(int code) {
    switch (code) {
        case LIBRAW_FILE_UNSUPPORTED:
            return Fail(kImagingUnsupportedVariant);
        case LIBRAW_UNSUFFICIENT_MEMORY:
            return Fail(kImagingOutOfMemory);
        case LIBRAW_IO_ERROR:
            return Fail(kImagingTruncated);
        case LIBRAW_TOO_BIG:
            return Fail(kImagingTooLarge);
        default:
            return Fail(kImagingCorrupt);
    }
}

struct ProcessedDeleter {
    void operator()(libraw_processed_image_t* p) const { LibRaw::dcraw_clear_mem(p); }
};

// Opens a file whose first bytes are those of a raw container: LibRaw also
// recognises headerless raws by their length alone, which would make any
// file of such a length a "photo".
bool Open(const std::uint8_t* data, std::size_t size, LibRaw& raw) {
    if (!HasRawSignature(data, size)) {
        return Fail(kImagingWrongFormat);
    }
    raw.set_dataerror_handler(IgnoreDataError, nullptr);
    // LibRaw only reads the buffer it is given.
    const int code = raw.open_buffer(const_cast<std::uint8_t*>(data), size);
    if (code != LIBRAW_SUCCESS) {
        return FailFrom(code);
    }
    const libraw_image_sizes_t& sizes = raw.imgdata.sizes;
    return CheckDeclaredSize(sizes.width, sizes.height) &&
           CheckDeclaredSize(sizes.raw_width, sizes.raw_height);
}

bool SameShape(double width, double height, double otherWidth, double otherHeight) {
    return std::abs(width / height - otherWidth / otherHeight) <= 0.02 * (otherWidth / otherHeight);
}

// The preview, when it covers the minimum size and shows the whole sensor area.
bool DecodePreview(LibRaw& raw, const DecodeOptions& options, RgbBuffer& out) {
    if ((options.minWidth == 0 && options.minHeight == 0) || raw.unpack_thumb() != LIBRAW_SUCCESS) {
        return false;
    }
    const libraw_thumbnail_t& thumb = raw.imgdata.thumbnail;
    const libraw_image_sizes_t& sizes = raw.imgdata.sizes;
    if (thumb.thumb == nullptr || thumb.tlength == 0) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(thumb.thumb);
    RgbBuffer preview;
    if (thumb.tformat == LIBRAW_THUMBNAIL_JPEG) {
        std::uint32_t w = 0;
        std::uint32_t h = 0;
        if (!JpegSize(bytes, thumb.tlength, w, h) || std::min(w, h) < kMinThumbnailSide ||
            w < options.minWidth || h < options.minHeight ||
            !SameShape(w, h, sizes.width, sizes.height) ||
            !DecodeJpeg(bytes, thumb.tlength, preview, options)) {
            return false;
        }
    } else if (thumb.tformat == LIBRAW_THUMBNAIL_BITMAP && thumb.tcolors == 3) {
        const std::uint32_t w = thumb.twidth;
        const std::uint32_t h = thumb.theight;
        if (std::min(w, h) < kMinThumbnailSide || w < options.minWidth || h < options.minHeight ||
            thumb.tlength != std::size_t{w} * h * 3 ||
            !SameShape(w, h, sizes.width, sizes.height) || !AllocatePixels(preview, w, h)) {
            return false;
        }
        std::memcpy(preview.pixels.data(), bytes, preview.pixels.size());
    } else {
        return false;
    }
    out = std::move(preview);
    return true;
}

bool DecodeSensor(LibRaw& raw, const DecodeOptions& options, RgbBuffer& out) {
    const libraw_image_sizes_t& sizes = raw.imgdata.sizes;
    libraw_output_params_t& params = raw.imgdata.params;
    params.user_flip = 0;  // stored orientation
    params.output_bps = 8;
    params.use_camera_wb = 1;
    // Half size skips demosaicing: a quarter of the work, when it is enough.
    params.half_size = (options.minWidth > 0 || options.minHeight > 0) &&
                       sizes.width / 2u >= options.minWidth &&
                       sizes.height / 2u >= options.minHeight;
    int code = raw.unpack();
    if (code == LIBRAW_SUCCESS) {
        code = raw.dcraw_process();
    }
    if (code != LIBRAW_SUCCESS) {
        return FailFrom(code);
    }
    std::unique_ptr<libraw_processed_image_t, ProcessedDeleter> image(
        raw.dcraw_make_mem_image(&code));
    if (!image || code != LIBRAW_SUCCESS) {
        return FailFrom(code);
    }
    if (image->type != LIBRAW_IMAGE_BITMAP || image->colors != 3 || image->bits != 8 ||
        image->width == 0 || image->height == 0 ||
        image->data_size != std::size_t{image->width} * image->height * 3) {
        return Fail(kImagingUnsupportedVariant);
    }
    if (!AllocatePixels(out, image->width, image->height)) {
        return false;
    }
    std::memcpy(out.pixels.data(), image->data, out.pixels.size());
    return true;
}

}  // namespace

bool RawSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height) {
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    if (!Open(data, size, *raw)) {
        return false;
    }
    width = raw->imgdata.sizes.width;
    height = raw->imgdata.sizes.height;
    return true;
}

bool DecodeRaw(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options) {
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    if (!Open(data, size, *raw)) {
        return false;
    }
    return DecodePreview(*raw, options, out) || DecodeSensor(*raw, options, out);
}

Orientation RawOrientation(const std::uint8_t* data, std::size_t size) {
    auto raw = std::make_unique<LibRaw>(LIBRAW_OPTIONS_NONE);
    if (!Open(data, size, *raw)) {
        return Orientation::Normal;
    }
    // LibRaw's flip codes, in the order of the EXIF values 1 to 8.
    static constexpr int kFlipOfOrientation[] = {0, 1, 3, 2, 4, 6, 7, 5};
    for (int i = 0; i < 8; ++i) {
        if (raw->imgdata.sizes.flip == kFlipOfOrientation[i]) {
            return static_cast<Orientation>(i + 1);
        }
    }
    return Orientation::Normal;
}

}  // namespace imaging_detail

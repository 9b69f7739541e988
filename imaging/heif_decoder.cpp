// HEIC and AVIF through libheif. Decoded upright: a HEIF file's rotation and
// mirror boxes belong to the image, and every viewer applies them.

#include <libheif/heif.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "decoders.h"

namespace imaging_detail {

namespace {

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct ImageDeleter {
    void operator()(heif_image* i) const { heif_image_release(i); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;
using Image = std::unique_ptr<heif_image, ImageDeleter>;

bool FailFrom(const heif_error& error) {
    switch (error.code) {
        case heif_error_Memory_allocation_error:
            return Fail(kImagingOutOfMemory);
        case heif_error_Unsupported_filetype:
        case heif_error_Unsupported_feature:
            return Fail(kImagingUnsupportedVariant);
        case heif_error_Decoder_plugin_error:
            return Fail(kImagingCorrupt);
        default:
            break;
    }
    if (error.subcode == heif_suberror_Security_limit_exceeded) {
        return Fail(kImagingTooLarge);
    }
    if (error.subcode == heif_suberror_End_of_data) {
        return Fail(kImagingTruncated);
    }
    return Fail(kImagingCorrupt);
}

// The primary image of a file whose bytes are an ISO media file of the type.
bool OpenPrimary(const std::uint8_t* data, std::size_t size, ImageType type, Context& context,
                 Handle& primary) {
    if (SniffImageData(data, size) != type) {
        return Fail(kImagingWrongFormat);
    }
    context.reset(heif_context_alloc());
    if (!context) {
        return Fail(kImagingOutOfMemory);
    }
    heif_error error =
        heif_context_read_from_memory_without_copy(context.get(), data, size, nullptr);
    if (error.code != heif_error_Ok) {
        return FailFrom(error);
    }
    heif_image_handle* handle = nullptr;
    error = heif_context_get_primary_image_handle(context.get(), &handle);
    if (error.code != heif_error_Ok) {
        return FailFrom(error);
    }
    primary.reset(handle);
    // Both the stored and the turned size: a grid declares one, its tiles the other.
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    const int ispeWidth = heif_image_handle_get_ispe_width(handle);
    const int ispeHeight = heif_image_handle_get_ispe_height(handle);
    if (width <= 0 || height <= 0) {
        return Fail(kImagingCorrupt);
    }
    return CheckDeclaredSize(static_cast<std::uint64_t>(width),
                             static_cast<std::uint64_t>(height)) &&
           (ispeWidth <= 0 || ispeHeight <= 0 ||
            CheckDeclaredSize(static_cast<std::uint64_t>(ispeWidth),
                              static_cast<std::uint64_t>(ispeHeight)));
}

// The smallest embedded thumbnail that covers the minimum size, has the
// image's shape and a short side of at least kMinThumbnailSide; null if none.
Handle PickThumbnail(const heif_image_handle* primary, const DecodeOptions& options) {
    if (options.minWidth == 0 && options.minHeight == 0) {
        return nullptr;
    }
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    if (count <= 0 || count > 16) {
        return nullptr;
    }
    heif_item_id ids[16];
    const int listed = heif_image_handle_get_list_of_thumbnail_IDs(primary, ids, count);
    const double aspect = static_cast<double>(heif_image_handle_get_width(primary)) /
                          heif_image_handle_get_height(primary);
    Handle best;
    for (int i = 0; i < listed; ++i) {
        heif_image_handle* raw = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &raw).code != heif_error_Ok) {
            continue;
        }
        Handle thumb(raw);
        const int w = heif_image_handle_get_width(raw);
        const int h = heif_image_handle_get_height(raw);
        if (w <= 0 || h <= 0 || static_cast<std::uint32_t>(std::min(w, h)) < kMinThumbnailSide ||
            static_cast<std::uint32_t>(w) < options.minWidth ||
            static_cast<std::uint32_t>(h) < options.minHeight ||
            std::abs(static_cast<double>(w) / h - aspect) > 0.02 * aspect) {
            continue;
        }
        if (!best || w < heif_image_handle_get_width(best.get())) {
            best = std::move(thumb);
        }
    }
    return best;
}

bool DecodeHandle(heif_image_handle* handle, RgbBuffer& out) {
    const int width = heif_image_handle_get_width(handle);
    const int height = heif_image_handle_get_height(handle);
    if (width <= 0 || height <= 0) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(width), static_cast<std::uint64_t>(height))) {
        return false;
    }
    const bool alpha = heif_image_handle_has_alpha_channel(handle) != 0;
    std::unique_ptr<heif_decoding_options, OptionsDeleter> options(heif_decoding_options_alloc());
    if (!options) {
        return Fail(kImagingOutOfMemory);
    }
    options->convert_hdr_to_8bit = 1;
    heif_image* decoded = nullptr;
    const heif_error error = heif_decode_image(
        handle, &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (error.code != heif_error_Ok) {
        return FailFrom(error);
    }
    Image image(decoded);
    const int w = heif_image_get_width(decoded, heif_channel_interleaved);
    const int h = heif_image_get_height(decoded, heif_channel_interleaved);
    int stride = 0;
    const std::uint8_t* rows =
        heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int channels = alpha ? 4 : 3;
    if (rows == nullptr || w <= 0 || h <= 0 || stride < w * channels ||
        heif_image_get_bits_per_pixel_range(decoded, heif_channel_interleaved) != 8) {
        return Fail(kImagingCorrupt);
    }
    if (!AllocatePixels(out, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h))) {
        return false;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in =
            rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        std::uint8_t* px = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
        if (alpha) {
            CompositeOverWhite(in, static_cast<std::size_t>(w), px);
        } else {
            std::memcpy(px, in, out.stride());
        }
    }
    return true;
}

}  // namespace

bool HeifSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
              std::uint32_t& height) {
    Context context;
    Handle primary;
    if (!OpenPrimary(data, size, type, context, primary)) {
        return false;
    }
    width = static_cast<std::uint32_t>(heif_image_handle_get_width(primary.get()));
    height = static_cast<std::uint32_t>(heif_image_handle_get_height(primary.get()));
    return true;
}

bool DecodeHeif(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                const DecodeOptions& options) {
    Context context;
    Handle primary;
    if (!OpenPrimary(data, size, type, context, primary)) {
        return false;
    }
    // A damaged thumbnail must not hide a good image.
    if (const Handle thumbnail = PickThumbnail(primary.get(), options);
        thumbnail && DecodeHandle(thumbnail.get(), out)) {
        return true;
    }
    return DecodeHandle(primary.get(), out);
}

}  // namespace imaging_detail

// PNG through libpng directly: Qt's reader leaves libpng's default error
// handler in place, which prints every damaged file to stderr.

#include <png.h>

#include <csetjmp>
#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
    bool ranOut;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->offset) {
        reader->ranOut = true;
        png_error(png, "truncated");
    }
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
}

[[noreturn]] void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Owns the libpng structures; plain data only, since libpng leaves by longjmp.
struct PngReader {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader() { png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr); }
};

bool StartReading(PngReader& reader, MemoryReader& source) {
    reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (reader.png == nullptr) {
        return Fail(kImagingOutOfMemory);
    }
    reader.info = png_create_info_struct(reader.png);
    if (reader.info == nullptr) {
        return Fail(kImagingOutOfMemory);
    }
    png_set_read_fn(reader.png, &source, ReadFromMemory);
    return true;
}

// The two steps that libpng may leave by longjmp. Each touches nothing with a
// destructor after its jump point.
bool ReadInfo(png_structp png, png_infop info, bool& alpha) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    png_set_scale_16(png);
    png_set_expand(png);  // palette to RGB, low bit depths to 8, tRNS to alpha
    png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    alpha = png_get_channels(png, info) == 4;
    return true;
}

bool ReadRows(png_structp png, png_bytep* rows) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_image(png, rows);
    return true;
}

}  // namespace

bool PngSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        return Fail(kImagingWrongFormat);
    }
    MemoryReader source{data, size, 0, false};
    PngReader reader;
    if (!StartReading(reader, source)) {
        return false;
    }
    bool alpha = false;
    if (!ReadInfo(reader.png, reader.info, alpha)) {
        return Fail(source.ranOut ? kImagingTruncated : kImagingCorrupt);
    }
    width = png_get_image_width(reader.png, reader.info);
    height = png_get_image_height(reader.png, reader.info);
    return CheckDeclaredSize(width, height);
}

bool DecodePng(const std::uint8_t* data, std::size_t size, RgbBuffer& out) {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (!PngSize(data, size, width, height)) {
        return false;
    }
    MemoryReader source{data, size, 0, false};
    PngReader reader;
    if (!StartReading(reader, source)) {
        return false;
    }
    bool alpha = false;
    if (!ReadInfo(reader.png, reader.info, alpha)) {
        return Fail(source.ranOut ? kImagingTruncated : kImagingCorrupt);
    }
    RgbBuffer image;
    if (!AllocatePixels(image, width, height)) {
        return false;
    }
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    try {
        rows.resize(height);
        rgba.resize(alpha ? std::size_t{width} * height * 4 : 0);
    } catch (const std::bad_alloc&) {
        return Fail(kImagingOutOfMemory);
    }
    for (std::uint32_t y = 0; y < height; ++y) {
        rows[y] = alpha ? rgba.data() + std::size_t{y} * width * 4
                        : image.pixels.data() + y * image.stride();
    }
    if (!ReadRows(reader.png, rows.data())) {
        return Fail(source.ranOut ? kImagingTruncated : kImagingCorrupt);
    }
    if (alpha) {
        CompositeOverWhite(rgba.data(), std::size_t{width} * height, image.pixels.data());
    }
    out = std::move(image);
    return true;
}

}  // namespace imaging_detail

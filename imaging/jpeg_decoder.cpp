// JPEG through TurboJPEG, with DCT-domain scaling for callers that need
// fewer pixels than the file holds.

#include <turbojpeg.h>

#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

// One decompressor per thread: creating one costs more than a small decode.
class ThreadDecompressor {
  public:
    ~ThreadDecompressor() {
        if (m_handle != nullptr) {
            tjDestroy(m_handle);
        }
    }
    tjhandle get() {
        if (m_handle == nullptr) {
            m_handle = tjInitDecompress();
        }
        return m_handle;
    }
    // A failed header read leaves the handle in a state where every later
    // call fails, so a failure costs the handle.
    void discard() {
        if (m_handle != nullptr) {
            tjDestroy(m_handle);
            m_handle = nullptr;
        }
    }

  private:
    tjhandle m_handle = nullptr;
};

thread_local ThreadDecompressor t_decompressor;

struct JpegHeader {
    int width = 0;
    int height = 0;
    int subsampling = -1;
    int colorspace = -1;
};

bool EndedEarly(const char* text) {
    return text != nullptr && std::strstr(text, "Premature end") != nullptr;
}

bool ReadHeader(tjhandle handle, const std::uint8_t* data, std::size_t size, JpegHeader& header) {
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) {
        return Fail(kImagingWrongFormat);
    }
    // A truncated header can report success without setting the size, so the
    // zeroes set above are checked too.
    if (tjDecompressHeader3(handle, data, static_cast<unsigned long>(size), &header.width,
                            &header.height, &header.subsampling, &header.colorspace) != 0 ||
        header.width <= 0 || header.height <= 0) {
        const bool ended = EndedEarly(tjGetErrorStr2(handle));
        t_decompressor.discard();
        return Fail(ended ? kImagingTruncated : kImagingCorrupt);
    }
    return CheckDeclaredSize(static_cast<std::uint64_t>(header.width),
                             static_cast<std::uint64_t>(header.height));
}

// The smallest power-of-two scale keeping both sides at or above the minimum.
// Only these have fast inverse DCTs; 3/8, 5/8 and the like are slower than 1/1.
tjscalingfactor ChooseScale(int width, int height, const DecodeOptions& options) {
    tjscalingfactor best{1, 1};
    if (options.minWidth == 0 && options.minHeight == 0) {
        return best;
    }
    for (const int denom : {2, 4, 8}) {
        const tjscalingfactor f{1, denom};
        if (static_cast<std::uint32_t>(TJSCALED(width, f)) >= options.minWidth &&
            static_cast<std::uint32_t>(TJSCALED(height, f)) >= options.minHeight) {
            best = f;
        }
    }
    return best;
}

// Warnings that mean no pixel was lost; every other warning fails the decode,
// since a truncated or damaged file would otherwise come back grey-filled.
bool IsHarmlessWarning(const char* text) {
    return text != nullptr && std::strstr(text, "extraneous bytes before marker") != nullptr;
}

// CMYK from Photoshop-style JPEGs is stored inverted.
void CmykToRgb(const std::uint8_t* cmyk, std::size_t pixels, std::uint8_t* rgb) {
    for (std::size_t i = 0; i < pixels; ++i, cmyk += 4, rgb += 3) {
        const unsigned k = cmyk[3];
        rgb[0] = static_cast<std::uint8_t>((cmyk[0] * k + 127) / 255);
        rgb[1] = static_cast<std::uint8_t>((cmyk[1] * k + 127) / 255);
        rgb[2] = static_cast<std::uint8_t>((cmyk[2] * k + 127) / 255);
    }
}

}  // namespace

bool JpegSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
              std::uint32_t& height) {
    tjhandle handle = t_decompressor.get();
    if (handle == nullptr) {
        return Fail(kImagingOutOfMemory);
    }
    JpegHeader header;
    if (!ReadHeader(handle, data, size, header)) {
        return false;
    }
    width = static_cast<std::uint32_t>(header.width);
    height = static_cast<std::uint32_t>(header.height);
    return true;
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
                const DecodeOptions& options) {
    tjhandle handle = t_decompressor.get();
    if (handle == nullptr) {
        return Fail(kImagingOutOfMemory);
    }
    JpegHeader header;
    if (!ReadHeader(handle, data, size, header)) {
        return false;
    }
    const tjscalingfactor scale = ChooseScale(header.width, header.height, options);
    const int width = TJSCALED(header.width, scale);
    const int height = TJSCALED(header.height, scale);
    if (!AllocatePixels(out, static_cast<std::uint32_t>(width),
                        static_cast<std::uint32_t>(height))) {
        return false;
    }
    // Progressive files with thousands of scans would take minutes.
    const int flags = TJFLAG_LIMITSCANS;
    const bool cmyk = header.colorspace == TJCS_CMYK || header.colorspace == TJCS_YCCK;
    int rc = 0;
    if (cmyk) {
        std::vector<std::uint8_t> cmykPixels;
        try {
            cmykPixels.resize(std::size_t{static_cast<std::uint32_t>(width)} *
                              static_cast<std::uint32_t>(height) * 4);
        } catch (const std::bad_alloc&) {
            out.release();
            return Fail(kImagingOutOfMemory);
        }
        rc = tjDecompress2(handle, data, static_cast<unsigned long>(size), cmykPixels.data(), width,
                           width * 4, height, TJPF_CMYK, flags);
        CmykToRgb(cmykPixels.data(), cmykPixels.size() / 4, out.pixels.data());
    } else {
        rc = tjDecompress2(handle, data, static_cast<unsigned long>(size), out.pixels.data(), width,
                           width * 3, height, TJPF_RGB, flags);
    }
    if (rc != 0) {
        const bool warning = tjGetErrorCode(handle) == TJERR_WARNING;
        const char* text = tjGetErrorStr2(handle);
        if (!warning || !IsHarmlessWarning(text)) {
            const bool ended = EndedEarly(text);
            t_decompressor.discard();
            out.release();
            return Fail(ended ? kImagingTruncated : kImagingCorrupt);
        }
    }
    return true;
}

}  // namespace imaging_detail

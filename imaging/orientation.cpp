// Which way up a photo is meant to be shown, and turning it so.

#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

class TiffReader {
  public:
    TiffReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool valid() const {
        return m_size >= 8 &&
               (std::memcmp(m_data, "II*\0", 4) == 0 || std::memcmp(m_data, "MM\0*", 4) == 0);
    }
    std::uint16_t u16(std::size_t at) const {
        const std::uint8_t* p = m_data + at;
        return little() ? static_cast<std::uint16_t>(p[0] | (p[1] << 8))
                        : static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    }
    std::uint32_t u32(std::size_t at) const {
        return little() ? u16(at) | (std::uint32_t{u16(at + 2)} << 16)
                        : (std::uint32_t{u16(at)} << 16) | u16(at + 2);
    }
    std::size_t size() const { return m_size; }

  private:
    bool little() const { return m_data[0] == 'I'; }
    const std::uint8_t* m_data;
    std::size_t m_size;
};

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;

}  // namespace

bool FindTiffTag(const std::uint8_t* data, std::size_t size, std::uint16_t tag, std::uint16_t& type,
                 std::uint32_t& count, std::uint32_t& value) {
    const TiffReader tiff(data, size);
    if (!tiff.valid()) {
        return false;
    }
    const std::uint32_t ifd = tiff.u32(4);
    if (ifd < 8 || ifd > size - 2) {
        return false;
    }
    const std::uint32_t entries = tiff.u16(ifd);
    for (std::uint32_t i = 0; i < entries; ++i) {
        const std::size_t at = ifd + 2 + std::size_t{i} * 12;
        if (at + 12 > size) {
            break;
        }
        if (tiff.u16(at) == tag) {
            type = tiff.u16(at + 2);
            count = tiff.u32(at + 4);
            // A short that fits the entry sits in its first two bytes.
            value = type == kShortType && count == 1 ? tiff.u16(at + 8) : tiff.u32(at + 8);
            return true;
        }
    }
    return false;
}

namespace {

// The orientation tag of the first image directory of a TIFF structure.
Orientation TiffOrientation(const std::uint8_t* data, std::size_t size) {
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0;
    if (FindTiffTag(data, size, kOrientationTag, type, count, value) && type == kShortType &&
        count == 1 && value >= 1 && value <= 8) {
        return static_cast<Orientation>(value);
    }
    return Orientation::Normal;
}

// The Exif segment sits among the markers before the first scan.
Orientation JpegOrientation(const std::uint8_t* data, std::size_t size) {
    static constexpr char kExifHeader[] = "Exif\0";  // with the array's own zero: 6 bytes
    std::size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        const std::uint8_t marker = data[at + 1];
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7) ||
            marker == 0xFF) {
            at += marker == 0xFF ? 1 : 2;  // no length; 0xFF is fill
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) {
            break;
        }
        const std::size_t length = static_cast<std::size_t>((data[at + 2] << 8) | data[at + 3]);
        if (length < 2 || at + 2 + length > size) {
            break;
        }
        if (marker == 0xE1 && length >= 2 + 6 + 8 &&
            std::memcmp(data + at + 4, kExifHeader, 6) == 0) {
            return TiffOrientation(data + at + 10, length - 8);
        }
        at += 2 + length;
    }
    return Orientation::Normal;
}

}  // namespace

}  // namespace imaging_detail

using namespace imaging_detail;

Orientation ReadImageOrientation(const std::uint8_t* data, std::size_t size, ImageType type) {
    if (data == nullptr || size < 4) {
        return Orientation::Normal;
    }
    switch (type) {
        case ImageType::Jpeg:
            return data[0] == 0xFF && data[1] == 0xD8 ? JpegOrientation(data, size)
                                                      : Orientation::Normal;
        case ImageType::Tiff:
            return TiffOrientation(data, size);
        case ImageType::Raw:
            InitializeImaging();
            return RawOrientation(data, size);
        default:
            return Orientation::Normal;
    }
}

bool SwapsSides(Orientation orientation) {
    return static_cast<int>(orientation) >= static_cast<int>(Orientation::Transpose);
}

RgbBuffer OrientForDisplay(const RgbBuffer& image, Orientation orientation) {
    if (orientation == Orientation::Normal || image.empty()) {
        return image;
    }
    const std::uint32_t w = image.width;
    const std::uint32_t h = image.height;
    const bool swapped = SwapsSides(orientation);
    RgbBuffer out;
    out.width = swapped ? h : w;
    out.height = swapped ? w : h;
    out.pixels.resize(image.pixels.size());
    for (std::uint32_t y = 0; y < out.height; ++y) {
        for (std::uint32_t x = 0; x < out.width; ++x) {
            // The stored pixel that shows at (x, y).
            std::uint32_t sx = x;
            std::uint32_t sy = y;
            switch (orientation) {
                case Orientation::Normal:
                    break;
                case Orientation::MirrorHorizontal:
                    sx = w - 1 - x;
                    break;
                case Orientation::Rotate180:
                    sx = w - 1 - x;
                    sy = h - 1 - y;
                    break;
                case Orientation::MirrorVertical:
                    sy = h - 1 - y;
                    break;
                case Orientation::Transpose:
                    sx = y;
                    sy = x;
                    break;
                case Orientation::Rotate90:
                    sx = y;
                    sy = h - 1 - x;
                    break;
                case Orientation::Transverse:
                    sx = w - 1 - y;
                    sy = h - 1 - x;
                    break;
                case Orientation::Rotate270:
                    sx = w - 1 - y;
                    sy = x;
                    break;
            }
            std::memcpy(out.pixels.data() + y * out.stride() + std::size_t{x} * 3,
                        image.pixels.data() + sy * image.stride() + std::size_t{sx} * 3, 3);
        }
    }
    return out;
}

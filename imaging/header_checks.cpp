// Header checks for the types ImageMagick reads: the size they declare,
// before any pixel is allocated, and plain truncation where the layout fixes
// the data's length.

#include "decoders.h"

namespace imaging_detail {

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

std::uint16_t Be16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

}  // namespace

bool TargaHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                     std::uint32_t& height) {
    if (size < 18) {
        return Fail(kImagingTruncated);
    }
    const unsigned idLength = data[0];
    const unsigned mapType = data[1];
    const unsigned imageType = data[2];
    const unsigned mapLength = Le16(data + 5);
    const unsigned mapEntryBits = data[7];
    const unsigned bits = data[16];
    const bool mapped = imageType == 1 || imageType == 9;
    const bool known =
        mapped || imageType == 2 || imageType == 3 || imageType == 10 || imageType == 11;
    if (!known || mapType > 1 || (mapped && mapType != 1)) {
        return Fail(kImagingWrongFormat);
    }
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32) {
        return Fail(kImagingWrongFormat);
    }
    if (mapType == 1 && mapEntryBits != 15 && mapEntryBits != 16 && mapEntryBits != 24 &&
        mapEntryBits != 32) {
        return Fail(kImagingCorrupt);
    }
    const std::uint32_t w = Le16(data + 12);
    const std::uint32_t h = Le16(data + 14);
    if (!CheckDeclaredSize(w, h)) {
        return false;
    }
    const std::uint64_t mapBytes =
        mapType == 1 ? std::uint64_t{mapLength} * ((mapEntryBits + 7) / 8) : 0;
    std::uint64_t needed = 18 + idLength + mapBytes;
    if (imageType < 9) {
        needed += std::uint64_t{w} * h * ((bits + 7) / 8);
    } else {
        needed += 1;  // at least one run packet
    }
    if (needed > size) {
        return Fail(kImagingTruncated);
    }
    width = w;
    height = h;
    return true;
}

bool PcxHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                   std::uint32_t& height) {
    if (size < 128) {
        return Fail(kImagingTruncated);
    }
    const unsigned version = data[1];
    const unsigned bits = data[3];
    if (data[0] != 0x0A || data[2] > 1 || version > 5 || version == 1 ||
        (bits != 1 && bits != 2 && bits != 4 && bits != 8)) {
        return Fail(kImagingWrongFormat);
    }
    const unsigned xMin = Le16(data + 4);
    const unsigned yMin = Le16(data + 6);
    const unsigned xMax = Le16(data + 8);
    const unsigned yMax = Le16(data + 10);
    const unsigned planes = data[65];
    const unsigned bytesPerLine = Le16(data + 66);
    if (xMax < xMin || yMax < yMin || planes == 0 || planes > 4) {
        return Fail(kImagingCorrupt);
    }
    const std::uint32_t w = xMax - xMin + 1;
    const std::uint32_t h = yMax - yMin + 1;
    if (!CheckDeclaredSize(w, h)) {
        return false;
    }
    if (std::uint64_t{bytesPerLine} * 8 < std::uint64_t{w} * bits) {
        return Fail(kImagingCorrupt);
    }
    // Run-length packets hold at most 63 bytes each, so two bytes per 63 is the least
    // that can describe the image.
    const std::uint64_t rawBytes = std::uint64_t{bytesPerLine} * planes * h;
    if (128 + (rawBytes + 62) / 63 * 2 > size && data[2] == 1) {
        return Fail(kImagingTruncated);
    }
    if (data[2] == 0 && 128 + rawBytes > size) {
        return Fail(kImagingTruncated);
    }
    width = w;
    height = h;
    return true;
}

namespace {

// The merged image at the end of a Photoshop file must be all there: every
// section before it, and its rows (raw) or its run-length table and runs.
bool PhotoshopDataComplete(const std::uint8_t* data, std::size_t size, bool large,
                           unsigned channels, std::uint32_t width, std::uint32_t height,
                           unsigned depth) {
    std::uint64_t offset = 26;
    for (int section = 0; section < 3; ++section) {
        const bool wide = large && section == 2;  // layer section length is 64-bit in PSB
        if (offset + (wide ? 8 : 4) > size) {
            return false;
        }
        std::uint64_t length = Be32(data + offset);
        if (wide) {
            length = (length << 32) | Be32(data + offset + 4);
        }
        offset += (wide ? 8 : 4) + length;
    }
    if (offset + 2 > size) {
        return false;
    }
    const unsigned compression = Be16(data + offset);
    offset += 2;
    const std::uint64_t rows = std::uint64_t{channels} * height;
    if (compression == 0) {
        const std::uint64_t rowBytes = (std::uint64_t{width} * depth + 7) / 8;
        return offset + rows * rowBytes <= size;
    }
    if (compression == 1) {
        const unsigned countBytes = large ? 4 : 2;
        if (offset + rows * countBytes > size) {
            return false;
        }
        std::uint64_t runs = 0;
        for (std::uint64_t r = 0; r < rows; ++r) {
            const std::uint8_t* p = data + offset + r * countBytes;
            runs += large ? Be32(p) : Be16(p);
        }
        return offset + rows * countBytes + runs <= size;
    }
    return true;  // zip-compressed data: ImageMagick finds the end itself
}

}  // namespace

bool PhotoshopHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                         std::uint32_t& height) {
    if (size < 26) {
        return Fail(kImagingTruncated);
    }
    if (data[0] != '8' || data[1] != 'B' || data[2] != 'P' || data[3] != 'S') {
        return Fail(kImagingWrongFormat);
    }
    const unsigned version = Be16(data + 4);
    const unsigned channels = Be16(data + 12);
    const std::uint32_t h = Be32(data + 14);
    const std::uint32_t w = Be32(data + 18);
    const unsigned depth = Be16(data + 22);
    const unsigned mode = Be16(data + 24);
    const std::uint32_t maxSide = version == 2 ? 300000 : 30000;
    if ((version != 1 && version != 2) || channels == 0 || channels > 56 ||
        (depth != 1 && depth != 8 && depth != 16 && depth != 32) || mode > 9 || w > maxSide ||
        h > maxSide) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(w, h)) {
        return false;
    }
    if (!PhotoshopDataComplete(data, size, version == 2, channels, w, h, depth)) {
        return Fail(kImagingTruncated);
    }
    width = w;
    height = h;
    return true;
}

bool BmpHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                   std::uint32_t& height) {
    if (size < 26 || data[0] != 'B' || data[1] != 'M') {
        return Fail(size < 26 && size >= 2 && data[0] == 'B' && data[1] == 'M'
                        ? kImagingTruncated
                        : kImagingWrongFormat);
    }
    const std::uint32_t pixelOffset = Le32(data + 10);
    const std::uint32_t infoSize = Le32(data + 14);
    std::int64_t w = 0;
    std::int64_t h = 0;
    unsigned bits = 0;
    std::uint32_t compression = 0;
    if (infoSize == 12) {
        w = Le16(data + 18);
        h = Le16(data + 20);
        bits = Le16(data + 24);
    } else if (infoSize >= 40 && size >= 34) {
        w = static_cast<std::int32_t>(Le32(data + 18));
        h = static_cast<std::int32_t>(Le32(data + 22));
        bits = Le16(data + 28);
        compression = Le32(data + 30);
    } else {
        return Fail(size < 34 ? kImagingTruncated : kImagingWrongFormat);
    }
    if (h < 0) {
        h = -h;  // rows stored top first
    }
    if (w <= 0 || h == 0) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(h))) {
        return false;
    }
    // Uncompressed rows have a fixed length; only the last row's padding may be missing.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (uncompressed && bits != 0 && pixelOffset >= 14 + infoSize) {
        const std::uint64_t rowBits = static_cast<std::uint64_t>(w) * bits;
        const std::uint64_t rowBytes = (rowBits + 31) / 32 * 4;
        const std::uint64_t needed =
            pixelOffset + rowBytes * static_cast<std::uint64_t>(h - 1) + (rowBits + 7) / 8;
        if (needed > size) {
            return Fail(kImagingTruncated);
        }
    }
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    return true;
}

bool WbmpHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                    std::uint32_t& height) {
    std::size_t offset = 0;
    auto readNumber = [&](std::uint64_t& value) {
        value = 0;
        for (int i = 0; i < 5; ++i) {
            if (offset >= size) {
                return false;
            }
            const std::uint8_t byte = data[offset++];
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return true;
            }
        }
        return false;
    };
    std::uint64_t type = 0;
    std::uint64_t w = 0;
    std::uint64_t h = 0;
    if (!readNumber(type) || type != 0 || offset >= size || data[offset++] != 0) {
        return Fail(kImagingWrongFormat);
    }
    if (!readNumber(w) || !readNumber(h)) {
        return Fail(kImagingTruncated);
    }
    if (!CheckDeclaredSize(w, h)) {
        return false;
    }
    if (offset + (w + 7) / 8 * h > size) {
        return Fail(kImagingTruncated);
    }
    width = static_cast<std::uint32_t>(w);
    height = static_cast<std::uint32_t>(h);
    return true;
}

bool WmfRecordsWellFormed(const std::uint8_t* data, std::size_t size) {
    // The metafile player prints to the terminal about bad record sizes, so
    // those never reach it: every record must lie inside the file, within the
    // header's largest record, and an end record must come before the end.
    std::size_t offset = Le32(data) == 0x9AC6CDD7u ? 22 : 0;
    if (size < offset + 18) {
        return false;
    }
    const std::uint32_t largest = Le32(data + offset + 10);
    offset += 18;
    while (offset + 6 <= size) {
        const std::uint64_t bytes = std::uint64_t{Le32(data + offset)} * 2;
        const std::uint16_t function = Le16(data + offset + 4);
        if (bytes < 6 || bytes > size - offset || bytes > std::uint64_t{largest} * 2) {
            return false;
        }
        if (function == 0) {
            return true;
        }
        offset += static_cast<std::size_t>(bytes);
    }
    return false;
}

}  // namespace imaging_detail

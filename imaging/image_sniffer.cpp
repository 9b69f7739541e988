// Recognising an image type from its first bytes, and from its file name.

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "decoders.h"
#include "imaging.h"

namespace {

std::uint16_t Le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

bool StartsWith(const std::uint8_t* data, std::size_t size, std::string_view magic) {
    return size >= magic.size() && std::memcmp(data, magic.data(), magic.size()) == 0;
}

bool LooksLikeBmp(const std::uint8_t* data, std::size_t size) {
    if (!StartsWith(data, size, "BM") || size < 18) {
        return false;
    }
    // "BM" alone is too common a start; the info header size names the variant.
    switch (Le32(data + 14)) {
        case 12:
        case 16:
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

bool LooksLikePcx(const std::uint8_t* data, std::size_t size) {
    if (size < 128 || data[0] != 0x0A || data[2] > 1) {
        return false;
    }
    const std::uint8_t version = data[1];
    const std::uint8_t bits = data[3];
    return (version == 0 || version == 2 || version == 3 || version == 4 || version == 5) &&
           (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

bool HasTargaFooter(const std::uint8_t* data, std::size_t size) {
    static constexpr std::string_view kSignature{"TRUEVISION-XFILE.\0", 18};
    return size >= 18 + 26 && std::memcmp(data + size - 18, kSignature.data(), 18) == 0;
}

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

// ISO media files name their kind by brands in the leading "ftyp" box.
ImageType IsoMediaType(const std::uint8_t* data, std::size_t size) {
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) {
        return ImageType::Unknown;
    }
    const std::string_view major(reinterpret_cast<const char*>(data + 8), 4);
    for (const std::string_view heic : {"heic", "heix", "heim", "heis", "hevc", "hevx"}) {
        if (major == heic) {
            return ImageType::Heif;
        }
    }
    if (major == "avif" || major == "avis") {
        return ImageType::Avif;
    }
    if (major == "crx ") {
        return ImageType::Raw;
    }
    if (major != "mif1" && major != "msf1") {
        return ImageType::Unknown;
    }
    // A generic HEIF file: AVIF when a compatible brand says so.
    const std::size_t end = std::min<std::size_t>(Be32(data), size);
    for (std::size_t at = 16; at + 4 <= end; at += 4) {
        const std::string_view brand(reinterpret_cast<const char*>(data + at), 4);
        if (brand == "avif" || brand == "avis") {
            return ImageType::Avif;
        }
    }
    return ImageType::Heif;
}

bool IsTiff(const std::uint8_t* data, std::size_t size) {
    return StartsWith(data, size, std::string_view("II*\0", 4)) ||
           StartsWith(data, size, std::string_view("MM\0*", 4));
}

// Raw files in a TIFF structure: DNG, Canon's CR2, and the makers' files
// whose first directory names the camera and points to the full images.
bool IsTiffRaw(const std::uint8_t* data, std::size_t size) {
    if (size >= 10 && data[8] == 'C' && data[9] == 'R') {
        return true;
    }
    std::uint16_t type = 0;
    std::uint32_t count = 0;
    std::uint32_t value = 0;
    return imaging_detail::FindTiffTag(data, size, 0xC612, type, count, value) ||
           (imaging_detail::FindTiffTag(data, size, 0x014A, type, count, value) &&
            imaging_detail::FindTiffTag(data, size, 0x010F, type, count, value));
}

bool HasMakerRawSignature(const std::uint8_t* data, std::size_t size) {
    return StartsWith(data, size, "IIRO") || StartsWith(data, size, "IIRS") ||
           StartsWith(data, size, "MMOR") || StartsWith(data, size, std::string_view("IIU\0", 4)) ||
           StartsWith(data, size, "FUJIFILMCCD-RAW");
}

}  // namespace

namespace imaging_detail {

bool HasRawSignature(const std::uint8_t* data, std::size_t size) {
    return data != nullptr && (IsTiff(data, size) || HasMakerRawSignature(data, size) ||
                               IsoMediaType(data, size) == ImageType::Raw);
}

bool WmfHeaderValid(const std::uint8_t* data, std::size_t size) {
    std::size_t offset = 0;
    if (size >= 22 && Le32(data) == 0x9AC6CDD7u) {
        offset = 22;  // placeable header before the standard one
    }
    if (size < offset + 18) {
        return false;
    }
    const std::uint8_t* h = data + offset;
    const std::uint16_t type = Le16(h);
    const std::uint16_t headerWords = Le16(h + 2);
    const std::uint16_t version = Le16(h + 4);
    return (type == 1 || type == 2) && headerWords == 9 && (version == 0x0100 || version == 0x0300);
}

bool EmfHeaderValid(const std::uint8_t* data, std::size_t size) {
    if (size < 88 || Le32(data) != 1 || Le32(data + 40) != 0x464D4520u) {
        return false;
    }
    const std::uint32_t headerSize = Le32(data + 4);
    return headerSize >= 88 && headerSize <= size && headerSize % 4 == 0;
}

}  // namespace imaging_detail

ImageType SniffImageData(const std::uint8_t* data, std::size_t size) {
    using namespace imaging_detail;
    if (data == nullptr || size < 4) {
        return ImageType::Unknown;
    }
    if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) {
        return ImageType::Jpeg;
    }
    if (StartsWith(data, size, "\x89PNG\r\n\x1a\n")) {
        return ImageType::Png;
    }
    if (StartsWith(data, size, "GIF87a") || StartsWith(data, size, "GIF89a")) {
        return ImageType::Gif;
    }
    if (IsTiff(data, size)) {
        return IsTiffRaw(data, size) ? ImageType::Raw : ImageType::Tiff;
    }
    if (HasMakerRawSignature(data, size)) {
        return ImageType::Raw;
    }
    if (const ImageType iso = IsoMediaType(data, size); iso != ImageType::Unknown) {
        return iso;
    }
    if (StartsWith(data, size, "RIFF") && size >= 12 && std::memcmp(data + 8, "WEBP", 4) == 0) {
        return ImageType::WebP;
    }
    if ((data[0] == 0xFF && data[1] == 0x0A) ||
        StartsWith(data, size, std::string_view("\0\0\0\x0CJXL \r\n\x87\n", 12))) {
        return ImageType::JpegXl;
    }
    if (StartsWith(data, size, "8BPS")) {
        return ImageType::Photoshop;
    }
    if (LooksLikeBmp(data, size)) {
        return ImageType::Bmp;
    }
    if (EmfHeaderValid(data, size)) {
        return ImageType::Emf;
    }
    if (WmfHeaderValid(data, size)) {
        return ImageType::Wmf;
    }
    if (LooksLikePcx(data, size)) {
        return ImageType::Pcx;
    }
    if (HasTargaFooter(data, size)) {
        return ImageType::Targa;
    }
    // Targa files without the footer and WBMP have no signature: the name decides.
    return ImageType::Unknown;
}

ImageType ImageTypeForExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return ImageType::Unknown;
    }
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    static constexpr std::array<std::pair<std::string_view, ImageType>, 29> kTable{{
        {"jpeg", ImageType::Jpeg},  {"jpg", ImageType::Jpeg},      {"bmp", ImageType::Bmp},
        {"pcx", ImageType::Pcx},    {"png", ImageType::Png},       {"tif", ImageType::Tiff},
        {"tiff", ImageType::Tiff},  {"tga", ImageType::Targa},     {"wmf", ImageType::Wmf},
        {"emf", ImageType::Emf},    {"psd", ImageType::Photoshop}, {"wbmp", ImageType::Wbmp},
        {"wbm", ImageType::Wbmp},   {"gif", ImageType::Gif},       {"heic", ImageType::Heif},
        {"heif", ImageType::Heif},  {"avif", ImageType::Avif},     {"webp", ImageType::WebP},
        {"jxl", ImageType::JpegXl}, {"dng", ImageType::Raw},       {"cr2", ImageType::Raw},
        {"cr3", ImageType::Raw},    {"nef", ImageType::Raw},       {"arw", ImageType::Raw},
        {"orf", ImageType::Raw},    {"rw2", ImageType::Raw},       {"raf", ImageType::Raw},
        {"pef", ImageType::Raw},    {"srw", ImageType::Raw},
    }};
    for (const auto& [name, type] : kTable) {
        if (ext == name) {
            return type;
        }
    }
    return ImageType::Unknown;
}

ImageType SniffImageType(const std::string& path) {
    const int fd = imaging_detail::OpenRegularFile(path);
    if (fd >= 0) {
        std::array<std::uint8_t, 4096> head{};
        const ssize_t got = ::pread(fd, head.data(), head.size(), 0);
        ImageType type = got > 0 ? SniffImageData(head.data(), static_cast<std::size_t>(got))
                                 : ImageType::Unknown;
        struct stat st {};
        if (type == ImageType::Unknown && ::fstat(fd, &st) == 0 && st.st_size >= 128) {
            // The Targa footer sits at the end of the file.
            std::array<std::uint8_t, 44> tail{};
            if (::pread(fd, tail.data(), tail.size(),
                        st.st_size - static_cast<off_t>(tail.size())) ==
                static_cast<ssize_t>(tail.size())) {
                type = SniffImageData(tail.data(), tail.size()) == ImageType::Targa
                           ? ImageType::Targa
                           : ImageType::Unknown;
            }
        }
        ::close(fd);
        if (type != ImageType::Unknown) {
            return type;
        }
    }
    return ImageTypeForExtension(path);
}

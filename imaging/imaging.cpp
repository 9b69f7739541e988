#include "imaging.h"
#include "upright_decode.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <mutex>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <libheif/heif.h>

#include "decoders.h"

namespace imaging_detail {

namespace {
thread_local int t_lastError = kImagingOk;
}  // namespace

void SetLastError(int code) {
    t_lastError = code;
}

bool Fail(int code) {
    t_lastError = code;
    return false;
}

bool CheckDeclaredSize(std::uint64_t width, std::uint64_t height) {
    if (width == 0 || height == 0) {
        return Fail(kImagingCorrupt);
    }
    // Both factors are below 2^32, so the product cannot overflow.
    if (width > 0xFFFFFFFFu || height > 0xFFFFFFFFu || width * height > kMaxImagePixels) {
        return Fail(kImagingTooLarge);
    }
    return true;
}

bool AllocatePixels(RgbBuffer& out, std::uint32_t width, std::uint32_t height) {
    try {
        out.pixels.assign(std::size_t{width} * height * 3, 0);
    } catch (const std::bad_alloc&) {
        out.release();
        return Fail(kImagingOutOfMemory);
    }
    out.width = width;
    out.height = height;
    return true;
}

void CompositeOverWhite(const std::uint8_t* rgba, std::size_t pixels, std::uint8_t* rgb) {
    for (std::size_t i = 0; i < pixels; ++i, rgba += 4, rgb += 3) {
        const unsigned alpha = rgba[3];
        for (int c = 0; c < 3; ++c) {
            rgb[c] = static_cast<std::uint8_t>((rgba[c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
    }
}

int OpenRegularFile(const std::string& path) {
    // Non-blocking, so that a FIFO cannot hang the open; only regular files are read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    // Regular files never block; reads should wait for slow disks as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

void FitIntoBox(double width, double height, std::uint32_t boxWidth, std::uint32_t boxHeight,
                std::uint32_t& outWidth, std::uint32_t& outHeight) {
    const double scale = std::min(boxWidth / width, boxHeight / height);
    outWidth =
        static_cast<std::uint32_t>(std::clamp(std::lround(width * scale), 1L, long{boxWidth}));
    outHeight =
        static_cast<std::uint32_t>(std::clamp(std::lround(height * scale), 1L, long{boxHeight}));
}

}  // namespace imaging_detail

using namespace imaging_detail;

void InitializeImaging() {
    static std::once_flag once;
    std::call_once(once, [] {
        InitializeQtImageIo();
        InitializeMagick();
        heif_init(nullptr);
    });
}

bool IsModernImageType(ImageType type) {
    switch (type) {
        case ImageType::Heif:
        case ImageType::Avif:
        case ImageType::WebP:
        case ImageType::JpegXl:
        case ImageType::Raw:
            return true;
        default:
            return false;
    }
}

int ImagingLastError() {
    return t_lastError;
}

bool ReadImageFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
    if (path.empty()) {
        return Fail(kImagingCannotOpen);
    }
    const int fd = OpenRegularFile(path);
    if (fd < 0) {
        return Fail(kImagingCannotOpen);
    }
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return Fail(kImagingReadFailed);
    }
    if (st.st_size == 0) {
        return Fail(kImagingEmptyFile);
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxImageFileBytes) {
        return Fail(kImagingTooLarge);
    }
    std::vector<std::uint8_t> data;
    try {
        data.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        return Fail(kImagingOutOfMemory);
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Fail(kImagingReadFailed);
        }
        if (n == 0) {
            break;  // shrank while we read: decode what is there
        }
        done += static_cast<std::size_t>(n);
    }
    if (done == 0) {
        return Fail(kImagingEmptyFile);
    }
    data.resize(done);
    bytes = std::move(data);
    SetLastError(kImagingOk);
    return true;
}

bool ReadImageSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
                   std::uint32_t& height) {
    InitializeImaging();
    if (data == nullptr || size == 0) {
        return Fail(kImagingEmptyFile);
    }
    std::uint32_t w = 0;
    std::uint32_t h = 0;
    bool ok = false;
    switch (type) {
        case ImageType::Jpeg:
            ok = JpegSize(data, size, w, h);
            break;
        case ImageType::Png:
            ok = PngSize(data, size, w, h);
            break;
        case ImageType::Bmp:
            ok = BmpHeaderSize(data, size, w, h);
            break;
        case ImageType::Wbmp:
            ok = WbmpHeaderSize(data, size, w, h);
            break;
        case ImageType::Gif:
        case ImageType::Tiff:
            ok = QtImageSize(data, size, type, w, h);
            break;
        case ImageType::Targa:
            ok = TargaHeaderSize(data, size, w, h);
            break;
        case ImageType::Pcx:
            ok = PcxHeaderSize(data, size, w, h);
            break;
        case ImageType::Photoshop:
            ok = PhotoshopHeaderSize(data, size, w, h);
            break;
        case ImageType::Heif:
        case ImageType::Avif:
            ok = HeifSize(data, size, type, w, h);
            break;
        case ImageType::WebP:
            ok = WebpSize(data, size, w, h);
            break;
        case ImageType::JpegXl:
            ok = JxlSize(data, size, w, h);
            break;
        case ImageType::Raw:
            ok = RawSize(data, size, w, h);
            break;
        case ImageType::Wmf:
        case ImageType::Emf:
        case ImageType::Unknown:
            return Fail(kImagingUnsupportedType);
    }
    if (!ok) {
        return false;
    }
    width = w;
    height = h;
    SetLastError(kImagingOk);
    return true;
}

bool DecodeImageMemory(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                       const DecodeOptions& options) {
    InitializeImaging();
    if (data == nullptr || size == 0) {
        return Fail(kImagingEmptyFile);
    }
    RgbBuffer image;
    bool ok = false;
    try {
        switch (type) {
            case ImageType::Jpeg:
                ok = DecodeJpeg(data, size, image, options);
                break;
            case ImageType::Png:
                ok = DecodePng(data, size, image);
                break;
            case ImageType::Bmp:
            case ImageType::Gif:
            case ImageType::Tiff:
            case ImageType::Wbmp:
                ok = DecodeWithQt(data, size, type, image);
                break;
            case ImageType::Targa:
            case ImageType::Pcx:
            case ImageType::Photoshop:
            case ImageType::Wmf:
                ok = DecodeWithMagick(data, size, type, image, options);
                break;
            case ImageType::Emf:
                ok = DecodeEmf(data, size, image, options);
                break;
            case ImageType::Heif:
            case ImageType::Avif:
                ok = DecodeHeif(data, size, type, image, options);
                break;
            case ImageType::WebP:
                ok = DecodeWebp(data, size, image);
                break;
            case ImageType::JpegXl:
                ok = DecodeJxl(data, size, image, options);
                break;
            case ImageType::Raw:
                ok = DecodeRaw(data, size, image, options);
                break;
            case ImageType::Unknown:
                return Fail(kImagingUnsupportedType);
        }
    } catch (const std::bad_alloc&) {
        return Fail(kImagingOutOfMemory);
    }
    if (!ok) {
        return false;
    }
    out = std::move(image);
    SetLastError(kImagingOk);
    return true;
}

bool DecodeImageFile(const std::string& path, ImageType type, RgbBuffer& out,
                     const DecodeOptions& options) {
    if (type == ImageType::Unknown) {
        return Fail(kImagingUnsupportedType);
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadImageFileBytes(path, bytes)) {
        return false;
    }
    return DecodeImageMemory(bytes.data(), bytes.size(), type, out, options);
}

namespace {

int decodeBySniffing(const std::string& path, RgbBuffer& out, std::uint32_t metafileSide,
                     bool upright) {
    if (path.empty()) {
        SetLastError(kImagingBadArgument);
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadImageFileBytes(path, bytes)) {
        return ImagingLastError();
    }
    ImageType type = SniffImageData(bytes.data(), bytes.size());
    if (type == ImageType::Unknown) {
        type = ImageTypeForExtension(path);
    }
    if (type == ImageType::Unknown) {
        SetLastError(kImagingUnsupportedType);
        return 5;
    }
    DecodeOptions options;
    options.metafileWidth = metafileSide;
    options.metafileHeight = metafileSide;
    if (!DecodeImageMemory(bytes.data(), bytes.size(), type, out, options)) {
        return ImagingLastError();
    }
    if (upright) {
        const Orientation orientation = ReadImageOrientation(bytes.data(), bytes.size(), type);
        if (orientation != Orientation::Normal) {
            out = OrientForDisplay(out, orientation);
        }
    }
    return 0;
}

}  // namespace

int DecodeImageBySniffing(const std::string& path, RgbBuffer& out, std::uint32_t metafileSide) {
    return decodeBySniffing(path, out, metafileSide, false);
}

int DecodeUprightBySniffing(const std::string& path, RgbBuffer& out, std::uint32_t metafileSide) {
    return decodeBySniffing(path, out, metafileSide, true);
}

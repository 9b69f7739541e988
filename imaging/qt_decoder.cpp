// PNG, BMP, GIF, TIFF and WBMP through Qt's image reader.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>

#include <tiffio.h>

#include <cstdio>
#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

thread_local int t_quietDepth = 0;
QtMessageHandler g_previousHandler = nullptr;

bool IsImageIoCategory(const char* category) {
    if (category == nullptr) {
        return false;
    }
    const QByteArray name(category);
    return name.startsWith("qt.gui.imageio") || name.startsWith("qt.imageformats") ||
           name.startsWith("qt.svg");
}

// Readers and their libraries report damaged files as warnings; a library
// must not print, so those are dropped and everything else passes on.
void FilterImageIoMessages(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type != QtFatalMsg && (t_quietDepth > 0 || IsImageIoCategory(context.category))) {
        return;
    }
    if (g_previousHandler != nullptr) {
        g_previousHandler(type, context, message);
    } else {
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')),
                   stderr);
    }
}

const char* QtFormatName(ImageType type) {
    switch (type) {
        case ImageType::Bmp:
            return "bmp";
        case ImageType::Gif:
            return "gif";
        case ImageType::Tiff:
            return "tiff";
        case ImageType::Wbmp:
            return "wbmp";
        default:
            return nullptr;
    }
}

// Transparent pixels are shown over white, as on paper.
std::uint8_t OverWhite(int channel, int alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

void CopyToRgb(const QImage& image, RgbBuffer& out) {
    const int width = image.width();
    const int height = image.height();
    std::uint8_t* dst = out.pixels.data();
    const std::size_t rowBytes = out.stride();
    for (int y = 0; y < height; ++y, dst += rowBytes) {
        if (image.format() == QImage::Format_RGB888) {
            std::memcpy(dst, image.constScanLine(y), rowBytes);
            continue;
        }
        const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* d = dst;
        if (image.format() == QImage::Format_ARGB32) {
            for (int x = 0; x < width; ++x, d += 3) {
                const int a = qAlpha(src[x]);
                d[0] = OverWhite(qRed(src[x]), a);
                d[1] = OverWhite(qGreen(src[x]), a);
                d[2] = OverWhite(qBlue(src[x]), a);
            }
        } else {  // RGB32
            for (int x = 0; x < width; ++x, d += 3) {
                d[0] = static_cast<std::uint8_t>(qRed(src[x]));
                d[1] = static_cast<std::uint8_t>(qGreen(src[x]));
                d[2] = static_cast<std::uint8_t>(qBlue(src[x]));
            }
        }
    }
}

bool OpenReader(QImageReader& reader, ImageType type) {
    const char* format = QtFormatName(type);
    if (format == nullptr) {
        return Fail(kImagingUnsupportedType);
    }
    reader.setFormat(format);
    // The named type's reader alone: content of another type must fail.
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) {
        return Fail(kImagingWrongFormat);
    }
    return true;
}

}  // namespace

QuietQtMessages::QuietQtMessages() {
    ++t_quietDepth;
}

QuietQtMessages::~QuietQtMessages() {
    --t_quietDepth;
}

void InitializeQtImageIo() {
    g_previousHandler = qInstallMessageHandler(FilterImageIoMessages);
    // libtiff prints errors and warnings to stderr unless told otherwise.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    // Sizes are checked against kMaxImagePixels before reading; this only
    // backs that up for readers that cannot tell the size first. 8 bytes a
    // pixel covers the widest format a reader returns.
    QImageReader::setAllocationLimit(static_cast<int>(kMaxImagePixels * 8 / (1024 * 1024)));
}

bool QtImageSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
                 std::uint32_t& height) {
    QuietQtMessages quiet;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!OpenReader(reader, type)) {
        return false;
    }
    const QSize declared = reader.size();
    if (!declared.isValid()) {
        return Fail(kImagingCorrupt);
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(declared.width()),
                           static_cast<std::uint64_t>(declared.height()))) {
        return false;
    }
    width = static_cast<std::uint32_t>(declared.width());
    height = static_cast<std::uint32_t>(declared.height());
    return true;
}

bool DecodeWithQt(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out) {
    // Qt returns what it could read of a short BMP or WBMP as a success.
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if ((type == ImageType::Bmp && !BmpHeaderSize(data, size, width, height)) ||
        (type == ImageType::Wbmp && !WbmpHeaderSize(data, size, width, height))) {
        return false;
    }
    QuietQtMessages quiet;
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!OpenReader(reader, type)) {
        return false;
    }
    const QSize declared = reader.size();
    if (declared.isValid() && !CheckDeclaredSize(static_cast<std::uint64_t>(declared.width()),
                                                 static_cast<std::uint64_t>(declared.height()))) {
        return false;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        switch (reader.error()) {
            case QImageReader::UnsupportedFormatError:
                return Fail(kImagingWrongFormat);
            case QImageReader::DeviceError:
                return Fail(kImagingTruncated);
            default:
                return Fail(kImagingCorrupt);
        }
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(image.width()),
                           static_cast<std::uint64_t>(image.height()))) {
        return false;
    }
    if (image.hasAlphaChannel()) {
        image.convertTo(QImage::Format_ARGB32);
    } else if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_RGB888) {
        image.convertTo(QImage::Format_RGB888);
    }
    if (image.isNull()) {
        return Fail(kImagingOutOfMemory);
    }
    if (!AllocatePixels(out, static_cast<std::uint32_t>(image.width()),
                        static_cast<std::uint32_t>(image.height()))) {
        return false;
    }
    CopyToRgb(image, out);
    return true;
}

}  // namespace imaging_detail

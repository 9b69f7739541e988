// PNG, BMP, GIF, TIFF and WBMP through Qt's image reader.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>

#include <tiffio.h>

#include <atomic>
#include <cstdio>
#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

thread_local int t_quietDepth = 0;
// Written once while installing, read by any thread that logs.
std::atomic<QtMessageHandler> g_previousHandler{nullptr};

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
    if (const QtMessageHandler previous = g_previousHandler.load(); previous != nullptr) {
        previous(type, context, message);
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
    g_previousHandler.store(qInstallMessageHandler(FilterImageIoMessages));
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
    return QImageToRgb(image, out);
}

}  // namespace imaging_detail

#include "photo_writers.h"

#include <jxl/encode.h>
#include <libheif/heif.h>
#include <webp/encode.h>

#include <QBuffer>
#include <QImageWriter>
#include <QTransform>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

void CheckHeif(const heif_error& error) {
    Check(error.code == heif_error_Ok, error.message);
}

heif_image* HeifImage(const QImage& source) {
    const QImage rgb = source.convertToFormat(QImage::Format_RGB888);
    heif_image* image = nullptr;
    CheckHeif(heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                                heif_chroma_interleaved_RGB, &image));
    CheckHeif(heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y) {
        std::memcpy(plane + y * stride, rgb.constScanLine(y),
                    static_cast<std::size_t>(rgb.width()) * 3);
    }
    return image;
}

heif_error AppendBytes(heif_context*, const void* data, size_t size, void* userdata) {
    static_cast<std::string*>(userdata)->append(static_cast<const char*>(data), size);
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

void PutLe16(std::string& out, unsigned v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void PutLe32(std::string& out, std::uint32_t v) {
    PutLe16(out, v & 0xFFFF);
    PutLe16(out, v >> 16);
}

// One directory of a little-endian TIFF structure being written.
struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;  // 1 byte, 2 ascii, 3 short, 4 long
    std::uint32_t count;
    std::uint32_t value;  // or offset
};

void PutDirectory(std::string& out, const std::vector<TiffEntry>& entries) {
    PutLe16(out, static_cast<unsigned>(entries.size()));
    for (const TiffEntry& e : entries) {
        PutLe16(out, e.tag);
        PutLe16(out, e.type);
        PutLe32(out, e.count);
        if (e.type == 3 && e.count == 1) {
            PutLe16(out, e.value);
            PutLe16(out, 0);
        } else {
            PutLe32(out, e.value);
        }
    }
    PutLe32(out, 0);
}

std::uint32_t DirectoryBytes(std::size_t entries) {
    return static_cast<std::uint32_t>(2 + entries * 12 + 4);
}

}  // namespace

std::string HeifBytes(const QImage& image, bool avif, int thumbnailSide, const QImage& thumbnail) {
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    CheckHeif(heif_context_get_encoder_for_format(
        context, avif ? heif_compression_AV1 : heif_compression_HEVC, &encoder));
    CheckHeif(heif_encoder_set_lossy_quality(encoder, 90));
    heif_image* main = HeifImage(image);
    heif_image_handle* handle = nullptr;
    CheckHeif(heif_context_encode_image(context, main, encoder, nullptr, &handle));
    if (thumbnailSide > 0) {
        heif_image* small = HeifImage(thumbnail.isNull() ? image : thumbnail);
        CheckHeif(heif_context_encode_thumbnail(context, small, handle, encoder, nullptr,
                                                thumbnailSide, nullptr));
        heif_image_release(small);
    }
    std::string bytes;
    heif_writer writer{1, AppendBytes};
    CheckHeif(heif_context_write(context, &writer, &bytes));
    heif_image_handle_release(handle);
    heif_image_release(main);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

std::string WebpBytes(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::uint8_t* output = nullptr;
    const std::size_t size = WebPEncodeLosslessRGB(rgb.constBits(), rgb.width(), rgb.height(),
                                                   static_cast<int>(rgb.bytesPerLine()), &output);
    Check(size > 0, "WebP encoding");
    std::string bytes(reinterpret_cast<const char*>(output), size);
    WebPFree(output);
    return bytes;
}

std::string JxlBytes(const QImage& image, bool lossless, int orientation) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    JxlEncoder* encoder = JxlEncoderCreate(nullptr);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = static_cast<std::uint32_t>(rgb.width());
    info.ysize = static_cast<std::uint32_t>(rgb.height());
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.uses_original_profile = lossless ? JXL_TRUE : JXL_FALSE;
    info.orientation = static_cast<JxlOrientation>(orientation);
    Check(JxlEncoderSetBasicInfo(encoder, &info) == JXL_ENC_SUCCESS, "JXL basic info");
    JxlColorEncoding color;
    JxlColorEncodingSetToSRGB(&color, JXL_FALSE);
    Check(JxlEncoderSetColorEncoding(encoder, &color) == JXL_ENC_SUCCESS, "JXL colour");
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    if (lossless) {
        JxlEncoderSetFrameLossless(settings, JXL_TRUE);
    } else {
        JxlEncoderSetFrameDistance(settings, 1.0f);
    }
    // Rows of three bytes, packed: copy out of Qt's padded scan lines.
    std::vector<std::uint8_t> pixels;
    for (int y = 0; y < rgb.height(); ++y) {
        pixels.insert(pixels.end(), rgb.constScanLine(y), rgb.constScanLine(y) + rgb.width() * 3);
    }
    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    Check(
        JxlEncoderAddImageFrame(settings, &format, pixels.data(), pixels.size()) == JXL_ENC_SUCCESS,
        "JXL frame");
    JxlEncoderCloseInput(encoder);
    std::string bytes(4096, '\0');
    std::size_t used = 0;
    for (;;) {
        auto* next = reinterpret_cast<std::uint8_t*>(bytes.data()) + used;
        std::size_t avail = bytes.size() - used;
        const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder, &next, &avail);
        used = bytes.size() - avail;
        if (status == JXL_ENC_SUCCESS) {
            break;
        }
        Check(status == JXL_ENC_NEED_MORE_OUTPUT, "JXL encoding");
        bytes.resize(bytes.size() * 2);
    }
    bytes.resize(used);
    JxlEncoderDestroy(encoder);
    return bytes;
}

std::string JpegBytes(const QImage& image, int quality) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(quality);
    Check(writer.write(image.convertToFormat(QImage::Format_RGB888)), "JPEG encoding");
    return data.toStdString();
}

std::string WithExifOrientation(const std::string& jpeg, int orientation) {
    std::string tiff = "II*";
    tiff.push_back('\0');
    PutLe32(tiff, 8);
    PutDirectory(tiff, {{0x0112, 3, 1, static_cast<std::uint32_t>(orientation)}});
    std::string segment = "\xFF\xE1";
    const std::size_t length = 2 + 6 + tiff.size();
    segment.push_back(static_cast<char>(length >> 8));
    segment.push_back(static_cast<char>(length & 0xFF));
    segment.append("Exif\0\0", 6);
    segment += tiff;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

std::string DngBytes(const QImage& sensor, const QImage& preview, int orientation) {
    const QImage rgb = sensor.convertToFormat(QImage::Format_RGB888);
    const std::string previewJpeg = JpegBytes(preview, 90);
    const auto w = static_cast<std::uint32_t>(rgb.width());
    const auto h = static_cast<std::uint32_t>(rgb.height());
    const auto pw = static_cast<std::uint32_t>(preview.width());
    const auto ph = static_cast<std::uint32_t>(preview.height());
    // Layout: header, main directory, preview directory, then the data they point to.
    constexpr std::size_t kMainEntries = 18;
    constexpr std::size_t kPreviewEntries = 10;
    const std::uint32_t mainAt = 8;
    const std::uint32_t previewAt = mainAt + DirectoryBytes(kMainEntries);
    std::uint32_t at = previewAt + DirectoryBytes(kPreviewEntries);
    const std::uint32_t bitsAt = at;
    at += 6;
    const std::uint32_t makeAt = at;
    const std::string make("Twinly\0Test\0", 12);
    at += static_cast<std::uint32_t>(make.size());
    const std::uint32_t pixelsAt = at;
    at += w * h * 3;
    const std::uint32_t jpegAt = at;

    std::string out = "II*";
    out.push_back('\0');
    PutLe32(out, mainAt);
    PutDirectory(out, {
                          {0x00FE, 4, 1, 0},
                          {0x0100, 4, 1, w},
                          {0x0101, 4, 1, h},
                          {0x0102, 3, 3, bitsAt},
                          {0x0103, 3, 1, 1},
                          {0x0106, 3, 1, 34892},  // linear raw
                          {0x010F, 2, 7, makeAt},
                          {0x0110, 2, 5, makeAt + 7},
                          {0x0111, 4, 1, pixelsAt},
                          {0x0112, 3, 1, static_cast<std::uint32_t>(orientation)},
                          {0x0115, 3, 1, 3},
                          {0x0116, 4, 1, h},
                          {0x0117, 4, 1, w * h * 3},
                          {0x011C, 3, 1, 1},
                          {0x014A, 4, 1, previewAt},
                          {0xC612, 1, 4, 0x00000401},  // DNG 1.4
                          {0xC613, 1, 4, 0x00000101},
                          {0xC614, 2, 5, makeAt + 7},
                      });
    PutDirectory(out, {
                          {0x00FE, 4, 1, 1},
                          {0x0100, 4, 1, pw},
                          {0x0101, 4, 1, ph},
                          {0x0102, 3, 3, bitsAt},
                          {0x0103, 3, 1, 7},  // JPEG
                          {0x0106, 3, 1, 6},  // YCbCr
                          {0x0111, 4, 1, jpegAt},
                          {0x0115, 3, 1, 3},
                          {0x0116, 4, 1, ph},
                          {0x0117, 4, 1, static_cast<std::uint32_t>(previewJpeg.size())},
                      });
    for (int i = 0; i < 3; ++i) {
        PutLe16(out, 8);
    }
    out += make;
    for (int y = 0; y < rgb.height(); ++y) {
        out.append(reinterpret_cast<const char*>(rgb.constScanLine(y)), w * 3);
    }
    out += previewJpeg;
    return out;
}

QImage ShownAs(const QImage& stored, int orientation) {
    QImage image = stored.convertToFormat(QImage::Format_RGB888);
    // Orientations 2, 4, 5 and 7 mirror left to right first; then each turns clockwise.
    static constexpr int kDegrees[] = {0, 0, 0, 180, 180, 270, 90, 90, 270};
    if (orientation == 2 || orientation == 4 || orientation == 5 || orientation == 7) {
        image = image.mirrored(true, false);
    }
    return image.transformed(QTransform().rotate(kDegrees[orientation]));
}

// QImage to packed RGB for the formats Qt's readers return. Our own loops:
// QImage's conversions hand large images to Qt's thread pool, which competes
// with the build's own threads.

#include <QImage>

#include <array>
#include <cstring>

#include "decoders.h"

namespace imaging_detail {

namespace {

// Transparent pixels are shown over white, as on paper.
std::uint8_t OverWhite(unsigned channel, unsigned alpha) {
    return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

void PutOverWhite(std::uint8_t* d, QRgb c) {
    const unsigned a = static_cast<unsigned>(qAlpha(c));
    d[0] = OverWhite(static_cast<unsigned>(qRed(c)), a);
    d[1] = OverWhite(static_cast<unsigned>(qGreen(c)), a);
    d[2] = OverWhite(static_cast<unsigned>(qBlue(c)), a);
}

std::uint8_t Narrow16(unsigned v) {
    return static_cast<std::uint8_t>((v + 128) / 257);
}

// Palette entries already composited, for indexed and one-bit images.
std::array<std::uint8_t, 256 * 3> PaletteOverWhite(const QImage& image) {
    std::array<std::uint8_t, 256 * 3> table{};
    const QList<QRgb> colors = image.colorTable();
    for (qsizetype i = 0; i < 256; ++i) {
        PutOverWhite(table.data() + 3 * i, i < colors.size() ? colors[i] : qRgb(0, 0, 0));
    }
    return table;
}

bool Handled(QImage::Format format) {
    switch (format) {
        case QImage::Format_RGB888:
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
        case QImage::Format_Indexed8:
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB:
        case QImage::Format_Grayscale8:
        case QImage::Format_Grayscale16:
        case QImage::Format_RGBX64:
        case QImage::Format_RGBA64:
            return true;
        default:
            return false;
    }
}

void ConvertRow(const QImage& image, int y, const std::array<std::uint8_t, 256 * 3>& palette,
                std::uint8_t* d) {
    const int width = image.width();
    const uchar* line = image.constScanLine(y);
    switch (image.format()) {
        case QImage::Format_RGB888:
            std::memcpy(d, line, std::size_t(width) * 3);
            break;
        case QImage::Format_RGB32: {
            const auto* src = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < width; ++x, d += 3) {
                d[0] = static_cast<std::uint8_t>(qRed(src[x]));
                d[1] = static_cast<std::uint8_t>(qGreen(src[x]));
                d[2] = static_cast<std::uint8_t>(qBlue(src[x]));
            }
            break;
        }
        case QImage::Format_ARGB32: {
            const auto* src = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < width; ++x, d += 3) {
                PutOverWhite(d, src[x]);
            }
            break;
        }
        case QImage::Format_ARGB32_Premultiplied: {
            // Premultiplied colour over white is the colour plus the uncovered white.
            const auto* src = reinterpret_cast<const QRgb*>(line);
            for (int x = 0; x < width; ++x, d += 3) {
                const int uncovered = 255 - qAlpha(src[x]);
                d[0] = static_cast<std::uint8_t>(std::min(255, qRed(src[x]) + uncovered));
                d[1] = static_cast<std::uint8_t>(std::min(255, qGreen(src[x]) + uncovered));
                d[2] = static_cast<std::uint8_t>(std::min(255, qBlue(src[x]) + uncovered));
            }
            break;
        }
        case QImage::Format_Indexed8:
            for (int x = 0; x < width; ++x, d += 3) {
                std::memcpy(d, palette.data() + 3 * line[x], 3);
            }
            break;
        case QImage::Format_Mono:
        case QImage::Format_MonoLSB: {
            const bool msbFirst = image.format() == QImage::Format_Mono;
            for (int x = 0; x < width; ++x, d += 3) {
                const int bit = msbFirst ? 7 - (x & 7) : (x & 7);
                std::memcpy(d, palette.data() + 3 * ((line[x >> 3] >> bit) & 1), 3);
            }
            break;
        }
        case QImage::Format_Grayscale8:
            for (int x = 0; x < width; ++x, d += 3) {
                d[0] = d[1] = d[2] = line[x];
            }
            break;
        case QImage::Format_Grayscale16: {
            const auto* src = reinterpret_cast<const quint16*>(line);
            for (int x = 0; x < width; ++x, d += 3) {
                d[0] = d[1] = d[2] = Narrow16(src[x]);
            }
            break;
        }
        case QImage::Format_RGBX64:
        case QImage::Format_RGBA64: {
            const auto* src = reinterpret_cast<const QRgba64*>(line);
            const bool alpha = image.format() == QImage::Format_RGBA64;
            for (int x = 0; x < width; ++x, d += 3) {
                const unsigned a = alpha ? Narrow16(src[x].alpha()) : 255;
                d[0] = OverWhite(Narrow16(src[x].red()), a);
                d[1] = OverWhite(Narrow16(src[x].green()), a);
                d[2] = OverWhite(Narrow16(src[x].blue()), a);
            }
            break;
        }
        default:
            break;
    }
}

}  // namespace

bool QImageToRgb(const QImage& source, RgbBuffer& out) {
    QImage converted;
    const QImage* image = &source;
    if (!Handled(source.format())) {
        // Rare formats take Qt's route.
        converted = source.convertToFormat(QImage::Format_ARGB32);
        if (converted.isNull()) {
            return Fail(kImagingOutOfMemory);
        }
        image = &converted;
    }
    if (!CheckDeclaredSize(static_cast<std::uint64_t>(image->width()),
                           static_cast<std::uint64_t>(image->height())) ||
        !AllocatePixels(out, static_cast<std::uint32_t>(image->width()),
                        static_cast<std::uint32_t>(image->height()))) {
        return false;
    }
    const auto palette = PaletteOverWhite(*image);
    for (int y = 0; y < image->height(); ++y) {
        ConvertRow(*image, y, palette, out.pixels.data() + std::size_t(y) * out.stride());
    }
    return true;
}

}  // namespace imaging_detail

#include "sample_images.h"

#include <QImageWriter>
#include <cstdlib>

#include "format_writers.h"
#include "test_images.h"

namespace {

QImage Greys(const QImage& image) {
    QImage grey(image.size(), QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int v = qRed(image.pixel(x, y));
            grey.setPixel(x, y, qRgb(v, v, v));
        }
    }
    return grey;
}

QImage Indexed(const QImage& image) {
    QImage indexed(image.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            qsizetype i = table.indexOf(c);
            if (i < 0) {
                i = table.size();
                table.append(c);
                indexed.setColorTable(table);
            }
            indexed.setPixel(x, y, static_cast<uint>(i));
        }
    }
    return indexed;
}

bool WriteTiff(const QImage& image, const std::string& path, int compression) {
    QImageWriter writer(QString::fromStdString(path), "tiff");
    writer.setCompression(compression);
    return writer.write(image);
}

// Lossy codecs blur colour edges (chroma subsampling); only flat areas are compared.
bool UniformAround(const QImage& image, int x, int y) {
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int nx = std::clamp(x + dx, 0, image.width() - 1);
            const int ny = std::clamp(y + dy, 0, image.height() - 1);
            if (image.pixel(nx, ny) != image.pixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

QImage RedBlueImage() {
    QImage image(32, 16, QImage::Format_RGB888);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            image.setPixel(x, y, x < 16 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
        }
    }
    return image;
}

QImage Gradient32(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            line[x] = qRgb(x * 255 / width, y * 255 / height, (x / 8 + y / 8) % 2 ? 200 : 40);
        }
    }
    return image;
}

std::string CommittedSample(const std::string& name) {
    const char* root = std::getenv("TWINLY_TEST_SOURCE_DIR");
    return std::string(root != nullptr ? root : "tests") + "/data/images/" + name;
}

int MaxDifference(const RgbBuffer& decoded, const QImage& expected, bool skipEdges) {
    if (decoded.width != static_cast<std::uint32_t>(expected.width()) ||
        decoded.height != static_cast<std::uint32_t>(expected.height()) ||
        decoded.pixels.size() != decoded.stride() * decoded.height) {
        return -1;
    }
    int worst = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb c = expected.pixel(x, y);
            if (skipEdges && !UniformAround(expected, x, y)) {
                continue;
            }
            const std::uint8_t* p = decoded.pixels.data() + y * decoded.stride() + x * 3;
            worst = std::max({worst, std::abs(p[0] - qRed(c)), std::abs(p[1] - qGreen(c)),
                              std::abs(p[2] - qBlue(c))});
        }
    }
    return worst;
}

std::vector<Sample> WriteRasterSamples(const TempDir& dir) {
    // Odd sizes catch row padding mistakes.
    const QImage pattern = PatternImage(7, 5);
    std::vector<Sample> samples;
    auto add = [&](const std::string& name, ImageType type, const QImage& expected,
                   int tolerance = 0) {
        samples.push_back({name, type, dir.file(name), expected, tolerance});
    };
    auto addBytes = [&](const std::string& name, ImageType type, const std::string& bytes,
                        const QImage& expected) {
        dir.write(name, bytes);
        add(name, type, expected);
    };

    WriteImage(pattern, dir.file("rgb.bmp"), "BMP");
    add("rgb.bmp", ImageType::Bmp, pattern);
    WriteImage(Indexed(pattern), dir.file("palette.bmp"), "BMP");
    add("palette.bmp", ImageType::Bmp, pattern);

    WriteImage(pattern, dir.file("rgb.png"), "PNG");
    add("rgb.png", ImageType::Png, pattern);
    WriteImage(Indexed(pattern), dir.file("palette.png"), "PNG");
    add("palette.png", ImageType::Png, pattern);
    WriteImage(Greys(pattern).convertToFormat(QImage::Format_Grayscale8), dir.file("grey.png"),
               "PNG");
    add("grey.png", ImageType::Png, Greys(pattern));
    WriteImage(pattern.convertToFormat(QImage::Format_RGBX64), dir.file("deep.png"), "PNG");
    add("deep.png", ImageType::Png, pattern);
    {
        // Transparent pixels come out over white.
        QImage alpha = pattern.convertToFormat(QImage::Format_ARGB32);
        alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
        alpha.setPixel(1, 0, qRgba(255, 0, 0, 128));
        QImage expected = pattern;
        expected.setPixel(0, 0, qRgb(255, 255, 255));
        expected.setPixel(1, 0, qRgb(255, 127, 127));
        WriteImage(alpha, dir.file("alpha.png"), "PNG");
        samples.push_back({"alpha.png", ImageType::Png, dir.file("alpha.png"), expected, 1});
    }

    addBytes("pattern.gif", ImageType::Gif, GifBytes(pattern), pattern);
    {
        QImage expected = pattern;
        expected.setPixel(0, 0, qRgb(255, 255, 255));
        addBytes("transparent.gif", ImageType::Gif, GifBytes(pattern, 0), expected);
    }

    WriteTiff(pattern, dir.file("plain.tif"), 0);
    add("plain.tif", ImageType::Tiff, pattern);
    WriteTiff(pattern, dir.file("lzw.tiff"), 1);
    add("lzw.tiff", ImageType::Tiff, pattern);
    samples.push_back(
        {"tiff-jpeg.tif", ImageType::Tiff, CommittedSample("tiff-jpeg.tif"), RedBlueImage(), 12});

    {
        QImage checks(11, 3, QImage::Format_RGB888);
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 11; ++x) {
                checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
            }
        }
        addBytes("checks.wbmp", ImageType::Wbmp, WbmpBytes(checks), checks);
    }

    addBytes("bottom.tga", ImageType::Targa, TargaBytes(pattern, TargaKind::BottomLeft), pattern);
    addBytes("top.tga", ImageType::Targa, TargaBytes(pattern, TargaKind::TopLeft), pattern);
    addBytes("grey.tga", ImageType::Targa, TargaBytes(pattern, TargaKind::Grey), Greys(pattern));
    addBytes("mapped.tga", ImageType::Targa, TargaBytes(pattern, TargaKind::ColorMapped), pattern);
    addBytes("runs.tga", ImageType::Targa, TargaBytes(pattern, TargaKind::RunLength), pattern);

    addBytes("rgb.pcx", ImageType::Pcx, PcxBytes(pattern, false), pattern);
    addBytes("grey.pcx", ImageType::Pcx, PcxBytes(pattern, true), Greys(pattern));

    addBytes("plain.psd", ImageType::Photoshop, PhotoshopBytes(pattern), pattern);
    samples.push_back(
        {"layered.psd", ImageType::Photoshop, CommittedSample("layered.psd"), RedBlueImage(), 0});

    WriteImage(RedBlueImage(), dir.file("rgb.jpg"), "JPG", 95);
    samples.push_back({"rgb.jpg", ImageType::Jpeg, dir.file("rgb.jpg"), RedBlueImage(), 12});
    {
        const QImage grey = Greys(RedBlueImage());
        WriteImage(grey.convertToFormat(QImage::Format_Grayscale8), dir.file("grey.jpg"), "JPG",
                   95);
        samples.push_back({"grey.jpg", ImageType::Jpeg, dir.file("grey.jpg"), grey, 12});
    }
    samples.push_back(
        {"cmyk.jpg", ImageType::Jpeg, CommittedSample("cmyk.jpg"), RedBlueImage(), 16});
    return samples;
}

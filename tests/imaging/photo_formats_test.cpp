// HEIC, AVIF, WebP, JPEG XL and camera raw files: decoding, reduced decoding,
// recognition and orientation.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImageWriter>

#include "format_writers.h"
#include "imaging.h"
#include "photo_writers.h"
#include "sample_images.h"
#include "test_images.h"

namespace {

const std::uint8_t* Data(const std::string& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

// Mean of each channel, to tell pictures of different colours apart.
std::array<int, 3> MeanColor(const RgbBuffer& image) {
    std::array<long long, 3> sum{};
    for (std::size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
        for (int c = 0; c < 3; ++c) {
            sum[c] += image.pixels[i + c];
        }
    }
    const long long n = std::max<long long>(1, static_cast<long long>(image.pixels.size() / 3));
    return {static_cast<int>(sum[0] / n), static_cast<int>(sum[1] / n),
            static_cast<int>(sum[2] / n)};
}

struct PhotoSample {
    const char* name;
    ImageType type;
    std::string bytes;
    int tolerance;  // per channel, away from edges
};

// Blocks of flat colour: lossy coders keep those, and the sizes are odd
// (HEIF pads to even sizes and must crop back).
QImage Blocks(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y,
                           x < width / 2
                               ? (y < height / 2 ? qRgb(200, 40, 40) : qRgb(40, 180, 60))
                               : (y < height / 2 ? qRgb(30, 60, 200) : qRgb(230, 230, 50)));
        }
    }
    return image;
}

}  // namespace

TEST(PhotoFormats, EachFormatDecodesToItsPixelsAndDeclaresItsSize) {
    const QImage picture = Blocks(67, 45);
    const std::vector<PhotoSample> samples = {
        {"heic", ImageType::Heif, HeifBytes(picture, false), 12},
        {"avif", ImageType::Avif, HeifBytes(picture, true), 12},
        {"webp", ImageType::WebP, WebpBytes(PatternImage(67, 45)), 0},
        {"jxl", ImageType::JpegXl, JxlBytes(PatternImage(67, 45), true), 0},
    };
    for (const PhotoSample& sample : samples) {
        SCOPED_TRACE(sample.name);
        EXPECT_EQ(SniffImageData(Data(sample.bytes), sample.bytes.size()), sample.type);
        EXPECT_EQ(ImageTypeForExtension(std::string("/p/a.") + sample.name), sample.type);
        std::uint32_t width = 0;
        std::uint32_t height = 0;
        ASSERT_TRUE(
            ReadImageSize(Data(sample.bytes), sample.bytes.size(), sample.type, width, height))
            << ImagingLastError();
        EXPECT_EQ(width, 67u);
        EXPECT_EQ(height, 45u);
        RgbBuffer image;
        ASSERT_TRUE(DecodeImageMemory(Data(sample.bytes), sample.bytes.size(), sample.type, image))
            << ImagingLastError();
        const QImage& expected = sample.tolerance == 0 ? PatternImage(67, 45) : picture;
        const int difference = MaxDifference(image, expected, sample.tolerance > 0);
        EXPECT_GE(difference, 0);
        EXPECT_LE(difference, sample.tolerance);
    }
}

TEST(PhotoFormats, EachDecoderRefusesBytesOfAnotherTypeAndDamagedFiles) {
    const QImage picture = Blocks(40, 30);
    const std::vector<PhotoSample> samples = {
        {"heic", ImageType::Heif, HeifBytes(picture, false), 0},
        {"avif", ImageType::Avif, HeifBytes(picture, true), 0},
        {"webp", ImageType::WebP, WebpBytes(picture), 0},
        {"jxl", ImageType::JpegXl, JxlBytes(picture, false), 0},
        {"dng", ImageType::Raw, DngBytes(picture, picture), 0},
    };
    const std::string jpeg = JpegBytes(picture);
    for (const PhotoSample& sample : samples) {
        SCOPED_TRACE(sample.name);
        RgbBuffer untouched;
        untouched.width = 3;
        EXPECT_FALSE(DecodeImageMemory(Data(jpeg), jpeg.size(), sample.type, untouched));
        EXPECT_EQ(ImagingLastError(), kImagingWrongFormat);
        // Cut inside the coded data: the header still reads, the pixels do not.
        const std::string cut = sample.bytes.substr(0, sample.bytes.size() * 2 / 3);
        EXPECT_FALSE(DecodeImageMemory(Data(cut), cut.size(), sample.type, untouched));
        EXPECT_NE(ImagingLastError(), kImagingOk);
        EXPECT_EQ(untouched.width, 3u);
        EXPECT_TRUE(untouched.pixels.empty());
    }
    // Neither is the other: AVIF bytes are not read as HEIC.
    const std::string avif = samples[1].bytes;
    RgbBuffer image;
    EXPECT_FALSE(DecodeImageMemory(Data(avif), avif.size(), ImageType::Heif, image));
}

TEST(PhotoFormats, SizeOverTheLimitIsRefusedFromTheHeader) {
    // A lossless WebP header declaring 16384 x 16384 and no pixel data.
    std::string webp = "RIFF";
    webp += std::string("\x1a\0\0\0", 4) + "WEBPVP8L" + std::string("\x0e\0\0\0", 4);
    const std::uint32_t bits = 0x3FFFu | (0x3FFFu << 14);  // width - 1, height - 1
    webp += '\x2f';
    for (int i = 0; i < 4; ++i) {
        webp += static_cast<char>((bits >> (8 * i)) & 0xFF);
    }
    webp += std::string(9, '\0');
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    EXPECT_FALSE(ReadImageSize(Data(webp), webp.size(), ImageType::WebP, width, height));
    EXPECT_EQ(ImagingLastError(), kImagingTooLarge);
    RgbBuffer image;
    EXPECT_FALSE(DecodeImageMemory(Data(webp), webp.size(), ImageType::WebP, image));
    EXPECT_EQ(ImagingLastError(), kImagingTooLarge);
}

TEST(PhotoFormats, HeifThumbnailStandsInOnlyWhenLargeEnoughAndAsked) {
    const QImage photo = SolidImage(1200, 700, QColor(220, 30, 30));
    const QImage other = SolidImage(1200, 700, QColor(30, 30, 220));
    // The thumbnail shows another colour, so the decoded colour tells which was read.
    const std::string withLarge = HeifBytes(photo, false, 480, other);
    const std::string withSmall = HeifBytes(photo, false, 320, other);
    DecodeOptions reduced;
    reduced.minWidth = kMinThumbnailSide;
    reduced.minHeight = kMinThumbnailSide;

    RgbBuffer image;
    ASSERT_TRUE(
        DecodeImageMemory(Data(withLarge), withLarge.size(), ImageType::Heif, image, reduced));
    EXPECT_EQ(image.width, 480u);
    EXPECT_EQ(image.height, 280u);
    EXPECT_GT(MeanColor(image)[2], 180);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(ReadImageSize(Data(withLarge), withLarge.size(), ImageType::Heif, width, height));
    EXPECT_EQ(width, 1200u);  // the image's own size, not the thumbnail's

    ASSERT_TRUE(DecodeImageMemory(Data(withLarge), withLarge.size(), ImageType::Heif, image));
    EXPECT_EQ(image.width, 1200u);
    EXPECT_GT(MeanColor(image)[0], 180);

    // 320 x 187: too small a short side to stand in.
    ASSERT_TRUE(
        DecodeImageMemory(Data(withSmall), withSmall.size(), ImageType::Heif, image, reduced));
    EXPECT_EQ(image.width, 1200u);
    EXPECT_GT(MeanColor(image)[0], 180);
}

TEST(PhotoFormats, RawPreviewStandsInWhenAskedAndTheSensorOtherwise) {
    const QImage sensor = SolidImage(600, 400, QColor(40, 200, 40));
    const QImage preview = SolidImage(600, 400, QColor(200, 40, 200));
    const std::string dng = DngBytes(sensor, preview);
    EXPECT_EQ(SniffImageData(Data(dng), dng.size()), ImageType::Raw);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(ReadImageSize(Data(dng), dng.size(), ImageType::Raw, width, height))
        << ImagingLastError();
    EXPECT_EQ(width, 600u);
    EXPECT_EQ(height, 400u);

    DecodeOptions reduced;
    reduced.minWidth = 256;
    reduced.minHeight = 150;
    RgbBuffer image;
    ASSERT_TRUE(DecodeImageMemory(Data(dng), dng.size(), ImageType::Raw, image, reduced))
        << ImagingLastError();
    // DCT scaling of the preview: half size keeps both sides above the minimum.
    EXPECT_EQ(image.width, 300u);
    EXPECT_EQ(image.height, 200u);
    EXPECT_GT(MeanColor(image)[0], 150);
    EXPECT_LT(MeanColor(image)[1], 100);

    ASSERT_TRUE(DecodeImageMemory(Data(dng), dng.size(), ImageType::Raw, image))
        << ImagingLastError();
    EXPECT_EQ(image.width, 600u);
    EXPECT_EQ(image.height, 400u);
    const auto sensorMean = MeanColor(image);
    EXPECT_GT(sensorMean[1], sensorMean[0]);
    EXPECT_GT(sensorMean[1], sensorMean[2]);

    // A preview of another shape (cropped, letterboxed) never stands in.
    const std::string square = DngBytes(sensor, SolidImage(400, 400, QColor(200, 40, 200)));
    ASSERT_TRUE(DecodeImageMemory(Data(square), square.size(), ImageType::Raw, image, reduced));
    EXPECT_GT(MeanColor(image)[1], MeanColor(image)[0]);
}

TEST(PhotoFormats, JpegXlStopsAfterItsLowFrequencyPassWhenThatIsEnough) {
    const QImage photo = GradientImage(1024, 768, QColor(250, 20, 20), QColor(20, 20, 250));
    const std::string jxl = JxlBytes(photo, false);
    RgbBuffer full;
    ASSERT_TRUE(DecodeImageMemory(Data(jxl), jxl.size(), ImageType::JpegXl, full));
    DecodeOptions reduced;
    reduced.minWidth = 64;
    reduced.minHeight = 64;
    RgbBuffer coarse;
    ASSERT_TRUE(DecodeImageMemory(Data(jxl), jxl.size(), ImageType::JpegXl, coarse, reduced));
    ASSERT_EQ(coarse.width, full.width);
    ASSERT_EQ(coarse.height, full.height);
    // The same picture, but not the same pixels: the fine detail was not decoded.
    EXPECT_NE(coarse.pixels, full.pixels);
    const auto coarseMean = MeanColor(coarse);
    const auto fullMean = MeanColor(full);
    for (int c = 0; c < 3; ++c) {
        EXPECT_NEAR(coarseMean[c], fullMean[c], 3);
    }
}

TEST(PhotoFormats, JpegTiffAndRawReportTheirOrientationAndTurnToIt) {
    const QImage stored = PatternImage(7, 4);
    const std::string jpeg = JpegBytes(stored, 100);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        const std::string tagged = WithExifOrientation(jpeg, orientation);
        EXPECT_EQ(ReadImageOrientation(Data(tagged), tagged.size(), ImageType::Jpeg),
                  static_cast<Orientation>(orientation));
        RgbBuffer exact;
        exact.width = 7;
        exact.height = 4;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 7; ++x) {
                const QRgb c = stored.pixel(x, y);
                exact.pixels.insert(exact.pixels.end(), {static_cast<std::uint8_t>(qRed(c)),
                                                         static_cast<std::uint8_t>(qGreen(c)),
                                                         static_cast<std::uint8_t>(qBlue(c))});
            }
        }
        const RgbBuffer shown = OrientForDisplay(exact, static_cast<Orientation>(orientation));
        EXPECT_EQ(MaxDifference(shown, ShownAs(stored, orientation)), 0);
        EXPECT_EQ(SwapsSides(static_cast<Orientation>(orientation)), orientation >= 5);
    }

    QByteArray tiff;
    QBuffer buffer(&tiff);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "tiff");
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    ASSERT_TRUE(writer.write(stored));
    EXPECT_EQ(ReadImageOrientation(reinterpret_cast<const std::uint8_t*>(tiff.constData()),
                                   static_cast<std::size_t>(tiff.size()), ImageType::Tiff),
              Orientation::Rotate90);

    // Raw readers refuse sensors narrower than 22 pixels.
    const std::string dng = DngBytes(Blocks(64, 48), Blocks(64, 48), 8);
    EXPECT_EQ(ReadImageOrientation(Data(dng), dng.size(), ImageType::Raw), Orientation::Rotate270);

    // Damaged or absent tags read as upright.
    const std::string tagged = WithExifOrientation(jpeg, 6);
    EXPECT_EQ(ReadImageOrientation(Data(tagged), 30, ImageType::Jpeg), Orientation::Normal);
    const std::string outOfRange = WithExifOrientation(jpeg, 9);
    EXPECT_EQ(ReadImageOrientation(Data(outOfRange), outOfRange.size(), ImageType::Jpeg),
              Orientation::Normal);
    EXPECT_EQ(ReadImageOrientation(Data(jpeg), jpeg.size(), ImageType::Jpeg), Orientation::Normal);
}

TEST(PhotoFormats, HeifAndJpegXlAreDecodedUpright) {
    const QImage stored = Blocks(60, 40);
    const std::string jxl = JxlBytes(PatternImage(6, 4), true, 6);
    RgbBuffer image;
    ASSERT_TRUE(DecodeImageMemory(Data(jxl), jxl.size(), ImageType::JpegXl, image));
    EXPECT_EQ(MaxDifference(image, ShownAs(PatternImage(6, 4), 6)), 0);
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(ReadImageSize(Data(jxl), jxl.size(), ImageType::JpegXl, width, height));
    EXPECT_EQ(width, 4u);
    EXPECT_EQ(height, 6u);
    EXPECT_EQ(ReadImageOrientation(Data(jxl), jxl.size(), ImageType::JpegXl), Orientation::Normal);
}

TEST(PhotoFormats, RawFilesAreKnownByTheirMakersSignatures) {
    const std::string tiffRaw = DngBytes(Blocks(8, 8), Blocks(8, 8));
    EXPECT_EQ(SniffImageData(Data(tiffRaw), tiffRaw.size()), ImageType::Raw);
    std::string cr2 = std::string("II*\0\x10\0\0\0CR\x02\0", 12) + std::string(64, '\0');
    EXPECT_EQ(SniffImageData(Data(cr2), cr2.size()), ImageType::Raw);
    for (const std::string& start :
         {std::string("IIRO"), std::string("MMOR"), std::string("IIU\0", 4),
          std::string("FUJIFILMCCD-RAW 0201")}) {
        const std::string file = start + std::string(64, '\0');
        EXPECT_EQ(SniffImageData(Data(file), file.size()), ImageType::Raw) << start;
    }
    const std::string cr3 = std::string(
        "\0\0\0\x18"
        "ftypcrx \0\0\0\x01"
        "crx isom",
        24);
    EXPECT_EQ(SniffImageData(Data(cr3), cr3.size()), ImageType::Raw);
    // Text of a raw file's length is no raw file.
    const std::string text(5'000'000, 'x');
    RgbBuffer image;
    EXPECT_FALSE(DecodeImageMemory(Data(text), text.size(), ImageType::Raw, image));
    EXPECT_EQ(ImagingLastError(), kImagingWrongFormat);
}

#include <gtest/gtest.h>

#include <thread>

#include "image_loading.h"
#include "signature.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

// A horizontal colour ramp with a dark diagonal: different kernels give
// visibly different thumbnails of it.
RgbBuffer Ramp(std::uint32_t width, std::uint32_t height) {
    RgbBuffer image;
    image.width = width;
    image.height = height;
    image.pixels.resize(std::size_t{width} * height * 3);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint8_t* p = image.pixels.data() + (std::size_t{y} * width + x) * 3;
            const bool line = (x * height / width) / 3 == y / 3;
            p[0] = line ? 0 : static_cast<std::uint8_t>(x * 255 / width);
            p[1] = line ? 0 : static_cast<std::uint8_t>(y * 255 / height);
            p[2] = line ? 0 : static_cast<std::uint8_t>(((x / 7) % 2) * 200);
        }
    }
    return image;
}

RgbBuffer Grey(std::uint32_t width, std::uint32_t height, std::uint8_t value) {
    RgbBuffer image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t{width} * height * 3, value);
    return image;
}

// A gradient written straight into the JPEG and PNG writers' own formats:
// QImage conversions would run on Qt's thread pool, which the thread
// sanitizer cannot follow.
QImage Gradient(int width, int height, QColor from, QColor to, bool grey = false) {
    QImage image(width, height, grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double t = double(x + y) / (width + height);
            const auto mix = [t](int a, int b) { return static_cast<int>(a + (b - a) * t); };
            const QRgb c = qRgb(mix(from.red(), to.red()), mix(from.green(), to.green()),
                                mix(from.blue(), to.blue()));
            if (grey) {
                line[x] = static_cast<uchar>(qGray(c));
            } else {
                reinterpret_cast<QRgb*>(line)[x] = (x / 16 + y / 16) % 5 == 0 ? qRgb(0, 0, 0) : c;
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> Thumb(const RgbBuffer& image, ResizeMode mode) {
    RgbBuffer thumb;
    EXPECT_TRUE(ResizeImage(image, thumb, 10, 10, mode));
    return thumb.pixels;
}

std::vector<std::uint8_t> Thumb(const ImageRecord& record) {
    return std::vector<std::uint8_t>(record.thumb, record.thumb + kThumbBytes);
}

// Field by field: the record has a padding byte that memcmp would compare.
bool SameRecord(const ImageRecord& a, const ImageRecord& b) {
    return a.nWidth == b.nWidth && a.nHeight == b.nHeight && a.nReserved == b.nReserved &&
           a.bColor == b.bColor && a.nSumRed == b.nSumRed && a.nSumGreen == b.nSumGreen &&
           a.nSumBlue == b.nSumBlue && Thumb(a) == Thumb(b);
}

TEST(Signature, ColourFlagLooksForAnyUnequalChannel) {
    RgbBuffer image = Grey(30, 20, 77);
    EXPECT_EQ(IsColorImage(image), 0);
    EXPECT_EQ(IsColorImage(RgbBuffer{}), 0);
    for (const int channel : {0, 1, 2}) {
        RgbBuffer tinted = image;
        tinted.pixels[tinted.pixels.size() - 3 + static_cast<std::size_t>(channel)] = 78;
        EXPECT_EQ(IsColorImage(tinted), 1) << channel;
    }
}

TEST(Signature, ElongationAndPreReductionThresholds) {
    EXPECT_FALSE(IsElongated(800, 200)) << "exactly 4.0 is not elongated";
    EXPECT_TRUE(IsElongated(801, 200));
    EXPECT_TRUE(IsElongated(200, 801));
    struct Case {
        std::uint32_t width, height;
        bool reduced;
    };
    for (const Case c : {Case{3000, 2000, true}, Case{1000, 610, true}, Case{610, 1000, true},
                         Case{1000, 700, false}, Case{2000, 2000, true}, Case{1999, 2500, false},
                         Case{1000, 600, false}}) {
        EXPECT_EQ(NeedsPreReduction(c.width, c.height), c.reduced) << c.width << " x " << c.height;
    }
}

TEST(Signature, LargeImagesAreRecordedAsTheirPreReduction) {
    for (const auto& [w, h] : {std::pair{3000u, 2000u}, std::pair{1000u, 610u}}) {
        RgbBuffer image = Ramp(w, h);
        RgbBuffer reduced;
        ASSERT_TRUE(ResizeImage(image, reduced, 400, 400, ResizeMode::PreReduce));
        ImageRecord record;
        MakeSignature(image, ResizeMode::Lanczos3, ResizeMode::Gaussian, record);
        EXPECT_EQ(record.nWidth, 400);
        EXPECT_EQ(record.nHeight, 400);
        EXPECT_EQ(Thumb(record), Thumb(reduced, ResizeMode::Gaussian));
        EXPECT_EQ(image.width, 400u) << "the buffer is replaced by its reduction";
    }
}

TEST(Signature, OtherImagesKeepTheirSizeAndUseTheRunsModes) {
    struct Case {
        std::uint32_t width, height;
        bool elongated;
    };
    for (const Case c : {Case{1000, 700, false}, Case{800, 200, false}, Case{1000, 200, true},
                         Case{90, 400, true}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const RgbBuffer original = Ramp(c.width, c.height);
        const auto elongationThumb = Thumb(original, ResizeMode::Box);
        const auto filterThumb = Thumb(original, ResizeMode::Hermite);
        ASSERT_NE(elongationThumb, filterThumb) << "the picture must tell the modes apart";
        RgbBuffer image = original;
        ImageRecord record;
        MakeSignature(image, ResizeMode::Box, ResizeMode::Hermite, record);
        EXPECT_EQ(record.nWidth, c.width);
        EXPECT_EQ(record.nHeight, c.height);
        EXPECT_EQ(Thumb(record), c.elongated ? elongationThumb : filterThumb);
        EXPECT_EQ(record.bColor, 1);
    }
}

TEST(Signature, SumsFlagAndReservedWord) {
    RgbBuffer white = Grey(64, 48, 255);
    ImageRecord record;
    record.nReserved = 0xBEEF;
    MakeSignature(white, ResizeMode::Lanczos3, ResizeMode::Gaussian, record);
    EXPECT_EQ(record.nSumRed, 25500);
    EXPECT_EQ(record.nSumGreen, 25500);
    EXPECT_EQ(record.nSumBlue, 25500);
    EXPECT_EQ(record.bColor, 0);
    EXPECT_EQ(record.nReserved, 0);

    RgbBuffer ramp = Ramp(120, 90);
    MakeSignature(ramp, ResizeMode::Lanczos3, ResizeMode::Gaussian, record);
    unsigned sums[3] = {0, 0, 0};
    for (int i = 0; i < kThumbBytes; ++i) {
        sums[i % 3] += record.thumb[i];
    }
    EXPECT_EQ(record.nSumRed, sums[0]);
    EXPECT_EQ(record.nSumGreen, sums[1]);
    EXPECT_EQ(record.nSumBlue, sums[2]);

    RgbBuffer dotted = Grey(50, 50, 128);
    dotted.pixels[3 * (50 * 49 + 49) + 2] = 129;
    MakeSignature(dotted, ResizeMode::Lanczos3, ResizeMode::Gaussian, record);
    EXPECT_EQ(record.bColor, 1);
}

TEST(Signature, FailingFilterFallsBackAndEmptyImagesGiveNoRecord) {
    RgbBuffer image = Ramp(300, 200);
    const auto fallback = Thumb(image, ResizeMode::Fallback);
    ImageRecord record;
    MakeSignature(image, ResizeMode::Box, static_cast<ResizeMode>(14), record);
    EXPECT_EQ(record.nWidth, 300);
    EXPECT_EQ(Thumb(record), fallback);

    RgbBuffer empty;
    record.nWidth = 5;
    MakeSignature(empty, ResizeMode::Box, ResizeMode::Gaussian, record);
    EXPECT_EQ(record.nWidth, 0);
    MakeSingleImageSignature(empty, ResizeMode::Gaussian, record);
    EXPECT_EQ(record.nWidth, 0);
}

TEST(Signature, SidesBeyondSixteenBitsSaturateInsteadOfMarkingDeleted) {
    RgbBuffer wide = Grey(65536, 2, 10);
    ImageRecord record;
    MakeSignature(wide, ResizeMode::Box, ResizeMode::Gaussian, record);
    EXPECT_EQ(record.nWidth, 65535);
    EXPECT_EQ(record.nHeight, 2);
}

TEST(Signature, SingleImageReducesOnceFromTheLoadedImage) {
    struct Case {
        std::uint32_t width, height;
        ResizeMode mode;
    };
    for (const Case c :
         {Case{3000, 2000, ResizeMode::PreReduce}, Case{1000, 200, ResizeMode::Fallback},
          Case{1000, 700, ResizeMode::Catrom}}) {
        const RgbBuffer image = Ramp(c.width, c.height);
        ImageRecord record;
        MakeSingleImageSignature(image, ResizeMode::Catrom, record);
        EXPECT_EQ(record.nWidth, c.width);
        EXPECT_EQ(record.nHeight, c.height);
        EXPECT_EQ(Thumb(record), Thumb(image, c.mode)) << c.width << " x " << c.height;
    }
}

class SignatureFromFileTest : public ::testing::Test {
  protected:
    // The record of the plain road: load everything, then reduce.
    ImageRecord Reference(const std::string& path) {
        RgbBuffer image;
        EXPECT_TRUE(LoadImageFile(path, image));
        ImageRecord record;
        MakeSignature(image, ResizeMode::Lanczos3, ResizeMode::Gaussian, record);
        return record;
    }

    TempDir m_dir;
};

TEST_F(SignatureFromFileTest, MatchesLoadingThenReducing) {
    const std::string big = m_dir.file("big.jpg");
    ASSERT_TRUE(WriteImage(Gradient(2600, 2000, Qt::yellow, Qt::darkBlue), big, "JPG", 90));
    const std::string medium = m_dir.file("medium.jpg");
    ASSERT_TRUE(WriteImage(Gradient(1000, 700, Qt::red, Qt::cyan), medium, "JPG", 90));
    const std::string png = m_dir.file("picture.png");
    ASSERT_TRUE(WriteImage(Gradient(900, 300, Qt::green, Qt::magenta), png, "PNG"));

    ImageRecord fast;
    ASSERT_TRUE(SignatureFromFile(big, ResizeMode::Lanczos3, ResizeMode::Gaussian, fast));
    const ImageRecord full = Reference(big);
    EXPECT_EQ(fast.nWidth, 400);
    EXPECT_EQ(fast.nHeight, 400);
    // Decoding at a quarter of the size changes the thumbnail only slightly.
    for (int i = 0; i < kThumbBytes; ++i) {
        EXPECT_NEAR(fast.thumb[i], full.thumb[i], 4) << i;
    }
    for (const std::string& path : {medium, png}) {
        ASSERT_TRUE(SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, fast));
        const ImageRecord reference = Reference(path);
        EXPECT_TRUE(SameRecord(fast, reference)) << path;
    }
}

TEST_F(SignatureFromFileTest, GreyJpegHasNoColour) {
    const std::string path = m_dir.file("grey.jpg");
    ASSERT_TRUE(WriteImage(Gradient(300, 200, Qt::white, Qt::black, true), path, "JPG"));
    ImageRecord record;
    ASSERT_TRUE(SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record));
    EXPECT_EQ(record.bColor, 0);
    EXPECT_EQ(record.nWidth, 300);
}

TEST_F(SignatureFromFileTest, FailedLoadsGiveAnEmptyRecordAndACode) {
    const std::string misnamed = m_dir.write("photo.jpg", "not a picture at all");
    for (const auto& [path, code] : {std::pair{misnamed, int{kImagingWrongFormat}},
                                     std::pair{m_dir.file("gone.jpg"), int{kImagingCannotOpen}}}) {
        ImageRecord record;
        record.nWidth = 99;
        EXPECT_FALSE(SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record));
        EXPECT_EQ(record.nWidth, 0);
        EXPECT_EQ(LastImageError(), code);
    }
}

TEST_F(SignatureFromFileTest, SeveralThreadsGiveTheSequentialRecords) {
    std::vector<std::string> paths;
    for (int i = 0; i < 6; ++i) {
        const std::string path = m_dir.file("p" + std::to_string(i) + (i % 2 ? ".jpg" : ".png"));
        ASSERT_TRUE(
            WriteImage(Gradient(300 + 150 * i, 400, QColor::fromHsv(50 * i, 200, 200), Qt::black),
                       path, i % 2 ? "JPG" : "PNG"));
        paths.push_back(path);
    }
    std::vector<ImageRecord> sequential(paths.size());
    for (std::size_t i = 0; i < paths.size(); ++i) {
        ASSERT_TRUE(
            SignatureFromFile(paths[i], ResizeMode::Box, ResizeMode::Mitchell, sequential[i]));
    }
    std::vector<ImageRecord> parallel(paths.size() * 4);
    {
        std::vector<std::jthread> threads;
        for (std::size_t t = 0; t < 4; ++t) {
            threads.emplace_back([&, t] {
                for (std::size_t i = 0; i < paths.size(); ++i) {
                    SignatureFromFile(paths[i], ResizeMode::Box, ResizeMode::Mitchell,
                                      parallel[t * paths.size() + i]);
                }
            });
        }
    }
    for (std::size_t k = 0; k < parallel.size(); ++k) {
        EXPECT_TRUE(SameRecord(parallel[k], sequential[k % paths.size()])) << k;
    }
}

}  // namespace

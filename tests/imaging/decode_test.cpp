#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "format_writers.h"
#include "imaging.h"
#include "sample_images.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

std::uint8_t At(const RgbBuffer& image, std::uint32_t x, std::uint32_t y, int channel) {
    return image.pixels[y * image.stride() + x * 3 + static_cast<std::uint32_t>(channel)];
}

class DecodeTest : public ::testing::Test {
  protected:
    TempDir m_dir;
};

TEST_F(DecodeTest, EveryTypeGivesPackedRgbWithTheKnownPixels) {
    for (const Sample& sample : WriteRasterSamples(m_dir)) {
        SCOPED_TRACE(sample.name);
        RgbBuffer image;
        ASSERT_TRUE(DecodeImageFile(sample.path, sample.type, image))
            << "error " << ImagingLastError();
        EXPECT_EQ(ImagingLastError(), kImagingOk);
        const int difference = MaxDifference(image, sample.expected, sample.tolerance > 0);
        EXPECT_GE(difference, 0) << "size " << image.width << " x " << image.height;
        EXPECT_LE(difference, sample.tolerance);

        // The list editor's loader finds the same type from the content
        // (or, for Targa without a footer and WBMP, from the extension).
        EXPECT_EQ(SniffImageType(sample.path), sample.type);
        RgbBuffer sniffed;
        EXPECT_EQ(DecodeImageBySniffing(sample.path, sniffed, 100), 0);
        EXPECT_EQ(sniffed.pixels, image.pixels);
    }
}

TEST_F(DecodeTest, MetafilesAreRenderedToFitTheBox) {
    const std::string wmf = m_dir.write("half.wmf", WmfBytes(200, 100, qRgb(255, 0, 0), false));
    const std::string emf = m_dir.write("half.emf", EmfBytes(200, 100, qRgb(255, 0, 0)));
    for (const auto& [path, type] :
         {std::pair{wmf, ImageType::Wmf}, std::pair{emf, ImageType::Emf}}) {
        for (const std::uint32_t side : {400u, 100u}) {
            SCOPED_TRACE(path + " at " + std::to_string(side));
            DecodeOptions options;
            options.metafileWidth = side;
            options.metafileHeight = side;
            RgbBuffer image;
            ASSERT_TRUE(DecodeImageFile(path, type, image, options)) << ImagingLastError();
            EXPECT_NEAR(image.width, side, 1);
            EXPECT_NEAR(image.height, side / 2, 1);
            // Left quarter red, right quarter the white page.
            const std::uint32_t y = image.height / 2;
            EXPECT_EQ(At(image, image.width / 8, y, 0), 255);
            EXPECT_EQ(At(image, image.width / 8, y, 1), 0);
            EXPECT_EQ(At(image, image.width * 7 / 8, y, 1), 255);
            EXPECT_EQ(At(image, image.width * 7 / 8, y, 2), 255);
        }
        EXPECT_EQ(SniffImageType(path), type);
    }
}

TEST_F(DecodeTest, MetafileTextNeedsAndFindsFonts) {
    const std::string path = m_dir.write("text.wmf", WmfBytes(200, 100, qRgb(0, 0, 255), true));
    RgbBuffer image;
    ASSERT_TRUE(DecodeImageFile(path, ImageType::Wmf, image)) << ImagingLastError();
    // The text sits in the otherwise white right half.
    int dark = 0;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::uint32_t x = image.width / 2 + 2; x < image.width; ++x) {
            dark += At(image, x, y, 0) < 128;
        }
    }
    EXPECT_GT(dark, 0);
}

TEST_F(DecodeTest, JpegIsDecodedAtTheSmallestScaleKeepingTheMinimum) {
    const std::string path = m_dir.file("big.jpg");
    ASSERT_TRUE(WriteImage(Gradient32(800, 600), path, "JPG"));
    struct Case {
        std::uint32_t minWidth, minHeight, width, height;
    };
    for (const Case c :
         {Case{0, 0, 800, 600}, Case{200, 150, 200, 150}, Case{201, 150, 400, 300},
          Case{100, 151, 400, 300}, Case{400, 300, 400, 300}, Case{900, 10, 800, 600}}) {
        DecodeOptions options;
        options.minWidth = c.minWidth;
        options.minHeight = c.minHeight;
        RgbBuffer image;
        ASSERT_TRUE(DecodeImageFile(path, ImageType::Jpeg, image, options));
        EXPECT_EQ(image.width, c.width) << c.minWidth << " x " << c.minHeight;
        EXPECT_EQ(image.height, c.height) << c.minWidth << " x " << c.minHeight;
    }
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadImageFileBytes(path, bytes));
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    ASSERT_TRUE(ReadImageSize(bytes.data(), bytes.size(), ImageType::Jpeg, width, height));
    EXPECT_EQ(width, 800u);
    EXPECT_EQ(height, 600u);
}

TEST_F(DecodeTest, ContentOfAnotherTypeFailsAndLeavesTheOutputAlone) {
    const std::string png = m_dir.file("real.png");
    ASSERT_TRUE(WriteImage(PatternImage(7, 5), png, "PNG"));
    const std::string jpg = m_dir.file("real.jpg");
    ASSERT_TRUE(WriteImage(PatternImage(7, 5), jpg, "JPG"));
    for (const ImageType type :
         {ImageType::Jpeg, ImageType::Bmp, ImageType::Gif, ImageType::Tiff, ImageType::Wbmp,
          ImageType::Targa, ImageType::Pcx, ImageType::Photoshop, ImageType::Wmf, ImageType::Emf}) {
        RgbBuffer image;
        image.pixels.assign(3, 7);
        image.width = 1;
        image.height = 1;
        EXPECT_FALSE(DecodeImageFile(png, type, image)) << static_cast<int>(type);
        EXPECT_NE(ImagingLastError(), kImagingOk);
        EXPECT_EQ(image.pixels, std::vector<std::uint8_t>(3, 7));
        EXPECT_EQ(image.width, 1u);
    }
    RgbBuffer image;
    EXPECT_FALSE(DecodeImageFile(jpg, ImageType::Png, image));
    EXPECT_EQ(ImagingLastError(), kImagingWrongFormat);
    EXPECT_FALSE(DecodeImageFile(png, ImageType::Unknown, image));
    EXPECT_EQ(ImagingLastError(), kImagingUnsupportedType);
}

TEST_F(DecodeTest, SniffingPrefersContentThenExtension) {
    // PNG data under a JPEG name is still a PNG to the list editor.
    const std::string misnamed = m_dir.file("photo.jpg");
    ASSERT_TRUE(WriteImage(PatternImage(7, 5), misnamed, "PNG"));
    EXPECT_EQ(SniffImageType(misnamed), ImageType::Png);
    RgbBuffer image;
    EXPECT_EQ(DecodeImageBySniffing(misnamed, image, 100), 0);
    EXPECT_EQ(image.width, 7u);

    EXPECT_EQ(DecodeImageBySniffing("", image, 100), 2);
    const std::string text = m_dir.write("notes.txt", "just some words, not a picture");
    EXPECT_EQ(SniffImageType(text), ImageType::Unknown);
    EXPECT_EQ(DecodeImageBySniffing(text, image, 100), 5);
    // Unrecognised content under a known extension goes to that reader, which refuses it.
    const std::string fake = m_dir.write("fake.pcx", "just some words, not a picture");
    const int code = DecodeImageBySniffing(fake, image, 100);
    EXPECT_NE(code, 0);
    EXPECT_NE(code, 5);
    EXPECT_EQ(DecodeImageBySniffing(m_dir.path().string(), image, 100), kImagingCannotOpen);
    EXPECT_EQ(DecodeImageBySniffing(m_dir.file("missing.png"), image, 100), kImagingCannotOpen);
    EXPECT_EQ(image.width, 7u) << "failures leave the buffer alone";

    struct Name {
        const char* path;
        ImageType type;
    };
    for (const Name n :
         {Name{"a.JPEG", ImageType::Jpeg}, Name{"a.Jpg", ImageType::Jpeg},
          Name{"a.wbm", ImageType::Wbmp}, Name{"a.WBMP", ImageType::Wbmp},
          Name{"a.tiff", ImageType::Tiff}, Name{"a.tga", ImageType::Targa},
          Name{"a.jpe", ImageType::Unknown}, Name{"dir.png/file", ImageType::Unknown},
          Name{"noextension", ImageType::Unknown}}) {
        EXPECT_EQ(ImageTypeForExtension(n.path), n.type) << n.path;
    }
}

TEST_F(DecodeTest, SeveralThreadsDecodeAtOnceWithTheSameResults) {
    std::vector<Sample> samples = WriteRasterSamples(m_dir);
    samples.push_back({"m.wmf",
                       ImageType::Wmf,
                       m_dir.write("m.wmf", WmfBytes(120, 90, qRgb(0, 128, 0), true)),
                       {},
                       0});
    samples.push_back(
        {"m.emf", ImageType::Emf, m_dir.write("m.emf", EmfBytes(120, 90, qRgb(0, 128, 0))), {}, 0});
    std::vector<RgbBuffer> reference(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        ASSERT_TRUE(DecodeImageFile(samples[i].path, samples[i].type, reference[i]));
    }
    constexpr int kThreads = 4;
    std::vector<int> mismatches(kThreads, 0);
    {
        std::vector<std::jthread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&, t] {
                for (int round = 0; round < 2; ++round) {
                    for (std::size_t k = 0; k < samples.size(); ++k) {
                        const std::size_t i =
                            (k + static_cast<std::size_t>(t) * 5) % samples.size();
                        RgbBuffer image;
                        if (!DecodeImageFile(samples[i].path, samples[i].type, image) ||
                            image.pixels != reference[i].pixels) {
                            ++mismatches[static_cast<std::size_t>(t)];
                        }
                    }
                }
            });
        }
    }
    EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

}  // namespace

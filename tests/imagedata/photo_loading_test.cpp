// Which files are read as which type, reading by content when the name is
// wrong, and signatures from embedded thumbnails and previews.

#include <gtest/gtest.h>

#include "folder_walk.h"
#include "format_writers.h"
#include "image_loading.h"
#include "photo_writers.h"
#include "scripted_prompter.h"
#include "signature.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

std::array<int, 3> ThumbMean(const ImageRecord& record) {
    return {record.nSumRed / kThumbPixels, record.nSumGreen / kThumbPixels,
            record.nSumBlue / kThumbPixels};
}

bool Sign(const std::string& path, ImageRecord& record, ImageFormats formats = ImageFormats::All) {
    return SignatureFromFile(path, ResizeMode::Lanczos3, ResizeMode::Gaussian, record, formats);
}

class PhotoLoadingTest : public ::testing::Test {
  protected:
    TempDir m_dir;
};

}  // namespace

TEST(ImageTypeForPath, NewerFormatsByTheirWholeExtensionOnlyWhenAllAreRead) {
    struct Case {
        const char* path;
        ImageType type;
    };
    for (const Case c : {Case{"a.HEIC", ImageType::Heif}, Case{"a.heif", ImageType::Heif},
                         Case{"a.avif", ImageType::Avif}, Case{"a.webp", ImageType::WebP},
                         Case{"a.JXL", ImageType::JpegXl}, Case{"a.nef", ImageType::Raw},
                         Case{"a.Cr3", ImageType::Raw}, Case{"a.rw2", ImageType::Raw},
                         Case{"aheic", ImageType::Unknown}, Case{"a.xjxl", ImageType::Unknown}}) {
        EXPECT_EQ(ImageTypeForPath(c.path), c.type) << c.path;
        EXPECT_EQ(ImageTypeForPath(c.path, ImageFormats::Classic), ImageType::Unknown) << c.path;
    }
    EXPECT_EQ(ImageTypeForPath("a.jpeg", ImageFormats::Classic), ImageType::Jpeg);
}

TEST_F(PhotoLoadingTest, ContentDecidesWhenTheNameIsWrong) {
    const QImage picture = GradientImage(64, 40, QColor(200, 20, 20), QColor(20, 20, 200));
    const std::string jpegAsPng = m_dir.write("download.png", JpegBytes(picture));
    const std::string webpAsJpg = m_dir.write("sticker.jpg", WebpBytes(picture));
    const std::string pngAsJpg = m_dir.file("screenshot.jpg");
    ASSERT_TRUE(WriteImage(picture, pngAsJpg, "PNG"));
    for (const std::string& path : {jpegAsPng, webpAsJpg, pngAsJpg}) {
        SCOPED_TRACE(path);
        RgbBuffer image;
        ASSERT_TRUE(LoadImageFile(path, image)) << LastImageError();
        EXPECT_EQ(image.width, 64u);
        ImageRecord record;
        ASSERT_TRUE(Sign(path, record));
        EXPECT_EQ(record.nWidth, 64);
    }
    // With the classic formats only, a newer format is not read under any name.
    RgbBuffer image;
    EXPECT_FALSE(LoadImageFile(webpAsJpg, image, {}, ImageFormats::Classic));
    ImageRecord record;
    EXPECT_FALSE(Sign(webpAsJpg, record, ImageFormats::Classic));
    EXPECT_EQ(record.nWidth, 0);
    EXPECT_TRUE(LoadImageFile(jpegAsPng, image, {}, ImageFormats::Classic));
}

TEST_F(PhotoLoadingTest, ContentOfTheNamedTypeOrOfNoTypeStaysUnreadable) {
    const std::string jpeg = JpegBytes(GradientImage(64, 40, Qt::red, Qt::blue));
    const std::string cut = m_dir.write("cut.jpg", jpeg.substr(0, jpeg.size() / 3));
    const std::string text = m_dir.write("notes.png", std::string(500, 'x'));
    for (const std::string& path : {cut, text}) {
        SCOPED_TRACE(path);
        RgbBuffer image;
        image.width = 5;
        EXPECT_FALSE(LoadImageFile(path, image));
        EXPECT_NE(LastImageError(), kImagingOk);
        EXPECT_EQ(image.width, 5u);
        ImageRecord record;
        EXPECT_FALSE(Sign(path, record));
    }
}

TEST_F(PhotoLoadingTest, LargeHeifIsSignedFromItsThumbnailAndRecordedAsPreReduced) {
    const QImage photo = SolidImage(1200, 700, QColor(220, 30, 30));
    const QImage other = SolidImage(1200, 700, QColor(30, 30, 220));
    // A thumbnail of another colour shows which picture the signature came from.
    const std::string large = m_dir.write("large.heic", HeifBytes(photo, false, 480, other));
    ImageRecord record;
    ASSERT_TRUE(Sign(large, record)) << LastImageError();
    EXPECT_GT(ThumbMean(record)[2], 180);
    EXPECT_EQ(record.nWidth, kPreReducedSide);
    EXPECT_EQ(record.nHeight, kPreReducedSide);

    // Not pre-reduced: every pixel counts and the real size is recorded.
    const std::string small = m_dir.write(
        "small.heic", HeifBytes(SolidImage(1000, 700, QColor(220, 30, 30)), false, 480, other));
    ASSERT_TRUE(Sign(small, record));
    EXPECT_GT(ThumbMean(record)[0], 180);
    EXPECT_EQ(record.nWidth, 1000);
    EXPECT_EQ(record.nHeight, 700);
}

TEST_F(PhotoLoadingTest, LargeRawIsSignedFromItsPreview) {
    const std::string dng =
        m_dir.write("camera.dng", DngBytes(SolidImage(1200, 700, QColor(40, 200, 40)),
                                           SolidImage(1200, 700, QColor(200, 40, 200))));
    ImageRecord record;
    ASSERT_TRUE(Sign(dng, record)) << LastImageError();
    EXPECT_GT(ThumbMean(record)[0], 150);
    EXPECT_LT(ThumbMean(record)[1], 100);
    EXPECT_EQ(record.nWidth, kPreReducedSide);
}

TEST_F(PhotoLoadingTest, FolderWalksTakeTheNewerFormatsOnlyWhenAsked) {
    for (const char* name : {"a.jpg", "b.HEIC", "c.nef", "d.webp", "e.txt", "fheic"}) {
        m_dir.write(name, "x");
    }
    EXPECT_EQ(CountFolderImages(m_dir.path().string(), false, false), 4);
    EXPECT_EQ(CountFolderImages(m_dir.path().string(), false, false, ImageFormats::Classic), 1);
    ScriptedPrompter prompter;
    DatafileSlot all;
    ASSERT_EQ(AddFolderImages(m_dir.path().string(), false, all, prompter), AddResult::Done);
    EXPECT_EQ(all.paths().size(), 4u);
    DatafileSlot classic;
    ASSERT_EQ(AddFolderImages(m_dir.path().string(), false, classic, prompter, nullptr,
                              ImageFormats::Classic),
              AddResult::Done);
    ASSERT_EQ(classic.paths().size(), 1u);
    EXPECT_EQ(classic.paths()[0], m_dir.file("a.jpg"));
}

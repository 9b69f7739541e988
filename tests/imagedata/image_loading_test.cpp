#include <gtest/gtest.h>

#include <thread>

#include "format_writers.h"
#include "image_loading.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

TEST(ImageTypeForPath, LastFourCharactersDecideIgnoringCase) {
    struct Case {
        const char* path;
        ImageType type;
    };
    for (const Case c : {Case{"a.JPEG", ImageType::Jpeg},    Case{"a.jpeg", ImageType::Jpeg},
                         Case{"a.Jpg", ImageType::Jpeg},     Case{"a.jpe", ImageType::Jpeg},
                         Case{"a.JIF", ImageType::Jpeg},     Case{"fooJPEG", ImageType::Jpeg},
                         Case{"a.gif", ImageType::Gif},      Case{"a.PNG", ImageType::Png},
                         Case{"a.tif", ImageType::Tiff},     Case{"a.TIFF", ImageType::Tiff},
                         Case{"a.bmp", ImageType::Bmp},      Case{"a.tga", ImageType::Targa},
                         Case{"a.pcx", ImageType::Pcx},      Case{"a.psd", ImageType::Photoshop},
                         Case{"a.wmf", ImageType::Wmf},      Case{"a.EMF", ImageType::Emf},
                         Case{"a.wbmp", ImageType::Unknown}, Case{"a.jp", ImageType::Unknown},
                         Case{"jpg", ImageType::Unknown},    Case{"", ImageType::Unknown}}) {
        EXPECT_EQ(ImageTypeForPath(c.path), c.type) << c.path;
    }
}

class LoadImageFileTest : public ::testing::Test {
  protected:
    TempDir m_dir;
};

TEST_F(LoadImageFileTest, ReadsByTheNameAndReturnsPackedRgb) {
    const QImage pattern = PatternImage(7, 5);
    const std::string gif = m_dir.write("pattern.gif", GifBytes(pattern));
    RgbBuffer image;
    ASSERT_TRUE(LoadImageFile(gif, image));
    ASSERT_EQ(image.width, 7u);
    ASSERT_EQ(image.height, 5u);
    ASSERT_EQ(image.pixels.size(), 7u * 5u * 3u);
    const QRgb last = pattern.pixel(6, 4);
    EXPECT_EQ(image.pixels[(4 * 7 + 6) * 3 + 0], qRed(last));
    EXPECT_EQ(image.pixels[(4 * 7 + 6) * 3 + 1], qGreen(last));
    EXPECT_EQ(image.pixels[(4 * 7 + 6) * 3 + 2], qBlue(last));

    const std::string upper = m_dir.file("PHOTO.JPEG");
    ASSERT_TRUE(WriteImage(SolidImage(16, 8, Qt::red), upper, "JPG"));
    ASSERT_TRUE(LoadImageFile(upper, image));
    EXPECT_EQ(image.width, 16u);
    EXPECT_GT(image.pixels[0], 240);
    EXPECT_LT(image.pixels[1], 15);

    // Metafiles fit 400 x 400 unless asked otherwise.
    const std::string wmf = m_dir.write("drawing.wmf", WmfBytes(200, 100, qRgb(255, 0, 0), false));
    ASSERT_TRUE(LoadImageFile(wmf, image));
    EXPECT_NEAR(image.width, 400, 1);
    EXPECT_NEAR(image.height, 200, 1);
}

TEST_F(LoadImageFileTest, FailuresSetTheCodeAndLeaveTheOutputAlone) {
    // Named a JPEG, and no image of any type inside.
    const std::string misnamed = m_dir.write("photo.jpg", "not a picture at all");
    const std::string unknown = m_dir.write("notes.xyz", "text");
    struct Case {
        std::string path;
        int code;
    };
    for (const Case& c :
         {Case{misnamed, kImagingWrongFormat}, Case{m_dir.file("missing.png"), kImagingCannotOpen},
          Case{unknown, kImagingUnsupportedType},
          Case{m_dir.write("empty.png", ""), kImagingEmptyFile}}) {
        RgbBuffer image;
        image.pixels = {1, 2, 3};
        image.width = 1;
        image.height = 1;
        EXPECT_FALSE(LoadImageFile(c.path, image)) << c.path;
        EXPECT_EQ(LastImageError(), c.code) << c.path;
        EXPECT_EQ(image.pixels, (std::vector<std::uint8_t>{1, 2, 3}));
        EXPECT_EQ(image.width, 1u);
    }
}

TEST_F(LoadImageFileTest, TheLastErrorBelongsToEachThread) {
    RgbBuffer image;
    ASSERT_FALSE(LoadImageFile(m_dir.file("missing.png"), image));
    std::thread([&] {
        RgbBuffer other;
        LoadImageFile(m_dir.write("notes.xyz", "text"), other);
        EXPECT_EQ(LastImageError(), kImagingUnsupportedType);
    }).join();
    EXPECT_EQ(LastImageError(), kImagingCannotOpen);
}

TEST(ImageLoadErrorText, NamesLzwTiffsForCode36) {
    EXPECT_EQ(ImageLoadErrorText(36),
              "Unable to open TIFF file. Reading an LZW compressed TIFF file is not supported. "
              "Error: 36");
    EXPECT_EQ(ImageLoadErrorText(9), "Unable to open file. Error: 9");
    EXPECT_EQ(ImageLoadErrorText(-3), "Unable to open file. Error: -3");
}

}  // namespace

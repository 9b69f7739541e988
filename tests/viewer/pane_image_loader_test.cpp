#include <gtest/gtest.h>

#include <string>

#include "pane_image_loader.h"
#include "photo_writers.h"
#include "temp_dir.h"
#include "test_images.h"

namespace {

std::string Picture(const TempDir& dir, const std::string& name, int w, int h, const char* format) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(WriteImage(GradientImage(w, h, Qt::yellow, Qt::darkGreen), path, format));
    return path;
}

TEST(PaneImageLoader, JpegIsDecodedOnlyAsLargeAsThePaneNeeds) {
    TempDir dir;
    const std::string jpeg = Picture(dir, "wide.jpg", 1600, 800, "JPG");
    const DisplayImage image = ReadImageForArea(jpeg, {200, 200}, FitToPaneSize);
    ASSERT_TRUE(image.read);
    EXPECT_EQ(image.width, 1600);
    EXPECT_EQ(image.height, 800);
    // 1/8 scale still covers the 196 x 98 the pane shows.
    EXPECT_EQ(image.pixels.width, 200u);
    EXPECT_EQ(image.pixels.height, 100u);
    const RgbBuffer fitted = FitImageToArea(image, {200, 200}, FitToPaneSize, ResizeMode::Lanczos3);
    EXPECT_EQ(fitted.width, 196u);
    EXPECT_EQ(fitted.height, 98u);
}

TEST(PaneImageLoader, PanesEnlargeAndTheScreenDoesNot) {
    TempDir dir;
    const std::string png = Picture(dir, "small.png", 100, 50, "PNG");
    const DisplayImage image = ReadImageForArea(png, {800, 600}, FitToScreenSize);
    ASSERT_TRUE(image.read);
    const RgbBuffer screen =
        FitImageToArea(image, {800, 600}, FitToScreenSize, ResizeMode::Gaussian);
    EXPECT_EQ(screen.width, 100u);
    EXPECT_EQ(screen.height, 50u);
    const RgbBuffer pane = FitImageToArea(image, {264, 164}, FitToPaneSize, ResizeMode::Lanczos3);
    EXPECT_EQ(pane.width, 260u);
    EXPECT_EQ(pane.height, 130u);
}

TEST(PaneImageLoader, UnreadableSidesShowThePlaceholder) {
    TempDir dir;
    const std::string placeholder = Picture(dir, "NoMatch.jpg", 40, 40, "JPG");
    const std::string text = dir.write("notes.jpg", "not a picture");
    for (const std::string& path : {dir.file("missing.jpg"), text, std::string("Deleted")}) {
        const PaneLoad load = LoadPaneImage(path, placeholder, {104, 54});
        EXPECT_FALSE(load.read) << path;
        EXPECT_EQ(load.fitted.width, 50u) << path;
        EXPECT_TRUE(LoadPaneImage(path, std::string(), {104, 54}).fitted.empty()) << path;
    }
}

TEST(PaneImageLoader, PairLoadsBothSidesForTheirOwnPanes) {
    TempDir dir;
    const std::string wide = Picture(dir, "wide.jpg", 300, 100, "JPG");
    const std::string tall = Picture(dir, "tall.bmp", 100, 300, "BMP");
    PaneLoad left;
    PaneLoad right;
    LoadPanePair(wide, {154, 104}, tall, {104, 154}, std::string(), left, right);
    ASSERT_TRUE(left.read && right.read);
    EXPECT_EQ(left.width, 300);
    EXPECT_EQ(right.height, 300);
    EXPECT_EQ(left.fitted.width, 150u);
    EXPECT_EQ(right.fitted.height, 150u);
}

}  // namespace

TEST(PaneImageLoader, SidewaysPhotosAreShownUprightWithTheirShownSize) {
    TempDir dir;
    // Stored 1600 x 800 with the camera's "turn clockwise" tag: shown 800 x 1600.
    const QImage stored = GradientImage(1600, 800, Qt::yellow, Qt::darkGreen);
    const std::string camera = dir.write("camera.jpg", WithExifOrientation(JpegBytes(stored), 6));
    const DisplayImage image = ReadImageForArea(camera, {200, 200}, FitToPaneSize);
    ASSERT_TRUE(image.read);
    EXPECT_EQ(image.width, 800);
    EXPECT_EQ(image.height, 1600);
    // Still decoded at 1/8: the stored 200 x 100 turned to 100 x 200.
    ASSERT_EQ(image.pixels.width, 100u);
    ASSERT_EQ(image.pixels.height, 200u);
    // The stored top-left corner (yellow, on the dark diagonal line's start)
    // shows at the top right; the stored bottom left (yellow) at the top left.
    const auto at = [&image](std::uint32_t x, std::uint32_t y, int c) {
        return image.pixels.pixels[y * image.pixels.stride() + x * 3 + c];
    };
    EXPECT_GT(at(2, 2, 0), 200);
    EXPECT_GT(at(2, 2, 1), 200);
    EXPECT_LT(at(2, 197, 0), 60);
    const RgbBuffer fitted = FitImageToArea(image, {200, 200}, FitToPaneSize, ResizeMode::Lanczos3);
    EXPECT_EQ(fitted.width, 98u);
    EXPECT_EQ(fitted.height, 196u);
}

TEST(PaneImageLoader, WronglyNamedPicturesAreShownByTheirContent) {
    TempDir dir;
    const std::string path =
        dir.write("download.png", JpegBytes(GradientImage(120, 80, Qt::yellow, Qt::darkGreen)));
    const DisplayImage image = ReadImageForArea(path, {200, 200}, FitToPaneSize);
    ASSERT_TRUE(image.read);
    EXPECT_EQ(image.width, 120);
}

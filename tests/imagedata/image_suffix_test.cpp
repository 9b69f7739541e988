#include <gtest/gtest.h>

#include "image_suffix.h"

TEST(ImageSuffix, LastFourCharactersDecideIgnoringCase) {
    for (const char* image :
         {"a.JPG", "b.Jpeg", "c.TIFF", "d.tif", ".gif", "/x/holidayjpeg", "e.bmp", "f.JPE", "g.jif",
          "h.png", "i.PCX", "j.tga", "k.psd", "l.wmf", "m.EMF"}) {
        EXPECT_TRUE(IsImageSuffix(image)) << image;
    }
    for (const char* other :
         {"a.jpeg2", "jpg", "", "a.txt", "a.jpg ", "/x.jpg/readme", "a.webp", "a.raw"}) {
        EXPECT_FALSE(IsImageSuffix(other)) << other;
    }
}

TEST(ImageSuffix, TypeLabelIsTheUpperCasedExtensionWithJpegAndTiffFolded) {
    EXPECT_EQ(FileTypeLabel("/p/a.jpeg"), "JPG");
    EXPECT_EQ(FileTypeLabel("/p/a.Jpe"), "JPG");
    EXPECT_EQ(FileTypeLabel("/p/a.jif"), "JPG");
    EXPECT_EQ(FileTypeLabel("/p/a.jpg"), "JPG");
    EXPECT_EQ(FileTypeLabel("/p/a.TIFF"), "TIF");
    EXPECT_EQ(FileTypeLabel("/p/a.b.png"), "PNG");
    EXPECT_EQ(FileTypeLabel("/p/a.Bmp"), "BMP");
    EXPECT_EQ(FileTypeLabel("/p/a.xcf"), "XCF");
    // A dot in a folder name is no extension.
    EXPECT_EQ(FileTypeLabel("/p.q/noext"), "");
}

#include <gtest/gtest.h>

#include "image_suffix.h"

TEST(ImageSuffix, LastFourCharactersDecideIgnoringCase) {
    for (const ImageFormats formats : {ImageFormats::Classic, ImageFormats::All}) {
        for (const char* image :
             {"a.JPG", "b.Jpeg", "c.TIFF", "d.tif", ".gif", "/x/holidayjpeg", "e.bmp", "f.JPE",
              "g.jif", "h.png", "i.PCX", "j.tga", "k.psd", "l.wmf", "m.EMF"}) {
            EXPECT_TRUE(IsImageSuffix(image, formats)) << image;
        }
        for (const char* other :
             {"a.jpeg2", "jpg", "", "a.txt", "a.jpg ", "/x.jpg/readme", "a.raw"}) {
            EXPECT_FALSE(IsImageSuffix(other, formats)) << other;
        }
    }
}

TEST(ImageSuffix, NewerFormatsCountOnlyWithAllAndByTheirWholeExtension) {
    for (const char* image :
         {"a.heic", "b.HEIF", "c.avif", "d.WebP", "e.jxl", "f.dng", "g.CR2", "h.cr3", "i.nef",
          "j.ARW", "k.orf", "l.rw2", "m.raf", "n.pef", "/p.q/o.srw"}) {
        EXPECT_TRUE(IsImageSuffix(image)) << image;
        EXPECT_FALSE(IsImageSuffix(image, ImageFormats::Classic)) << image;
    }
    // No dot before them, or more after them: not these formats.
    for (const char* other : {"/x/photoheic", "a.xnef", "a.webp2", "a.heic.txt", "/x.nef/readme"}) {
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
    EXPECT_EQ(FileTypeLabel("/p/a.heif"), "HEIC");
    EXPECT_EQ(FileTypeLabel("/p/a.Heic"), "HEIC");
    EXPECT_EQ(FileTypeLabel("/p/a.avif"), "AVIF");
    EXPECT_EQ(FileTypeLabel("/p/a.webp"), "WEBP");
    EXPECT_EQ(FileTypeLabel("/p/a.jxl"), "JXL");
    EXPECT_EQ(FileTypeLabel("/p/a.NEF"), "RAW");
    EXPECT_EQ(FileTypeLabel("/p/a.cr3"), "RAW");
    // A dot in a folder name is no extension.
    EXPECT_EQ(FileTypeLabel("/p.q/noext"), "");
}

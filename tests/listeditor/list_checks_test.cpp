#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "add_files_filter.h"
#include "list_checks.h"
#include "list_entry.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using Entries = std::vector<std::string>;

struct PruneCase {
    const char* name;
    Entries before;
    Entries after;
};

void PrintTo(const PruneCase& c, std::ostream* os) {
    *os << c.name;
}

class Prune : public ::testing::TestWithParam<PruneCase> {};

TEST_P(Prune, RemovesOnlyCoveredEntries) {
    Entries entries = GetParam().before;
    PruneRedundantEntries(entries);
    EXPECT_EQ(entries, GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Prune,
    ::testing::Values(
        PruneCase{"FileBelowRecursiveFolder",
                  {"/p/a/ (include subfolders)", "/p/a/sub/x.jpg", "/p/b.jpg"},
                  {"/p/a/ (include subfolders)", "/p/b.jpg"}},
        PruneCase{"OnlyDirectFileOfPlainFolder",
                  {"/p/a/ (no subfolders)", "/p/a/x.jpg", "/p/a/sub/ (no subfolders)"},
                  {"/p/a/ (no subfolders)", "/p/a/sub/ (no subfolders)"}},
        PruneCase{"SameFolderTwiceLaterGoesEvenIfRecursive",
                  {"/p/a/ (no subfolders)", "/p/a/ (include subfolders)"},
                  {"/p/a/ (no subfolders)"}},
        PruneCase{"EqualFilesLaterGoes",
                  {"/p/x.jpg", "/q/y.jpg", "/p/x.jpg", "/q/z.jpg"},
                  {"/p/x.jpg", "/q/y.jpg", "/q/z.jpg"}},
        PruneCase{"CaseIsRespected", {"/p/X.jpg", "/p/x.jpg"}, {"/p/X.jpg", "/p/x.jpg"}},
        PruneCase{"FileBeforeItsFolderGoesToo",
                  {"/p/a/x.jpg", "/p/a/ (no subfolders)"},
                  {"/p/a/ (no subfolders)"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ListEntry, ParsesNotesAndKinds) {
    const ParsedEntry recursive = ParseListEntry("/p/a/ (include subfolders)");
    EXPECT_EQ(recursive.path, "/p/a/");
    EXPECT_TRUE(recursive.recursive);
    EXPECT_TRUE(recursive.folder);
    const ParsedEntry plain = ParseListEntry("/p/a/   (no subfolders)");
    EXPECT_EQ(plain.path, "/p/a/");
    EXPECT_FALSE(plain.recursive);
    EXPECT_TRUE(plain.folder);
    // Without its separator the folder is taken for a file.
    EXPECT_FALSE(IsFolderEntry("/p/a (include subfolders)"));
    EXPECT_EQ(MakeFolderEntry("/p/a", true), "/p/a/ (include subfolders)");
    EXPECT_EQ(MakeFolderEntry("/p/a/", false), "/p/a/");
}

TEST(ImageTypes, AcceptByLastFourCharactersWhileSwitchedOn) {
    ImageTypeFilter types;
    for (const char* name : {"a.JPG", "b.jpeg", "c.Tiff", "d.png", "e.emf", "f.psd", "g.tga"}) {
        EXPECT_TRUE(IsAcceptedImageType(name, types)) << name;
    }
    EXPECT_FALSE(IsAcceptedImageType("h.nef", types)) << "camera files start off";
    EXPECT_FALSE(IsAcceptedImageType("i.txt", types));
    EXPECT_FALSE(IsAcceptedImageType("pg", types));
    types.tga = false;
    types.raw = true;
    EXPECT_FALSE(IsAcceptedImageType("g.TGA", types));
    EXPECT_TRUE(IsAcceptedImageType("h.NEF", types));
    EXPECT_TRUE(IsAcceptedImageType("h.cr3", types));
}

TEST(ImageTypes, NewerPhotoTypesNeedTheirWholeExtension) {
    ImageTypeFilter types;
    for (const char* name : {"a.HEIC", "b.heif", "c.avif", "d.WebP", "e.jxl"}) {
        EXPECT_TRUE(IsAcceptedImageType(name, types)) << name;
    }
    for (const char* name : {"aheic", "b.xheif", "cavif", "photo_webp", "e_jxl", "jxl"}) {
        EXPECT_FALSE(IsAcceptedImageType(name, types)) << name;
    }
    types.webp = false;
    EXPECT_FALSE(IsAcceptedImageType("d.webp", types));
    EXPECT_TRUE(IsAcceptedImageType("a.heic", types));
    EXPECT_FALSE(types.allStandardOn());
}

TEST(AddFilesFilter, ListsEnabledTypesWithSeparatedPatterns) {
    ImageTypeFilter types;
    types.tga = false;
    const std::string filter = AddFilesFilter(types);
    EXPECT_EQ(filter.substr(0, filter.find('|')),
              "Image Files(jpg,png,tif,bmp,pcx,gif,wmf,emf,psd,heic,heif,avif,webp,jxl,)");
    EXPECT_NE(filter.find("|*.JPG;*.JPE;*.JPEG;*.JIF;*.PNG;*.TIF;*.TIFF;*.BMP;"),
              std::string::npos);
    EXPECT_EQ(filter.find("TGA"), std::string::npos);
    EXPECT_EQ(filter.find("RAW"), std::string::npos);
    EXPECT_NE(filter.find("|PhotoShop Files (*.PSD)|*.PSD|Windows Metafile"), std::string::npos);
    EXPECT_NE(filter.find(";*.PSD;*.HEIC;*.HEIF;*.AVIF;*.WEBP;*.JXL|"), std::string::npos);
    EXPECT_NE(filter.find("|HEIC Files (*.HEIC)|*.HEIC;*.HEIF|AVIF Files (*.AVIF)|*.AVIF|WebP "
                          "Files (*.WEBP)|*.WEBP|JPEG XL Files (*.JXL)|*.JXL|All files"),
              std::string::npos);
    EXPECT_TRUE(filter.ends_with("|All files (*.*)|*.*||"));

    // Camera files come last in both parts; only the newer types off.
    types = ImageTypeFilter{};
    types.raw = true;
    types.heic = types.avif = types.webp = types.jxl = false;
    const std::string camera = AddFilesFilter(types);
    EXPECT_EQ(camera.substr(0, camera.find('|')),
              "Image Files(jpg,png,tif,bmp,pcx,gif,tga,wmf,emf,psd,raw)");
    EXPECT_NE(camera.find(";*.PSD;*.RAW;*.RAF;"), std::string::npos);
    EXPECT_NE(camera.find("|Digital camera files (*.RAW)|*.RAW;*.RAF;*.CRW;*CR2;*.KDC;*.MRW;*.NEF;"
                          "*.ORF;*.DNG;*.PTX;*.PEF;*.ARW;*.X3F;*.CR3;*.RW2;*.SRW|All files"),
              std::string::npos);
    EXPECT_EQ(camera.find("HEIC"), std::string::npos);
}

class CountTree : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name :
             {"a/1.jpg", "a/2.PNG", "a/3.tga", "a/notes.txt", "a/sub/4.gif", "a/sub/deep/5.bmp"}) {
            dir.write(name, "x");
        }
        root = (dir.path() / "a").string() + "/";
    }
    TempDir dir;
    std::string root;
};

TEST_F(CountTree, CountsAcceptedTypesWithAndWithoutSubfolders) {
    ImageTypeFilter types;
    EXPECT_EQ(CountImages(root, false, types), 3);
    EXPECT_EQ(CountImages(root, true, types), 5);
    types.tga = false;
    EXPECT_EQ(CountImages(root, true, types), 4);
    EXPECT_EQ(CountImages(dir.file("missing/"), true, types), 0);
}

TEST_F(CountTree, LinksToFoldersAreFollowedButNeverInALoop) {
    dir.write("other/o.jpg", "x");
    fs::create_directory_symlink(dir.path() / "other", dir.path() / "a" / "sub" / "other");
    fs::create_directory_symlink(dir.path() / "a", dir.path() / "a" / "sub" / "loop");
    EXPECT_EQ(CountImages(root, true, ImageTypeFilter{}), 6);
}

TEST_F(CountTree, FullCountWalksFoldersAndCountsEveryFileEntry) {
    const Entries entries = {root + " (include subfolders)", root + "sub/ (no subfolders)",
                             dir.file("readme.txt")};
    const ListCount full = CountEntries(entries, true, ImageTypeFilter{});
    EXPECT_EQ(full.folders, 2);
    EXPECT_EQ(full.files, 5 + 1 + 1) << "a file entry counts whatever its type";
    EXPECT_TRUE(full.hasFiles);
    EXPECT_FALSE(full.stoppedAtFile);
}

TEST_F(CountTree, QuickCountSkipsFoldersAndStopsAtAFile) {
    const ListCount folders = CountEntries({root, root + "sub/"}, false, ImageTypeFilter{});
    EXPECT_EQ(folders.folders, 0);
    EXPECT_EQ(folders.files, 0);
    EXPECT_FALSE(folders.stoppedAtFile);
    const ListCount withFile = CountEntries({root, "/x/y.jpg", root}, false, ImageTypeFilter{});
    EXPECT_TRUE(withFile.stoppedAtFile);
    EXPECT_TRUE(withFile.hasFiles);
}

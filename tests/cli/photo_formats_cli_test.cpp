// A folder of today's photo formats, built and searched as a user would.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include <QTransform>

#include "cli_process.h"
#include "datafile_io.h"
#include "photo_writers.h"
#include "scripted_prompter.h"
#include "temp_dir.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

using Pair = std::pair<std::string, std::string>;

// The three photographs: smooth, so that every lossy copy stays close.
QImage Photo(int which) {
    switch (which) {
        case 0:
            return GradientImage(160, 120, QColor(230, 40, 30), QColor(250, 220, 60));
        case 1:
            return GradientImage(160, 120, QColor(20, 40, 200), QColor(40, 200, 90));
        default:
            return GradientImage(160, 120, QColor(40, 40, 40), QColor(250, 250, 250));
    }
}

// The same photographs as JPEG, HEIC, AVIF, WebP and JPEG XL, a download
// that is a JPEG under a PNG name, and a damaged file.
std::string MakeFolder(const TempDir& dir) {
    const std::string folder = dir.file("photos");
    fs::create_directories(folder);
    for (int i = 0; i < 3; ++i) {
        const std::string name = folder + "/photo" + std::to_string(i);
        dir.write(name + ".jpg", JpegBytes(Photo(i), 95));
        dir.write(name + ".heic", HeifBytes(Photo(i), false));
        dir.write(name + ".avif", HeifBytes(Photo(i), true));
        dir.write(name + ".webp", WebpBytes(Photo(i)));
        dir.write(name + ".jxl", JxlBytes(Photo(i), false));
    }
    dir.write(folder + "/download.png", JpegBytes(Photo(1), 90));
    dir.write(folder + "/damaged.heic", HeifBytes(Photo(2), false).substr(0, 300));
    return folder;
}

std::string Name(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string Stem(const std::string& path) {
    return fs::path(path).stem().string();
}

// The pairs of a dups log, as file names in sorted order.
std::set<Pair> LoggedPairs(const std::string& log) {
    std::set<Pair> pairs;
    const std::string bytes = ReadFileBytes(log);
    std::string first;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        const std::string line = bytes.substr(start, end - start);
        if (line.rfind("Image 1 path: ", 0) == 0) {
            first = Name(line.substr(14));
        } else if (line.rfind("Image 2 path: ", 0) == 0) {
            const std::string second = Name(line.substr(14));
            pairs.insert(std::minmax(first, second));
        }
    }
    return pairs;
}

DatafileSlot ReadData(const std::string& path) {
    DatafileSlot slot;
    ScriptedPrompter prompter;
    EXPECT_EQ(ReadDatafile(path, 0, slot, prompter), 1);
    return slot;
}

}  // namespace

TEST(CliPhotoFormats, EveryCopyPairsWithItsJpegAndNoTwoPhotographsPair) {
    TempDir dir;
    const std::string folder = MakeFolder(dir);
    const std::string data = dir.file("photos.dup");
    const CliResult build = RunCli({"build", folder, "-o", data, "--quiet"});
    ASSERT_EQ(build.status, 0) << build.err;
    const DatafileSlot slot = ReadData(data);
    ASSERT_EQ(slot.count(), 17);
    // Only the damaged file is unreadable, and it does not stop the build.
    EXPECT_EQ(std::count(slot.paths().begin(), slot.paths().end(), std::string("Deleted")), 1);

    const std::string log = dir.file("pairs.log");
    const CliResult find = RunCli({"find", data, "-o", log, "--quiet"});
    ASSERT_EQ(find.status, 0) << find.err;
    const std::set<Pair> pairs = LoggedPairs(log);
    for (int i = 0; i < 3; ++i) {
        const std::string jpeg = "photo" + std::to_string(i) + ".jpg";
        for (const char* extension : {".heic", ".avif", ".webp", ".jxl"}) {
            const std::string copy = "photo" + std::to_string(i) + extension;
            EXPECT_TRUE(pairs.count(std::minmax(jpeg, copy))) << jpeg << " with " << copy;
        }
    }
    EXPECT_TRUE(pairs.count({"download.png", "photo1.jpg"}));
    for (const Pair& pair : pairs) {
        const std::string a = pair.first == "download.png" ? "photo1" : Stem(pair.first);
        const std::string b = pair.second == "download.png" ? "photo1" : Stem(pair.second);
        EXPECT_EQ(a, b) << pair.first << " and " << pair.second << " are different photographs";
    }
}

TEST(CliPhotoFormats, ClassicFormatsFollowTheStoredSwitchUnlessTheCommandLineSays) {
    TempDir dir;
    const std::string folder = MakeFolder(dir);
    // The store the window writes: the switch turned off.
    const std::string config = dir.file("config");
    dir.write("config/Velmora/Twinly.conf", "[Dups]\nNewFormats=No\n");
    ProcessSetup env;
    env.environment = {"XDG_CONFIG_HOME=" + config};

    const auto count = [&](const std::vector<std::string>& extra) {
        const std::string data = dir.file("out.dup");
        std::vector<std::string> args = {"build", folder, "-o", data, "--quiet"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult build = RunCli(args, env);
        EXPECT_EQ(build.status, 0) << build.err;
        return ReadData(data).count();
    };
    // The three JPEGs and the download.
    EXPECT_EQ(count({}), 4);
    EXPECT_EQ(count({"--formats", "all"}), 17);
    EXPECT_EQ(count({"--formats=classic"}), 4);
    const CliResult bad = RunCli({"build", folder, "-o", dir.file("x.dup"), "--formats", "new"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("--formats takes one of classic, all, not 'new'"), std::string::npos)
        << bad.err;
}

// A copy turned by an editor and a camera original stored sideways (its
// pixels turned, the turn left to its orientation tag) pair with the upright
// photograph only when turned copies are asked for.
TEST(CliPhotoFormats, TurnedCopiesPairOnlyWithRotate) {
    TempDir dir;
    const std::string folder = dir.file("photos");
    fs::create_directories(folder);
    dir.write(folder + "/upright.jpg", JpegBytes(Photo(0)));
    dir.write(folder + "/turned.jpg", JpegBytes(Photo(0).transformed(QTransform().rotate(90))));
    dir.write(folder + "/camera.jpg",
              WithExifOrientation(JpegBytes(Photo(0).transformed(QTransform().rotate(270))), 6));
    dir.write(folder + "/other.jpg", JpegBytes(Photo(1)));
    const std::string data = dir.file("photos.dup");
    ASSERT_EQ(RunCli({"build", folder, "-o", data, "--quiet"}).status, 0);

    const std::string log = dir.file("pairs.log");
    ASSERT_EQ(RunCli({"find", data, "-o", log, "--quiet"}).status, 0);
    EXPECT_EQ(LoggedPairs(log), std::set<Pair>{});
    EXPECT_EQ(ReadFileBytes(log).find("rotated"), std::string::npos);

    const CliResult turned = RunCli({"find", data, "-o", log, "--quiet", "--rotate"});
    ASSERT_EQ(turned.status, 0) << turned.err;
    EXPECT_EQ(LoggedPairs(log), (std::set<Pair>{{"camera.jpg", "turned.jpg"},
                                                {"camera.jpg", "upright.jpg"},
                                                {"turned.jpg", "upright.jpg"}}));
    EXPECT_NE(ReadFileBytes(log).find("\r\n; additional check for rotated images\r\n"),
              std::string::npos);
}

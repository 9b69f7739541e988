// Builds past the 32,000 images one data file holds: a split set of normal
// data files, rebuilt as a set, and --no-split keeping to one file.

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "cli_process.h"
#include "datafile_io.h"
#include "scripted_prompter.h"
#include "source_gather.h"
#include "temp_dir.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSourceImages = 32010;

DatafileSlot readData(const std::string& path) {
    DatafileSlot slot;
    ScriptedPrompter prompter;
    EXPECT_EQ(ReadDatafile(path, 0, slot, prompter), 1) << path;
    return slot;
}

std::vector<std::string> pathsOf(const std::vector<std::string>& files) {
    std::vector<std::string> paths;
    for (const std::string& file : files) {
        const DatafileSlot slot = readData(file);
        paths.insert(paths.end(), slot.paths().begin(), slot.paths().end());
    }
    return paths;
}

// The folder's images in the order the walk meets them, without a cap.
std::vector<std::string> walkOrder(const std::string& folder) {
    DatafileSlot slot;
    slot.m_strSourceFolder = folder;
    slot.setPathCapacity(std::numeric_limits<int>::max());
    ScriptedPrompter prompter;
    EXPECT_EQ(GatherSourcePaths(BuildRun::BuildPrimary, slot, prompter), GatherResult::Gathered);
    return slot.paths();
}

}  // namespace

TEST(CliSplit, AFolderPast32000ImagesIsWrittenAs32000AndTheRestAndRebuiltAsASet) {
    TempDir dir;
    const std::string folder = fs::canonical(dir.path()).string() + "/pics";
    fs::create_directories(folder);
    // One tiny picture under many names: the walk and the split are what
    // is tested, not the decoding.
    ASSERT_TRUE(WriteImage(SolidImage(4, 4, Qt::red), folder + "/0.png", "PNG"));
    for (int i = 1; i < kSourceImages; ++i) {
        fs::create_hard_link(folder + "/0.png", folder + "/" + std::to_string(i) + ".png");
    }
    const std::string data = dir.file("data.dup");
    const CliResult build = RunCli({"build", folder, "-o", data});
    ASSERT_EQ(build.status, 0) << build.err;
    EXPECT_NE(build.err.find("the source holds 32010 images, more than the 32,000 of one data "
                             "file: writing " +
                             data + " and " + dir.file("data-2.dup")),
              std::string::npos)
        << build.err;
    const DatafileSlot first = readData(data);
    const DatafileSlot second = readData(dir.file("data-2.dup"));
    EXPECT_EQ(first.count(), 32000);
    EXPECT_EQ(second.count(), 10);
    EXPECT_EQ(second.m_strSourceFolder, folder);
    EXPECT_FALSE(fs::exists(dir.file("data-3.dup")));
    const std::vector<std::string> order = walkOrder(folder);
    EXPECT_EQ(pathsOf({data, dir.file("data-2.dup")}), order);

    // The rebuild takes the whole set: two new images are read, a gone one
    // dropped, and the set keeps its order.
    fs::remove(folder + "/7.png");
    for (const char* name : {"new-a.png", "new-b.png"}) {
        ASSERT_TRUE(WriteImage(SolidImage(6, 6, Qt::blue), folder + "/" + name, "PNG"));
    }
    const std::string updated = dir.file("updated.dup");
    const CliResult rebuild = RunCli({"rebuild", data, "-o", updated});
    ASSERT_EQ(rebuild.status, 0) << rebuild.err;
    EXPECT_NE(rebuild.err.find("rebuilding the 2 files of the set of " + data + " (32010 images)"),
              std::string::npos)
        << rebuild.err;
    // The purge drops the gone image before the count is taken.
    EXPECT_NE(rebuild.err.find("(count change +2)"), std::string::npos) << rebuild.err;
    EXPECT_EQ(readData(updated).count(), 32000);
    EXPECT_EQ(readData(dir.file("updated-2.dup")).count(), 11);
    EXPECT_EQ(pathsOf({updated, dir.file("updated-2.dup")}), walkOrder(folder));
}

TEST(CliSplit, AnImageListPast32000IsSplitTooAndNoSplitSaysWhatItLeavesOut) {
    TempDir dir;
    // Entries that do not exist are kept as "Deleted": nothing to decode.
    std::string list = "START\r\n";
    for (int i = 0; i < kSourceImages; ++i) {
        list += "/nowhere/" + std::to_string(i) + ".jpg\r\n";
    }
    list += "END\r\n";
    const std::string source = dir.write("many.lst", list);
    const std::string data = dir.file("list.dup");
    const CliResult split = RunCli({"build", source, "-o", data, "--quiet"});
    ASSERT_EQ(split.status, 0) << split.err;
    // Said even when quiet: more files are written than were named.
    EXPECT_NE(split.err.find("writing " + data + " and " + dir.file("list-2.dup")),
              std::string::npos)
        << split.err;
    const std::vector<std::string> paths = pathsOf({data, dir.file("list-2.dup")});
    ASSERT_EQ(paths.size(), static_cast<std::size_t>(kSourceImages));
    EXPECT_EQ(readData(dir.file("list-2.dup")).m_strSourceList, source);

    // One file only: the first 32,000, a warning, and a word about the part
    // an earlier build left beside it.
    const CliResult one = RunCli({"build", source, "-o", data, "--no-split"});
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(readData(data).count(), 32000);
    EXPECT_NE(one.err.find(source + " names 32010 images; a data file holds 32,000: only the "
                                    "first 32,000 are built (--no-split)"),
              std::string::npos)
        << one.err;
    EXPECT_NE(one.err.find(dir.file("list-2.dup") + " is left from an earlier build of the same "
                                                    "source"),
              std::string::npos)
        << one.err;
    const std::string other = dir.file("other.dup");
    ASSERT_EQ(RunCli({"build", source, "-o", other, "--no-split", "--quiet"}).status, 0);
    EXPECT_FALSE(fs::exists(dir.file("other-2.dup")));
}

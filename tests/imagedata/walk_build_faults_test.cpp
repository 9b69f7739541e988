// The file system changing or misbehaving under a walk and a build: images
// gone or replaced after the walk become "Deleted" and the build goes on;
// link loops and webs of links end with every folder walked once; a folder
// that cannot be read stops the fill without hanging.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <sys/stat.h>
#include <unistd.h>

#include "access_faults.h"
#include "build_run.h"
#include "folder_walk.h"
#include "scripted_prompter.h"
#include "signature.h"
#include "temp_dir.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

ImageSigner realSigner() {
    return [](const std::string& path, ImageRecord& record) {
        return SignatureFromFile(path, ResizeMode::Fallback, ResizeMode::Gaussian, record);
    };
}

}  // namespace

TEST(WalkBuildFaults, ImagesGoneOrReplacedAfterTheWalkBecomeDeleted) {
    TempDir dir;
    const QImage picture = GradientImage(16, 16, Qt::red, Qt::blue);
    for (const char* name : {"keep.jpg", "gone.jpg", "garbage.png", "empty.jpg", "folder.png",
                             "pipe.jpg", "other.png", "truncated.png"}) {
        const char* format = fs::path(name).extension() == ".png" ? "PNG" : "JPG";
        ASSERT_TRUE(WriteImage(picture, dir.file(name), format));
    }
    DatafileSlot slot;
    ScriptedPrompter prompter;
    ASSERT_EQ(AddFolderImages(dir.path().string(), false, slot, prompter), AddResult::Done);
    ASSERT_EQ(slot.paths().size(), 8u);

    fs::remove(dir.file("gone.jpg"));
    dir.write("garbage.png", "\x89PNG\r\n\x1a\nnot really");
    dir.write("empty.jpg", "");
    fs::remove(dir.file("folder.png"));
    fs::create_directory(dir.file("folder.png"));
    fs::remove(dir.file("pipe.jpg"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    ASSERT_TRUE(WriteImage(SolidImage(24, 8, Qt::green), dir.file("other.png"), "PNG"));
    const std::string png = ReadFileBytes(dir.file("truncated.png"));
    dir.write("truncated.png", png.substr(0, png.size() / 2));

    JobProgress progress;
    const BuildResult result = BuildSlot(slot.paths(), realSigner(), 2, progress);
    ASSERT_TRUE(result.completed);
    ASSERT_EQ(result.names.size(), 8u);
    std::set<std::string> deleted;
    for (std::size_t i = 0; i < result.names.size(); ++i) {
        const std::string name = fs::path(slot.paths()[i]).filename().string();
        if (result.names[i] == kDeletedEntry) {
            EXPECT_EQ(result.records[i].nWidth, 0) << name;
            deleted.insert(name);
        } else {
            EXPECT_EQ(result.names[i], slot.paths()[i]);
            EXPECT_EQ(result.records[i].nWidth, name == "other.png" ? 24 : 16) << name;
        }
    }
    EXPECT_EQ(deleted, (std::set<std::string>{"gone.jpg", "garbage.png", "empty.jpg", "folder.png",
                                              "pipe.jpg", "truncated.png"}));
    EXPECT_EQ(progress.progress.load(), 8);
}

TEST(WalkBuildFaults, LinkLoopsAndWebsWalkEveryFolderOnce) {
    TempDir dir;
    const fs::path root = dir.path() / "root";
    // Eight folders that each link to all the others, and loops of every kind.
    constexpr int kWeb = 8;
    for (int i = 0; i < kWeb; ++i) {
        dir.write("root/w" + std::to_string(i) + "/img.jpg", "");
    }
    for (int i = 0; i < kWeb; ++i) {
        for (int j = 0; j < kWeb; ++j) {
            if (i != j) {
                fs::create_directory_symlink(
                    root / ("w" + std::to_string(j)),
                    root / ("w" + std::to_string(i)) / ("to" + std::to_string(j)));
            }
        }
    }
    fs::create_directory_symlink(".", root / "w0" / "self");
    fs::create_directory_symlink(root, root / "w1" / "up");
    fs::create_directory_symlink("missing", root / "w2" / "dangling.jpg");

    const int count = CountFolderImages(root.string(), true, false);
    DatafileSlot slot;
    ScriptedPrompter prompter;
    EXPECT_EQ(AddFolderImages(root.string(), true, slot, prompter), AddResult::Done);
    std::set<std::string> distinct;
    for (const std::string& path : slot.paths()) {
        distinct.insert(fs::weakly_canonical(path).string());
    }
    // The dangling link names no image file, yet its name says it is one.
    EXPECT_EQ(count, kWeb + 1);
    EXPECT_EQ(slot.paths().size(), static_cast<std::size_t>(kWeb + 1));
    EXPECT_EQ(distinct.size(), slot.paths().size());
}

TEST(WalkBuildFaults, AnUnreadableFolderStopsTheFillWithoutHanging) {
    TempDir dir;
    dir.write("top/a.jpg", "");
    dir.write("top/locked/b.jpg", "");
    if (!OpenToEveryone(dir.path()) || ::chmod(dir.file("top").c_str(), 0755) != 0) {
        GTEST_SKIP() << "the test folder cannot be opened to an unprivileged user";
    }
    ASSERT_EQ(::chmod(dir.file("top/locked").c_str(), 0), 0);
    // Root reads every folder: the walk runs as an unprivileged user.
    const int outcome = RunWithoutPrivileges([&] {
        DatafileSlot slot;
        ScriptedPrompter prompter;
        const int count = CountFolderImages(dir.file("top"), true, false);
        const AddResult added = AddFolderImages(dir.file("top"), true, slot, prompter);
        const bool named =
            prompter.messageTexts() ==
            std::vector<std::string>{"Unable to list the folder " + dir.file("top/locked/") +
                                     ": Permission denied"};
        return (count == 1 ? 0 : 1) | (added == AddResult::Stopped ? 0 : 2) | (named ? 0 : 4);
    });
    ::chmod(dir.file("top/locked").c_str(), 0755);
    EXPECT_EQ(outcome, 0) << "1: wrong count, 2: the fill did not stop, 4: the folder was not "
                             "named, -1: could not run";
}

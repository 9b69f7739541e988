// Moving and trashing the user's files: never half a copy, never a pile of
// empty files, never an overwrite, the trash laid out as file managers expect,
// and a reason for every failure.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "access_faults.h"
#include "file_move.h"
#include "file_ops.h"
#include "path_parts.h"
#include "random_bytes.h"
#include "temp_dir.h"
#include "trash.h"

namespace fs = std::filesystem;

namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
    fs::create_directories(fs::path(path).parent_path());
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

// "name size" per file below `folder`, sorted; what a child reports back.
std::string Listing(const fs::path& folder) {
    std::vector<std::string> lines;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_regular_file(ec)) {
            lines.push_back(fs::relative(it->path(), folder).string() + " " +
                            std::to_string(it->file_size(ec)));
        }
    }
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::string InfoPathLine(const std::string& infoFile) {
    const std::string text = ReadFileBytes(infoFile);
    const std::size_t at = text.find("\nPath=");
    if (at == std::string::npos) {
        return "no Path in " + infoFile + ": " + text;
    }
    return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

// The tests' home trash starts empty, so names from earlier runs do not get
// in the way. Only ever the trash of the test's own home, and one per test
// process: the test runner runs these cases side by side.
void EmptyTestTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    ASSERT_NE(data, nullptr);
    const std::string own = std::string(data) + "/trash-" + std::to_string(::getpid());
    ::setenv("XDG_DATA_HOME", own.c_str(), 1);
    const std::string trash = HomeTrashFolder();
    ASSERT_NE(trash.find("/test-home/"), std::string::npos) << trash;
    fs::remove_all(trash);
}

// A folder of the test on the home's file system, as the home trash needs.
class HomeFolder {
  public:
    HomeFolder() {
        const char* home = std::getenv("HOME");
        m_path = fs::path(home != nullptr ? home : "/tmp") /
                 ("file-ops-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_path);
        fs::create_directories(m_path);
    }
    ~HomeFolder() { fs::remove_all(m_path); }
    const fs::path& path() const { return m_path; }
    std::string write(const std::string& name, const std::string& bytes) const {
        WriteFile((m_path / name).string(), bytes);
        return (m_path / name).string();
    }

  private:
    fs::path m_path;
};

}  // namespace

TEST(FileMove, FullFileSystemLeavesNoPartialCopyAndNoNumberedFiles) {
    TempDir dir;
    const std::string bytes = RandomBytes(196 * 1024, 1);
    const std::string source = dir.write("pictures/big1.jpg", bytes);
    fs::create_directories(dir.path() / "small");
    const auto report = RunOnSmallFileSystem(dir.path() / "small", 64, [&] {
        QtFileOps ops;
        const bool moved = ops.moveToFolder(source, (dir.path() / "small").string()).has_value();
        return "moved " + std::to_string(moved) + "\n" + Listing(dir.path() / "small") +
               ops.lastFailure();
    });
    if (!report) {
        GTEST_SKIP() << "no small file system can be mounted here";
    }
    EXPECT_EQ(*report, "moved 0\nUnable to move " + source + " to " +
                           (dir.path() / "small").string() + ": No space left on device");
    EXPECT_EQ(ReadFileBytes(source), bytes);
}

TEST(FileMove, TakenNameAcrossFileSystemsGetsTheNextName) {
    TempDir dir;
    const std::string source = dir.write("pictures/pic.jpg", "new picture");
    fs::create_directories(dir.path() / "other");
    const auto report = RunOnSmallFileSystem(dir.path() / "other", 1024, [&] {
        WriteFile((dir.path() / "other/pic.jpg").string(), "old picture");
        const FileOpOutcome moved = MoveFileIntoFolder(source, (dir.path() / "other").string());
        return std::to_string(moved.ok) + " " + fs::path(moved.newPath).filename().string() + "\n" +
               ReadFileBytes((dir.path() / "other/pic.jpg").string()) + "\n" +
               ReadFileBytes(moved.newPath) + "\n" + Listing(dir.path() / "other");
    });
    if (!report) {
        GTEST_SKIP() << "no second file system can be mounted here";
    }
    EXPECT_EQ(*report, "1 pic (2).jpg\nold picture\nnew picture\npic (2).jpg 11\npic.jpg 11\n");
    EXPECT_FALSE(fs::exists(source));
}

TEST(FileMove, FailedCopyRemovesItsPartialFile) {
    TempDir dir;
    const std::string bytes = RandomBytes(256 * 1024, 2);
    const std::string source = dir.write("big.png", bytes);
    const std::string target = dir.file("copy.png");
    // A file-size limit fails the writes as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 64 * 1024;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    const int error = CopyFileExclusive(source, target);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(error, EFBIG);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_EQ(ReadFileBytes(source), bytes);
    // A taken name is reported as such and left alone.
    const std::string taken = dir.write("taken.png", "mine");
    EXPECT_EQ(CopyFileExclusive(source, taken), EEXIST);
    EXPECT_EQ(ReadFileBytes(taken), "mine");
}

TEST(FileMove, FailuresNameTheFileAndTheReason) {
    TempDir dir;
    const std::string picture = dir.write("a.jpg", "x");
    const std::string missing = dir.file("gone.jpg");
    QtFileOps ops;
    EXPECT_FALSE(ops.moveToFolder(missing, dir.path().string()).has_value());
    EXPECT_EQ(ops.lastFailure(), "Unable to move " + missing + " to " + dir.path().string() +
                                     ": No such file or directory");
    EXPECT_FALSE(ops.moveToFolder(picture, dir.file("no-folder")).has_value());
    EXPECT_EQ(ops.lastFailure(), "Unable to move " + picture + " to " + dir.file("no-folder") +
                                     ": No such file or directory");
    EXPECT_FALSE(ops.deletePermanently(missing));
    EXPECT_EQ(ops.lastFailure(), "Unable to delete " + missing + ": No such file or directory");
    EXPECT_FALSE(ops.moveToTrash(missing));
    EXPECT_EQ(ops.lastFailure(),
              "Unable to move " + missing + " to the trash: No such file or directory");
    EXPECT_TRUE(ops.deletePermanently(picture));
    EXPECT_EQ(ops.lastFailure(), "");
}

TEST(Trash, InfoPathIsEscapedAsInUrls) {
    EXPECT_EQ(EncodeTrashPath("/home/ann/Pictures/Fallen Leaf.jpg"),
              "/home/ann/Pictures/Fallen%20Leaf.jpg");
    EXPECT_EQ(EncodeTrashPath("/p/100%_sure~x-y.jpg"), "/p/100%25_sure~x-y.jpg");
    EXPECT_EQ(EncodeTrashPath("/p/caf\xC3\xA9#1?.jpg"), "/p/caf%C3%A9%231%3F.jpg");

    EmptyTestTrash();
    HomeFolder folder;
    const std::string name = "Fallen Leaf 100% caf\xC3\xA9.jpg";
    const std::string picture = folder.write(name, "leaf");
    QtFileOps ops;
    ASSERT_TRUE(ops.moveToTrash(picture)) << ops.lastFailure();
    const fs::path trash = HomeTrashFolder();
    EXPECT_EQ(InfoPathLine((trash / "info" / (name + ".trashinfo")).string()),
              "Path=" + EncodeTrashPath(picture));
    EXPECT_EQ(ReadFileBytes((trash / "files" / name).string()), "leaf");
    EXPECT_NE(EncodeTrashPath(picture).find("Fallen%20Leaf%20100%25%20caf%C3%A9.jpg"),
              std::string::npos);
}

TEST(Trash, TakenTrashNameGetsTheNextOne) {
    EmptyTestTrash();
    HomeFolder folder;
    const std::string first = folder.write("twice.jpg", "first");
    ASSERT_TRUE(MoveFileToTrash(first).ok);
    const std::string second = folder.write("twice.jpg", "second");
    const FileOpOutcome outcome = MoveFileToTrash(second);
    ASSERT_TRUE(outcome.ok) << outcome.failure;
    const fs::path trash = HomeTrashFolder();
    EXPECT_EQ(ReadFileBytes((trash / "files/twice.jpg").string()), "first");
    EXPECT_EQ(ReadFileBytes(outcome.newPath), "second");
    EXPECT_TRUE(fs::exists(trash / "info" /
                           (fs::path(outcome.newPath).filename().string() + ".trashinfo")));
}

TEST(Trash, OtherFileSystemUsesItsOwnTrash) {
    TempDir dir;
    fs::create_directories(dir.path() / "usb");
    const std::string usb = (dir.path() / "usb").string();
    const std::string uid = std::to_string(::getuid());
    const auto report = RunOnSmallFileSystem(usb, 1024, [&] {
        // First the user's own trash folder, made on demand ...
        WriteFile(usb + "/photos/Beach day.jpg", "sand");
        std::string text = MoveFileToTrash(usb + "/photos/Beach day.jpg").failure + "|";
        const std::string own = usb + "/.Trash-" + uid;
        text += Listing(own + "/files") + InfoPathLine(own + "/info/Beach day.jpg.trashinfo");
        // ... then the administrator's sticky shared one, which comes first.
        fs::create_directories(usb + "/.Trash");
        ::chmod((usb + "/.Trash").c_str(), 01777);
        WriteFile(usb + "/photos/Dune.jpg", "dune");
        text += "|" + MoveFileToTrash(usb + "/photos/Dune.jpg").failure + "|";
        const std::string shared = usb + "/.Trash/" + uid;
        text += Listing(shared + "/files") + InfoPathLine(shared + "/info/Dune.jpg.trashinfo");
        return text + "|" + Listing(usb + "/photos");
    });
    if (!report) {
        GTEST_SKIP() << "no second file system can be mounted here";
    }
    EXPECT_EQ(*report,
              "|Beach day.jpg 4\nPath=photos/Beach%20day.jpg||Dune.jpg 4\nPath=photos/Dune.jpg|");
}

TEST(Trash, OtherFileSystemWithoutATrashIsCopiedToTheHomeTrash) {
    TempDir dir;
    fs::create_directories(dir.path() / "usb");
    const std::string usb = (dir.path() / "usb").string();
    const std::string uid = std::to_string(::getuid());
    const std::string bytes = RandomBytes(96 * 1024, 3);
    EmptyTestTrash();
    const std::string home = HomeTrashFolder();
    const auto report = RunOnSmallFileSystem(usb, 1024, [&] {
        // A file where the trash folder would go: no trash on this file system.
        WriteFile(usb + "/.Trash-" + uid, "in the way");
        const std::string picture = usb + "/fallback-copy.jpg";
        WriteFile(picture, bytes);
        const FileOpOutcome outcome = MoveFileToTrash(picture);
        return outcome.failure + "|" + std::to_string(fs::exists(picture)) + "|" +
               std::to_string(ReadFileBytes(home + "/files/fallback-copy.jpg") == bytes) + "|" +
               InfoPathLine(home + "/info/fallback-copy.jpg.trashinfo");
    });
    if (!report) {
        GTEST_SKIP() << "no second file system can be mounted here";
    }
    EXPECT_EQ(*report, "|0|1|Path=" + EncodeTrashPath(usb + "/fallback-copy.jpg"));
}

TEST(Trash, FailedCopyToTheHomeTrashKeepsTheFileAndLeavesNoHalfCopy) {
    TempDir dir;
    fs::create_directories(dir.path() / "usb");
    const std::string usb = (dir.path() / "usb").string();
    const std::string uid = std::to_string(::getuid());
    const std::string bytes = RandomBytes(96 * 1024, 4);
    EmptyTestTrash();
    const std::string home = HomeTrashFolder();
    const auto report = RunOnSmallFileSystem(usb, 1024, [&] {
        WriteFile(usb + "/.Trash-" + uid, "in the way");
        const std::string picture = usb + "/half-copy.jpg";
        WriteFile(picture, bytes);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit tiny{16 * 1024, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &tiny);
        const FileOpOutcome outcome = MoveFileToTrash(picture);
        return outcome.failure + "|" + std::to_string(ReadFileBytes(picture) == bytes) + "|" +
               std::to_string(fs::exists(home + "/files/half-copy.jpg")) +
               std::to_string(fs::exists(home + "/info/half-copy.jpg.trashinfo"));
    });
    if (!report) {
        GTEST_SKIP() << "no second file system can be mounted here";
    }
    EXPECT_EQ(*report,
              "Unable to move " + usb + "/half-copy.jpg to the trash: File too large|1|00");
}

// The folder a write syncs and a trash is found from: a file at the top and a
// bare name have folders too.
TEST(PathParts, FolderAndNameOfEveryShapeOfPath) {
    EXPECT_EQ(ParentFolderOf("/home/ann/a.jpg"), "/home/ann");
    EXPECT_EQ(ParentFolderOf("/a.jpg"), "/");
    EXPECT_EQ(ParentFolderOf("a.jpg"), ".");
    EXPECT_EQ(FileNameOf("/home/ann/a b.jpg"), "a b.jpg");
    EXPECT_EQ(FileNameOf("a.jpg"), "a.jpg");
    EXPECT_EQ(FileNameOf("/home/ann/"), "");
}

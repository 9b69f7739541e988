// Putting back a trashed or moved file: byte for byte where it was, never
// over a file that took its place, and never from a damaged trash entry.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "file_move.h"
#include "random_bytes.h"
#include "temp_dir.h"
#include "trash.h"
#include "trash_restore.h"

namespace fs = std::filesystem;

namespace {

// A home trash of this test process alone (the runner runs the cases side by
// side), inside the test's own home, and a folder beside it for the pictures.
class OwnTrash : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* data = std::getenv("XDG_DATA_HOME");
        ASSERT_NE(data, nullptr);
        m_data = fs::path(data) / ("restore-" + std::to_string(::getpid()));
        fs::remove_all(m_data);
        fs::create_directories(m_data);
        ::setenv("XDG_DATA_HOME", m_data.c_str(), 1);
        ASSERT_NE(HomeTrashFolder().find("/test-home/"), std::string::npos);
        m_pictures = m_data / "pictures";
        fs::create_directories(m_pictures);
    }
    void TearDown() override { fs::remove_all(m_data); }

    std::string write(const std::string& name, const std::string& bytes) const {
        const fs::path path = m_pictures / name;
        fs::create_directories(path.parent_path());
        std::FILE* f = std::fopen(path.c_str(), "wb");
        EXPECT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return path.string();
    }
    static std::string infoOf(const std::string& trashed) {
        const fs::path p(trashed);
        return (p.parent_path().parent_path() / "info" / (p.filename().string() + ".trashinfo"))
            .string();
    }

    fs::path m_data;
    fs::path m_pictures;
};

}  // namespace

TEST_F(OwnTrash, TrashedFileComesBackByteIdenticalAndLeavesNoTrashEntry) {
    const std::string bytes = RandomBytes(300'000, 7);
    const std::string path = write("Summer 2024/beach #1.jpg", bytes);
    const FileOpOutcome trashed = MoveFileToTrash(path);
    ASSERT_TRUE(trashed.ok) << trashed.failure;
    ASSERT_FALSE(fs::exists(path));

    const FileOpOutcome back = RestoreFromTrash(trashed.newPath);
    ASSERT_TRUE(back.ok) << back.failure;
    EXPECT_EQ(back.newPath, path);
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_FALSE(fs::exists(trashed.newPath));
    EXPECT_FALSE(fs::exists(infoOf(trashed.newPath)));
}

TEST_F(OwnTrash, TakenPlaceOrGoneFolderIsRefusedAndNothingMoves) {
    const std::string path = write("a/photo.jpg", "the original");
    const FileOpOutcome trashed = MoveFileToTrash(path);
    ASSERT_TRUE(trashed.ok) << trashed.failure;

    write("a/photo.jpg", "a newer file");
    FileOpOutcome back = RestoreFromTrash(trashed.newPath);
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.failure, "Unable to restore " + path + ": another file is there now");
    EXPECT_EQ(ReadFileBytes(path), "a newer file");
    EXPECT_EQ(ReadFileBytes(trashed.newPath), "the original");
    EXPECT_TRUE(fs::exists(infoOf(trashed.newPath)));

    fs::remove_all(m_pictures / "a");
    back = RestoreFromTrash(trashed.newPath);
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.failure, "Unable to restore " + path + ": its folder no longer exists");
    EXPECT_EQ(ReadFileBytes(trashed.newPath), "the original");

    fs::create_directories(m_pictures / "a");
    back = RestoreFromTrash(trashed.newPath);
    ASSERT_TRUE(back.ok) << back.failure;
    EXPECT_EQ(ReadFileBytes(path), "the original");

    // Emptied from the trash meanwhile: nothing to put back.
    back = RestoreFromTrash(trashed.newPath);
    EXPECT_FALSE(back.ok);
}

TEST_F(OwnTrash, DamagedTrashEntryIsRefused) {
    const std::string path = write("p.jpg", "picture");
    const FileOpOutcome trashed = MoveFileToTrash(path);
    ASSERT_TRUE(trashed.ok) << trashed.failure;
    const std::string info = infoOf(trashed.newPath);
    for (const std::string& damaged :
         {std::string("[Trash Info]\nDeletionDate=2024-01-01T00:00:00\n"),
          std::string("[Other]\nPath=") + path + "\n", std::string("[Trash Info]\nPath=%4\n"),
          std::string("[Trash Info]\nPath=/x/%00y\n"), std::string("[Trash Info]\nPath=\n"),
          std::string("[Trash Info]\nPath=relative/p.jpg\n"),
          std::string("[Trash Info]\nPath=") + std::string(70'000, 'a') + "\n"}) {
        std::FILE* f = std::fopen(info.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(damaged.data(), 1, damaged.size(), f);
        std::fclose(f);
        const FileOpOutcome back = RestoreFromTrash(trashed.newPath);
        EXPECT_FALSE(back.ok) << damaged.substr(0, 60);
        EXPECT_NE(back.failure.find("trash information"), std::string::npos) << back.failure;
        EXPECT_EQ(ReadFileBytes(trashed.newPath), "picture");
    }
    fs::remove(info);
    EXPECT_FALSE(RestoreFromTrash(trashed.newPath).ok);
    EXPECT_FALSE(RestoreFromTrash(path).ok) << "not in a trash folder";
    EXPECT_FALSE(fs::exists(path));
}

TEST(TrashRestore, RelativePathsAreBelowTheTrashesOwnFileSystem) {
    // Laid out by hand as a file system's own trashes are.
    TempDir top;
    const std::string uid = std::to_string(::getuid());
    for (const std::string& root : {top.file(".Trash-" + uid), top.file(".Trash/" + uid)}) {
        fs::create_directories(top.path() / "photos");
        const std::string trashed = top.write(
            root.substr(top.path().string().size() + 1) + "/files/Beach day.jpg", "sand " + root);
        top.write(root.substr(top.path().string().size() + 1) + "/info/Beach day.jpg.trashinfo",
                  "[Trash Info]\nPath=photos/Beach%20day.jpg\nDeletionDate=2024-05-01T10:00:00\n");
        const FileOpOutcome back = RestoreFromTrash(trashed);
        ASSERT_TRUE(back.ok) << back.failure;
        EXPECT_EQ(back.newPath, top.file("photos/Beach day.jpg"));
        EXPECT_EQ(ReadFileBytes(back.newPath), "sand " + root);
        fs::remove(back.newPath);
    }
}

TEST(TrashRestore, EveryByteOfAPathSurvivesTheInfoEscapes) {
    std::string path = "/";
    for (int c = 1; c < 256; ++c) {
        path.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(DecodeTrashPath(EncodeTrashPath(path)), path);
    EXPECT_EQ(DecodeTrashPath("/a%2fb%2Fc"), "/a/b/c");
    for (const char* bad : {"/a%", "/a%2", "/a%zz", "/a%00"}) {
        EXPECT_FALSE(DecodeTrashPath(bad).has_value()) << bad;
    }
}

TEST(TrashRestore, MovedFileGoesBackOnlyToAFreePlace) {
    TempDir dir;
    const std::string bytes = RandomBytes(50'000, 3);
    const std::string original = dir.write("in/cat.jpg", bytes);
    fs::create_directories(dir.path() / "moved");
    dir.write("moved/cat.jpg", "another cat");
    const FileOpOutcome moved = MoveFileIntoFolder(original, dir.file("moved"));
    ASSERT_TRUE(moved.ok) << moved.failure;
    ASSERT_EQ(moved.newPath, dir.file("moved/cat (2).jpg"));

    dir.write("in/cat.jpg", "a new cat");
    FileOpOutcome back = MoveFileBack(moved.newPath, original);
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.failure, "Unable to restore " + original + ": another file is there now");
    EXPECT_EQ(ReadFileBytes(moved.newPath), bytes);

    fs::remove(original);
    back = MoveFileBack(moved.newPath, original);
    ASSERT_TRUE(back.ok) << back.failure;
    EXPECT_EQ(ReadFileBytes(original), bytes);
    EXPECT_FALSE(fs::exists(moved.newPath));
    EXPECT_EQ(ReadFileBytes(dir.file("moved/cat.jpg")), "another cat");
}

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <filesystem>

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>

#include "access_faults.h"
#include "atomic_file.h"
#include "file_ops.h"
#include "qsettings_store.h"
#include "qt_prompter.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

TEST(ScriptedPrompter, AnswersInOrderAndRecordsEveryCall) {
    ScriptedPrompter p;
    p.answerMessage(PromptAnswer::No);
    p.answerOpenFile("/tmp/a.dup");
    EXPECT_EQ(p.message("Cap", "Text", PromptButtons::YesNo, PromptIcon::Question),
              PromptAnswer::No);
    EXPECT_EQ(p.openFile({.title = "Open"}), std::optional<std::string>("/tmp/a.dup"));
    ASSERT_EQ(p.calls().size(), 2u);
    EXPECT_EQ(p.calls()[0].caption, "Cap");
    EXPECT_EQ(p.calls()[0].icon, PromptIcon::Question);
    EXPECT_EQ(p.calls()[1].caption, "Open");
    EXPECT_TRUE(p.allAnswersUsed());
    EXPECT_EQ(p.unexpectedCalls(), 0);
}

TEST(ScriptedPrompter, UnscriptedQuestionIsCancelledAndCounted) {
    ScriptedPrompter p;
    p.answerOpenFile("/x");
    // A message was not scripted: the file answer stays queued for later.
    EXPECT_EQ(p.message("", "?", PromptButtons::OkCancel, PromptIcon::None), PromptAnswer::Cancel);
    EXPECT_EQ(p.unexpectedCalls(), 1);
    EXPECT_FALSE(p.allAnswersUsed());
    EXPECT_EQ(p.message("", "plain", PromptButtons::Ok, PromptIcon::None), PromptAnswer::Ok);
}

TEST(QtFileFilter, ConvertsClassicFilters) {
    EXPECT_EQ(QtFileFilter("Dups data file (*.dup)|*.dup|All files (*.*)|*.*||"),
              "Dups data file (*.dup);;All files (*.*)");
    EXPECT_EQ(QtFileFilter("Image Files|*.bmp;*.jpg| PNG Files (*.png)|*.png||"),
              "Image Files (*.bmp *.jpg);;PNG Files (*.png)");
}

TEST(QSettingsStore, ReadsBackTypedValuesAndRefusesWrongTypes) {
    TempDir dir;
    const QString ini = QString::fromStdString(dir.file("store.ini"));
    {
        QSettingsStore store(ini);
        ASSERT_TRUE(store.openKey("Dups"));
        EXPECT_TRUE(store.writeString("Dups", "Ask", "Yes"));
        EXPECT_TRUE(store.writeNumber("Dups", "MatchTol", 985));
        EXPECT_TRUE(store.writeString("1.0", "LogPath", "/a, b/c"));
        EXPECT_TRUE(store.writeBinary("WinStateOrvex", "Left", {1, 0, 0, 0}));
        EXPECT_TRUE(store.flush());
    }
    QSettingsStore store(ini);
    EXPECT_EQ(store.readString("Dups", "Ask"), std::optional<std::string>("Yes"));
    EXPECT_EQ(store.readNumber("Dups", "MatchTol"), std::optional<std::int32_t>(985));
    EXPECT_EQ(store.readString("1.0", "LogPath"), std::optional<std::string>("/a, b/c"));
    EXPECT_EQ(store.readNumber("Dups", "Ask"), std::nullopt);
    EXPECT_EQ(store.readNumber("Dups", "Missing"), std::nullopt);
    EXPECT_EQ(store.readString("WinStateOrvex", "Left"), std::nullopt);
    EXPECT_EQ(store.readBinary("WinStateOrvex", "Left"),
              (std::optional<std::vector<std::uint8_t>>({1, 0, 0, 0})));
}

TEST(QSettingsStore, CorruptFileReadsAsMissingValues) {
    TempDir dir;
    const std::string ini = dir.write("bad.ini", std::string("\x00\xff[Dups\nMatchTol=zz\n", 19));
    QSettingsStore store(QString::fromStdString(ini));
    EXPECT_EQ(store.readNumber("Dups", "MatchTol"), std::nullopt);
    EXPECT_EQ(store.readNumber("Dups", "Method"), std::nullopt);
}

TEST(QSettingsStore, NumbersOutsideThirtyTwoBitsReadAsMissing) {
    TempDir dir;
    const std::string ini = dir.write("big.ini", "[Dups]\nDupsLimit=99999999999\nmSec= 50\n");
    QSettingsStore store(QString::fromStdString(ini));
    EXPECT_EQ(store.readNumber("Dups", "DupsLimit"), std::nullopt);
    EXPECT_EQ(store.readNumber("Dups", "mSec"), std::optional<std::int32_t>(50));
}

class FileOpsTest : public ::testing::Test {
  protected:
    // The trash lives under the test's own XDG_DATA_HOME; files must be made
    // under HOME so the home trash takes them.
    void SetUp() override {
        const fs::path home = qEnvironmentVariable("HOME").toStdString();
        ASSERT_FALSE(home.empty());
        m_root =
            home / ("fileops-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }
    std::string make(const std::string& rel, const std::string& bytes) {
        const fs::path p = m_root / rel;
        fs::create_directories(p.parent_path());
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p.string();
    }
    fs::path m_root;
    QtFileOps m_ops;
};

TEST_F(FileOpsTest, TrashGoesToTheTestsOwnTrashFolder) {
    const std::string file = make("a.jpg", "abc");
    ASSERT_TRUE(m_ops.moveToTrash(file));
    EXPECT_FALSE(fs::exists(file));
    const fs::path trash = qEnvironmentVariable("XDG_DATA_HOME").toStdString() + "/Trash/files";
    bool found = false;
    for (const auto& e : fs::directory_iterator(trash)) {
        found = found || (e.path().filename().string().rfind("a", 0) == 0 &&
                          ReadFileBytes(e.path().string()) == "abc");
    }
    EXPECT_TRUE(found);
}

TEST_F(FileOpsTest, MoveKeepsBothFilesOnCollision) {
    const std::string file = make("src/pic.jpg", "new");
    const std::string existing = make("dst/pic.jpg", "old");
    const auto moved = m_ops.moveToFolder(file, (m_root / "dst").string());
    ASSERT_TRUE(moved.has_value());
    EXPECT_NE(*moved, existing);
    EXPECT_EQ(ReadFileBytes(existing), "old");
    EXPECT_EQ(ReadFileBytes(*moved), "new");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(FileOpsTest, FailedMoveLeavesTheFile) {
    const std::string file = make("pic.jpg", "x");
    EXPECT_FALSE(m_ops.moveToFolder(file, (m_root / "missing").string()).has_value());
    EXPECT_TRUE(fs::exists(file));
    EXPECT_FALSE(m_ops.moveToTrash((m_root / "nothing.jpg").string()));
}

TEST(AtomicFileWriter, ReplacesTheTargetOnlyWhenCommitted) {
    TempDir dir;
    const std::string target = dir.write("log.txt", "old");
    {
        AtomicFileWriter w(target);
        ASSERT_TRUE(w.ok());
        w.write("new contents");
        // Not committed: destructor discards the temporary file.
    }
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_TRUE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(ReadFileBytes(target), "new");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);  // no temporary left behind
}

TEST(AtomicFileWriter, FullDiskKeepsThePreviousFile) {
    TempDir dir;
    const std::string target = dir.write("data.dup", "old");
    // A file-size limit makes writes fail as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit tiny = saved;
    tiny.rlim_cur = 1024;
    ::setrlimit(RLIMIT_FSIZE, &tiny);
    const bool written = WriteFileAtomically(target, std::string(64 * 1024, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(target), "old");
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) {
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST(AtomicFileWriter, RefusesMissingFoldersAndNonRegularTargets) {
    TempDir dir;
    EXPECT_FALSE(WriteFileAtomically(dir.file("no/such/folder/f.txt"), "x"));
    fs::create_directories(dir.path() / "folder");
    EXPECT_FALSE(WriteFileAtomically(dir.file("folder"), "x"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder"));
}

TEST(AtomicFileWriter, ReadOnlyFolderFailsCleanly) {
    TempDir dir;
    const std::string target = dir.write("ro/f.txt", "old");
    ReadOnlyFolder readOnly(dir.path() / "ro");
    if (!readOnly.ok()) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    EXPECT_FALSE(WriteFileAtomically(target, "new"));
    EXPECT_EQ(ReadFileBytes(target), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "ro"), fs::directory_iterator()),
              1);
}

// What replacing a file must keep (its permissions and owner) and what a
// killed writer must not leave behind.

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>

#include "atomic_file.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct stat StatOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info;
}

std::vector<std::string> NamesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool UnnamedFilesWork(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace

TEST(AtomicFileWriter, ReplacedFileKeepsItsMode) {
    TempDir dir;
    for (const mode_t mode : {0600, 0640, 0604, 0755}) {
        const std::string target = dir.write("private.dup", "old");
        ASSERT_EQ(::chmod(target.c_str(), mode), 0);
        ASSERT_TRUE(WriteFileAtomically(target, "new"));
        EXPECT_EQ(ReadFileBytes(target), "new");
        EXPECT_EQ(StatOf(target).st_mode & 07777, mode) << std::oct << mode;
    }
    // A new file gets what the umask leaves of 0666.
    const mode_t mask = ::umask(022);
    const std::string fresh = dir.file("fresh.log");
    ASSERT_TRUE(WriteFileAtomically(fresh, "x"));
    ::umask(mask);
    EXPECT_EQ(StatOf(fresh).st_mode & 07777, 0644u);
}

TEST(AtomicFileWriter, ReplacedFileKeepsItsOwner) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a file away";
    }
    TempDir dir;
    const std::string target = dir.write("Dups.log", "old");
    ASSERT_EQ(::chown(target.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(WriteFileAtomically(target, "new"));
    const struct stat info = StatOf(target);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
}

TEST(AtomicFileWriter, KilledWriteLeavesNoTemporaryFile) {
    TempDir dir;
    if (!UnnamedFilesWork(dir.path())) {
        GTEST_SKIP() << "this file system has no unnamed temporary files";
    }
    const std::string target = dir.write("Dups.log", "old");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        AtomicFileWriter writer(target);
        writer.write(std::string(4 << 20, 'x'));
        const char started = writer.ok() ? 'y' : 'n';
        [[maybe_unused]] const auto sent = ::write(ready[1], &started, 1);
        ::pause();
        ::_exit(0);
    }
    char started = 0;
    ASSERT_EQ(::read(ready[0], &started, 1), 1);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(started, 'y');
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"Dups.log"});
    EXPECT_EQ(ReadFileBytes(target), "old");
}

TEST(AtomicFileWriter, NewFileAppearsWholeUnderItsName) {
    TempDir dir;
    const std::string target = dir.file("PrimaryData.dup");
    {
        AtomicFileWriter writer(target);
        ASSERT_TRUE(writer.ok());
        writer.write("abc");
        EXPECT_FALSE(fs::exists(target));  // nothing under the name before the commit
        ASSERT_TRUE(writer.commit());
    }
    EXPECT_EQ(ReadFileBytes(target), "abc");
    EXPECT_EQ(NamesIn(dir.path()), std::vector<std::string>{"PrimaryData.dup"});
}

// A full disk or a read-only folder while saving a data file, an image list
// or a dups log: the save reports failure, the previous file is intact and no
// temporary file is left behind.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "access_faults.h"
#include "datafile_io.h"
#include "list_file.h"
#include "log_writer.h"
#include "match_list.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Files may grow to 1 KB while alive: writes beyond fail as on a full disk.
class FullDisk {
  public:
    FullDisk() {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit tiny = m_saved;
        tiny.rlim_cur = 1024;
        ::setrlimit(RLIMIT_FSIZE, &tiny);
    }
    ~FullDisk() { ::setrlimit(RLIMIT_FSIZE, &m_saved); }

  private:
    rlimit m_saved{};
};

DatafileSlot bigSlot() {
    DatafileSlot slot;
    slot.m_strSourceFolder = "/pictures/";
    std::vector<std::string> paths;
    std::vector<ImageRecord> records;
    for (int i = 0; i < 20; ++i) {
        paths.push_back("/pictures/" + std::to_string(i) + ".jpg");
        records.emplace_back().nWidth = 100;
    }
    slot.setEntries(std::move(paths), std::move(records));
    return slot;
}

std::vector<std::string> manyEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < 100; ++i) {
        entries.push_back("/pictures/holiday/" + std::to_string(i) + ".jpg");
    }
    return entries;
}

std::vector<std::string> logLines() {
    std::vector<std::string> lines = {"DUPS", "; header", "-- Matches --"};
    for (int i = 0; i < 40; ++i) {
        lines.push_back("Image 1 path: /pictures/holiday/" + std::to_string(i) + ".jpg");
    }
    return lines;
}

int filesIn(const fs::path& folder) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder)) {
        ++n;
    }
    return n;
}

// Every writer against the fault that `start` makes and `end` removes; the
// old files are in `folder`.
void expectEveryWriterFailsCleanly(const fs::path& folder, const std::function<void()>& start,
                                   const std::function<void()>& end) {
    const std::string dup = (folder / "pictures.dup").string();
    const std::string lst = (folder / "pictures.lst").string();
    const std::string log = (folder / "Dups.log").string();
    MatchList view;
    view.m_logView = logLines();
    ScriptedPrompter prompter;
    prompter.answerMessage(PromptAnswer::Ok);
    int written = 0;
    std::vector<std::string> lines = logLines();
    start();
    written += WriteDatafile(dup, bigSlot());
    written += WriteListFile(lst, manyEntries(), prompter);
    written += FinishLog(lines, 40, log) ? 1 : 0;
    written += SaveLogList(log, logLines()) ? 1 : 0;
    written += SaveLogView(log, view) ? 1 : 0;
    end();
    EXPECT_EQ(written, 0);
    EXPECT_EQ(ReadFileBytes(dup), "old data file");
    EXPECT_EQ(ReadFileBytes(lst), "old list");
    EXPECT_EQ(ReadFileBytes(log), "old log");
    EXPECT_EQ(filesIn(folder), 3);
    // The list writer tells the user itself; the others leave it to their callers.
    ASSERT_EQ(prompter.calls().size(), 1u);
    EXPECT_EQ(prompter.calls()[0].text, "Unable to save the image list file: " + lst);
}

void writeOldFiles(const TempDir& dir) {
    dir.write("pictures.dup", "old data file");
    dir.write("pictures.lst", "old list");
    dir.write("Dups.log", "old log");
}

}  // namespace

TEST(WriteFaults, AFullDiskKeepsEveryPreviousFile) {
    TempDir dir;
    writeOldFiles(dir);
    std::optional<FullDisk> full;
    expectEveryWriterFailsCleanly(
        dir.path(), [&] { full.emplace(); }, [&] { full.reset(); });
    // The same saves succeed once there is room: the fault alone made them fail.
    EXPECT_EQ(WriteDatafile(dir.file("pictures.dup"), bigSlot()), 1);
    EXPECT_TRUE(SaveLogList(dir.file("Dups.log"), logLines()));
}

TEST(WriteFaults, AReadOnlyFolderKeepsEveryPreviousFile) {
    TempDir dir;
    writeOldFiles(dir);
    if (!ReadOnlyFolder(dir.path()).ok()) {
        GTEST_SKIP() << "no way to make a folder read-only here";
    }
    std::optional<ReadOnlyFolder> readOnly;
    expectEveryWriterFailsCleanly(
        dir.path(), [&] { readOnly.emplace(dir.path()); }, [&] { readOnly.reset(); });
    ScriptedPrompter prompter;
    EXPECT_EQ(WriteListFile(dir.file("pictures.lst"), manyEntries(), prompter), 1);
}

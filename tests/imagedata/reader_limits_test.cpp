// Hostile files against every reader of our own formats: counts and lengths
// beyond the file's size are refused before anything is allocated for them,
// too many or too long lines make a file invalid, and a FIFO named as a file
// is refused at once instead of waiting for a writer.

#include <gtest/gtest.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "allocation_probe.h"
#include "datafile_io.h"
#include "list_file.h"
#include "log_reader.h"
#include "match_list.h"
#include "scripted_prompter.h"
#include "temp_dir.h"

using namespace std::string_literals;

namespace {

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
            static_cast<char>(v >> 24)};
}

// "DB", the count, an empty source, folder kind, no subfolders, then `tail`.
std::string datafileBytes(std::uint32_t count, const std::string& tail) {
    return "DB"s + le32(count) + "\0"s + le32(1) + le32(0) + tail;
}

std::string entry(const std::string& path) {
    return static_cast<char>(path.size()) + path + std::string(kImageRecordBytes, '\1');
}

// Runs `read` on its own thread; true when it ends within the bound. If it
// does not, a writer opening and closing the FIFO ends the wait, so the test
// fails instead of hanging.
bool endsWithoutAWriter(const std::string& fifo, const std::function<void()>& read) {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread reader([&] {
        read();
        const std::lock_guard lock(mutex);
        done = true;
        ended.notify_all();
    });
    bool inTime = false;
    {
        std::unique_lock lock(mutex);
        inTime = ended.wait_for(lock, std::chrono::seconds(30), [&] { return done; });
    }
    if (!inTime) {
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));
    }
    reader.join();
    return inTime;
}

}  // namespace

TEST(ReaderLimits, DataFileCountsAndLengthsBeyondTheFileAreRefusedBeforeAllocating) {
    TempDir dir;
    ScriptedPrompter prompter;
    const std::string twoEntries = entry("/a.jpg") + entry("/b.jpg");
    const std::string hostile[] = {
        datafileBytes(kPathListCapacity, twoEntries),  // a full list's count, two entries
        datafileBytes(0x7FFFFFFF, twoEntries),
        datafileBytes(2, "\xff\xff\xff"s + le32(0x7FFFFFFF) + twoEntries),  // 2 GB path
        datafileBytes(2, "\xff\xfe\xff"s + std::string(1000, 'p')),         // 64 KB path
    };
    for (const std::string& bytes : hostile) {
        const std::string path = dir.write("hostile.dup", bytes);
        DatafileSlot slot;
        const AllocationProbe probe;
        EXPECT_EQ(ReadDatafile(path, 0, slot, prompter), 0);
        EXPECT_LT(probe.largest(), 4096u);
        EXPECT_TRUE(slot.paths().empty());
    }
    // The probe does see a reader's allocations: a sound file of 200 records.
    std::string many;
    for (int i = 0; i < 200; ++i) {
        many += entry("/" + std::to_string(i) + ".jpg");
    }
    const std::string sound = dir.write("sound.dup", datafileBytes(200, many));
    DatafileSlot slot;
    const AllocationProbe probe;
    ASSERT_EQ(ReadDatafile(sound, 0, slot, prompter), 1);
    EXPECT_GE(probe.largest(), 200 * sizeof(ImageRecord));
    EXPECT_EQ(slot.paths().size(), 200u);
}

TEST(ReaderLimits, ListsOfTooManyLinesAreInvalidForEveryReader) {
    TempDir dir;
    // Header, two comment lines, empty entries and "END": kMaxListLines lines after "START".
    const std::string head =
        "START\r\n; ; = Comment. Do not edit. To be run as a script.\r\n; comment\r\n";
    std::string lines;
    for (std::size_t i = 0; i + 3 < kMaxListLines; ++i) {
        lines += "\r\n";
    }
    const std::string atLimit = dir.write("limit.lst", head + lines + "END\r\n");
    const std::string overLimit = dir.write("over.lst", head + lines + "\r\nEND\r\n");

    ScriptedPrompter prompter;
    std::vector<std::string> entries;
    EXPECT_EQ(MergeListFile(atLimit, entries, prompter), 1);
    EXPECT_EQ(entries.size(), kMaxListLines - 3);
    EXPECT_EQ(CountListFile(atLimit, false), static_cast<int>(kMaxListLines - 3));
    DatafileSlot slot;
    EXPECT_EQ(ReadListFile(atLimit, slot, prompter), 1);
    EXPECT_EQ(slot.paths().size(), static_cast<std::size_t>(kPathListCapacity));
    EXPECT_TRUE(prompter.calls().empty());

    std::vector<std::string> untouched = {"/kept.jpg"};
    EXPECT_EQ(MergeListFile(overLimit, untouched, prompter), 0);
    EXPECT_EQ(untouched, std::vector<std::string>{"/kept.jpg"});
    EXPECT_EQ(CountListFile(overLimit, false), 0);
    EXPECT_EQ(ReadListFile(overLimit, slot, prompter), 0);
    EXPECT_TRUE(slot.paths().empty());
    EXPECT_EQ(
        prompter.messageTexts(),
        (std::vector<std::string>{"Not a valid Image list!", "Not a valid Twinly image list!"}));
}

TEST(ReaderLimits, LogAndListLinesAreLimitedExactly) {
    TempDir dir;
    const auto log = [](const std::string& line) {
        return "DUPS\r\n" + line + "\r\n-- Matches --\r\n;\r\nEND\r\n";
    };
    MatchList list;
    EXPECT_EQ(ReadDupsLog(dir.write("a.log", log(std::string(kMaxLogLineBytes, ';'))), list),
              kLogRead);
    EXPECT_EQ(ReadDupsLog(dir.write("b.log", log(std::string(kMaxLogLineBytes + 1, ';'))), list),
              kLogInvalid);
    const auto lst = [](const std::string& line) { return "START\r\n" + line + "\r\nEND\r\n"; };
    EXPECT_EQ(CountListFile(dir.write("a.lst", lst(std::string(kMaxListLineBytes, 'x'))), false),
              1);
    EXPECT_EQ(
        CountListFile(dir.write("b.lst", lst(std::string(kMaxListLineBytes + 1, 'x'))), false), 0);
}

TEST(ReaderLimits, AFifoNamedAsAFileIsRefusedWithoutWaiting) {
    TempDir dir;
    const std::string fifo = dir.file("named.pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ScriptedPrompter prompter;
    int results[5] = {-1, -1, -1, -1, -1};
    EXPECT_TRUE(endsWithoutAWriter(fifo, [&] {
        DatafileSlot slot;
        results[0] = ReadDatafile(fifo, 0, slot, prompter);
    }));
    EXPECT_TRUE(endsWithoutAWriter(fifo, [&] {
        MatchList list;
        results[1] = ReadDupsLog(fifo, list);
    }));
    EXPECT_TRUE(endsWithoutAWriter(fifo, [&] {
        std::vector<std::string> entries;
        results[2] = MergeListFile(fifo, entries, prompter);
    }));
    EXPECT_TRUE(endsWithoutAWriter(fifo, [&] { results[3] = CountListFile(fifo, false); }));
    EXPECT_TRUE(endsWithoutAWriter(fifo, [&] {
        DatafileSlot slot;
        results[4] = ReadListFile(fifo, slot, prompter);
    }));
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], kLogNotOpened);
    EXPECT_EQ(results[2], 0);
    EXPECT_EQ(results[3], 0);
    EXPECT_EQ(results[4], 0);
    EXPECT_EQ(prompter.messageTexts(),
              (std::vector<std::string>{"No file found at " + fifo,
                                        "Not a valid image list file path: " + fifo}));
}

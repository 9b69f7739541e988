#include <gtest/gtest.h>

#include <filesystem>

#include "not_dup_list.h"
#include "temp_dir.h"

namespace fs = std::filesystem;

namespace {

FileStamp Stamp(const std::string& path, std::uint64_t size, std::int64_t modified) {
    return {path, size, modified};
}

const std::string kPair = "10 -5 20 1765310000123456789\r\n/p/a.jpg\r\n/p/b.jpg\r\n";

}  // namespace

TEST(NotDupList, KeepsOneRecordPerPairInEitherOrderAndSavesItBack) {
    TempDir dir;
    NotDupList list;
    ASSERT_TRUE(list.add(Stamp("/p/b.jpg", 2, 20), Stamp("/p/a.jpg", 1, 10)));
    ASSERT_TRUE(list.add(Stamp("/p/c.jpg", 3, 30), Stamp("/p/d e.jpg", 4, -40)));
    ASSERT_TRUE(list.add(Stamp("/p/a.jpg", 5, 50), Stamp("/p/b.jpg", 6, 60)));  // refreshed
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.pairs()[0].first, Stamp("/p/a.jpg", 5, 50));
    EXPECT_EQ(list.pairs()[0].second, Stamp("/p/b.jpg", 6, 60));
    ASSERT_NE(list.find("/p/b.jpg", "/p/a.jpg"), nullptr);
    EXPECT_EQ(list.find("/p/a.jpg", "/p/c.jpg"), nullptr);

    // A folder that does not exist yet is made.
    const std::string path = NotDupListPath(dir.file("data/Twinly"));
    ASSERT_TRUE(SaveNotDupList(path, list));
    EXPECT_EQ(ReadFileBytes(path).substr(0, 9), "NOTDUPS\r\n");
    NotDupList back;
    std::string problem;
    ASSERT_EQ(ReadNotDupList(path, back, problem), NotDupReadResult::Read) << problem;
    ASSERT_EQ(back.count(), 2);
    EXPECT_EQ(back.pairs()[1].first, Stamp("/p/c.jpg", 3, 30));
    EXPECT_EQ(back.pairs()[1].second, Stamp("/p/d e.jpg", 4, -40));

    EXPECT_TRUE(back.remove("/p/d e.jpg", "/p/c.jpg"));
    EXPECT_FALSE(back.remove("/p/d e.jpg", "/p/c.jpg"));
    EXPECT_NE(back.find("/p/a.jpg", "/p/b.jpg"), nullptr) << "indices follow a removal";
    EXPECT_TRUE(back.add(Stamp("/p/c.jpg", 1, 1), Stamp("/p/d e.jpg", 1, 1)));
    EXPECT_EQ(back.count(), 2);
}

TEST(NotDupList, RefusesPairsItCouldNotWriteBack) {
    NotDupList list;
    EXPECT_FALSE(list.add(Stamp("/p/a.jpg", 1, 1), Stamp("/p/a.jpg", 1, 1)));
    EXPECT_FALSE(list.add(Stamp("", 1, 1), Stamp("/p/a.jpg", 1, 1)));
    EXPECT_FALSE(list.add(Stamp("/p/two\nlines.jpg", 1, 1), Stamp("/p/a.jpg", 1, 1)));
    EXPECT_FALSE(list.add(Stamp("/p/cr\r.jpg", 1, 1), Stamp("/p/a.jpg", 1, 1)));
    EXPECT_EQ(list.count(), 0);
}

TEST(NotDupList, ReaderTakesLfLineEndsAndCommentsAndAMissingFileIsEmpty) {
    TempDir dir;
    NotDupList list;
    std::string problem;
    EXPECT_EQ(ReadNotDupList(dir.file("none.txt"), list, problem), NotDupReadResult::Missing);
    const std::string path = dir.write("l.txt", "NOTDUPS\n; note\n\n1 2 3 4\n/a\n/b\nEND");
    ASSERT_EQ(ReadNotDupList(path, list, problem), NotDupReadResult::Read) << problem;
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.pairs()[0].second, Stamp("/b", 3, 4));
}

TEST(NotDupList, HostileFilesAreRefusedAndLeaveTheListAsItWas) {
    TempDir dir;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"no magic", "NOTDUP\r\nEND\r\n"},
        {"empty", ""},
        {"cut before END", "NOTDUPS\r\n" + kPair},
        {"cut inside a pair", "NOTDUPS\r\n10 5 20 6\r\n/p/a.jpg\r\n"},
        {"three numbers", "NOTDUPS\r\n10 5 20\r\n/a\r\n/b\r\nEND\r\n"},
        {"five numbers", "NOTDUPS\r\n1 2 3 4 5\r\n/a\r\n/b\r\nEND\r\n"},
        {"two spaces", "NOTDUPS\r\n1  2 3 4\r\n/a\r\n/b\r\nEND\r\n"},
        {"negative size", "NOTDUPS\r\n-1 2 3 4\r\n/a\r\n/b\r\nEND\r\n"},
        {"plus sign", "NOTDUPS\r\n+1 2 3 4\r\n/a\r\n/b\r\nEND\r\n"},
        {"size past 64 bits", "NOTDUPS\r\n18446744073709551616 2 3 4\r\n/a\r\n/b\r\nEND\r\n"},
        {"letters", "NOTDUPS\r\n1 2x 3 4\r\n/a\r\n/b\r\nEND\r\n"},
        {"same path twice", "NOTDUPS\r\n1 2 3 4\r\n/a\r\n/a\r\nEND\r\n"},
        {"empty path", "NOTDUPS\r\n1 2 3 4\r\n\r\n/a\r\nEND\r\n"},
        {"overlong line", "NOTDUPS\r\n1 2 3 4\r\n/" + std::string(kMaxNotDupPathBytes + 10, 'x') +
                              "\r\n/b\r\nEND\r\n"},
    };
    for (const auto& c : cases) {
        NotDupList list;
        ASSERT_TRUE(list.add(Stamp("/kept/a", 1, 1), Stamp("/kept/b", 2, 2)));
        std::string problem;
        EXPECT_EQ(ReadNotDupList(dir.write("bad.txt", c.bytes), list, problem),
                  NotDupReadResult::Invalid)
            << c.what;
        EXPECT_NE(problem.find("bad.txt"), std::string::npos) << c.what << ": " << problem;
        ASSERT_EQ(list.count(), 1) << c.what;
        EXPECT_EQ(list.pairs()[0].first.path, "/kept/a") << c.what;
    }
    NotDupList list;
    std::string problem;
    fs::create_directories(dir.path() / "folder.txt");
    EXPECT_EQ(ReadNotDupList(dir.file("folder.txt"), list, problem), NotDupReadResult::Invalid);
}

TEST(NotDupList, StampsChangeWithTheFilesSizeOrTime) {
    TempDir dir;
    const std::string path = dir.write("a.jpg", "abc");
    FileStamp before;
    ASSERT_TRUE(StampFile(path, before));
    EXPECT_EQ(before.size, 3u);
    fs::last_write_time(path, fs::last_write_time(path) - std::chrono::seconds(90));
    FileStamp older;
    ASSERT_TRUE(StampFile(path, older));
    EXPECT_EQ(before.modifiedNs - older.modifiedNs, 90'000'000'000LL);
    FileStamp none;
    EXPECT_FALSE(StampFile(dir.file("missing.jpg"), none));
    EXPECT_FALSE(StampFile(dir.path().string(), none));
}

TEST(NotDupList, MarkingAndForgettingKeepTheStoredListAndNeverReplaceADamagedOne) {
    TempDir dir;
    const std::string a = dir.write("a.jpg", "aa");
    const std::string b = dir.write("b.jpg", "bbb");
    const std::string path = NotDupListPath(dir.file("data"));
    std::string problem;
    EXPECT_EQ(ForgetNotDuplicate(path, a, b, problem), NotDupChange::NotRecorded);
    EXPECT_FALSE(fs::exists(path)) << "nothing to forget writes nothing";
    ASSERT_EQ(MarkNotDuplicate(path, b, a, problem), NotDupChange::Changed) << problem;
    NotDupList list;
    ASSERT_EQ(ReadNotDupList(path, list, problem), NotDupReadResult::Read);
    ASSERT_NE(list.find(a, b), nullptr);
    EXPECT_EQ(list.find(a, b)->first.size, 2u);

    EXPECT_EQ(MarkNotDuplicate(path, a, dir.file("gone.jpg"), problem), NotDupChange::Failed);
    EXPECT_NE(problem.find("gone.jpg"), std::string::npos);
    ASSERT_EQ(ForgetNotDuplicate(path, b, a, problem), NotDupChange::Changed);
    ASSERT_EQ(ReadNotDupList(path, list, problem), NotDupReadResult::Read);
    EXPECT_EQ(list.count(), 0);

    const std::string damaged = dir.write("data/NotDuplicates.txt", "NOTDUPS\r\n1 2\r\n");
    EXPECT_EQ(MarkNotDuplicate(damaged, a, b, problem), NotDupChange::Failed);
    EXPECT_EQ(ForgetNotDuplicate(damaged, a, b, problem), NotDupChange::Failed);
    EXPECT_EQ(ReadFileBytes(damaged), "NOTDUPS\r\n1 2\r\n");
}

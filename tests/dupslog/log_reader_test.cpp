#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include "atomic_file.h"
#include "log_reader.h"
#include "log_writer.h"
#include "match_list.h"
#include "temp_dir.h"

namespace {

std::string Crlf(std::initializer_list<std::string> lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

const std::string kHeader =
    Crlf({"DUPS", "; --- Duplicates Info -- recording stops at 1000 pairs --", "; date",
          "; Match total: 2", "-- Matches --"});

std::string Pair(int number, const std::string& a, const std::string& b, const std::string& pct) {
    return Crlf({"; Match no: " + std::to_string(number), "Image 1 path: " + a,
                 "Image 2 path: " + b, "; % matching: " + pct, "; -------"});
}

int Read(const TempDir& dir, const std::string& bytes, MatchList& list) {
    return ReadDupsLog(dir.write("test.log", bytes), list);
}

}  // namespace

TEST(ReadDupsLog, ReadsPairsIntoStepWithTheView) {
    TempDir dir;
    MatchList list;
    const std::string bytes = kHeader + Pair(1, "/a.jpg", "/b.jpg", "99.5") +
                              Pair(2, "/c.jpg", "/d.jpg", "100.0") + Crlf({";", "END"});
    ASSERT_EQ(Read(dir, bytes, list), kLogRead);
    EXPECT_EQ(list.m_leftPaths, (std::vector<std::string>{"/a.jpg", "/c.jpg"}));
    EXPECT_EQ(list.m_rightPaths, (std::vector<std::string>{"/b.jpg", "/d.jpg"}));
    EXPECT_EQ(list.m_logView.front(), "; --- Duplicates Info -- recording stops at 1000 pairs --");
    EXPECT_EQ(list.m_logView.back(), ";");
    EXPECT_EQ(list.m_logView.size(), 4u + 10u + 1u);
    EXPECT_EQ(list.m_firstPairLine, 4);
    EXPECT_EQ(list.m_lastPairLine, 9);
    EXPECT_EQ(list.percentOfPair(0), 995);
    EXPECT_EQ(list.percentOfPair(1), 1000);
}

TEST(ReadDupsLog, MissingFileAndFolderCannotBeOpened) {
    TempDir dir;
    MatchList list;
    EXPECT_EQ(ReadDupsLog(dir.file("none.log"), list), kLogNotOpened);
    EXPECT_EQ(ReadDupsLog(dir.path().string(), list), kLogNotOpened);
}

TEST(ReadDupsLog, RejectsWhatIsNotADupsLog) {
    TempDir dir;
    const std::string tail = Pair(1, "/a", "/b", "99.0") + Crlf({";", "END"});
    const std::pair<const char*, std::string> cases[] = {
        {"shorter than 10 bytes", "DUPS\r\nEND"},
        {"DUPX", "DUPX" + kHeader.substr(4) + tail},
        {"no matches line", Crlf({"DUPS", "; header", ";", "END"})},
        {"LF-only lines", "DUPS\n; header\n-- Matches --\n;\nEND\n"},
        {"END and CR without LF", kHeader + tail.substr(0, tail.size() - 1)},
        {"no END", kHeader + Pair(1, "/a", "/b", "99.0")},
        {"empty after the magic", "DUPS\r\n\r\n\r\n"},
        {"a gigantic line", "DUPS\r\n" + std::string(kMaxLogLineBytes + 10, 'x') + "\r\n" + tail},
        {"no line ends at all", "DUPS" + std::string(200000, 'y')},
    };
    for (const auto& [what, bytes] : cases) {
        MatchList list;
        list.m_leftPaths = {"kept"};
        EXPECT_EQ(Read(dir, bytes, list), kLogInvalid) << what;
        EXPECT_EQ(list.m_leftPaths, std::vector<std::string>{"kept"}) << what;
    }
}

TEST(ReadDupsLog, ZeroPairsAndDeletedEntries) {
    TempDir dir;
    MatchList list;
    ASSERT_EQ(Read(dir, kHeader + Crlf({";", "; No duplicates", ";", "END"}), list), kLogRead);
    EXPECT_EQ(list.pairCount(), 0);
    EXPECT_EQ(list.m_lastPairLine, -1);

    const std::string bytes =
        kHeader + Crlf({"; Match no: 1", "Image 1 path: /a.jpg", "Image 2 path: Deleted /b.jpg",
                        "; % matching: 98.7", "; -------", ";", "END"});
    ASSERT_EQ(Read(dir, bytes, list), kLogRead);
    EXPECT_EQ(list.m_rightPaths, std::vector<std::string>{"Deleted"});
    EXPECT_EQ(list.m_logView[6], "Image 2 path: Deleted /b.jpg");
    EXPECT_EQ(list.percentOfPair(0), 987);
}

TEST(SortPairs, DescendingKeepsEqualPercentagesInLogOrderAndRenumbers) {
    TempDir dir;
    MatchList list;
    const std::string bytes = kHeader + Pair(1, "/a", "/b", "98.0") + Pair(2, "/c", "/d", "99.5") +
                              Pair(3, "/e", "/f", "98.0") + Crlf({";", "END"});
    ASSERT_EQ(Read(dir, bytes, list), kLogRead);
    ASSERT_TRUE(SortPairs(list, true));
    EXPECT_EQ(list.m_leftPaths, (std::vector<std::string>{"/c", "/a", "/e"}));
    EXPECT_EQ(list.m_rightPaths, (std::vector<std::string>{"/d", "/b", "/f"}));
    EXPECT_EQ(list.m_logView[4], ";Match no: 1");
    EXPECT_EQ(list.m_logView[5], "Image 1 path: /c");
    EXPECT_EQ(list.m_logView[9], ";Match no: 2");
    EXPECT_EQ(list.m_logView[10], "Image 1 path: /a");
    EXPECT_EQ(list.m_logView[14], ";Match no: 3");
    EXPECT_EQ(list.m_logView[15], "Image 1 path: /e");
    EXPECT_EQ(list.m_logView.back(), ";");
    EXPECT_EQ(list.m_logView.size(), 4u + 15u + 1u);

    ASSERT_TRUE(SortPairs(list, false));
    EXPECT_EQ(list.m_leftPaths, (std::vector<std::string>{"/a", "/e", "/c"}));
}

TEST(SortPairs, LeavesTooFewOrMalformedPairsAlone) {
    TempDir dir;
    MatchList list;
    ASSERT_EQ(Read(dir, kHeader + Pair(1, "/a", "/b", "98.0") + Crlf({";", "END"}), list),
              kLogRead);
    const MatchList before = list;
    EXPECT_FALSE(SortPairs(list, true));
    EXPECT_EQ(list.m_logView, before.m_logView);

    // A stray comment line breaks the five-lines-per-pair layout.
    const std::string two =
        kHeader + Pair(1, "/a", "/b", "98.0") + Pair(2, "/c", "/d", "99.0") + Crlf({";", "END"});
    ASSERT_EQ(Read(dir, two, list), kLogRead);
    list.m_logView.insert(list.m_logView.begin() + 9, "; note");
    const MatchList oddBefore = list;
    EXPECT_FALSE(SortPairs(list, true));
    EXPECT_EQ(list.m_logView, oddBefore.m_logView);
}

TEST(MatchList, MarksEveryReferenceToARemovedFile) {
    TempDir dir;
    MatchList list;
    const std::string bytes = kHeader + Pair(1, "/x.jpg", "/a.jpg", "99.0") +
                              Pair(2, "/b.jpg", "/x.jpg", "98.0") +
                              Pair(3, "/c.jpg", "/x.jpg", "97.0") + Crlf({";", "END"});
    ASSERT_EQ(Read(dir, bytes, list), kLogRead);
    EXPECT_EQ(list.markDeleted("/x.jpg"), 6);
    EXPECT_EQ(list.m_leftPaths, (std::vector<std::string>{"Deleted", "/b.jpg", "/c.jpg"}));
    EXPECT_EQ(list.m_rightPaths, (std::vector<std::string>{"/a.jpg", "Deleted", "Deleted"}));
    EXPECT_EQ(list.m_logView[5], "Image 1 path: Deleted /x.jpg");
    EXPECT_EQ(list.m_logView[11], "Image 2 path: Deleted /x.jpg");
    EXPECT_EQ(list.markDeleted("/b.jpg"), 2);
    EXPECT_EQ(list.markDeleted("/b.jpg"), 0);
}

TEST(LogWriters, SaveAndReadBackGiveTheSameBytes) {
    TempDir dir;
    std::vector<std::string> lines;
    LogHeaderInfo info;
    info.mode = 1;
    info.primaryCount = 3;
    info.secondaryCount = 2;
    info.primarySourceNote = "; Source: /p";
    info.secondarySourceNote = "; Source: /s + all subfolders";
    info.restriction = 2;
    info.sizeTol = 5;
    info.method = 1;
    info.adjustColor = true;
    info.adjustAmount = 7;
    info.checkMirror = true;
    info.checkRotation = true;
    WriteLogHeader(lines, info);
    AddMatchRecord(lines, "99.1", 1, 2, "/s/a.jpg", "/p/b.jpg");
    AddMatchRecord(lines, "98.4", 2, 2, "/s/c.jpg", "/p/d.jpg");
    AddMatchRecord(lines, "98.4", 3, 2, "/s/e.jpg", "/p/f.jpg");  // past the limit
    InsertLimitLine(lines, 2);
    const std::string path = dir.file("Dups.log");
    ASSERT_TRUE(FinishLog(lines, 2, path));
    EXPECT_EQ(lines[3], "; Match total: 2");
    EXPECT_EQ(lines[4], "; Terminated at matching pairs limit 2.");
    EXPECT_EQ(lines[5], "; --- Compared: Secondary datafile images to Primary datafile images");
    EXPECT_EQ(lines[8], "; Source: /s + all subfolders");
    EXPECT_EQ(lines[11], "; Source: /p");
    EXPECT_EQ(lines[12], "; Consider a duplicate if match is between 98.0% and 100.0%");
    EXPECT_EQ(lines[13], "; Match restrictions: Same size (tolerance  5%)");
    EXPECT_EQ(lines[14], "; Match method: Color (weighted euclidean)");
    EXPECT_EQ(lines[15], "; Adjust mean color difference before matching by 7 %");
    EXPECT_EQ(lines[16], "; additional check for mirror images");
    EXPECT_EQ(lines[17], "; additional check for rotated images");
    EXPECT_EQ(lines[18], "-- Matches --");
    EXPECT_EQ(lines.size(), 19u + 10u + 2u);

    const std::string saved = ReadFileBytes(path);
    ASSERT_EQ(saved.substr(saved.size() - 5), "END\r\n");
    MatchList list;
    ASSERT_EQ(ReadDupsLog(path, list), kLogRead);
    EXPECT_EQ(list.pairCount(), 2);
    const std::string again = dir.file("again.log");
    ASSERT_TRUE(SaveLogView(again, list));
    EXPECT_EQ(ReadFileBytes(again), saved);
}

TEST(LogWriters, RefuseEmptyListsAndReportUnwritableFiles) {
    TempDir dir;
    const std::string existing = dir.write("Dups.log", "previous");
    EXPECT_FALSE(SaveLogList(existing, {}));
    EXPECT_FALSE(SaveLogView(existing, MatchList{}));
    EXPECT_EQ(ReadFileBytes(existing), "previous");
    const std::string notAFolder = dir.write("plain", "x");
    EXPECT_FALSE(SaveLogList(notAFolder + "/Dups.log", {"DUPS"}));

    std::vector<std::string> lines = {"DUPS", "a", "b"};
    WriteLogTrailer(lines, 0);
    EXPECT_EQ(lines, (std::vector<std::string>{"DUPS", "a", "b", "; Match total: 0", ";",
                                               "; No duplicates", ";", "END"}));
}

TEST(ReadDupsLog, RefusesPairBlocksOfAnyOtherShape) {
    TempDir dir;
    const std::string end = Crlf({";", "END"});
    // A CR inside a path, written as it stands, splits its line in two.
    const std::string splitPath = kHeader + Pair(1, "/p/a.jpg", "/p/b.jpg", "99.0") +
                                  Pair(2, "/p/x\ry.jpg", "/p/c.jpg", "98.0") + end;
    const std::pair<const char*, std::string> cases[] = {
        {"a path split by a CR", splitPath},
        {"a stray comment between pairs", kHeader + Pair(1, "/a", "/b", "98.0") + Crlf({"; note"}) +
                                              Pair(2, "/c", "/d", "99.0") + end},
        {"three path lines", kHeader +
                                 Crlf({"; Match no: 1", "Image 1 path: /a", "Image 2 path: /b",
                                       "Image 1 path: /c", "; % matching: 98.0", "; -------"}) +
                                 end},
        {"image 2 before image 1",
         kHeader +
             Crlf({"; Match no: 1", "Image 2 path: /b", "Image 1 path: /a", "; % matching: 98.0",
                   "; -------"}) +
             end},
        {"numbers out of step",
         kHeader + Pair(1, "/a", "/b", "98.0") + Pair(3, "/c", "/d", "99.0") + end},
        {"no separator line",
         kHeader +
             Crlf({"; Match no: 1", "Image 1 path: /a", "Image 2 path: /b", "; % matching: 98.0"}) +
             end},
        {"a pair cut short by END", kHeader + Crlf({"; Match no: 1", "Image 1 path: /a", "END"})},
        {"no closing comment", kHeader + Pair(1, "/a", "/b", "98.0") + Crlf({"END"})},
        {"no pairs, half a note", kHeader + Crlf({";", "; No duplicates", "END"})},
        {"lines after the closing comment",
         kHeader + Pair(1, "/a", "/b", "98.0") + Crlf({";", "Image 1 path: /etc/passwd", "END"})},
    };
    for (const auto& [what, bytes] : cases) {
        MatchList list;
        EXPECT_EQ(Read(dir, bytes, list), kLogInvalid) << what;
        EXPECT_EQ(list.pairCount(), 0) << what;
    }
    // What the writers produce still reads: renumbered after a sort, and marked.
    MatchList sorted;
    ASSERT_EQ(Read(dir, kHeader + Pair(1, "/a", "/b", "98.0") + Pair(2, "/c", "/d", "99.0") + end,
                   sorted),
              kLogRead);
    ASSERT_TRUE(SortPairs(sorted, true));
    sorted.markDeleted("/a");
    const std::string resaved = dir.file("resaved.log");
    ASSERT_TRUE(SaveLogView(resaved, sorted));
    MatchList again;
    EXPECT_EQ(ReadDupsLog(resaved, again), kLogRead);
    EXPECT_EQ(again.m_leftPaths, (std::vector<std::string>{"/c", "Deleted"}));
}

TEST(LogWriters, RefuseAPathWithALineBreak) {
    TempDir dir;
    for (const std::string path : {"/p/x\ry.jpg", "/p/x\ny.jpg", "/p/a\r\nImage 2 path: /etc"}) {
        const std::string log = dir.write("Dups.log", "previous");
        std::vector<std::string> lines;
        WriteLogHeader(lines, LogHeaderInfo{});
        AddMatchRecord(lines, "99.0", 1, 1000, "/p/a.jpg", path);
        EXPECT_FALSE(FinishLog(lines, 1, log));
        EXPECT_EQ(ReadFileBytes(log), "previous");

        MatchList list;
        list.m_logView = {"; header", "-- Matches --", "; Match no: 1", "Image 1 path: " + path};
        EXPECT_FALSE(SaveLogView(log, list));
        EXPECT_EQ(ReadFileBytes(log), "previous");
    }
    // A source folder holding one only informs the reader: it shows as "?".
    std::vector<std::string> lines;
    LogHeaderInfo info;
    info.primarySourceNote = "; Source: /p/odd\rname";
    WriteLogHeader(lines, info);
    WriteLogTrailer(lines, 0);
    ASSERT_TRUE(SaveLogList(dir.file("note.log"), lines));
    EXPECT_EQ(lines[6], "; Source: /p/odd?name");
}

TEST(WriteLogBack, RefusesALogChangedSinceItWasRead) {
    TempDir dir;
    const std::string path =
        dir.write("Dups.log", kHeader + Pair(1, "/a.jpg", "/b.jpg", "99.0") + Crlf({";", "END"}));
    MatchList list;
    ASSERT_EQ(ReadDupsLog(path, list), kLogRead);
    EXPECT_FALSE(list.logChangedOnDisk(path));
    list.markDeleted("/a.jpg");
    ASSERT_EQ(WriteLogBack(path, list), WriteBackResult::Written);
    // Written by us: still the one the list stands for.
    EXPECT_FALSE(list.logChangedOnDisk(path));
    ASSERT_EQ(WriteLogBack(path, list), WriteBackResult::Written);

    // Another run writes a new log meanwhile: a different file, bigger.
    const std::string newer = kHeader + Pair(1, "/n1.jpg", "/n2.jpg", "99.0") +
                              Pair(2, "/n3.jpg", "/n4.jpg", "98.0") + Crlf({";", "END"});
    ASSERT_TRUE(WriteFileAtomically(path, newer));
    EXPECT_TRUE(list.logChangedOnDisk(path));
    EXPECT_EQ(WriteLogBack(path, list), WriteBackResult::ChangedOnDisk);
    EXPECT_EQ(ReadFileBytes(path), newer);

    // Rewritten in place with the same size: the modification time tells.
    MatchList fresh;
    ASSERT_EQ(ReadDupsLog(path, fresh), kLogRead);
    std::string sameSize = newer;
    sameSize[sameSize.find("/n1.jpg") + 2] = '9';
    std::FILE* file = std::fopen(path.c_str(), "r+b");
    ASSERT_NE(file, nullptr);
    const timespec later{fresh.m_readStamp.modifiedNs / 1'000'000'000 + 5, 0};
    std::fwrite(sameSize.data(), 1, sameSize.size(), file);
    std::fclose(file);
    const timespec times[2] = {later, later};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(WriteLogBack(path, fresh), WriteBackResult::ChangedOnDisk);
    EXPECT_EQ(ReadFileBytes(path), sameSize);

    // A log removed meanwhile has nothing to lose.
    std::remove(path.c_str());
    EXPECT_EQ(WriteLogBack(path, fresh), WriteBackResult::Written);
}

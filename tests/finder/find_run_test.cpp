#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>

#include "find_run.h"
#include "log_reader.h"
#include "log_writer.h"
#include "match_list.h"
#include "not_dup_list.h"
#include "reference_compare.h"
#include "temp_dir.h"
#include "test_records.h"

namespace {

std::vector<std::string> Paths(const std::string& stem, std::size_t count) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) {
        paths.push_back("/pics/" + stem + std::to_string(i) + ".jpg");
    }
    return paths;
}

FindRunInput WithinPrimary(const std::vector<ImageRecord>& records,
                           const std::vector<std::string>& paths) {
    FindRunInput input;
    input.mode = CompareMode::WithinPrimary;
    input.primaryRecords = records;
    input.primaryPaths = paths;
    input.primarySourceNote = "; Source: /pics";
    input.startTime = 1700000000;
    return input;
}

FindRunResult RunOnce(const FindRunInput& input) {
    JobProgress progress;
    return RunFindDups(input, progress);
}

// The records section: every line after "-- Matches --".
std::vector<std::string> Records(const std::vector<std::string>& lines) {
    const auto at = std::find(lines.begin(), lines.end(), "-- Matches --");
    return at == lines.end() ? std::vector<std::string>{}
                             : std::vector<std::string>(at + 1, lines.end());
}

std::vector<std::pair<std::string, std::string>> PairsOf(const std::vector<std::string>& lines) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
        if (lines[k].rfind("Image 1 path: ", 0) == 0) {
            pairs.emplace_back(lines[k].substr(14), lines[k + 1].substr(14));
        }
    }
    return pairs;
}

}  // namespace

TEST(FindRun, GoldenLogOfTwoIdenticalImages) {
    TempDir dir;
    const std::vector<ImageRecord> records(2, UniformRecord(90, 120, 150));
    const std::vector<std::string> paths = {"/pics/a.jpg", "/pics/b.jpg"};
    FindRunInput input = WithinPrimary(records, paths);
    input.logPath = dir.file("Dups.log");
    const FindRunResult result = RunOnce(input);
    ASSERT_TRUE(result.completed);
    EXPECT_TRUE(result.logSaved);
    EXPECT_EQ(result.matchTotal, 1);

    const std::string bytes = ReadFileBytes(input.logPath);
    // Only the date line depends on the locale and the clock.
    const std::size_t dateStart = bytes.find("\r\n", bytes.find("\r\n") + 2) + 2;
    const std::size_t dateEnd = bytes.find("\r\n", dateStart);
    ASSERT_NE(dateEnd, std::string::npos);
    const std::string dateLine = bytes.substr(dateStart, dateEnd - dateStart);
    EXPECT_EQ(dateLine.substr(0, 2), "; ");
    EXPECT_GT(dateLine.size(), 8u);
    const std::string expected =
        "DUPS\r\n"
        "; --- Duplicates Info -- recording stops at 1000 pairs --\r\n" +
        dateLine + "\r\n" +
        "; Match total: 1\r\n"
        "; --- Compared: Images all within Primary datafile\r\n"
        "; Total image files: 2\r\n"
        "; Source: /pics\r\n"
        "; Consider a duplicate if match is between 98.0% and 100.0%\r\n"
        "; Match restrictions: None\r\n"
        "; Match method: Color (euclidean)\r\n"
        "; No mean difference adjustment when matching\r\n"
        "-- Matches --\r\n"
        "; Match no: 1\r\n"
        "Image 1 path: /pics/a.jpg\r\n"
        "Image 2 path: /pics/b.jpg\r\n"
        "; % matching: 100.0\r\n"
        "; -------\r\n"
        ";\r\n"
        "END\r\n";
    EXPECT_EQ(bytes, expected);
    std::string joined;
    for (const std::string& line : result.lines) {
        joined += line + "\r\n";
    }
    EXPECT_EQ(joined, bytes);

    // Read back and written again from the viewer's lines, the log is unchanged.
    MatchList list;
    ASSERT_EQ(ReadDupsLog(input.logPath, list), kLogRead);
    EXPECT_EQ(list.m_leftPaths, std::vector<std::string>{"/pics/a.jpg"});
    const std::string again = dir.file("again.log");
    ASSERT_TRUE(SaveLogView(again, list));
    EXPECT_EQ(ReadFileBytes(again), bytes);
}

TEST(FindRun, PairsComeInOrderWithTheLowerIndexFirst) {
    const std::vector<ImageRecord> records(3, UniformRecord(10, 20, 30));
    const std::vector<std::string> paths = Paths("p", 3);
    const FindRunResult result = RunOnce(WithinPrimary(records, paths));
    const auto pairs = PairsOf(result.lines);
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0], std::make_pair(paths[0], paths[1]));
    EXPECT_EQ(pairs[1], std::make_pair(paths[0], paths[2]));
    EXPECT_EQ(pairs[2], std::make_pair(paths[1], paths[2]));
}

TEST(FindRun, NoMatchEndsWithNoDuplicates) {
    const std::vector<ImageRecord> records(1, UniformRecord(10, 20, 30));
    const std::vector<std::string> paths = Paths("p", 1);
    const FindRunResult result = RunOnce(WithinPrimary(records, paths));
    ASSERT_TRUE(result.completed);
    EXPECT_EQ(result.lines[3], "; Match total: 0");
    EXPECT_EQ(Records(result.lines),
              (std::vector<std::string>{";", "; No duplicates", ";", "END"}));
}

TEST(FindRun, SameDataFileTwiceSkipsEachImageAgainstItself) {
    std::mt19937 rng(5);
    const ImageRecord a = RandomRecord(rng);
    const std::vector<ImageRecord> records = {a, NearCopy(a, rng, 1, 0, false), RandomRecord(rng)};
    const std::vector<std::string> paths = Paths("p", 3);
    FindRunInput input = WithinPrimary(records, paths);
    input.mode = CompareMode::SecondaryToPrimary;
    input.secondaryRecords = records;
    input.secondaryPaths = paths;
    input.low = 950;
    const FindRunResult result = RunOnce(input);
    const auto pairs = PairsOf(result.lines);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], std::make_pair(paths[0], paths[1]));
    EXPECT_EQ(pairs[1], std::make_pair(paths[1], paths[0]));
    EXPECT_EQ(result.lines[4],
              "; --- Compared: Secondary datafile images to Primary datafile images");
}

TEST(FindRun, PairsLimitKeepsExactlyTheLimitOnAnyThreadCount) {
    const std::vector<ImageRecord> records(5, UniformRecord(60, 60, 60));
    const std::vector<std::string> primary = Paths("p", 5);
    const std::vector<std::string> secondary = Paths("s", 5);
    FindRunInput input = WithinPrimary(records, primary);
    input.mode = CompareMode::SecondaryToPrimary;
    input.secondaryRecords = records;
    input.secondaryPaths = secondary;  // 25 matching pairs
    input.dupsLimit = 10;
    input.threads = 1;
    const FindRunResult one = RunOnce(input);
    input.threads = 3;
    const FindRunResult many = RunOnce(input);
    EXPECT_EQ(one.lines, many.lines);
    ASSERT_TRUE(one.completed);
    EXPECT_TRUE(one.stoppedAtLimit);
    EXPECT_EQ(one.matchTotal, 10);
    EXPECT_EQ(one.lines[3], "; Match total: 10");
    EXPECT_EQ(one.lines[4], "; Terminated at matching pairs limit 10.");
    const auto pairs = PairsOf(one.lines);
    ASSERT_EQ(pairs.size(), 10u);
    EXPECT_EQ(pairs[9], std::make_pair(secondary[1], primary[4]));
    EXPECT_NE(std::find(one.lines.begin(), one.lines.end(), "; Match no: 10"), one.lines.end());
    EXPECT_EQ(std::find(one.lines.begin(), one.lines.end(), "; Match no: 11"), one.lines.end());
}

TEST(FindRun, LimitPassedInTheLastPassStillEndsAtTheLimit) {
    const std::vector<ImageRecord> records(3, UniformRecord(60, 60, 60));
    const std::vector<std::string> paths = Paths("p", 3);
    FindRunInput input = WithinPrimary(records, paths);
    input.dupsLimit = 2;  // the third match is found in the last pass
    FindRunResult result = RunOnce(input);
    EXPECT_TRUE(result.stoppedAtLimit);
    EXPECT_EQ(result.lines[3], "; Match total: 2");
    EXPECT_EQ(result.lines[4], "; Terminated at matching pairs limit 2.");

    input.dupsLimit = 3;  // exactly the limit is no stop
    result = RunOnce(input);
    EXPECT_FALSE(result.stoppedAtLimit);
    EXPECT_EQ(result.lines[3], "; Match total: 3");
    EXPECT_EQ(result.lines[4], "; --- Compared: Images all within Primary datafile");
}

TEST(FindRun, AbortWritesNoFile) {
    TempDir dir;
    const std::string log = dir.write("Dups.log", "old log");
    const std::vector<ImageRecord> records(4, UniformRecord(60, 60, 60));
    const std::vector<std::string> paths = Paths("p", 4);
    FindRunInput input = WithinPrimary(records, paths);
    input.logPath = log;
    JobProgress progress;
    progress.requestStop();
    const FindRunResult result = RunFindDups(input, progress);
    EXPECT_FALSE(result.completed);
    EXPECT_FALSE(result.logSaved);
    EXPECT_EQ(ReadFileBytes(log), "old log");
    EXPECT_EQ(std::find(result.lines.begin(), result.lines.end(), "END"), result.lines.end());
}

TEST(FindRun, UnwritableLogIsReported) {
    TempDir dir;
    const std::string notAFolder = dir.write("file", "x");
    const std::vector<ImageRecord> records(2, UniformRecord(60, 60, 60));
    const std::vector<std::string> paths = Paths("p", 2);
    FindRunInput input = WithinPrimary(records, paths);
    input.logPath = notAFolder + "/Dups.log";
    const FindRunResult result = RunOnce(input);
    EXPECT_TRUE(result.completed);
    EXPECT_FALSE(result.logSaved);
}

TEST(FindRun, SingleImageMatchesOnlyPrimaryFourAndIsNeverPrescreened) {
    std::mt19937 rng(11);
    std::vector<ImageRecord> primary;
    for (int i = 0; i < 7; ++i) {
        primary.push_back(RandomRecord(rng));
    }
    const std::vector<std::string> paths = Paths("p", 7);
    ImageRecord single = NearCopy(primary[4], rng, 1, 0, false);
    single.nSumRed = static_cast<std::uint16_t>(single.nSumRed > 12000 ? 0 : 25000);
    FindRunInput input = WithinPrimary(primary, paths);
    input.mode = CompareMode::SingleToPrimary;
    input.singleRecord = &single;
    input.singlePath = "/elsewhere/cat.jpg";
    input.settings.prescreen = true;  // would reject: the stored red sums differ widely
    input.low = 970;
    JobProgress progress;
    const FindRunResult result = RunFindDups(input, progress);
    const auto pairs = PairsOf(result.lines);
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0], std::make_pair(input.singlePath, paths[4]));
    EXPECT_EQ(result.lines[4], "; --- Compared: Single image to primary datafile");
    EXPECT_EQ(progress.total.load(), 7);
    EXPECT_EQ(progress.progress.load(), 7);
    EXPECT_EQ(progress.found.load(), 1);
}

// A copy turned a quarter turn (sides swapped, as a camera stores it) pairs
// only with the rotation check; a mirrored turned copy needs the mirror check
// as well; the aspect restriction takes the swapped sides as matching.
TEST(FindRun, TurnedCopiesPairOnlyWithTheRotationCheck) {
    std::mt19937 rng(5);
    const ImageRecord photo = RandomRecord(rng);
    const std::vector<ImageRecord> records = {photo, Turned(photo, 1), Turned(photo, 3, true),
                                              RandomRecord(rng)};
    const std::vector<std::string> paths = Paths("p", records.size());
    FindRunInput input = WithinPrimary(records, paths);
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(PairsOf(RunOnce(input).lines), Pairs{});

    input.settings.checkRotation = true;
    input.settings.restriction = MatchRestriction::SameAspect;
    const FindRunResult turned = RunOnce(input);
    EXPECT_EQ(PairsOf(turned.lines), (Pairs{{paths[0], paths[1]}}));
    EXPECT_EQ(std::count(turned.lines.begin(), turned.lines.end(),
                         "; additional check for rotated images"),
              1);

    input.settings.checkMirror = true;
    input.settings.restriction = MatchRestriction::SameSize;
    EXPECT_EQ(PairsOf(RunOnce(input).lines),
              (Pairs{{paths[0], paths[1]}, {paths[0], paths[2]}, {paths[1], paths[2]}}));
}

// One file under several names: listed twice, with "//" and "./", a link
// beside its target, a hard link, through a linked folder. Every name
// matches every other (the records are equal), yet a file is never paired
// with itself, in any mode.
TEST(FindRun, OneFileUnderTwoNamesIsNeverPaired) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string root = fs::canonical(dir.path()).string();
    const std::string a = dir.write("a.jpg", "a");
    const std::string b = dir.write("b.jpg", "b");
    fs::create_symlink(a, root + "/link.jpg");
    fs::create_hard_link(b, root + "/hard.jpg");
    fs::create_directory_symlink(root, root + "/alias");
    // The file each name stands for.
    const std::map<std::string, char> fileOf = {
        {a, 'A'},
        {root + "//./a.jpg", 'A'},
        {root + "/link.jpg", 'A'},
        {b, 'B'},
        {root + "/hard.jpg", 'B'},
        {root + "/alias/b.jpg", 'B'},
        {"/nowhere/x.jpg", 'X'},
        {"/nowhere//x.jpg", 'X'},
    };
    std::vector<std::string> paths = {a};  // a named twice
    for (const auto& entry : fileOf) {
        paths.push_back(entry.first);
    }
    const std::vector<ImageRecord> records(paths.size(), UniformRecord(90, 120, 150));
    const auto expectNoSelfPairs = [&fileOf](const std::vector<std::string>& lines,
                                             std::size_t expected, const char* mode) {
        const auto pairs = PairsOf(lines);
        EXPECT_EQ(pairs.size(), expected) << mode;
        for (const auto& [first, second] : pairs) {
            EXPECT_NE(fileOf.at(first), fileOf.at(second))
                << mode << ": " << first << " / " << second;
        }
    };

    for (const int threads : {1, 3}) {
        FindRunInput within = WithinPrimary(records, paths);
        within.threads = threads;
        // Four names of A (one twice), three of B, two of X.
        expectNoSelfPairs(RunOnce(within).lines, 4 * 3 + 4 * 2 + 3 * 2, "within");
    }

    // The secondary data file built through the linked folder.
    const std::vector<std::string> primary = {a, b};
    const std::vector<std::string> secondary = {root + "/alias/a.jpg", root + "/alias/b.jpg"};
    const std::vector<ImageRecord> two(2, UniformRecord(90, 120, 150));
    FindRunInput between = WithinPrimary(two, primary);
    between.mode = CompareMode::SecondaryToPrimary;
    between.secondaryRecords = two;
    between.secondaryPaths = secondary;
    const auto crossed = PairsOf(RunOnce(between).lines);
    EXPECT_EQ(crossed, (std::vector<std::pair<std::string, std::string>>{{secondary[0], b},
                                                                         {secondary[1], a}}));

    // The single image is one of the data file's own, under another name.
    FindRunInput single = WithinPrimary(two, primary);
    single.mode = CompareMode::SingleToPrimary;
    const ImageRecord image = UniformRecord(90, 120, 150);
    single.singleRecord = &image;
    single.singlePath = root + "/link.jpg";
    EXPECT_EQ(PairsOf(RunOnce(single).lines),
              (std::vector<std::pair<std::string, std::string>>{{single.singlePath, b}}));
}

TEST(FindRun, APathWithALineBreakIsLeftOutSoTheLogIsWritten) {
    TempDir dir;
    const std::vector<std::string> paths = {"/pics/a.jpg", "/pics/odd\r\nname.jpg", "/pics/b.jpg",
                                            "/pics/lf\nname.jpg"};
    const std::vector<ImageRecord> records(paths.size(), UniformRecord(90, 120, 150));
    FindRunInput input = WithinPrimary(records, paths);
    input.logPath = dir.file("Dups.log");
    const FindRunResult result = RunOnce(input);
    EXPECT_TRUE(result.logSaved);
    EXPECT_EQ(PairsOf(result.lines),
              (std::vector<std::pair<std::string, std::string>>{{"/pics/a.jpg", "/pics/b.jpg"}}));
    MatchList list;
    EXPECT_EQ(ReadDupsLog(input.logPath, list), kLogRead);
    EXPECT_EQ(list.pairCount(), 1);
}

// Whole runs over clusters of near copies: the log equals the one the plain
// loops and formulas give, on one thread and on several.
TEST(FindRunDifferential, RunsEqualTheReferenceOnAnyThreadCount) {
    std::mt19937 rng(99);
    std::vector<ImageRecord> records;
    for (int base = 0; base < 30; ++base) {
        const ImageRecord a = RandomRecord(rng);
        records.push_back(a);
        for (int copies = static_cast<int>(rng() % 4); copies > 0; --copies) {
            ImageRecord copy = NearCopy(a, rng, static_cast<int>(rng() % 4),
                                        static_cast<int>(rng() % 6), rng() % 4 == 0);
            copy.bColor = rng() % 6 == 0 ? 0 : 1;
            copy.nWidth = rng() % 15 == 0 ? 0 : copy.nWidth;
            if (copy.nWidth != 0 && rng() % 3 == 0) {
                copy = Turned(copy, static_cast<int>(rng() % 4), rng() % 2 == 0);
            }
            records.push_back(copy);
        }
        // Pairs whose sums alone come close to ruling them out.
        if (rng() % 2 == 0) {
            const int shift = static_cast<int>(rng() % 12) + 1;
            records.push_back(Shifted(a, rng() % 2 == 0 ? shift : -shift));
        }
    }
    std::shuffle(records.begin(), records.end(), rng);
    const std::size_t half = records.size() / 2;
    const std::vector<ImageRecord> primary(records.begin(),
                                           records.begin() + static_cast<std::ptrdiff_t>(half));
    const std::vector<ImageRecord> secondary(records.begin() + static_cast<std::ptrdiff_t>(half),
                                             records.end());
    const std::vector<std::string> primaryPaths = Paths("p", primary.size());
    const std::vector<std::string> secondaryPaths = Paths("s", secondary.size());

    for (int trial = 0; trial < 12; ++trial) {
        ReferenceRunInput ref;
        ref.mode = trial % 3;
        ref.settings.method = static_cast<int>(rng() % 4);
        ref.settings.restriction = static_cast<MatchRestriction>(rng() % 3);
        ref.settings.aspectTol = 5;
        ref.settings.sizeTol = 10;
        ref.settings.adjustColor = rng() % 2 == 0;
        ref.settings.adjustAmount = static_cast<int>(rng() % 20);
        ref.settings.checkMirror = rng() % 2 == 0;
        ref.settings.checkRotation = rng() % 2 == 0;
        ref.settings.prescreen = rng() % 2 == 0;
        ref.settings.useLumForGrey = rng() % 2 == 0;
        ref.low = 900 + static_cast<int>(rng() % 95);
        ref.high = rng() % 3 == 0 ? 995 : 1000;
        ref.dupsLimit = trial % 4 == 3 ? 7 : 1000;
        ref.primary = trial % 3 == 0 ? records : primary;
        ref.primaryPaths = trial % 3 == 0 ? Paths("p", records.size()) : primaryPaths;
        ref.secondary = secondary;
        ref.secondaryPaths = secondaryPaths;
        ref.single = secondary[static_cast<std::size_t>(trial) % secondary.size()];
        ref.singlePath = "/single.jpg";
        const ReferenceRunLog expected = ReferenceRun(ref);

        FindRunInput input;
        input.mode = static_cast<CompareMode>(ref.mode);
        input.primaryRecords = ref.primary;
        input.primaryPaths = ref.primaryPaths;
        input.secondaryRecords = ref.secondary;
        input.secondaryPaths = ref.secondaryPaths;
        input.singleRecord = &ref.single;
        input.singlePath = ref.singlePath;
        input.settings = ref.settings;
        input.low = ref.low;
        input.high = ref.high;
        input.dupsLimit = ref.dupsLimit;
        input.startTime = 1700000000;  // both runs must date their logs alike
        input.threads = 1;
        const FindRunResult one = RunOnce(input);
        input.threads = 3;
        const FindRunResult many = RunOnce(input);
        SCOPED_TRACE(testing::Message() << "trial " << trial << " mode " << ref.mode);
        ASSERT_EQ(one.lines, many.lines);
        EXPECT_EQ(one.matchTotal, expected.total);
        EXPECT_EQ(one.stoppedAtLimit, expected.limited);
        std::vector<std::string> records_ = Records(one.lines);
        const std::size_t tail = expected.total == 0 ? 4 : 2;
        ASSERT_GE(records_.size(), tail);
        records_.resize(records_.size() - tail);
        EXPECT_EQ(records_, expected.records);
    }
}

namespace {

// Real files for the paths, so that their stamps can be taken.
std::vector<std::string> FilesIn(const TempDir& dir, const std::string& stem, std::size_t count) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < count; ++i) {
        paths.push_back(dir.write(stem + std::to_string(i) + ".jpg", "image " + stem));
    }
    return paths;
}

void MarkNotDup(NotDupList& list, const std::string& a, const std::string& b) {
    FileStamp stampA;
    FileStamp stampB;
    ASSERT_TRUE(StampFile(a, stampA) && StampFile(b, stampB));
    ASSERT_TRUE(list.add(stampA, stampB));
}

std::string LineAfterTotal(const FindRunResult& result, int extra = 0) {
    return result.lines.at(4 + static_cast<std::size_t>(extra));
}

}  // namespace

TEST(FindRunNotDuplicates, MarkedPairsAreLeftOutBeforeTheLimitCountsThem) {
    TempDir dir;
    const std::vector<ImageRecord> records(5, UniformRecord(60, 60, 60));
    const std::vector<std::string> paths = FilesIn(dir, "p", 5);  // 10 matching pairs
    FindRunInput input = WithinPrimary(records, paths);
    input.dupsLimit = 8;
    const FindRunResult plain = RunOnce(input);
    ASSERT_TRUE(plain.stoppedAtLimit);

    NotDupList list;
    input.notDuplicates = &list;
    EXPECT_EQ(RunOnce(input).lines, plain.lines) << "an empty list changes nothing";
    MarkNotDup(list, paths[2], paths[0]);
    MarkNotDup(list, paths[3], paths[4]);
    MarkNotDup(list, paths[1], dir.write("elsewhere.jpg", "x"));
    for (const int threads : {1, 3}) {
        input.threads = threads;
        const FindRunResult result = RunOnce(input);
        ASSERT_TRUE(result.completed);
        EXPECT_FALSE(result.stoppedAtLimit) << threads;
        EXPECT_EQ(result.matchTotal, 8);
        EXPECT_EQ(result.leftOut, 2);
        EXPECT_EQ(result.lines[3], "; Match total: 8");
        EXPECT_EQ(LineAfterTotal(result), "; Pairs marked not duplicate left out: 2");
        const auto pairs = PairsOf(result.lines);
        EXPECT_EQ(std::count(pairs.begin(), pairs.end(), std::make_pair(paths[0], paths[2])), 0);
        EXPECT_EQ(std::count(pairs.begin(), pairs.end(), std::make_pair(paths[3], paths[4])), 0);
    }

    // Seven kept pairs reach the limit before (3, 4) is met: only (0, 2) was left out.
    input.dupsLimit = 7;
    const FindRunResult limited = RunOnce(input);
    EXPECT_TRUE(limited.stoppedAtLimit);
    EXPECT_EQ(limited.leftOut, 1);
    EXPECT_EQ(LineAfterTotal(limited), "; Terminated at matching pairs limit 7.");
    EXPECT_EQ(LineAfterTotal(limited, 1), "; Pairs marked not duplicate left out: 1");
}

TEST(FindRunNotDuplicates, AChangedFileIsComparedAgain) {
    TempDir dir;
    const std::vector<ImageRecord> records(3, UniformRecord(60, 60, 60));
    const std::vector<std::string> paths = FilesIn(dir, "p", 3);
    NotDupList list;
    MarkNotDup(list, paths[0], paths[1]);
    MarkNotDup(list, paths[1], paths[2]);
    std::filesystem::last_write_time(
        paths[2], std::filesystem::last_write_time(paths[2]) - std::chrono::seconds(5));
    FindRunInput input = WithinPrimary(records, paths);
    input.notDuplicates = &list;
    const FindRunResult result = RunOnce(input);
    EXPECT_EQ(PairsOf(result.lines), (std::vector<std::pair<std::string, std::string>>{
                                         {paths[0], paths[2]}, {paths[1], paths[2]}}));
    EXPECT_EQ(result.leftOut, 1);
}

TEST(FindRunNotDuplicates, SecondaryAndSingleRunsLeaveOutThePairInEitherOrder) {
    TempDir dir;
    const std::vector<ImageRecord> primaryRecords(2, UniformRecord(60, 60, 60));
    const std::vector<std::string> primary = FilesIn(dir, "p", 2);
    const std::vector<ImageRecord> secondaryRecords(1, UniformRecord(60, 60, 60));
    const std::vector<std::string> secondary = FilesIn(dir, "s", 1);
    NotDupList list;
    MarkNotDup(list, primary[1], secondary[0]);
    const std::vector<std::pair<std::string, std::string>> expected = {{secondary[0], primary[0]}};

    FindRunInput input = WithinPrimary(primaryRecords, primary);
    input.notDuplicates = &list;
    input.mode = CompareMode::SecondaryToPrimary;
    input.secondaryRecords = secondaryRecords;
    input.secondaryPaths = secondary;
    FindRunResult result = RunOnce(input);
    EXPECT_EQ(PairsOf(result.lines), expected);
    EXPECT_EQ(result.leftOut, 1);

    input.mode = CompareMode::SingleToPrimary;
    input.singleRecord = &secondaryRecords[0];
    input.singlePath = secondary[0];
    result = RunOnce(input);
    EXPECT_EQ(PairsOf(result.lines), expected);
    EXPECT_EQ(result.leftOut, 1);
}

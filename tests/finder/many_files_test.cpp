// Several data files searched in one run: exactly the pairs of the runs over
// each file and each two files, and a header naming what was searched.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

#include "find_run.h"
#include "test_records.h"

namespace {

struct DataFile {
    std::string name;
    std::vector<ImageRecord> records;
    std::vector<std::string> paths;
};

using Pair = std::tuple<std::string, std::string, int>;  // image 1, image 2, value

std::vector<Pair> PairsOf(const FindRunInput& input) {
    JobProgress progress;
    const FindRunResult result = RunFindDups(input, progress);
    EXPECT_TRUE(result.completed);
    EXPECT_EQ(result.pairs.size(), static_cast<std::size_t>(result.matchTotal));
    std::vector<Pair> pairs;
    for (const FoundPair& pair : result.pairs) {
        const auto at = [](std::span<const std::string> paths, int i) {
            return paths[static_cast<std::size_t>(i)];
        };
        pairs.emplace_back(input.mode == CompareMode::SecondaryToPrimary
                               ? at(input.secondaryPaths, pair.image1)
                               : at(input.primaryPaths, pair.image1),
                           at(input.primaryPaths, pair.image2), pair.value);
    }
    return pairs;
}

FindRunInput Settled(FindRunInput input, const FindSettings& settings) {
    input.settings = settings;
    input.low = 900;
    input.dupsLimit = 1000000;
    input.startTime = 1700000000;
    return input;
}

// Four files of pictures with near copies spread over all of them; one
// picture stands in two files under one path, one twice in one file.
std::vector<DataFile> FourFiles(std::mt19937& rng) {
    std::vector<DataFile> files(4);
    std::vector<ImageRecord> originals;
    for (int k = 0; k < 4; ++k) {
        files[static_cast<std::size_t>(k)].name = "/data/part" + std::to_string(k) + ".dup";
    }
    for (int n = 0; n < 240; ++n) {
        DataFile& file = files[rng() % 4];
        ImageRecord record;
        if (!originals.empty() && rng() % 3 == 0) {
            record = NearCopy(originals[rng() % originals.size()], rng, 3, 6, rng() % 4 == 0);
            if (rng() % 5 == 0) {
                record.bColor = 0;  // a greyscale copy: luminance decides
            }
        } else {
            record = RandomRecord(rng);
            originals.push_back(record);
        }
        file.records.push_back(record);
        file.paths.push_back(file.name + "/img" + std::to_string(n) + ".jpg");
    }
    files[2].records.push_back(files[0].records[3]);
    files[2].paths.push_back(files[0].paths[3]);
    files[1].records.push_back(files[1].records[5]);
    files[1].paths.push_back(files[1].paths[5]);
    return files;
}

}  // namespace

TEST(FindRunManyFiles, FourFilesGiveExactlyThePairsOfTheTenOneAndTwoFileRuns) {
    std::mt19937 rng(23);
    const std::vector<DataFile> files = FourFiles(rng);
    std::vector<ImageRecord> records;
    std::vector<std::string> paths;
    FindRunInput together;
    for (const DataFile& file : files) {
        records.insert(records.end(), file.records.begin(), file.records.end());
        paths.insert(paths.end(), file.paths.begin(), file.paths.end());
        together.primaryFiles.push_back(
            {file.name, static_cast<int>(file.records.size()), "; Source: " + file.name});
    }
    together.primaryRecords = records;
    together.primaryPaths = paths;

    // The settings under which a pair's value depends on which image is first.
    FindSettings aspect;
    aspect.restriction = MatchRestriction::SameAspect;
    aspect.aspectTol = 30;
    FindSettings adjusted;
    adjusted.adjustColor = true;
    adjusted.adjustAmount = 10;
    adjusted.checkMirror = true;
    adjusted.useLumForGrey = true;
    FindSettings size;
    size.restriction = MatchRestriction::SameSize;
    size.sizeTol = 40;
    size.method = kMethodLuminance;
    for (const FindSettings& settings : {FindSettings{}, aspect, adjusted, size}) {
        std::vector<Pair> expected;
        for (std::size_t f = 0; f < files.size(); ++f) {
            FindRunInput one;
            one.primaryRecords = files[f].records;
            one.primaryPaths = files[f].paths;
            const std::vector<Pair> within = PairsOf(Settled(one, settings));
            expected.insert(expected.end(), within.begin(), within.end());
            // The earlier file's image comes first, as in the run over all four.
            for (std::size_t g = f + 1; g < files.size(); ++g) {
                FindRunInput two;
                two.mode = CompareMode::SecondaryToPrimary;
                two.secondaryRecords = files[f].records;
                two.secondaryPaths = files[f].paths;
                two.primaryRecords = files[g].records;
                two.primaryPaths = files[g].paths;
                const std::vector<Pair> between = PairsOf(Settled(two, settings));
                expected.insert(expected.end(), between.begin(), between.end());
            }
        }
        FindRunInput all = Settled(together, settings);
        all.threads = 2;
        std::vector<Pair> found = PairsOf(all);
        all.threads = 1;
        EXPECT_EQ(PairsOf(all), found) << "the order does not depend on the threads";
        EXPECT_GT(found.size(), 40u);
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
    }
}

TEST(FindRunManyFiles, AnImageNamedTwiceIsNeverItsOwnDuplicateWithinOrAcrossFiles) {
    std::mt19937 rng(7);
    const ImageRecord picture = RandomRecord(rng);
    const ImageRecord other = RandomRecord(rng);
    const std::vector<ImageRecord> records = {picture, picture, other, picture, other};
    const std::vector<std::string> paths = {"/a/p.jpg", "/a/p.jpg", "/a/o.jpg", "/a/p.jpg",
                                            "/b/o.jpg"};
    FindRunInput input;
    input.primaryRecords = records;
    input.primaryPaths = paths;
    const std::vector<Pair> expected = {{"/a/o.jpg", "/b/o.jpg", 1000}};
    input.primaryFiles = {{"/d/a.dup", 3, "; Source: /a"}, {"/d/b.dup", 2, "; Source: /b"}};
    EXPECT_EQ(PairsOf(Settled(input, FindSettings{})), expected);

    // Counts that do not cover the records: the same pairs.
    input.primaryFiles = {{"/d/a.dup", 2, "; Source: /a"}, {"/d/b.dup", 2, "; Source: /b"}};
    EXPECT_EQ(PairsOf(Settled(input, FindSettings{})), expected);
}

TEST(FindRunManyFiles, TheHeaderNamesEveryFileSearched) {
    const std::vector<ImageRecord> records(5, UniformRecord(80, 90, 100));
    const std::vector<std::string> paths = {"/a/1.jpg", "/a/2.jpg", "/b/1.jpg", "/b/2.jpg",
                                            "/b/3.jpg"};
    FindRunInput input;
    input.primaryRecords = records;
    input.primaryPaths = paths;
    input.primaryFiles = {{"/d/a.dup", 2, "; Source: /a"},
                          {"/d/b.dup", 3, "; Source: /b + all subfolders"}};
    input.primarySourceNote = "; Source: not shown";
    JobProgress progress;
    const FindRunResult within = RunFindDups(Settled(input, FindSettings{}), progress);
    ASSERT_GT(within.lines.size(), 12u);
    EXPECT_EQ(std::vector<std::string>(within.lines.begin() + 4, within.lines.begin() + 11),
              (std::vector<std::string>{
                  "; --- Compared: Images all within Primary datafile", "; Total image files: 5",
                  "; Data file 1 of 2: /d/a.dup, 2 images", "; Source: /a",
                  "; Data file 2 of 2: /d/b.dup, 3 images", "; Source: /b + all subfolders",
                  "; Consider a duplicate if match is between 90.0% and "
                  "100.0%"}));
    EXPECT_EQ(within.matchTotal, 10);

    // Several primaries against a secondary: every secondary image against all of them.
    const std::vector<ImageRecord> secondRecords = {UniformRecord(80, 90, 100)};
    const std::vector<std::string> secondPaths = {"/new/x.jpg"};
    input.mode = CompareMode::SecondaryToPrimary;
    input.secondaryRecords = secondRecords;
    input.secondaryPaths = secondPaths;
    input.secondarySourceNote = "; Source: /new";
    const FindRunResult between = RunFindDups(Settled(input, FindSettings{}), progress);
    EXPECT_EQ(between.matchTotal, 5);
    const auto primaryPart = std::find(between.lines.begin(), between.lines.end(),
                                       "; --- Primary datafile (2nd image of pair):");
    ASSERT_NE(primaryPart, between.lines.end());
    EXPECT_EQ(
        std::vector<std::string>(primaryPart + 1, primaryPart + 6),
        (std::vector<std::string>{
            "; Total image files: 5", "; Data file 1 of 2: /d/a.dup, 2 images", "; Source: /a",
            "; Data file 2 of 2: /d/b.dup, 3 images", "; Source: /b + all subfolders"}));
}

#include <gtest/gtest.h>

#include <random>

#include "compare.h"
#include "rms_table.h"
#include "settings_summary.h"
#include "test_records.h"

namespace {

const RmsTable& Table() {
    static const RmsTable table;
    return table;
}

int Compare(const FindSettings& settings, const ImageRecord& first, const ImageRecord& second,
            int low = 750, int high = 1000) {
    FirstImageState state;
    if (!PrepareFirstImage(settings, first, state)) {
        return -1;
    }
    return ComparePair(Table(), settings, state, first, second, low, high);
}

FindSettings Method(int method) {
    FindSettings settings;
    settings.method = method;
    return settings;
}

}  // namespace

TEST(RmsTable, HoldsRoundedRootsOfAThird) {
    const RmsTable& table = Table();
    EXPECT_EQ(table[0], 0);
    EXPECT_EQ(table[3], 1);
    EXPECT_EQ(table[100], 6);
    EXPECT_EQ(table[300], 10);
    EXPECT_EQ(table[RmsTable::kLast], 255);
    EXPECT_EQ(table.capped(400000), 255);
}

TEST(Compare, IdenticalThumbnailsMatchFullyOnEveryMetric) {
    std::mt19937 rng(7);
    const ImageRecord a = RandomRecord(rng);
    for (int method = 0; method < 4; ++method) {
        SCOPED_TRACE(method);
        EXPECT_EQ(Compare(Method(method), a, a), 1000);
        EXPECT_EQ(Compare(Method(method), a, a, 750, 999), 0);
    }
}

TEST(Compare, UniformAndSingleChannelDifferences) {
    const ImageRecord first = UniformRecord(110, 110, 110);
    const ImageRecord second = UniformRecord(100, 100, 100);
    EXPECT_EQ(Compare(Method(kMethodEuclidean), first, second), 960);
    EXPECT_EQ(Compare(Method(kMethodWeighted), first, second), 960);
    EXPECT_EQ(Compare(Method(kMethodVariance), first, second), 960);
    EXPECT_EQ(Compare(Method(kMethodLuminance), first, second), 945);
    EXPECT_EQ(Compare(Method(kMethodEuclidean), UniformRecord(110, 100, 100), second), 976);
}

TEST(Compare, AdjustmentAbsorbsAMeanDifference) {
    const ImageRecord first = UniformRecord(110, 110, 110);
    const ImageRecord second = UniformRecord(100, 100, 100);
    for (int method = 0; method < 3; ++method) {
        FindSettings settings = Method(method);
        settings.adjustColor = true;
        settings.adjustAmount = 10;
        EXPECT_EQ(Compare(settings, first, second), 1000) << method;
    }
    FindSettings lum = Method(kMethodLuminance);
    lum.adjustColor = true;
    lum.adjustAmount = 100;
    EXPECT_EQ(Compare(lum, first, second), 1000);
    lum.adjustAmount = 10;
    EXPECT_EQ(Compare(lum, first, second), 950);
}

TEST(Compare, AdjustedDifferencePastTheTableCountsAsTheLastEntry) {
    // Offsets of +100 against a pixel that is darker by 255 give 355 per channel.
    ImageRecord first = UniformRecord(255, 255, 255);
    ImageRecord second = UniformRecord(0, 0, 0);
    for (int c = 0; c < 3; ++c) {
        first.thumb[c] = 0;
        second.thumb[c] = 255;
    }
    SetSumsFromThumb(first);
    SetSumsFromThumb(second);
    FindSettings settings = Method(kMethodEuclidean);
    settings.adjustColor = true;
    settings.adjustAmount = 100;
    // 99 pixels differ by 155 (table 155), one by 355 (capped at 255).
    const int sum = 99 * 155 + 255;
    const int expected = ((2550 - ((5 * sum + 25) * 2) / 100) * 100) / 255;
    EXPECT_EQ(Compare(settings, first, second, -1000, 1000), expected);
}

TEST(Compare, GatesComeFirst) {
    const ImageRecord a = UniformRecord(100, 100, 100, 1000, 800);
    ImageRecord empty = a;
    empty.nWidth = 0;
    EXPECT_EQ(Compare(Method(kMethodLuminance), a, empty), 0);
    FirstImageState state;
    EXPECT_FALSE(PrepareFirstImage(Method(0), empty, state));

    FindSettings aspect;
    aspect.restriction = MatchRestriction::SameAspect;
    aspect.aspectTol = 0;  // still 0.05 around 1.25
    EXPECT_EQ(Compare(aspect, a, UniformRecord(100, 100, 100, 1000, 775)), 1000);
    EXPECT_EQ(Compare(aspect, a, UniformRecord(100, 100, 100, 1000, 760)), 0);
    aspect.aspectTol = 10;  // 0.125
    EXPECT_EQ(Compare(aspect, a, UniformRecord(100, 100, 100, 1000, 740)), 1000);
    EXPECT_EQ(Compare(aspect, a, UniformRecord(100, 100, 100, 1000, 720)), 0);

    FindSettings size;
    size.restriction = MatchRestriction::SameSize;
    size.sizeTol = 10;
    EXPECT_EQ(Compare(size, a, UniformRecord(100, 100, 100, 1100, 880)), 1000);
    EXPECT_EQ(Compare(size, a, UniformRecord(100, 100, 100, 1101, 800)), 0);
    EXPECT_EQ(Compare(size, a, UniformRecord(100, 100, 100, 1000, 881)), 0);
}

TEST(Compare, GreyscaleFirstForcesLuminanceGreyscaleSecondOnlyWithTheSetting) {
    ImageRecord first = UniformRecord(110, 110, 110);
    const ImageRecord second = UniformRecord(100, 100, 100);
    ImageRecord greySecond = second;
    greySecond.bColor = 0;
    FindSettings settings = Method(kMethodEuclidean);
    EXPECT_EQ(Compare(settings, first, greySecond), 960);
    settings.useLumForGrey = true;
    EXPECT_EQ(Compare(settings, first, greySecond), 945);
    EXPECT_EQ(Compare(settings, first, second), 960);

    first.bColor = 0;
    settings.useLumForGrey = false;
    EXPECT_EQ(Compare(settings, first, second), 945);
}

TEST(Compare, PrescreenUsesTheStoredSumsAndOnlyWithItsSetting) {
    const ImageRecord first = UniformRecord(100, 100, 100);
    ImageRecord second = first;  // same pixels, stored sums 25 levels apart
    second.nSumRed = static_cast<std::uint16_t>(second.nSumRed - 2500);
    FindSettings settings = Method(kMethodEuclidean);
    EXPECT_EQ(Compare(settings, first, second, 980), 1000);
    settings.prescreen = true;
    EXPECT_EQ(Compare(settings, first, second, 980), 0);  // s = 90 < 91
    second.nSumRed = static_cast<std::uint16_t>(first.nSumRed - 2200);
    EXPECT_EQ(Compare(settings, first, second, 980), 1000);  // s = 91
}

TEST(Compare, BandEdgesAreInclusive) {
    const ImageRecord first = UniformRecord(110, 110, 110);
    const ImageRecord second = UniformRecord(100, 100, 100);
    const FindSettings settings = Method(kMethodEuclidean);
    EXPECT_EQ(Compare(settings, first, second, 960, 960), 960);
    EXPECT_EQ(Compare(settings, first, second, 961, 1000), 0);
    EXPECT_EQ(Compare(settings, first, second, 750, 959), 0);
}

TEST(Compare, MirroredComparisonFlipsTheSecondImage) {
    std::mt19937 rng(3);
    const ImageRecord a = RandomRecord(rng);
    std::mt19937 unused(1);
    const ImageRecord flipped = NearCopy(a, unused, 0, 0, true);
    const FindSettings settings = Method(kMethodWeighted);
    FirstImageState state;
    ASSERT_TRUE(PrepareFirstImage(settings, a, state));
    EXPECT_EQ(ComparePairMirrored(Table(), settings, state, a, flipped, 750, 1000), 1000);
    EXPECT_LT(ComparePair(Table(), settings, state, a, flipped, 0, 1000), 1000);
}

TEST(SettingsSummary, ListsTheChosenOptionsLineByLine) {
    FindSettings settings;
    settings.method = kMethodVariance;
    settings.adjustColor = true;
    settings.adjustAmount = 20;
    settings.useLumForGrey = true;
    settings.restriction = MatchRestriction::SameSize;
    settings.sizeTol = 5;
    EXPECT_EQ(SettingsSummaryText(settings),
              "Match algorithm: color (variance)\n"
              "Adjust color before comparing 20%.\n"
              "Compare on luminance if one image greyscale.\n"
              "Images must have same size (tolerance 5% )");
    FindSettings other;
    other.method = kMethodLuminance;
    other.checkMirror = true;
    other.checkRotation = true;
    other.restriction = MatchRestriction::SameAspect;
    other.aspectTol = 3;
    EXPECT_EQ(SettingsSummaryText(other),
              "Match algorithm: luminance (greyscale)\n"
              "Additional check for mirrored images.\n"
              "Additional check for rotated images.\n"
              "Images must have same aspect ratio (tolerance 3% )");
    EXPECT_EQ(SettingsSummaryText(FindSettings{}),
              "Match algorithm: color (euclidean)\nImages have no size restriction");
}

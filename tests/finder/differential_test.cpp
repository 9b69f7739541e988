// The fast comparison against the plain reference on random pairs built to
// land on, near and far from the band, for every combination of settings and
// every orientation of the second image.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "compare.h"
#include "reference_compare.h"
#include "rms_table.h"
#include "test_records.h"

namespace {

ImageRecord Extreme(std::mt19937& rng) {
    // Mostly one extreme with a few pixels of the other: offsets clamp and
    // adjusted differences run past the table.
    const bool bright = rng() % 2 == 0;
    ImageRecord record = UniformRecord(bright ? 255 : 0, bright ? 250 : 5, bright ? 245 : 0);
    for (int k = 0; k < 5; ++k) {
        const int p = static_cast<int>(rng() % kThumbPixels);
        for (int c = 0; c < 3; ++c) {
            record.thumb[3 * p + c] = bright ? 0 : 255;
        }
    }
    SetSumsFromThumb(record);
    return record;
}

ImageRecord SecondFor(const ImageRecord& first, std::mt19937& rng) {
    static constexpr int kSpreads[] = {0, 1, 2, 3, 5, 8, 16};
    static constexpr int kShifts[] = {0, 1, 3, 6, 12, 30, 90};
    ImageRecord second;
    switch (rng() % 9) {
        case 0:
            second = RandomRecord(rng);
            break;
        case 1:
            second = Extreme(rng);
            break;
        case 2:
            second = Shifted(first, static_cast<int>(rng() % 25) - 12);
            break;
        default:
            second = NearCopy(first, rng, kSpreads[rng() % 7], kShifts[rng() % 7], rng() % 3 == 0);
            break;
    }
    switch (rng() % 10) {
        case 0:  // stored sums that disagree with the thumbnail
            second.nSumGreen = static_cast<std::uint16_t>(rng() % 25501);
            break;
        case 1:
            second.bColor = 0;
            break;
        case 2:
            second.nWidth = 0;
            break;
        default:
            break;
    }
    // Sizes near the first image's, so that the restrictions pass and fail.
    const int dw = static_cast<int>(rng() % 41) - 20;
    const int dh = static_cast<int>(rng() % 41) - 20;
    if (second.nWidth != 0) {
        second.nWidth = static_cast<std::uint16_t>(std::max(1, first.nWidth * (100 + dw) / 100));
    }
    second.nHeight = static_cast<std::uint16_t>(std::max(1, first.nHeight * (100 + dh) / 100));
    if (rng() % 50 == 0) {
        second.nHeight = 0;
    }
    // Sides swapped as a turned copy's are, for the turned comparisons' gates.
    if (rng() % 4 == 0) {
        std::swap(second.nWidth, second.nHeight);
        if (second.nWidth == 0) {
            second.nWidth = 1;
        }
    }
    return second;
}

FindSettings SettingsFor(int combo, std::mt19937& rng) {
    FindSettings s;
    s.method = combo % 4;
    s.restriction = static_cast<MatchRestriction>((combo / 4) % 3);
    s.adjustColor = (combo / 12) % 2 != 0;
    s.checkMirror = (combo / 24) % 2 != 0;
    s.prescreen = (combo / 48) % 2 != 0;
    s.useLumForGrey = (combo / 96) % 2 != 0;
    s.checkRotation = rng() % 2 == 0;
    static constexpr int kAmounts[] = {0, 1, 5, 10, 30, 100};
    s.adjustAmount = kAmounts[rng() % 6];
    s.aspectTol = static_cast<int>(rng() % 4 == 0 ? rng() % 101 : rng() % 6);
    s.sizeTol = static_cast<int>(rng() % 4 == 0 ? rng() % 101 : rng() % 15);
    return s;
}

}  // namespace

TEST(CompareDifferential, FastPathEqualsTheReferenceEverywhere) {
    static const RmsTable table;
    std::mt19937 rng(20240611);
    constexpr int kCombos = 192;
    constexpr int kPairsPerCombo = 120;
    int inBand = 0;
    int compared = 0;
    for (int combo = 0; combo < kCombos; ++combo) {
        const FindSettings settings = SettingsFor(combo, rng);
        ReferenceComparer reference(settings);
        for (int n = 0; n < kPairsPerCombo; ++n) {
            ImageRecord first = rng() % 6 == 0 ? Extreme(rng) : RandomRecord(rng);
            if (rng() % 8 == 0) {
                first.bColor = 0;
            }
            // Half the seconds are turned copies, so that every orientation
            // meets pairs it matches.
            const ImageRecord second =
                rng() % 2 == 0
                    ? SecondFor(first, rng)
                    : Turned(SecondFor(first, rng), static_cast<int>(rng() % 4), rng() % 2 == 0);
            FirstImageState state;
            const bool prepared = PrepareFirstImage(settings, first, state);
            ASSERT_EQ(prepared, reference.prepare(first));
            if (!prepared) {
                continue;
            }
            for (int k = 0; k < kOrientationCount; ++k) {
                const ThumbOrientation orientation{k % 4, k >= 4};
                // The unbanded value picks bands that end right at, just
                // before and just after it, and a few ordinary ones.
                const int exact = reference.compare(first, second, -100000, 100000, orientation);
                // A value of 0 or less reads as no match, so no band reaches it.
                const int lows[] = {std::max(1, exact - 1), std::max(1, exact),
                                    std::max(1, exact + 1), 750 + static_cast<int>(rng() % 251)};
                const int highs[] = {exact - 1, exact, 1000};
                for (const int low : lows) {
                    const int high = highs[rng() % 3];
                    const int expected = reference.compare(first, second, low, high, orientation);
                    const int actual =
                        k == 0 ? ComparePair(table, settings, state, first, second, low, high)
                        : k == 4
                            ? ComparePairMirrored(table, settings, state, first, second, low, high)
                            : ComparePairOriented(table, settings, state, first, second, low, high,
                                                  orientation);
                    ++compared;
                    inBand += expected != 0 ? 1 : 0;
                    ASSERT_EQ(actual, expected)
                        << "method " << settings.method << " restriction "
                        << static_cast<int>(settings.restriction) << " adjust "
                        << settings.adjustColor << "/" << settings.adjustAmount << " prescreen "
                        << settings.prescreen << " useLum " << settings.useLumForGrey
                        << " orientation " << k << " band " << low << ".." << high << " exact "
                        << exact;
                }
            }
        }
    }
    // The cases must exercise both outcomes in earnest.
    EXPECT_GT(inBand, compared / 10);
    EXPECT_LT(inBand, compared * 9 / 10);
}

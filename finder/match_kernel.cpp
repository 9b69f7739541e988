#include "match_kernel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace {

// Largest pixel sums any pair can reach (an adjusted difference is at most
// 255 + 100 per channel), so that the limits below cover every case.
constexpr int kMaxColourSum = kThumbPixels * 255;
constexpr int kMaxVarianceSum = kThumbPixels * 3 * 355 * 355;
constexpr int kMaxLuminanceSum = kThumbPixels * 2700;
constexpr int kMaxPixelL1 = 3 * 255;

int ValueOf(const RmsTable& table, int metric, int sum) {
    switch (metric) {
        case kMethodVariance:
            return VarianceValue(table, sum);
        case kMethodLuminance:
            return LuminanceValue(sum);
        default:
            return EuclideanValue(sum);
    }
}

// Every value falls as the sum grows, so a bisection finds the last sum that
// still reaches `low`.
int LargestSumReaching(const RmsTable& table, int metric, int low, int maxSum) {
    if (ValueOf(table, metric, 0) < low) {
        return -1;
    }
    if (ValueOf(table, metric, maxSum) >= low) {
        return maxSum;
    }
    int reaches = 0;
    int fails = maxSum;
    while (fails - reaches > 1) {
        const int mid = reaches + (fails - reaches) / 2;
        (ValueOf(table, metric, mid) >= low ? reaches : fails) = mid;
    }
    return reaches;
}

// The smallest table term a pixel can give for a summed absolute channel
// difference a (each channel at most 255). Minimising a weighted sum of
// squares with a fixed total is separable and convex, so handing out the
// units one at a time to the cheapest channel is optimal.
std::array<int, kMaxPixelL1 + 1> SmallestPixelTerms(const RmsTable& table,
                                                    const std::array<int, 3>& weight, bool halve) {
    std::array<int, kMaxPixelL1 + 1> terms{};
    std::array<int, 3> units{};
    int squares = 0;
    terms[0] = table[0];
    for (int a = 1; a <= kMaxPixelL1; ++a) {
        int best = -1;
        int bestCost = 0;
        for (int c = 0; c < 3; ++c) {
            const int cost = weight[c] * (2 * units[c] + 1);
            if (units[c] < 255 && (best < 0 || cost < bestCost)) {
                best = c;
                bestCost = cost;
            }
        }
        ++units[best];
        squares += bestCost;
        terms[a] = table.capped(halve ? squares / 2 : squares);
    }
    return terms;
}

CompareContext::L1Bound MakeL1Bound(const std::array<int, kMaxPixelL1 + 1>& terms, int num,
                                    int den) {
    int beta = 0;
    for (int a = 0; a <= kMaxPixelL1; ++a) {
        beta = std::max(beta, num * a - den * terms[a]);
    }
    return {num, den, beta};
}

// The table never changes, so its bounds are worked out once per process.
const std::array<CompareContext::L1Bound, 2>& TableL1Bounds(const RmsTable& table) {
    static const std::array<CompareContext::L1Bound, 2> bounds = {
        MakeL1Bound(SmallestPixelTerms(table, {1, 1, 1}, false), 1, 3),
        // A weighted pixel term is about a / sqrt(11); 3/10 stays just below.
        MakeL1Bound(SmallestPixelTerms(table, {2, 3, 1}, true), 3, 10),
    };
    return bounds;
}

bool PrescreenFails(int distance, int low) {
    const int score = ((255 - distance) * 100) / 255;
    return score < (low - 70) / 10;
}

int SumAbsDiff(const std::uint8_t* a, const std::uint8_t* b) {
    int sum = 0;
    for (int k = 0; k < kPaddedThumbBytes; ++k) {
        sum += std::abs(static_cast<int>(a[k]) - static_cast<int>(b[k]));
    }
    return sum;
}

// The colour pixel sum, or -1 as soon as a row pushes it past `limit`: the
// terms are never negative, so the sum can only grow.
template <int Metric>
int ColourSum(const RmsTable& table, const std::uint8_t* a, const std::uint8_t* b,
              const std::array<int, 3>& offset, int limit) {
    int sum = 0;
    for (int row = 0; row < kThumbSide; ++row) {
        for (int col = 0; col < kThumbSide; ++col) {
            const int p = (row * kThumbSide + col) * 3;
            const int dr = a[p] - b[p] - offset[0];
            const int dg = a[p + 1] - b[p + 1] - offset[1];
            const int db = a[p + 2] - b[p + 2] - offset[2];
            if constexpr (Metric == kMethodEuclidean) {
                sum += table.capped(dr * dr + dg * dg + db * db);
            } else if constexpr (Metric == kMethodWeighted) {
                sum += table.capped((db * db + 3 * dg * dg + 2 * dr * dr) / 2);
            } else {
                sum += dr * dr + dg * dg + db * db;
            }
        }
        if (sum > limit) {
            return -1;
        }
    }
    return sum;
}

int ColourSumFor(int metric, const RmsTable& table, const std::uint8_t* a, const std::uint8_t* b,
                 const std::array<int, 3>& offset, int limit) {
    switch (metric) {
        case kMethodWeighted:
            return ColourSum<kMethodWeighted>(table, a, b, offset, limit);
        case kMethodVariance:
            return ColourSum<kMethodVariance>(table, a, b, offset, limit);
        default:
            return ColourSum<kMethodEuclidean>(table, a, b, offset, limit);
    }
}

// True when a summed absolute difference `l1` over all pixel channels already
// proves the pixel sum exceeds `limit`.
bool L1Excludes(const CompareContext& context, int metric, long long l1, int limit) {
    if (metric == kMethodVariance) {
        // Sum of squares of 300 differences >= (their absolute sum)^2 / 300.
        return l1 * l1 > 300LL * limit;
    }
    const CompareContext::L1Bound& bound = context.l1Bound(metric);
    return bound.num * l1 - 100LL * bound.beta > static_cast<long long>(bound.den) * limit;
}

// The largest value over the orientations (each 0 outside the band).
template <typename Value>
int Best(unsigned orientations, Value&& value) {
    int best = 0;
    for (unsigned rest = orientations; rest != 0; rest &= rest - 1) {
        best = std::max(best, value(std::countr_zero(rest)));
    }
    return best;
}

bool AspectFits(const FirstImageState& state, int width, int height) {
    const double ratio = static_cast<double>(width) / height;
    return !(ratio + state.aspectTol < state.aspectRatio ||
             state.aspectRatio + state.aspectTol < ratio);
}

bool SizeFits(const FirstImageState& state, int width, int height) {
    return std::abs(state.width - width) <= state.widthTol &&
           std::abs(state.height - height) <= state.heightTol;
}

bool InBand(const CompareContext& context, int value) {
    return value >= context.low() && value <= context.high();
}

int MatchColour(const CompareContext& context, FirstImageState& state, const SecondView& second,
                const std::uint8_t* thumb, unsigned orientations) {
    const FindSettings& settings = context.settings();
    std::array<int, 3> delta{};
    std::array<int, 3> offset{};
    for (int c = 0; c < 3; ++c) {
        delta[c] = state.storedSum[c] - second.storedSum[c];
        if (settings.adjustColor) {
            offset[c] = std::clamp(delta[c] / 100, -settings.adjustAmount, settings.adjustAmount);
        }
    }
    if (settings.prescreen) {
        const int spread = std::abs(delta[0]) + std::abs(delta[1]) + std::abs(delta[2]);
        if (PrescreenFails((spread - 100 * (offset[0] + offset[1] + offset[2])) / 100,
                           context.low())) {
            return 0;
        }
    }
    const int metric = settings.method;
    const int limit = context.sumLimit(metric);

    // The pixel differences of a channel add up to the difference of its
    // sums, which bounds their absolute sum from below.
    long long sumsL1 = 0;
    long long sumsSquares = 0;
    for (int c = 0; c < 3; ++c) {
        const long long x = state.thumbSum[c] - second.thumbSum[c] - 100LL * offset[c];
        sumsSquares += x * x;
        // A table term stops growing past 255 per channel; an adjusted
        // difference exceeds that by at most the offset on each pixel.
        sumsL1 += std::max(0LL, std::abs(x) - 100LL * std::abs(offset[c]));
    }
    if (metric == kMethodVariance ? sumsSquares > 100LL * limit
                                  : L1Excludes(context, metric, sumsL1, limit)) {
        return 0;
    }

    const bool noOffset = offset[0] == 0 && offset[1] == 0 && offset[2] == 0;
    return Best(orientations, [&](int k) {
        const std::uint8_t* first = state.thumbs[static_cast<std::size_t>(k)].data();
        if (noOffset && L1Excludes(context, metric, SumAbsDiff(first, thumb), limit)) {
            return 0;
        }
        const int sum = ColourSumFor(metric, context.table(), first, thumb, offset, limit);
        if (sum < 0) {
            return 0;
        }
        const int value =
            metric == kMethodVariance ? VarianceValue(context.table(), sum) : EuclideanValue(sum);
        return InBand(context, value) ? value : 0;
    });
}

int MatchLuminance(const CompareContext& context, FirstImageState& state, const SecondView& second,
                   const std::uint8_t* thumb, unsigned orientations) {
    const FindSettings& settings = context.settings();
    int offset = 0;
    if (settings.adjustColor) {
        offset = std::clamp((state.firstLumSum - second.lumMeans2) / 100, -settings.adjustAmount,
                            settings.adjustAmount);
    }
    if (settings.prescreen) {
        int distance = 0;
        if (settings.adjustColor) {
            distance = std::abs(second.lumMeans2 - state.firstLumSum + offset) / 1000;
        } else {
            distance = (3 * std::abs(state.storedSum[0] - second.storedSum[0]) +
                        6 * std::abs(state.storedSum[1] - second.storedSum[1]) +
                        std::abs(state.storedSum[2] - second.storedSum[2])) /
                       1000;
        }
        if (PrescreenFails(distance, context.low())) {
            return 0;
        }
    }
    const int limit = context.sumLimit(kMethodLuminance);
    if (std::abs(state.firstLumSum - second.lumThumbSum - 100 * offset) > limit) {
        return 0;
    }
    for (int p = 0; p < kThumbPixels; ++p) {
        state.secondLum[p] = 3 * thumb[3 * p] + 6 * thumb[3 * p + 1] + thumb[3 * p + 2] + 5;
    }
    return Best(orientations, [&](int k) {
        const std::array<int, kThumbPixels>& firstLum = state.lums[static_cast<std::size_t>(k)];
        int sum = 0;
        for (int p = 0; p < kThumbPixels; ++p) {
            sum += std::abs(firstLum[p] - state.secondLum[p] - offset);
        }
        const int value = LuminanceValue(sum);
        return InBand(context, value) ? value : 0;
    });
}

}  // namespace

int EuclideanValue(int sum) {
    return ((2550 - ((5 * sum + 25) * 2) / 100) * 100) / 255;
}

int VarianceValue(const RmsTable& table, int sum) {
    return ((255 - table.capped((sum + 50) / 100)) * 1000) / 255;
}

int LuminanceValue(int sum) {
    return ((2550 - (14 * sum + 50) / 1000) * 100) / 255;
}

SecondView MakeSecondView(const ImageRecord& record) {
    SecondView view;
    view.width = record.nWidth;
    view.height = record.nHeight;
    view.grey = record.bColor == 0;
    view.storedSum = {record.nSumRed, record.nSumGreen, record.nSumBlue};
    view.lumMeans2 = 3 * record.nSumRed + 6 * record.nSumGreen + record.nSumBlue + 5;
    for (int p = 0; p < kThumbPixels; ++p) {
        const int r = record.thumb[3 * p];
        const int g = record.thumb[3 * p + 1];
        const int b = record.thumb[3 * p + 2];
        view.thumbSum[0] += r;
        view.thumbSum[1] += g;
        view.thumbSum[2] += b;
        view.lumThumbSum += 3 * r + 6 * g + b + 5;
    }
    return view;
}

void CopyPaddedThumb(const ImageRecord& record, std::uint8_t* out) {
    std::copy_n(record.thumb, kThumbBytes, out);
    std::fill(out + kThumbBytes, out + kPaddedThumbBytes, std::uint8_t{0});
}

void PrepareOrientation(FirstImageState& state, int index) {
    const auto k = static_cast<std::size_t>(index);
    const int turns = index & 3;
    const bool mirrored = index >= 4;
    const std::uint8_t* from = state.thumbs[0].data();
    std::uint8_t* to = state.thumbs[k].data();
    for (int row = 0; row < kThumbSide; ++row) {
        for (int col = 0; col < kThumbSide; ++col) {
            // Where the second image's pixel (row, col) lands once turned
            // clockwise and mirrored: the first pixel it is compared with.
            int r = row;
            int c = col;
            for (int t = 0; t < turns; ++t) {
                const int turned = kThumbSide - 1 - r;
                r = c;
                c = turned;
            }
            if (mirrored) {
                c = kThumbSide - 1 - c;
            }
            const int src = r * kThumbSide + c;
            const int dst = row * kThumbSide + col;
            std::copy_n(from + 3 * src, 3, to + 3 * dst);
            state.lums[k][static_cast<std::size_t>(dst)] =
                state.lums[0][static_cast<std::size_t>(src)];
        }
    }
    std::fill(to + kThumbBytes, to + kPaddedThumbBytes, std::uint8_t{0});
    state.prepared |= 1U << index;
}

CompareContext::CompareContext(const RmsTable& table, const FindSettings& settings, int low,
                               int high)
    : m_table(table), m_settings(NormalizedSettings(settings)), m_low(low), m_high(high) {
    m_sumLimit[kMethodEuclidean] = LargestSumReaching(table, kMethodEuclidean, low, kMaxColourSum);
    m_sumLimit[kMethodWeighted] = m_sumLimit[kMethodEuclidean];
    m_sumLimit[kMethodVariance] = LargestSumReaching(table, kMethodVariance, low, kMaxVarianceSum);
    m_sumLimit[kMethodLuminance] =
        LargestSumReaching(table, kMethodLuminance, low, kMaxLuminanceSum);
    m_l1Bound = TableL1Bounds(table);

    const int method = m_settings.method;
    if (method == kMethodLuminance) {
        return;
    }
    const long long limit = m_sumLimit[method];
    if (limit < 0) {
        m_colourSumsLimit = -1;
    } else if (method == kMethodVariance) {
        // Three sum differences x: sum of squares >= (sum |x|)^2 / 3, and the
        // pixel sum >= that / 100.
        const long long squares = 300 * limit;
        auto l1 = static_cast<long long>(std::sqrt(static_cast<double>(squares)));
        while (l1 * l1 > squares) {
            --l1;
        }
        while ((l1 + 1) * (l1 + 1) <= squares) {
            ++l1;
        }
        m_colourSumsLimit = static_cast<int>(l1);
    } else {
        const L1Bound& bound = m_l1Bound[static_cast<std::size_t>(method)];
        m_colourSumsLimit = static_cast<int>((bound.den * limit + 100LL * bound.beta) / bound.num);
    }
}

int MatchPrepared(const CompareContext& context, FirstImageState& state, const SecondView& second,
                  const std::uint8_t* thumb, unsigned orientations) {
    if (second.width == 0) {
        return 0;
    }
    const FindSettings& settings = context.settings();
    // The turns that swap the second image's sides are gated on its swapped
    // sides.
    constexpr unsigned kSwapping = 0xAAU;
    if (settings.restriction == MatchRestriction::SameAspect) {
        if (state.aspectTol < 0.05) {
            state.aspectTol = 0.05;
        }
        // A ratio with a zero height is undefined: such a pair never matches.
        if (state.height == 0 || second.height == 0) {
            return 0;
        }
        if (!AspectFits(state, second.width, second.height)) {
            orientations &= kSwapping;
        }
        if (!AspectFits(state, second.height, second.width)) {
            orientations &= ~kSwapping;
        }
    } else if (settings.restriction == MatchRestriction::SameSize) {
        if (!SizeFits(state, second.width, second.height)) {
            orientations &= kSwapping;
        }
        if (!SizeFits(state, second.height, second.width)) {
            orientations &= ~kSwapping;
        }
    }
    if (orientations == 0) {
        return 0;
    }
    if (const unsigned missing = orientations & ~state.prepared; missing != 0) {
        for (unsigned rest = missing; rest != 0; rest &= rest - 1) {
            PrepareOrientation(state, std::countr_zero(rest));
        }
    }
    if (state.bLuminance != 0 || (settings.useLumForGrey && second.grey)) {
        return MatchLuminance(context, state, second, thumb, orientations);
    }
    return MatchColour(context, state, second, thumb, orientations);
}

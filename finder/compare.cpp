#include "compare.h"

#include <algorithm>

#include "match_kernel.h"

unsigned OrientationsToCheck(const FindSettings& settings) {
    unsigned turns = settings.checkRotation ? 0x0FU : 0x01U;
    return settings.checkMirror ? turns | (turns << 4) : turns;
}

FindSettings NormalizedSettings(const FindSettings& settings) {
    FindSettings normalized = settings;
    normalized.method = std::clamp(settings.method, 0, 3);
    normalized.restriction = static_cast<MatchRestriction>(
        std::clamp(static_cast<int>(settings.restriction), static_cast<int>(MatchRestriction::None),
                   static_cast<int>(MatchRestriction::SameSize)));
    normalized.aspectTol = std::clamp(settings.aspectTol, 0, 100);
    normalized.sizeTol = std::clamp(settings.sizeTol, 0, 100);
    normalized.adjustAmount = std::clamp(settings.adjustAmount, 0, 100);
    return normalized;
}

bool PrepareFirstImage(const FindSettings& settings, const ImageRecord& first,
                       FirstImageState& state) {
    if (first.nWidth == 0) {
        return false;
    }
    const FindSettings normalized = NormalizedSettings(settings);
    state.bLuminance = normalized.method == kMethodLuminance || first.bColor == 0 ? 1 : 0;
    state.firstLumSum = 0;
    state.thumbSum = {};
    for (int p = 0; p < kThumbPixels; ++p) {
        const int r = first.thumb[3 * p];
        const int g = first.thumb[3 * p + 1];
        const int b = first.thumb[3 * p + 2];
        state.lums[0][p] = 3 * r + 6 * g + b + 5;
        state.firstLumSum += state.lums[0][p];
        state.thumbSum[0] += r;
        state.thumbSum[1] += g;
        state.thumbSum[2] += b;
    }
    state.width = first.nWidth;
    state.height = first.nHeight;
    if (normalized.restriction == MatchRestriction::SameAspect) {
        state.aspectRatio =
            state.height != 0 ? static_cast<double>(state.width) / state.height : 0.0;
        state.aspectTol = normalized.aspectTol * state.aspectRatio * 0.01;
    }
    if (normalized.restriction == MatchRestriction::SameSize) {
        state.widthTol = state.width * normalized.sizeTol / 100;
        state.heightTol = state.height * normalized.sizeTol / 100;
    }
    state.storedSum = {first.nSumRed, first.nSumGreen, first.nSumBlue};
    CopyPaddedThumb(first, state.thumbs[0].data());
    state.prepared = 1;
    const unsigned wanted = OrientationsToCheck(normalized);
    for (int k = 1; k < kOrientationCount; ++k) {
        if ((wanted & (1U << k)) != 0) {
            PrepareOrientation(state, k);
        }
    }
    return true;
}

namespace {

int CompareOne(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
               const ImageRecord& second, int low, int high, ThumbOrientation orientation) {
    const CompareContext context(table, settings, low, high);
    alignas(16) std::array<std::uint8_t, kPaddedThumbBytes> thumb;
    CopyPaddedThumb(second, thumb.data());
    return MatchPrepared(context, state, MakeSecondView(second), thumb.data(),
                         1U << orientation.index());
}

}  // namespace

int ComparePair(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                [[maybe_unused]] const ImageRecord& first, const ImageRecord& second, int low,
                int high) {
    return CompareOne(table, settings, state, second, low, high, {});
}

int ComparePairMirrored(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                        [[maybe_unused]] const ImageRecord& first, const ImageRecord& second,
                        int low, int high) {
    return CompareOne(table, settings, state, second, low, high, {0, true});
}

int ComparePairOriented(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                        [[maybe_unused]] const ImageRecord& first, const ImageRecord& second,
                        int low, int high, ThumbOrientation orientation) {
    return CompareOne(table, settings, state, second, low, high, orientation);
}

#include "second_set.h"

#include <cstdlib>

SecondSet::SecondSet(std::span<const ImageRecord> records, const FindSettings& settings)
    : m_orientations(OrientationsToCheck(settings)), m_prefilter(!settings.adjustColor) {
    const std::size_t n = records.size();
    m_views.reserve(n);
    m_thumbs.resize(n * kPaddedThumbBytes);
    if (m_prefilter) {
        m_sumRed.resize(n);
        m_sumGreen.resize(n);
        m_sumBlue.resize(n);
        m_sumLum.resize(n);
        m_valid.resize(n);
        m_lumPair.resize(n);
    }
    for (std::size_t j = 0; j < n; ++j) {
        const ImageRecord& record = records[j];
        m_views.push_back(MakeSecondView(record));
        CopyPaddedThumb(record, m_thumbs.data() + j * kPaddedThumbBytes);
        if (m_prefilter) {
            const SecondView& view = m_views.back();
            m_sumRed[j] = view.thumbSum[0];
            m_sumGreen[j] = view.thumbSum[1];
            m_sumBlue[j] = view.thumbSum[2];
            m_sumLum[j] = view.lumThumbSum;
            m_valid[j] = view.width != 0 ? 1 : 0;
            m_lumPair[j] =
                settings.method == kMethodLuminance || (settings.useLumForGrey && view.grey) ? 1
                                                                                             : 0;
        }
    }
}

int SecondSet::match(const CompareContext& context, FirstImageState& state, int j) const {
    const auto at = static_cast<std::size_t>(j) * kPaddedThumbBytes;
    return MatchPrepared(context, state, m_views[static_cast<std::size_t>(j)], m_thumbs.data() + at,
                         m_orientations);
}

// Without adjustment the differences of the channel sums (or luminance sums)
// alone rule out most pairs; this loop is kept simple enough to vectorise.
void SecondSet::prefilter(const CompareContext& context, const FirstImageState& state, int begin,
                          int end, std::uint8_t* keep) const {
    const int red = state.thumbSum[0];
    const int green = state.thumbSum[1];
    const int blue = state.thumbSum[2];
    const int lum = state.firstLumSum;
    const int lumForced = state.bLuminance;
    const int colourLimit = context.colourSumsLimit();
    const int lumLimit = context.luminanceSumsLimit();
    const int* sumRed = m_sumRed.data();
    const int* sumGreen = m_sumGreen.data();
    const int* sumBlue = m_sumBlue.data();
    const int* sumLum = m_sumLum.data();
    const int* valid = m_valid.data();
    const int* lumPair = m_lumPair.data();
    for (int j = begin; j < end; ++j) {
        const int colourDistance =
            std::abs(red - sumRed[j]) + std::abs(green - sumGreen[j]) + std::abs(blue - sumBlue[j]);
        const int lumDistance = std::abs(lum - sumLum[j]);
        const int onLum = lumForced | lumPair[j];
        const int colourOk = colourDistance <= colourLimit ? 1 : 0;
        const int lumOk = lumDistance <= lumLimit ? 1 : 0;
        const int pass = (onLum & lumOk) | ((onLum ^ 1) & colourOk);
        keep[j - begin] = static_cast<std::uint8_t>(pass & valid[j]);
    }
}

void SecondSet::scan(const CompareContext& context, FirstImageState& state, int begin, int end,
                     std::vector<std::uint8_t>& keep, std::vector<SecondHit>& hits) const {
    if (!m_prefilter) {
        for (int j = begin; j < end; ++j) {
            if (const int value = match(context, state, j); value != 0) {
                hits.push_back({j, value});
            }
        }
        return;
    }
    prefilter(context, state, begin, end, keep.data());
    for (int j = begin; j < end; ++j) {
        if (keep[static_cast<std::size_t>(j - begin)] == 0) {
            continue;
        }
        if (const int value = match(context, state, j); value != 0) {
            hits.push_back({j, value});
        }
    }
}

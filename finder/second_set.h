#pragma once
// The records a run compares as second images, laid out once per run for the
// inner loop: contiguous padded thumbnails (and their mirror images) and the
// channel sums the cheap pre-filter reads.

#include <cstdint>
#include <span>
#include <vector>

#include "match_kernel.h"

struct SecondHit {
    int index;
    int value;
};

class SecondSet {
  public:
    /// `settings` as the run uses them (they decide what is prepared).
    SecondSet(std::span<const ImageRecord> records, const FindSettings& settings);

    int size() const { return static_cast<int>(m_views.size()); }

    /// Appends (j, value) for every second j in [begin, end) that matches the
    /// prepared first image, in order of j. `keep` is scratch of size() bytes.
    /// Any thread, with its own state, keep and hits.
    void scan(const CompareContext& context, FirstImageState& state, int begin, int end,
              std::vector<std::uint8_t>& keep, std::vector<SecondHit>& hits) const;

  private:
    int match(const CompareContext& context, FirstImageState& state, int j) const;
    void prefilter(const CompareContext& context, const FirstImageState& state, int begin, int end,
                   std::uint8_t* keep) const;

    unsigned m_orientations;
    bool m_prefilter;
    std::vector<SecondView> m_views;
    std::vector<std::uint8_t> m_thumbs;
    // Structure of arrays for the pre-filter.
    std::vector<int> m_sumRed;
    std::vector<int> m_sumGreen;
    std::vector<int> m_sumBlue;
    std::vector<int> m_sumLum;
    std::vector<int> m_valid;
    std::vector<int> m_lumPair;  // 1: compared on luminance whatever the first image
};

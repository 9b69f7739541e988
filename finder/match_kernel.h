#pragma once
// The fast path behind ComparePair and the find-dups run. Every shortcut here
// only skips pairs whose exact value provably falls below the band, so the
// results equal the plain formulas.

#include <array>
#include <cstdint>

#include "compare.h"

/// What a comparison reads of a second image, prepared once per run.
struct SecondView {
    int width = 0;
    int height = 0;
    bool grey = false;
    std::array<int, 3> storedSum{};  ///< the record's channel sums (offsets, pre-screen)
    std::array<int, 3> thumbSum{};   ///< recomputed from the thumbnail (bounds)
    int lumMeans2 = 0;               ///< 3 red + 6 green + blue sum + 5, from the stored sums
    int lumThumbSum = 0;             ///< sum of 3R + 6G + B + 5 over the thumbnail
};

SecondView MakeSecondView(const ImageRecord& record);
/// Copies the thumbnail into kPaddedThumbBytes bytes, zero padded.
void CopyPaddedThumb(const ImageRecord& record, std::uint8_t* out);

/// Fills in the first thumbnail of orientation `index` (see FirstImageState)
/// from orientation 0. Any thread, with its own state.
void PrepareOrientation(FirstImageState& state, int index);

/// The value of a metric's pixel sum S, exactly as the formulas define it.
int EuclideanValue(int sum);
int VarianceValue(const RmsTable& table, int sum);
int LuminanceValue(int sum);

/// The settings and band of a run with the largest sums that can still reach
/// the band. Read-only once built; shared by all threads of a run.
class CompareContext {
  public:
    CompareContext(const RmsTable& table, const FindSettings& settings, int low, int high);

    const RmsTable& table() const { return m_table; }
    const FindSettings& settings() const { return m_settings; }
    int low() const { return m_low; }
    int high() const { return m_high; }
    /// Largest pixel sum whose value is still >= low; -1 when none is.
    int sumLimit(int metric) const { return m_sumLimit[static_cast<std::size_t>(metric)]; }

    /// Without adjustment: pairs whose summed channel-sum differences exceed
    /// this cannot reach the band with the colour metric of the settings.
    int colourSumsLimit() const { return m_colourSumsLimit; }
    /// Without adjustment: the same for luminance pairs (difference of the
    /// luminance sums).
    int luminanceSumsLimit() const { return sumLimit(kMethodLuminance); }

    /// S >= (num * L1 - 100 * beta) / den for the table metrics, where L1 is
    /// the summed absolute channel difference over the pixels.
    struct L1Bound {
        int num = 1;
        int den = 1;
        int beta = 0;
    };
    const L1Bound& l1Bound(int metric) const { return m_l1Bound[static_cast<std::size_t>(metric)]; }

  private:
    const RmsTable& m_table;
    FindSettings m_settings;
    int m_low;
    int m_high;
    std::array<int, 4> m_sumLimit{};
    std::array<L1Bound, 2> m_l1Bound{};
    int m_colourSumsLimit = -1;
};

/// The largest in-band value of the pair over the second image's
/// `orientations` (bits as OrientationsToCheck), 0 when none is in the band or
/// the gates rule them all out. `thumb` is the second thumbnail as stored
/// (padded, see CopyPaddedThumb); `state` is the prepared first image. Any
/// thread, with its own state.
int MatchPrepared(const CompareContext& context, FirstImageState& state, const SecondView& second,
                  const std::uint8_t* thumb, unsigned orientations);

#pragma once
// Deciding for one pair of image records whether they are duplicates and how
// alike they are: exact integer metrics over the 10 x 10 thumbnails.

#include <array>
#include <cstdint>

#include "find_modes.h"
#include "image_record.h"
#include "rms_table.h"

/// The comparison settings of a run (the find-dups setup and the log menu).
struct FindSettings {
    int method = 0;  ///< 0 euclidean, 1 weighted euclidean, 2 variance, 3 luminance
    MatchRestriction restriction = MatchRestriction::None;
    int aspectTol = 0;           ///< aspect ratio tolerance, percent of the first image's ratio
    int sizeTol = 0;             ///< size tolerance, percent of the first image's width and height
    int adjustAmount = 0;        ///< largest mean-colour adjustment, in channel levels
    bool useLumForGrey = false;  ///< compare on luminance when the second image is greyscale
    bool checkMirror = false;    ///< also compare with the second image mirrored left-right
    bool adjustColor = false;    ///< adjust for the mean colour difference
    bool prescreen = false;  ///< the mean-colour pre-screen ("Large"); never in single-image runs
    /// Also compare with the second image turned by quarter turns (with
    /// checkMirror, turned and mirrored too: all eight orientations).
    bool checkRotation = false;
};

inline constexpr int kMethodEuclidean = 0;
inline constexpr int kMethodWeighted = 1;
inline constexpr int kMethodVariance = 2;
inline constexpr int kMethodLuminance = 3;

/// Thumbnail bytes padded so that whole-vector loops cover them exactly.
inline constexpr int kPaddedThumbBytes = 304;

/// One way of laying the second image over the first: turned clockwise by
/// `quarterTurns`, then mirrored left-right when `mirrored`.
struct ThumbOrientation {
    int quarterTurns = 0;  ///< 0-3
    bool mirrored = false;

    /// 0-7: the turns, plus 4 when mirrored.
    int index() const { return (quarterTurns & 3) + (mirrored ? 4 : 0); }
    /// A quarter or three-quarter turn swaps the image's width and height.
    bool swapsSides() const { return (quarterTurns & 1) != 0; }
};
inline constexpr int kOrientationCount = 8;

/// The orientations a run compares each pair in (bit i: ThumbOrientation
/// index i); the stored one always.
unsigned OrientationsToCheck(const FindSettings& settings);

/// What the comparisons know about the first image of the pairs; rewritten by
/// PrepareFirstImage before the pairs of each first image. One per thread.
struct FirstImageState {
    int bLuminance = 0;  ///< 1: every pair of this first image is compared on luminance
    int firstLumSum = 0;
    std::array<int, kThumbPixels> secondLum{};  ///< scratch for the second image
    double aspectRatio = 0.0;
    double aspectTol = 0.0;
    int widthTol = 0;
    int heightTol = 0;

    // The first record as the fast comparison reads it.
    int width = 0;
    int height = 0;
    std::array<int, 3> storedSum{};  ///< the record's channel sums
    std::array<int, 3> thumbSum{};   ///< channel sums recomputed from the thumbnail

    /// Turning the second image is the same as turning the first the other
    /// way: per orientation index, the first thumbnail laid out so that it
    /// meets the second one as stored, and its 3R + 6G + B + 5 per pixel.
    /// Only the orientations in `prepared` are filled in.
    alignas(16) std::array<std::array<std::uint8_t, kPaddedThumbBytes>, kOrientationCount> thumbs{};
    std::array<std::array<int, kThumbPixels>, kOrientationCount> lums{};
    unsigned prepared = 0;
};

/// Settings brought into their documented ranges (method 0-3, restriction 0-2,
/// tolerances and adjustment 0-100). Any thread.
FindSettings NormalizedSettings(const FindSettings& settings);

/// Prepares `state` for the pairs whose first image is `first`. False when the
/// record is empty (width 0): no pair with it may be compared. Any thread.
bool PrepareFirstImage(const FindSettings& settings, const ImageRecord& first,
                       FirstImageState& state);

/// Match value of (first, second) in tenths of a percent when it lies in
/// low..high, else 0. `state` must come from PrepareFirstImage(first). Any
/// thread, with its own state.
int ComparePair(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                const ImageRecord& first, const ImageRecord& second, int low, int high);

/// ComparePair with the second thumbnail mirrored left-right. Any thread, with
/// its own state.
int ComparePairMirrored(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                        const ImageRecord& first, const ImageRecord& second, int low, int high);

/// ComparePair with the second image in `orientation`; a turn that swaps its
/// sides swaps them for the size and aspect restrictions too. Any thread,
/// with its own state.
int ComparePairOriented(const RmsTable& table, const FindSettings& settings, FirstImageState& state,
                        const ImageRecord& first, const ImageRecord& second, int low, int high,
                        ThumbOrientation orientation);

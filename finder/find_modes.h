#pragma once
// The choices that shape a find-dups run. Their numbers are the ones the
// settings store and the dups log have always used: they must not change.

/// What is compared with what: the three radio buttons of the "Method" page.
enum class CompareMode : int {
    WithinPrimary = 0,       ///< every pair of the primary data file
    SecondaryToPrimary = 1,  ///< each secondary image against every primary one
    SingleToPrimary = 2,     ///< the single image against every primary one
};

/// Which pairs may match at all (the "Match" setting).
enum class MatchRestriction : int {
    None = 0,
    SameAspect = 1,  ///< aspect ratios within the aspect tolerance
    SameSize = 2,    ///< width and height within the size tolerance
};

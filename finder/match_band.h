#pragma once
// The "Dup if within" band: the lowest and highest match value a pair may
// have to count as a duplicate, and the rules that keep it inside 75-100 %.

#include <string>

/// A band in tenths of a percent, with the texts the two band edits show.
struct MatchBand {
    /// The band never reaches below 75 % or above 100 %.
    static constexpr int kLowestPercent = 75;
    static constexpr int kHighestPercent = 100;
    static constexpr int kLowest = kLowestPercent * 10;
    static constexpr int kHighest = kHighestPercent * 10;
    /// The lower bound of a first start.
    static constexpr int kDefaultLow = 980;

    int low = kDefaultLow;
    int high = kHighest;
    std::string lowText;
    std::string highText;

    /// Reads the band texts with ParseTenths and brings them into range: a
    /// low value below 75 becomes 75 ("75"), above 100 becomes 100 ("100"); a
    /// high value below the low one takes the low value and the low text,
    /// above 100 becomes 100 ("100"). Texts needing no correction stay as
    /// typed. Any thread.
    static MatchBand Corrected(const std::string& lowText, const std::string& highText);

    /// A stored lower bound brought into 750..1000. Any thread.
    static int ClampTenths(int tenths);
    /// A whole percentage brought into 75..100. Any thread.
    static int ClampPercent(int percent);
    static bool InRange(int percent) {
        return percent >= kLowestPercent && percent <= kHighestPercent;
    }
};

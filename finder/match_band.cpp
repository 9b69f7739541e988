#include "match_band.h"

#include <algorithm>

#include "tenths.h"

MatchBand MatchBand::Corrected(const std::string& lowText, const std::string& highText) {
    MatchBand band{ParseTenths(lowText), ParseTenths(highText), lowText, highText};
    if (band.low < kLowest) {
        band.low = kLowest;
        band.lowText = std::to_string(kLowestPercent);
    } else if (band.low > kHighest) {
        band.low = kHighest;
        band.lowText = std::to_string(kHighestPercent);
    }
    if (band.high < band.low) {
        band.high = band.low;
        band.highText = band.lowText;
    } else if (band.high > kHighest) {
        band.high = kHighest;
        band.highText = std::to_string(kHighestPercent);
    }
    return band;
}

int MatchBand::ClampTenths(int tenths) {
    return std::clamp(tenths, kLowest, kHighest);
}

int MatchBand::ClampPercent(int percent) {
    return std::clamp(percent, kLowestPercent, kHighestPercent);
}

#include "find_request.h"

#include "tenths.h"

namespace {

constexpr int kLowestBand = 750;
constexpr int kHighestBand = 1000;

}  // namespace

MatchBand CorrectMatchBand(const std::string& lowText, const std::string& highText) {
    MatchBand band{ParseTenths(lowText), ParseTenths(highText), lowText, highText};
    if (band.low < kLowestBand) {
        band.low = kLowestBand;
        band.lowText = "75";
    } else if (band.low > kHighestBand) {
        band.low = kHighestBand;
        band.lowText = "100";
    }
    if (band.high < band.low) {
        band.high = band.low;
        band.highText = band.lowText;
    } else if (band.high > kHighestBand) {
        band.high = kHighestBand;
        band.highText = "100";
    }
    return band;
}

FindRunInput MakeFindRunInput(const FindRequest& request, const MatchBand& band) {
    FindRunInput input;
    input.mode = request.mode;
    if (request.primary != nullptr) {
        input.primaryRecords = request.primary->m_records;
        input.primaryPaths = request.primary->m_names;
        input.primarySourceNote = request.primary->m_strSourceNote;
    }
    if (request.mode == kFindSecondaryToPrimary && request.secondary != nullptr) {
        input.secondaryRecords = request.secondary->m_records;
        input.secondaryPaths = request.secondary->m_names;
        input.secondarySourceNote = request.secondary->m_strSourceNote;
    }
    if (request.mode == kFindSingleToPrimary) {
        input.singleRecord = request.singleRecord;
        input.singlePath = request.singlePath;
    }
    input.settings = request.settings;
    input.low = band.low;
    input.high = band.high;
    input.dupsLimit = request.dupsLimit;
    return input;
}

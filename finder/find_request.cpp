#include "find_request.h"

FindRunInput MakeFindRunInput(const FindRequest& request, const MatchBand& band) {
    FindRunInput input;
    input.mode = request.mode;
    if (request.primary != nullptr) {
        input.primaryRecords = request.primary->m_records;
        input.primaryPaths = request.primary->m_names;
        input.primarySourceNote = request.primary->m_strSourceNote;
    }
    if (request.mode == CompareMode::SecondaryToPrimary && request.secondary != nullptr) {
        input.secondaryRecords = request.secondary->m_records;
        input.secondaryPaths = request.secondary->m_names;
        input.secondarySourceNote = request.secondary->m_strSourceNote;
    }
    if (request.mode == CompareMode::SingleToPrimary) {
        input.singleRecord = request.singleRecord;
        input.singlePath = request.singlePath;
    }
    input.settings = request.settings;
    input.low = band.low;
    input.high = band.high;
    input.dupsLimit = request.dupsLimit;
    return input;
}

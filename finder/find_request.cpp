#include "find_request.h"

FindRunInput MakeFindRunInput(const FindRequest& request, const MatchBand& band) {
    FindRunInput input;
    input.mode = request.mode;
    if (request.primary != nullptr) {
        input.primaryRecords = request.primary->records();
        input.primaryPaths = request.primary->paths();
        input.primarySourceNote = request.primary->m_strSourceNote;
    }
    if (request.mode == CompareMode::SecondaryToPrimary && request.secondary != nullptr) {
        input.secondaryRecords = request.secondary->records();
        input.secondaryPaths = request.secondary->paths();
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
    input.primaryFiles = request.primaryFiles;
    return input;
}

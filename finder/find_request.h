#pragma once
// Turning what the user asked for (the comparison mode, the loaded data,
// the settings and the two band texts) into the input of a find-dups run.
// The window and the command-line tool both start their runs here, so the
// same request gives the same dups log whichever of them runs it.

#include <string>

#include "compare.h"
#include "datafile_slot.h"
#include "find_run.h"
#include "image_record.h"

/// The match band after correction, in tenths of a percent, and the texts the
/// two band edits show afterwards (unchanged where no correction was needed).
struct MatchBand {
    int low = 980;
    int high = 1000;
    std::string lowText;
    std::string highText;
};

/// Reads the band texts with ParseTenths and brings them into range: a low
/// value below 75 becomes 75 ("75"), above 100 becomes 100 ("100"); a high
/// value below the low one takes the low value and the low text, above 100
/// becomes 100 ("100"). Any thread.
MatchBand CorrectMatchBand(const std::string& lowText, const std::string& highText);

/// What a find-dups run is asked to compare, and how.
struct FindRequest {
    int mode = kFindWithinPrimary;
    const DatafileSlot* primary = nullptr;
    const DatafileSlot* secondary = nullptr;    ///< mode 1
    const ImageRecord* singleRecord = nullptr;  ///< mode 2
    std::string singlePath;                     ///< mode 2: "Image 1" of every pair
    FindSettings settings;
    int dupsLimit = 1000;
};

/// The run input for `request` over `band`. Its spans point into the slots
/// and the single record, which must stay alive and unchanged during the run.
/// The log header takes each slot's m_strSourceNote as it stands; threads,
/// table, start time and log path are left for the caller. A missing slot
/// gives empty spans. Any thread that owns the slots.
FindRunInput MakeFindRunInput(const FindRequest& request, const MatchBand& band);

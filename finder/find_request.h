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
#include "match_band.h"

/// What a find-dups run is asked to compare, and how.
struct FindRequest {
    CompareMode mode = CompareMode::WithinPrimary;
    const DatafileSlot* primary = nullptr;
    const DatafileSlot* secondary = nullptr;    ///< SecondaryToPrimary
    const ImageRecord* singleRecord = nullptr;  ///< SingleToPrimary
    std::string singlePath;                     ///< SingleToPrimary: "Image 1" of every pair
    FindSettings settings;
    int dupsLimit = 1000;
    /// The data files whose records `primary` holds one after the other,
    /// when it holds more than one (see FindRunInput::primaryFiles).
    std::vector<SearchedFile> primaryFiles;
};

/// The run input for `request` over `band`. Its spans point into the slots
/// and the single record, which must stay alive and unchanged during the run.
/// The log header takes each slot's m_strSourceNote as it stands; threads,
/// table, start time and log path are left for the caller. A missing slot
/// gives empty spans. Any thread that owns the slots.
FindRunInput MakeFindRunInput(const FindRequest& request, const MatchBand& band);

#pragma once
// The find-dups run: compares the records of one mode pair by pair and builds
// the dups log of the matching pairs.

#include <ctime>
#include <span>
#include <string>
#include <vector>

#include "compare.h"
#include "find_modes.h"
#include "image_record.h"
#include "job_progress.h"

class NotDupList;
class RmsTable;

/// One of several data files searched as one: their records stand one after
/// the other in the run's primary records, in the order of the files.
struct SearchedFile {
    std::string path;        ///< the data file
    int count = 0;           ///< its records
    std::string sourceNote;  ///< "; Source: ..." of its images
};

/// Everything a run reads. The spans must stay valid and unchanged while the
/// run goes on (a DatafileSlot's records and paths can be passed as they are).
struct FindRunInput {
    CompareMode mode = CompareMode::WithinPrimary;
    std::span<const ImageRecord> primaryRecords;
    std::span<const std::string> primaryPaths;
    std::span<const ImageRecord> secondaryRecords;  ///< SecondaryToPrimary
    std::span<const std::string> secondaryPaths;
    const ImageRecord* singleRecord = nullptr;  ///< SingleToPrimary; null compares nothing
    std::string singlePath;

    FindSettings settings;
    int low = 980;  ///< band in tenths of a percent
    int high = 1000;
    int dupsLimit = 1000;

    /// Several primary data files searched as one, in order, their counts
    /// adding up to the primary records (empty for one file). Every image
    /// is compared with every other across all of them; two entries naming
    /// one file are never a pair, in one data file or across two. The log
    /// header names each file in place of the primary source note.
    std::vector<SearchedFile> primaryFiles;

    // For the log header.
    std::string primarySourceNote;
    std::string secondarySourceNote;
    std::time_t startTime = 0;  ///< 0: when the run starts

    /// Worker threads; 0 uses every core. The result does not depend on it.
    int threads = 0;
    /// The table of the caller (the main window's m_pRmsTable); null builds one.
    const RmsTable* rmsTable = nullptr;
    /// When not empty, a run that ends normally saves its log here (atomically).
    std::string logPath;
    /// Pairs the user marked not duplicates; the run leaves them out before
    /// the pairs limit counts them. Null compares every pair.
    const NotDupList* notDuplicates = nullptr;
};

/// One pair of the log, by the indices of its images: image 1 in the
/// secondary records (SecondaryToPrimary), -1 for the single image
/// (SingleToPrimary), else in the primary records; image 2 always in the
/// primary records.
struct FoundPair {
    int image1 = 0;
    int image2 = 0;
    int value = 0;  ///< tenths of a percent
};

struct FindRunResult {
    std::vector<std::string> lines;  ///< the log lines, exactly as saved
    std::vector<FoundPair> pairs;    ///< the pairs of the log, in its order
    int matchTotal = 0;              ///< match records written
    bool completed = false;          ///< false: aborted (no log saved) or unknown mode
    bool stoppedAtLimit = false;     ///< the pairs limit ended the run
    bool logSaved = false;           ///< logPath was written
    int leftOut = 0;                 ///< matching pairs left out as marked not duplicates
};

/// Runs a whole comparison. Reports the outer passes done in progress.total /
/// progress.progress and the matches so far in progress.found; stops soon after
/// progress.keepRunning is cleared. The log is identical whatever the thread
/// count. Call on the job's worker thread; it uses more threads of its own.
FindRunResult RunFindDups(const FindRunInput& input, JobProgress& progress);

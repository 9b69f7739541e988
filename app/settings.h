#pragma once
// The persistent settings of the main window: one struct, read once when the
// window starts and written once when it goes away.

#include <array>
#include <cstdint>
#include <string>

#include "delete_criteria.h"
#include "find_modes.h"
#include "match_band.h"

class KeyValueStore;
class Prompter;

/// Number of positions of the delete criteria sequence; kDefaultDeleteSequence
/// is the order used when the stored one is unusable.
inline constexpr int kDeleteSequenceLength = kDeleteCriterionCount;

/// Every stored setting of the duplicate finder. Flags are 0 or 1.
/// Strings are paths and texts in UTF-8.
struct TwinlySettings {
    // Key "1.0": the default folders.
    std::string m_strListPath;
    std::string m_strLogPath;
    std::string m_strDupDataPath;

    // Key "Dialogs": folder and file memories of dialogs.
    std::string m_strLastBatchFolder;
    std::string m_strLastBatchFile;
    std::string m_strLastOutFolder;
    std::string m_strLastInFolder;

    // Key "Dups". 1 until a save has once completed, so the first-start defaults apply.
    int m_bFirstRun = 1;
    std::string m_strLastFolder;
    std::string m_strLastSecFolder;
    std::string m_strLastListFile;
    std::string m_strLastSingleFolder;
    std::string m_strMoveFolder;
    std::string m_strMoveFolder2;
    int m_bRecursive = 0;
    int m_bAutoView = 0;
    int m_bAutoFind = 0;
    int m_bPauseOnNoDelete = 0;
    int m_bRemindSave = 0;
    int m_bPermanentDelete = 0;
    int m_bQuickCount = 0;
    int m_bBeep = 0;
    int m_bShowFileSizes = 0;
    int m_bShowMove = 0;
    int m_bMoveTo = 0;
    int m_nMatchTol = MatchBand::kDefaultLow;  ///< lower match bound, tenths of a percent
    MatchRestriction m_nMatchRestriction = MatchRestriction::None;
    int m_nMethod = 0;  ///< 0..3: euclidean, weighted, variance, luminance
    int m_bUseLumForGrey = 0;
    int m_bCheckMirror = 0;
    /// Also compare with the second image turned by quarter turns.
    int m_bCheckRotation = 0;
    int m_bAdjustColor = 0;
    int m_bLargeView = 0;
    int m_nAdjustAmount = 5;  ///< percent
    int m_nAspectTol = 0;     ///< percent
    int m_nSizeTol = 0;       ///< percent
    DeleteMode m_nDeleteMode = DeleteMode::Manual;
    int m_nSortMode = 1;  ///< 1 none, 2 low-to-high, 3 high-to-low
    int m_nDupsLimit = 1000;
    int m_nAutoDelay = 500;  ///< automatic step interval in ms (dialog delay + 100)
    std::array<int, kDeleteSequenceLength> m_nDeleteSequence = kDefaultDeleteSequence;
    /// "Read HEIC, AVIF, WebP, JPEG XL and RAW": 1 reads ImageFormats::All.
    int m_bAllImageFormats = 1;
};

/// Reads the three keys into `s`. Values that are missing, too long (256 bytes
/// or more) or of the wrong type read as their rows say; numbers are clamped.
/// When the "Dups" key cannot be opened, shows "Registry readfail #5965" and
/// marks `s` as a first start so the defaults make every field usable.
/// User-interface thread.
void LoadSettings(KeyValueStore& store, Prompter& prompter, TwinlySettings& s);

/// Sets every field that has a first-start default; the three folders become
/// subfolders of `dataFolder`. User-interface thread.
void ApplyFirstStartDefaults(TwinlySettings& s, const std::string& dataFolder);

/// Replaces a delete sequence whose codes do not add up to 66 by the default order.
void CheckDeleteSequence(TwinlySettings& s);

/// Writes the three keys; "MatchTol" gets `matchTolToStore` (the lower bound as
/// typed, unclamped: the next load clamps it) instead of the field. Shows "Registry write fail
/// #5385" when the "Dups" key cannot be written. False when anything failed. User-interface thread.
bool SaveSettings(KeyValueStore& store, Prompter& prompter, const TwinlySettings& s,
                  std::int32_t matchTolToStore);

/// Writes only the three default folders of the "1.0" key; failures are silent.
bool SaveFolderPaths(KeyValueStore& store, const TwinlySettings& s);

/// The longest string value the store may hand back; longer ones count as missing.
inline constexpr std::size_t kMaxStoredStringBytes = 255;

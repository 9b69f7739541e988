#pragma once
// The rules that pick which image of a pair goes in the semi-automatic and
// automatic delete modes.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "side_facts.h"

/// Criterion codes as stored in the sequence settings.
enum class DeleteCriterion : int {
    HigherResolution = 1,
    LowerResolution = 2,
    EarlierCreation = 3,
    LaterCreation = 4,
    Jpg = 5,
    NotJpg = 6,
    DeleteLeft = 7,
    DeleteRight = 8,
    NoDelete = 9,
    LargerFileSize = 10,
    SmallerFileSize = 11,
};

inline constexpr int kDeleteCriterionCount = 11;
/// "No delete/move" first, then 1 to 8, 10, 11.
inline constexpr std::array<int, kDeleteCriterionCount> kDefaultDeleteSequence{9, 1, 2, 3,  4, 5,
                                                                               6, 7, 8, 10, 11};

/// The text a code shows in the setup list ("Higher resolution", "-- No
/// delete/move -------------" ...); empty outside 1..11. Any thread.
std::string_view DeleteCriterionText(int code);
/// The heading the status text gets when the code decides; empty outside 1..11.
std::string_view DeleteCriterionHeading(int code);
/// The code whose list text equals `text` exactly; 0 when none does.
int DeleteCriterionFromText(std::string_view text);

/// Which image of the pair goes.
enum class DeleteVerdict : int { NoDelete = 0, DeleteLeft = 1, DeleteRight = 2 };

/// How the pair viewer deletes: by hand, with the criteria proposing, or with
/// the criteria deciding on a timer. The numbers are the stored "Auto" setting.
enum class DeleteMode : int { Manual = 1, SemiAuto = 2, Automatic = 3 };

/// Viewer controls the verdict moves the keyboard focus to.
inline constexpr int kLeftDeleteButton = 1017;
inline constexpr int kRightDeleteButton = 1018;
inline constexpr int kNextButton = 1041;

struct DeleteDecision {
    DeleteVerdict verdict = DeleteVerdict::NoDelete;
    /// False in manual mode: the status text and the focus stay as they are.
    bool evaluated = false;
    /// The new criteria status text ("Delete criteria:\n" and, when a criterion
    /// decided, its heading and the two sides' values).
    std::string statusText;
    /// kLeftDeleteButton, kRightDeleteButton or kNextButton; 0 leaves the focus.
    int focusControl = 0;
};

/// Walks the first ten entries of `sequence` (later entries are never examined)
/// and returns the verdict of the first criterion that tells the two sides
/// apart; "No delete/move" and the two fixed-side markers decide at once. Values
/// compared: pixel count, creation time, type code ("JPG" or not) and length.
/// When a test criterion decides, the status text gets its heading and
/// "(1) " + left value + "\n(2) " + right value. Codes outside 1..11 are
/// skipped. Any thread.
DeleteDecision EvaluateDeleteCriteria(DeleteMode deleteMode, std::span<const int> sequence,
                                      const SideFacts& left, const SideFacts& right);

/// A creation time as the status text shows it: local time, "%m/%d/%y:%H:%M:%S".
std::string FormatCreationTime(std::int64_t secondsSinceEpoch);

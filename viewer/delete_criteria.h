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
    /// The heading of the criterion that decided ("Higher resolution", "No
    /// delete"); empty when none did.
    std::string decidedBy;
    /// Why the pair must not be judged ("Image 1 is deleted"); empty otherwise.
    std::string noDeleteReason;
};

/// Walks the first ten entries of `sequence` (later entries are never examined)
/// and returns the verdict of the first criterion that tells the two sides
/// apart; "No delete/move" and the two fixed-side markers decide at once. Values
/// compared: pixel count, creation time, type code ("JPG" or not) and length.
/// When a test criterion decides, the status text gets its heading and
/// "(1) " + left value + "\n(2) " + right value. Codes outside 1..11 are
/// skipped. Outside manual mode, a pair the criteria must not judge
/// (NoDeleteReason) gives "No delete" and the reason on the next line, with
/// the focus on Next: the criteria never pick the survivor of a pair whose
/// other image is gone or unread. Any thread.
DeleteDecision EvaluateDeleteCriteria(DeleteMode deleteMode, std::span<const int> sequence,
                                      const SideFacts& left, const SideFacts& right);

/// Why the criteria must not judge the pair: a side already "Deleted"
/// ("Image 1 is deleted"), not found when it was shown ("Image 2 is not on
/// disk"), or not read ("Image 1 could not be read"), or both sides one file
/// ("Both images are the same file"); empty when the pair may be judged. The
/// sides' facts as last shown, and the file system for the same-file test.
/// Any thread.
std::string NoDeleteReason(const SideFacts& left, const SideFacts& right);

/// NoDeleteReason with the files looked at again now, for the moment of
/// acting on a verdict: a side whose file is gone ("Image 2 is no longer on
/// disk"), is no longer a regular file, or changed size since it was shown
/// ("Image 1 changed since it was shown") must not be judged either.
/// Any thread.
std::string NoDeleteReasonNow(const SideFacts& left, const SideFacts& right);

/// The message when the user asks to delete or move a side of a pair whose
/// two sides are one file (SidesAreOneFile).
inline constexpr const char* kSameFileRemovalText =
    "Both images of this pair are the same file.\nDeleting or moving it would leave no copy, so "
    "nothing was done.";

/// True when the two sides of the pair are one file now (equal paths once
/// written plainly, or one device and inode: a link and its target). Check it
/// at the moment of acting, whatever the delete mode. Any thread.
bool SidesAreOneFile(const SideFacts& left, const SideFacts& right);

/// A creation time as the status text shows it: local time, "%m/%d/%y:%H:%M:%S".
std::string FormatCreationTime(std::int64_t secondsSinceEpoch);

#pragma once
// Texts the viewer shows around deleting: the confirmation before an automatic
// run and the summary after it.

#include <string>

/// Asked with Yes, No and Cancel and the information icon before the first
/// removal of an automatic run.
inline constexpr const char* kConfirmAutoDeleteCaption = "Proceed with automatic delete?";
// Two blanks after "Yes -" are part of the text.
inline constexpr const char* kConfirmAutoDeleteText =
    "Automatic delete mode is set. Confirm.\n\n"
    "Yes -  Proceed with automatic delete.\n"
    "(Press 'P' key to pause the deletion process once begun.)\n\n"
    "No - Delete this file only then use only semi-automatic mode.\n\n"
    "Cancel - No delete and don't proceed.";

inline constexpr const char* kDeleteSummaryCaption = "Deleted images";

/// Caption of the warning when a removal is refused to keep the last copy.
inline constexpr const char* kRemovalRefusedCaption = "Nothing deleted";
/// Caption of the message naming the file and the reason a removal failed.
inline constexpr const char* kRemovalFailedCaption = "Delete or move failed";

/// The summary after a run removed `count` images between the 1-based pair
/// numbers `firstPair` and `lastPair`: "Deleted from image pairs 3 thru 17.\n9
/// image have been deleted (placed in recycle bin)."; "... images have been
/// moved" when a Delete button moves; no recycle-bin note for permanent deletes.
/// Empty when `count` is 0 (no summary is shown then). Any thread.
std::string DeleteSummaryText(int firstPair, int lastPair, int count, bool moved, bool permanent);

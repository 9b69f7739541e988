#pragma once

#include <functional>

class ImageListModel;
class Prompter;

/// What a verify run found and did.
struct VerifyResult {
    int notFound = 0;
    int deleted = 0;
};

/// Looks every entry up on disk, last to first, and asks about each one that
/// is gone until the user answers Yes (delete it and every further one) or
/// Cancel (delete nothing more); No deletes that one and asks on. Then reports
/// the outcome. `showEntry` selects the entry asked about. User-interface thread.
VerifyResult VerifyList(ImageListModel& model, Prompter& prompter,
                        const std::function<void(int)>& showEntry);

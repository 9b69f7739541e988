#include "delete_criteria.h"

#include <algorithm>
#include <ctime>

#include "datafile_slot.h"
#include "file_identity.h"
#include "format_file_size.h"

namespace {
struct CriterionInfo {
    std::string_view text;
    std::string_view heading;
};

// The three marker texts are padded to a common width on purpose: the setup
// list shows them as separators.
constexpr std::array<CriterionInfo, kDeleteCriterionCount> kCriteria{{
    {"Higher resolution", "Higher resolution\n"},
    {"Lower resolution", "Lower resolution\n"},
    {"Earlier file creation", "Earlier creation\n"},
    {"Later file creation", "Later creation\n"},
    {"JPG", "Delete JPG\n"},
    {"Not JPG", "Delete NOT JPG\n"},
    {"-- Delete/move left image -----", "Delete left image"},
    {"-- Delete/move right image ----", "Delete right image"},
    {"-- No delete/move -------------", "No delete"},
    {"Larger file size", "Larger file size\n"},
    {"Smaller file size", "Smaller file size\n"},
}};

bool validCode(int code) {
    return code >= 1 && code <= kDeleteCriterionCount;
}

std::int64_t pixelCount(const SideFacts& side) {
    return static_cast<std::int64_t>(side.width) * side.height;
}

bool isJpg(const SideFacts& side) {
    return side.type == "JPG";
}

// The type code as the status shows it: the tail of the dimensions label, which
// is empty while a placeholder is shown.
std::string typeTail(const SideFacts& side) {
    const std::string& label = side.dimensionsLabel;
    return label.size() <= 3 ? label : label.substr(label.size() - 3);
}

// -1: delete the left image, 1: delete the right one, 0: no difference.
template <class T>
int pickLarger(T left, T right) {
    return left > right ? -1 : (right > left ? 1 : 0);
}

int testCriterion(DeleteCriterion c, const SideFacts& l, const SideFacts& r) {
    switch (c) {
        case DeleteCriterion::HigherResolution:
            return pickLarger(pixelCount(l), pixelCount(r));
        case DeleteCriterion::LowerResolution:
            return -pickLarger(pixelCount(l), pixelCount(r));
        case DeleteCriterion::EarlierCreation:
            return -pickLarger(l.creationTime, r.creationTime);
        case DeleteCriterion::LaterCreation:
            return pickLarger(l.creationTime, r.creationTime);
        case DeleteCriterion::Jpg:
            return isJpg(l) == isJpg(r) ? 0 : (isJpg(l) ? -1 : 1);
        case DeleteCriterion::NotJpg:
            return isJpg(l) == isJpg(r) ? 0 : (isJpg(l) ? 1 : -1);
        case DeleteCriterion::LargerFileSize:
            return pickLarger(l.length, r.length);
        case DeleteCriterion::SmallerFileSize:
            return -pickLarger(l.length, r.length);
        default:
            return 0;
    }
}

std::string sideValue(DeleteCriterion c, const SideFacts& side) {
    switch (c) {
        case DeleteCriterion::HigherResolution:
        case DeleteCriterion::LowerResolution:
            return side.dimensionsLabel;
        case DeleteCriterion::EarlierCreation:
        case DeleteCriterion::LaterCreation:
            return FormatCreationTime(side.creationTime);
        case DeleteCriterion::Jpg:
        case DeleteCriterion::NotJpg:
            return typeTail(side);
        default:
            return FormatFileSize(side.length) + " bytes";
    }
}
constexpr int kNoDeleteCode = static_cast<int>(DeleteCriterion::NoDelete);

std::string sideName(int number) {
    return "Image " + std::to_string(number);
}

// Why the facts as shown rule a side out.
std::string shownSideProblem(const SideFacts& side, int number) {
    if (side.path == kDeletedEntry || side.titleText == kDeletedEntry) {
        return sideName(number) + " is deleted";
    }
    if (side.path.empty() || side.titleText.starts_with("Not found: ")) {
        return sideName(number) + " is not on disk";
    }
    if (!side.loaded) {
        return sideName(number) + " could not be read";
    }
    return {};
}

// Why the file as it is now rules a side out.
std::string currentSideProblem(const SideFacts& side, int number) {
    const SideFileState now = SideFileStateNow(side.path);
    if (!now.exists) {
        return sideName(number) + " is no longer on disk";
    }
    if (!now.regular) {
        return sideName(number) + " is no longer a regular file";
    }
    if (now.size != side.length) {
        return sideName(number) + " changed since it was shown";
    }
    return {};
}

// A criterion's heading without the line break some headings end with.
std::string headingLine(int code) {
    std::string_view heading = DeleteCriterionHeading(code);
    if (heading.ends_with('\n')) {
        heading.remove_suffix(1);
    }
    return std::string(heading);
}

}  // namespace

std::string NoDeleteReason(const SideFacts& left, const SideFacts& right) {
    for (const std::string& problem : {shownSideProblem(left, 1), shownSideProblem(right, 2)}) {
        if (!problem.empty()) {
            return problem;
        }
    }
    return SidesAreOneFile(left, right) ? "Both images are the same file" : std::string();
}

std::string NoDeleteReasonNow(const SideFacts& left, const SideFacts& right) {
    if (std::string shown = NoDeleteReason(left, right); !shown.empty()) {
        return shown;
    }
    for (const std::string& problem : {currentSideProblem(left, 1), currentSideProblem(right, 2)}) {
        if (!problem.empty()) {
            return problem;
        }
    }
    return {};
}

bool SidesAreOneFile(const SideFacts& left, const SideFacts& right) {
    return !left.path.empty() && !right.path.empty() && left.path != kDeletedEntry &&
           right.path != kDeletedEntry && SameFile(left.path, right.path);
}

std::string_view DeleteCriterionText(int code) {
    return validCode(code) ? kCriteria[code - 1].text : std::string_view{};
}

std::string_view DeleteCriterionHeading(int code) {
    return validCode(code) ? kCriteria[code - 1].heading : std::string_view{};
}

int DeleteCriterionFromText(std::string_view text) {
    for (int code = 1; code <= kDeleteCriterionCount; ++code) {
        if (kCriteria[code - 1].text == text) {
            return code;
        }
    }
    return 0;
}

DeleteDecision EvaluateDeleteCriteria(DeleteMode deleteMode, std::span<const int> sequence,
                                      const SideFacts& left, const SideFacts& right) {
    DeleteDecision d;
    if (deleteMode == DeleteMode::Manual) {
        return d;
    }
    d.evaluated = true;
    d.statusText = "Delete criteria:\n";
    if (const std::string reason = NoDeleteReason(left, right); !reason.empty()) {
        d.statusText += std::string(DeleteCriterionHeading(kNoDeleteCode)) + "\n" + reason;
        d.focusControl = kNextButton;
        d.decidedBy = headingLine(kNoDeleteCode);
        d.noDeleteReason = reason;
        return d;
    }
    const std::size_t examined = std::min<std::size_t>(sequence.size(), 10);
    for (std::size_t i = 0; i < examined; ++i) {
        const int code = sequence[i];
        if (!validCode(code)) {
            continue;
        }
        const auto c = static_cast<DeleteCriterion>(code);
        int pick = 0;
        switch (c) {
            case DeleteCriterion::NoDelete:
                d.statusText += DeleteCriterionHeading(code);
                d.focusControl = kNextButton;
                d.decidedBy = headingLine(code);
                return d;
            case DeleteCriterion::DeleteLeft:
                pick = -1;
                break;
            case DeleteCriterion::DeleteRight:
                pick = 1;
                break;
            default:
                pick = testCriterion(c, left, right);
                if (pick == 0) {
                    continue;
                }
                break;
        }
        d.statusText += DeleteCriterionHeading(code);
        d.decidedBy = headingLine(code);
        if (c != DeleteCriterion::DeleteLeft && c != DeleteCriterion::DeleteRight) {
            d.statusText += "(1) " + sideValue(c, left) + "\n(2) " + sideValue(c, right);
        }
        d.verdict = pick < 0 ? DeleteVerdict::DeleteLeft : DeleteVerdict::DeleteRight;
        d.focusControl = pick < 0 ? kLeftDeleteButton : kRightDeleteButton;
        return d;
    }
    return d;
}

std::string FormatCreationTime(std::int64_t secondsSinceEpoch) {
    const auto t = static_cast<std::time_t>(secondsSinceEpoch);
    std::tm local{};
#ifdef _WIN32
    if (localtime_s(&local, &t) != 0) {
        return {};
    }
#else
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
#endif
    char buffer[64];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%m/%d/%y:%H:%M:%S", &local);
    return std::string(buffer, n);
}

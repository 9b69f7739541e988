#include "settings_summary.h"

#include <algorithm>
#include <array>

std::string SettingsSummaryText(const FindSettings& settings) {
    static constexpr std::array<const char*, 4> kMethods = {
        "color (euclidean)", "color (weighted euclidean)", "color (variance)",
        "luminance (greyscale)"};
    std::string text = "Match algorithm: ";
    text += kMethods[static_cast<std::size_t>(std::clamp(settings.method, 0, 3))];
    text += "\n";
    if (settings.adjustColor) {
        text += "Adjust color before comparing " + std::to_string(settings.adjustAmount) + "%.\n";
    }
    if (settings.checkMirror) {
        text += "Additional check for mirrored images.\n";
    }
    if (settings.checkRotation) {
        text += "Additional check for rotated images.\n";
    }
    if (settings.useLumForGrey) {
        text += "Compare on luminance if one image greyscale.\n";
    }
    switch (settings.restriction) {
        case MatchRestriction::SameAspect:
            text += "Images must have same aspect ratio (tolerance " +
                    std::to_string(settings.aspectTol) + "% )";
            break;
        case MatchRestriction::SameSize:
            text +=
                "Images must have same size (tolerance " + std::to_string(settings.sizeTol) + "% )";
            break;
        default:
            text += "Images have no size restriction";
            break;
    }
    return text;
}

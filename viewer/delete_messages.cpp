#include "delete_messages.h"

std::string DeleteSummaryText(int firstPair, int lastPair, int count, bool moved, bool permanent) {
    if (count == 0) {
        return {};
    }
    std::string text = "Deleted from image pairs " + std::to_string(firstPair) + " thru " +
                       std::to_string(lastPair) + ".\n" + std::to_string(count);
    if (moved) {
        text += " images have been moved";
    } else {
        text += " image have been deleted";
        if (!permanent) {
            text += " (placed in recycle bin).";
        }
    }
    return text;
}

#include "side_facts.h"

#include <sys/stat.h>

std::string DimensionsLabel(int width, int height, const std::string& type) {
    return std::to_string(width) + " x " + std::to_string(height) + " " + type;
}

SideFileState SideFileStateNow(const std::string& path) {
    SideFileState state;
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return state;
    }
    state.exists = true;
    state.regular = S_ISREG(info.st_mode);
    state.size = static_cast<std::int64_t>(info.st_size);
    return state;
}

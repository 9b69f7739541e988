#include "split_set.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace fs = std::filesystem;

std::string SplitPartPath(const std::string& first, int part) {
    if (part <= 1) {
        return first;
    }
    const std::string suffix = "-" + std::to_string(part);
    const fs::path path(first);
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".dup") {
        return first + suffix;
    }
    return (path.parent_path() / (path.stem().string() + suffix + path.extension().string()))
        .string();
}

int SplitPartCount(long long images, int perPart) {
    if (images <= 0 || perPart <= 0) {
        return 1;
    }
    return static_cast<int>((images + perPart - 1) / perPart);
}

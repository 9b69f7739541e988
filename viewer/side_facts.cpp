#include "side_facts.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "datafile_slot.h"
#include "image_suffix.h"

namespace {

std::string completeBaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

std::string DimensionsLabel(int width, int height, const std::string& type) {
    return std::to_string(width) + " x " + std::to_string(height) + " " + type;
}

bool ReadSideFileFacts(SideFacts& facts) {
    struct statx info {};
    const bool isFile = !facts.path.empty() && facts.path != kDeletedEntry &&
                        ::statx(AT_FDCWD, facts.path.c_str(), 0,
                                STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) == 0 &&
                        S_ISREG(info.stx_mode);
    if (!isFile) {
        facts.titleText =
            facts.path == kDeletedEntry ? std::string(kDeletedEntry) : "Not found: " + facts.path;
        facts.length = 0;
        return false;
    }
    facts.titleText = completeBaseName(facts.path);
    const bool born = (info.stx_mask & STATX_BTIME) != 0;
    facts.creationTime = born ? info.stx_btime.tv_sec : info.stx_mtime.tv_sec;
    facts.length = static_cast<std::int64_t>(info.stx_size);
    return true;
}

void SetReadImageFacts(SideFacts& facts, bool read, int width, int height) {
    facts.loaded = read;
    if (!read) {
        facts.dimensionsLabel.clear();
        return;
    }
    facts.width = width;
    facts.height = height;
    facts.type = FileTypeLabel(facts.path);
    facts.dimensionsLabel = DimensionsLabel(width, height, facts.type);
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

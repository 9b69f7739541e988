#include "pair_prediction.h"

#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>

#include "datafile_slot.h"
#include "image_suffix.h"
#include "pane_image_loader.h"
#include "path_compare.h"

namespace {

std::string completeBaseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// As the viewer reads a shown side: a regular file (links followed) has its
// title, length and creation time; anything else is "Deleted" or "Not found".
bool readFileFacts(SideFacts& facts) {
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

std::string firstLine(const std::string& text, std::size_t from) {
    if (from >= text.size()) {
        return {};
    }
    const std::size_t end = text.find('\n', from);
    return text.substr(from, end == std::string::npos ? std::string::npos : end - from);
}

}  // namespace

PreviewSide ReadPreviewSide(const std::string& path, FitSize thumb) {
    PreviewSide side;
    SideFacts& facts = side.facts;
    facts.path = path;
    if (!readFileFacts(facts)) {
        return side;
    }
    const DisplayImage image = ReadImageForArea(path, thumb, FitToPaneSize);
    facts.loaded = image.read;
    if (image.read) {
        facts.width = image.width;
        facts.height = image.height;
        facts.type = FileTypeLabel(path);
        facts.dimensionsLabel = DimensionsLabel(facts.width, facts.height, facts.type);
        side.thumbnail = FitImageToArea(image, thumb, FitToPaneSize, ResizeMode::Triangle);
    }
    return side;
}

PairPrediction PredictPair(std::span<const int> sequence, const SideFacts& left,
                           const SideFacts& right) {
    const DeleteDecision d = EvaluateDeleteCriteria(DeleteMode::Automatic, sequence, left, right);
    PairPrediction p;
    p.verdict = d.verdict;
    p.action = d.verdict == DeleteVerdict::DeleteLeft    ? "delete left"
               : d.verdict == DeleteVerdict::DeleteRight ? "delete right"
                                                         : "no delete";
    // The status text: "Delete criteria:", the heading, then values or a reason.
    const std::size_t second = d.statusText.find('\n');
    const std::string heading =
        second == std::string::npos ? std::string() : firstLine(d.statusText, second + 1);
    const std::size_t third = d.statusText.find('\n', second == std::string::npos ? 0 : second + 1);
    const std::string next =
        third == std::string::npos ? std::string() : firstLine(d.statusText, third + 1);
    if (heading.empty()) {
        p.reason = "no criterion tells them apart";
    } else if (d.verdict == DeleteVerdict::NoDelete && !next.empty()) {
        p.reason = next;
    } else {
        p.reason = heading;
    }
    return p;
}

std::vector<PairPrediction> PredictRun(std::span<const int> sequence,
                                       std::span<const std::pair<SideFacts, SideFacts>> facts) {
    std::vector<PairPrediction> out;
    out.reserve(facts.size());
    std::unordered_set<std::string> removed;  // PathKey of each side removed so far
    for (const auto& [leftIn, rightIn] : facts) {
        SideFacts left = leftIn;
        SideFacts right = rightIn;
        for (SideFacts* side : {&left, &right}) {
            if (side->path != kDeletedEntry && removed.contains(PathKey(side->path))) {
                side->path = kDeletedEntry;
                side->titleText = kDeletedEntry;
                side->loaded = false;
                side->length = 0;
            }
        }
        out.push_back(PredictPair(sequence, left, right));
        if (out.back().verdict == DeleteVerdict::DeleteLeft) {
            removed.insert(PathKey(left.path));
        } else if (out.back().verdict == DeleteVerdict::DeleteRight) {
            removed.insert(PathKey(right.path));
        }
    }
    return out;
}

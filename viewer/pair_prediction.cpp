#include "pair_prediction.h"

#include <unordered_set>

#include "datafile_slot.h"
#include "pane_image_loader.h"
#include "path_compare.h"

PreviewSide ReadPreviewSide(const std::string& path, FitSize thumb) {
    PreviewSide side;
    SideFacts& facts = side.facts;
    facts.path = path;
    if (!ReadSideFileFacts(facts)) {
        return side;
    }
    const DisplayImage image = ReadImageForArea(path, thumb, FitToPaneSize);
    SetReadImageFacts(facts, image.read, image.width, image.height);
    if (image.read) {
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
    if (!d.noDeleteReason.empty()) {
        p.reason = d.noDeleteReason;
    } else if (d.decidedBy.empty()) {
        p.reason = "no criterion tells them apart";
    } else {
        p.reason = d.decidedBy;
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

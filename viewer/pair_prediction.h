#pragma once
// What the automatic delete would do with each pair, known before it runs:
// each side's facts as "View dups" would have them once it showed the pair,
// and the criteria's verdict on them.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "delete_criteria.h"
#include "pane_fit.h"
#include "rgb_buffer.h"
#include "side_facts.h"

/// One side of a pair as the viewer would show it, with a small picture.
struct PreviewSide {
    SideFacts facts;
    RgbBuffer thumbnail;  ///< fitted into the requested size; empty when unread
};

/// Reads the file facts (title, size, creation time: its birth time where the
/// file system keeps one, else its modification time) and the picture of
/// `path`, as the viewer does for a pair it shows, and fits a thumbnail into
/// `thumb`. "Deleted" and missing files give the viewer's titles and no
/// picture. Any thread.
PreviewSide ReadPreviewSide(const std::string& path, FitSize thumb);

/// The predicted action on one pair.
struct PairPrediction {
    DeleteVerdict verdict = DeleteVerdict::NoDelete;
    /// "delete left", "delete right" or "no delete".
    std::string action;
    /// What decided: the criterion's heading ("Higher resolution"), or why the
    /// pair must not be judged ("Image 1 is deleted").
    std::string reason;
};

/// The automatic run's verdict on a pair whose sides have these facts.
/// Any thread.
PairPrediction PredictPair(std::span<const int> sequence, const SideFacts& left,
                           const SideFacts& right);

/// Predicts a run over `pairs` in the given order, as it goes: a side deleted
/// (or moved) at an earlier pair counts as "Deleted" at every later one.
/// `facts[i]` holds the left and right facts of pair `pairs[i]`. Any thread.
std::vector<PairPrediction> PredictRun(std::span<const int> sequence,
                                       std::span<const std::pair<SideFacts, SideFacts>> facts);

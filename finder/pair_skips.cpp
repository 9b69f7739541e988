#include "pair_skips.h"

#include <algorithm>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "find_run.h"
#include "not_dup_list.h"
#include "path_compare.h"

namespace {

using IndexMap = std::unordered_map<std::string, std::vector<int>>;

// Where each wanted path stands in `paths`; a path may stand more than once.
IndexMap indicesOf(std::span<const std::string> paths, const IndexMap& wanted) {
    IndexMap found;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        std::string key = PathKey(paths[i]);
        if (wanted.count(key) != 0) {
            found[std::move(key)].push_back(static_cast<int>(i));
        }
    }
    return found;
}

const std::vector<int>& at(const IndexMap& map, const std::string& key) {
    static const std::vector<int> kNone;
    const auto it = map.find(key);
    return it == map.end() ? kNone : it->second;
}

}  // namespace

PairSkips PairSkips::For(const FindRunInput& input) {
    PairSkips skips;
    if (input.notDuplicates == nullptr || input.notDuplicates->count() == 0) {
        return skips;
    }
    // A file changed since it was judged is compared again.
    std::unordered_map<std::string, bool> unchanged;
    const auto isUnchanged = [&unchanged](const FileStamp& recorded) {
        const auto [it, added] = unchanged.try_emplace(PathKey(recorded.path), false);
        if (added) {
            FileStamp now;
            it->second = StampFile(recorded.path, now) && now.size == recorded.size &&
                         now.modifiedNs == recorded.modifiedNs;
        }
        return it->second;
    };
    IndexMap wanted;
    for (const NotDupPair& pair : input.notDuplicates->pairs()) {
        wanted.try_emplace(PathKey(pair.first.path));
        wanted.try_emplace(PathKey(pair.second.path));
    }
    const IndexMap primary = indicesOf(input.primaryPaths, wanted);
    const IndexMap secondary = input.mode == CompareMode::SecondaryToPrimary
                                   ? indicesOf(input.secondaryPaths, wanted)
                                   : IndexMap();
    const std::string singleKey =
        input.mode == CompareMode::SingleToPrimary ? PathKey(input.singlePath) : std::string();

    for (const NotDupPair& pair : input.notDuplicates->pairs()) {
        const std::string a = PathKey(pair.first.path);
        const std::string b = PathKey(pair.second.path);
        switch (input.mode) {
            case CompareMode::WithinPrimary:
                if (at(primary, a).empty() || at(primary, b).empty()) {
                    continue;
                }
                break;
            case CompareMode::SecondaryToPrimary:
                if ((at(secondary, a).empty() || at(primary, b).empty()) &&
                    (at(secondary, b).empty() || at(primary, a).empty())) {
                    continue;
                }
                break;
            default:
                if ((a != singleKey || at(primary, b).empty()) &&
                    (b != singleKey || at(primary, a).empty())) {
                    continue;
                }
                break;
        }
        if (!isUnchanged(pair.first) || !isUnchanged(pair.second)) {
            continue;
        }
        for (const auto& [one, other] : {std::pair{a, b}, std::pair{b, a}}) {
            switch (input.mode) {
                case CompareMode::WithinPrimary:
                    // The run compares each pair once, the smaller index outside.
                    for (const int i : at(primary, one)) {
                        for (const int j : at(primary, other)) {
                            skips.add(std::min(i, j), std::max(i, j));
                        }
                    }
                    break;
                case CompareMode::SecondaryToPrimary:
                    for (const int i : at(secondary, one)) {
                        for (const int j : at(primary, other)) {
                            skips.add(i, j);
                        }
                    }
                    break;
                default:
                    if (one == singleKey) {
                        for (const int j : at(primary, other)) {
                            skips.add(j, 0);
                        }
                    }
                    break;
            }
        }
    }
    return skips;
}

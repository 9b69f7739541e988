#include "match_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>

#include "path_compare.h"

namespace {

constexpr int kMaxSortedPairs = 10000;
constexpr const char* kMatchesLine = "-- Matches --";

}  // namespace

int MatchList::pairCount() const {
    return static_cast<int>(std::min(m_leftPaths.size(), m_rightPaths.size()));
}

int MatchList::matchesLine() const {
    const auto it = std::find(m_logView.begin(), m_logView.end(), kMatchesLine);
    return it == m_logView.end() ? -1 : static_cast<int>(it - m_logView.begin());
}

void MatchList::recordPairLines() {
    const int matches = matchesLine();
    m_firstPairLine = matches < 0 ? -1 : matches + 1;
    const int pairs = pairCount();
    m_lastPairLine = m_firstPairLine < 0 || pairs == 0 ? -1 : m_firstPairLine + 5 * (pairs - 1);
}

double MatchList::percentKey(int pair) const {
    if (m_firstPairLine < 0 || pair < 0) {
        return 0.0;
    }
    const long long line = m_firstPairLine + 5LL * pair + 3;
    if (line >= static_cast<long long>(m_logView.size())) {
        return 0.0;
    }
    const std::string& text = m_logView[static_cast<std::size_t>(line)];
    std::string_view tail(text);
    if (tail.size() > 5) {
        tail.remove_prefix(tail.size() - 5);
    }
    while (!tail.empty() && (tail.front() == ' ' || tail.front() == '\t' || tail.front() == '+')) {
        tail.remove_prefix(1);
    }
    double value = 0.0;
    const auto result = std::from_chars(tail.data(), tail.data() + tail.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) {
        return 0.0;
    }
    return value;
}

int MatchList::percentOfPair(int pair) const {
    return static_cast<int>(std::lround(percentKey(pair) * 10.0));
}

bool MatchList::logChangedOnDisk(const std::string& path) const {
    const DiskStamp now = DiskStampOf(path);
    return now.present && now != m_readStamp;
}

int MatchList::markDeleted(const std::string& path) {
    int changed = 0;
    for (const std::string prefix : {"Image 1 path: ", "Image 2 path: "}) {
        for (std::string& line : m_logView) {
            if (line.size() == prefix.size() + path.size() && line.starts_with(prefix) &&
                SamePath(line.substr(prefix.size()), path)) {
                line.insert(prefix.size(), "Deleted ");
                ++changed;
            }
        }
    }
    for (auto* paths : {&m_rightPaths, &m_leftPaths}) {
        for (std::string& entry : *paths) {
            if (SamePath(entry, path)) {
                entry = "Deleted";
                ++changed;
            }
        }
    }
    return changed;
}

int MatchList::unmarkDeleted(const std::string& path) {
    int changed = 0;
    const std::string mark = "Deleted ";
    for (std::size_t k = 0; k < m_logView.size(); ++k) {
        std::string& line = m_logView[k];
        for (const std::string prefix : {"Image 1 path: ", "Image 2 path: "}) {
            const std::size_t at = prefix.size() + mark.size();
            if (line.size() != at + path.size() || !line.starts_with(prefix + mark) ||
                !SamePath(line.substr(at), path)) {
                continue;
            }
            line.erase(prefix.size(), mark.size());
            ++changed;
            // The entry of the pair whose five lines hold this one.
            const int offset = static_cast<int>(k) - m_firstPairLine;
            const int pair = offset / 5;
            const int side = offset % 5;
            if (m_firstPairLine < 0 || offset < 0 || pair >= pairCount() ||
                (side != 1 && side != 2)) {
                continue;
            }
            std::string& entry =
                (side == 1 ? m_leftPaths : m_rightPaths)[static_cast<std::size_t>(pair)];
            if (entry == "Deleted") {
                entry = path;
                ++changed;
            }
        }
    }
    return changed;
}

void MatchList::clear() {
    m_logView.clear();
    m_leftPaths.clear();
    m_rightPaths.clear();
    m_firstPairLine = -1;
    m_lastPairLine = -1;
    m_readStamp = DiskStamp{};
}

void MatchList::swap(MatchList& other) noexcept {
    m_logView.swap(other.m_logView);
    m_leftPaths.swap(other.m_leftPaths);
    m_rightPaths.swap(other.m_rightPaths);
    std::swap(m_firstPairLine, other.m_firstPairLine);
    std::swap(m_lastPairLine, other.m_lastPairLine);
    std::swap(m_readStamp, other.m_readStamp);
}

bool SortPairs(MatchList& list, bool descending) {
    const auto n = static_cast<int>(list.m_leftPaths.size());
    if (n < 2 || n > kMaxSortedPairs || list.m_rightPaths.size() != list.m_leftPaths.size()) {
        return false;
    }
    const int matches = list.matchesLine();
    if (matches < 0) {
        return false;
    }
    const auto first = static_cast<std::size_t>(matches) + 1;
    if (list.m_logView.size() != first + 5 * static_cast<std::size_t>(n) + 1) {
        return false;
    }
    list.recordPairLines();
    std::vector<double> keys(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k) {
        keys[static_cast<std::size_t>(k)] = list.percentKey(k);
    }
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const double ka = keys[static_cast<std::size_t>(a)];
        const double kb = keys[static_cast<std::size_t>(b)];
        return descending ? ka > kb : ka < kb;
    });

    std::vector<std::string> view(list.m_logView.begin(),
                                  list.m_logView.begin() + static_cast<std::ptrdiff_t>(first));
    std::vector<std::string> left;
    std::vector<std::string> right;
    view.reserve(list.m_logView.size());
    left.reserve(order.size());
    right.reserve(order.size());
    for (std::size_t m = 0; m < order.size(); ++m) {
        const auto k = static_cast<std::size_t>(order[m]);
        left.push_back(std::move(list.m_leftPaths[k]));
        right.push_back(std::move(list.m_rightPaths[k]));
        view.push_back(";Match no: " + std::to_string(m + 1));
        for (std::size_t line = first + 5 * k + 1; line <= first + 5 * k + 4; ++line) {
            view.push_back(std::move(list.m_logView[line]));
        }
    }
    view.emplace_back(";");
    list.m_logView.swap(view);
    list.m_leftPaths.swap(left);
    list.m_rightPaths.swap(right);
    list.recordPairLines();
    return true;
}

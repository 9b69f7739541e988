#include "copy_groups.h"

#include <algorithm>
#include <unordered_map>

#include "path_compare.h"

namespace {

bool isRemoved(const std::string& path) {
    return path.rfind("Deleted", 0) == 0;
}

class DisjointSets {
  public:
    int add() {
        m_parent.push_back(static_cast<int>(m_parent.size()));
        return m_parent.back();
    }
    int root(int node) {
        while (m_parent[static_cast<std::size_t>(node)] != node) {
            int& parent = m_parent[static_cast<std::size_t>(node)];
            parent = m_parent[static_cast<std::size_t>(parent)];  // halves the path
            node = parent;
        }
        return node;
    }
    // The smaller index stays the root, so a root is its set's first image.
    void join(int a, int b) {
        a = root(a);
        b = root(b);
        if (a != b) {
            m_parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
        }
    }

  private:
    std::vector<int> m_parent;
};

}  // namespace

CopyGroups GroupCopies(std::span<const std::string> left, std::span<const std::string> right) {
    const std::size_t pairs = std::min(left.size(), right.size());
    std::unordered_map<std::string, int> indexOfKey;
    std::vector<const std::string*> spelling;  // each image as first seen, by index
    DisjointSets sets;
    const auto indexOf = [&](const std::string& path) {
        const auto [at, added] = indexOfKey.try_emplace(PathKey(path), 0);
        if (added) {
            at->second = sets.add();
            spelling.push_back(&path);
        }
        return at->second;
    };
    std::vector<int> pairFirst(pairs, -1);
    for (std::size_t i = 0; i < pairs; ++i) {
        if (isRemoved(left[i]) || isRemoved(right[i])) {
            continue;
        }
        const int a = indexOf(left[i]);
        const int b = indexOf(right[i]);
        sets.join(a, b);
        pairFirst[i] = a;
    }

    CopyGroups result;
    std::vector<int> groupOfRoot(spelling.size(), -1);
    for (std::size_t image = 0; image < spelling.size(); ++image) {
        const auto root = static_cast<std::size_t>(sets.root(static_cast<int>(image)));
        if (groupOfRoot[root] < 0) {
            groupOfRoot[root] = static_cast<int>(result.groups.size());
            result.groups.emplace_back();
        }
        result.groups[static_cast<std::size_t>(groupOfRoot[root])].push_back(*spelling[image]);
    }
    result.pairGroup.resize(pairs, -1);
    for (std::size_t i = 0; i < pairs; ++i) {
        if (pairFirst[i] >= 0) {
            result.pairGroup[i] = groupOfRoot[static_cast<std::size_t>(sets.root(pairFirst[i]))];
        }
    }
    return result;
}

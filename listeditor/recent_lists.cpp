#include "recent_lists.h"

#include <algorithm>

#include "list_entry.h"

void RecentLists::add(const std::string& path) {
    if (path.empty()) {
        closeGaps();
        return;
    }
    auto found = std::find(m_slots.begin(), m_slots.end(), path);
    if (found == m_slots.end()) {
        found = m_slots.end() - 1;
    }
    std::move_backward(m_slots.begin(), found, found + 1);
    m_slots[0] = path;
}

void RecentLists::remove(int slot) {
    m_slots.at(static_cast<std::size_t>(slot)).clear();
    closeGaps();
}

void RecentLists::closeGaps() {
    std::stable_partition(m_slots.begin(), m_slots.end(),
                          [](const std::string& s) { return !s.empty(); });
}

std::string ListTitle(const std::string& path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.resize(dot);
    }
    return name;
}

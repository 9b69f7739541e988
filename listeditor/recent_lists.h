#pragma once

#include <array>
#include <string>

/// The four most recently opened or saved image lists, most recent first;
/// an empty text marks an empty slot. Entries never repeat.
class RecentLists {
  public:
    static constexpr int kSlots = 4;

    /// Puts `path` on top, moving the entries above its old place (or all of
    /// them, dropping the last) down by one. An empty path only closes gaps.
    void add(const std::string& path);
    /// Empties a slot and closes the gap.
    void remove(int slot);
    /// Moves filled slots up over empty ones.
    void closeGaps();

    const std::string& at(int slot) const { return m_slots.at(static_cast<std::size_t>(slot)); }
    void set(int slot, std::string path) {
        m_slots.at(static_cast<std::size_t>(slot)) = std::move(path);
    }
    bool empty() const { return m_slots[0].empty(); }

  private:
    std::array<std::string, kSlots> m_slots;
};

/// The name a list goes by in the window and the menu: its file name without
/// the extension.
std::string ListTitle(const std::string& path);

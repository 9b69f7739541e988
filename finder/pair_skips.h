#pragma once
// The pairs a find run leaves out because the user marked them not duplicates.

#include <cstdint>
#include <unordered_set>

struct FindRunInput;

/// Pairs of a run by their indices as the run meets them: (outer pass, second
/// image), the second index being 0 for the single image.
class PairSkips {
  public:
    /// The recorded pairs of input.notDuplicates whose two files are both in
    /// the run and unchanged since they were recorded (each recorded file is
    /// looked at once). Empty without a list. The run's worker thread.
    static PairSkips For(const FindRunInput& input);

    bool empty() const { return m_keys.empty(); }
    bool contains(int outer, int second) const {
        return !m_keys.empty() && m_keys.count(key(outer, second)) != 0;
    }

  private:
    static std::uint64_t key(int outer, int second) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(outer)) << 32) |
               static_cast<std::uint32_t>(second);
    }
    void add(int outer, int second) { m_keys.insert(key(outer, second)); }

    std::unordered_set<std::uint64_t> m_keys;
};

#pragma once
// The rounded root-mean-square lookup that replaces a square root per pixel in
// the colour metrics.

#include <array>
#include <cstdint>

/// Entry k = min(255, floor(sqrt(floor(k / 3)) + 0.5)): indexed with a sum of
/// three squared channel differences it gives the rounded per-channel RMS.
/// Built once (the main window holds it as m_pRmsTable); read-only afterwards,
/// so any thread may read it.
class RmsTable {
  public:
    static constexpr int kSize = 195076;  ///< 3 * 255^2 + 1
    static constexpr int kLast = kSize - 1;

    RmsTable();

    /// Entry k, 0 <= k < kSize.
    std::uint8_t operator[](int k) const { return m_entries[static_cast<std::size_t>(k)]; }
    /// Entry k, where any k past the end reads as the last entry (255).
    std::uint8_t capped(int k) const {
        return m_entries[static_cast<std::size_t>(k < kLast ? k : kLast)];
    }
    const std::uint8_t* data() const { return m_entries.data(); }

  private:
    std::array<std::uint8_t, kSize> m_entries;
};

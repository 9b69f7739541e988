#pragma once
// Bounding the memory a build's decoders take together. A small file may
// declare a huge image (a 14,000 x 14,000 PNG of 600 KB needs 600 MB to
// decode), so every worker decoding one at once would need gigabytes. Each
// decode first reserves what its declared size will cost; reservations wait
// while the budget is spent, and one larger than the whole budget waits until
// it can run alone.

#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "imaging.h"

/// The bytes all of a build's decodes may hold at once, together.
inline constexpr std::uint64_t kBuildDecodeBudgetBytes = std::uint64_t{1} << 30;

class DecodeBudget {
  public:
    explicit DecodeBudget(std::uint64_t bytes) : m_capacity(bytes) {}
    DecodeBudget(const DecodeBudget&) = delete;
    DecodeBudget& operator=(const DecodeBudget&) = delete;

    /// Holds its bytes from the budget until it ends.
    class Reservation {
      public:
        Reservation(DecodeBudget& budget, std::uint64_t bytes);
        ~Reservation();
        Reservation(const Reservation&) = delete;
        Reservation& operator=(const Reservation&) = delete;

      private:
        DecodeBudget& m_budget;
        std::uint64_t m_bytes;
    };

    std::uint64_t capacity() const { return m_capacity; }
    /// The most that was held at once since the budget was made. Any thread.
    std::uint64_t peak() const;

    /// The budget every build's decodes share.
    static DecodeBudget& ForBuilds();

  private:
    void acquire(std::uint64_t bytes);
    void release(std::uint64_t bytes);

    const std::uint64_t m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    std::uint64_t m_held = 0;
    std::uint64_t m_peak = 0;
};

/// What decoding a file of `fileBytes` bytes that declares `width` x `height`
/// pixels of `type` costs at most, with `options` (a JPEG decoded at a
/// reduced scale costs that scale's pixels): the file itself, the library's
/// own pixels and our packed copy. Any thread.
std::uint64_t DecodeCostEstimate(ImageType type, std::uint32_t width, std::uint32_t height,
                                 std::uint64_t fileBytes, const DecodeOptions& options);

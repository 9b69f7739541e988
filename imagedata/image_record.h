#pragma once

#include <cstddef>
#include <cstdint>

/// Size of an image record in a data file, after its path.
inline constexpr std::size_t kImageRecordBytes = 314;
inline constexpr int kThumbSide = 10;
inline constexpr int kThumbPixels = kThumbSide * kThumbSide;
inline constexpr int kThumbBytes = kThumbPixels * 3;

/// The signature of one image. Width 0 marks a missing, unreadable or deleted entry.
struct ImageRecord {
    std::uint16_t nWidth = 0;
    std::uint16_t nHeight = 0;
    std::uint16_t nReserved = 0;
    std::uint8_t bColor = 0;
    std::uint16_t nSumRed = 0;
    std::uint16_t nSumGreen = 0;
    std::uint16_t nSumBlue = 0;
    /// 10 x 10 pixels, red, green, blue, row by row from the top.
    std::uint8_t thumb[kThumbBytes] = {};

    bool operator==(const ImageRecord&) const = default;
};

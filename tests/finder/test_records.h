#pragma once
// Image records made by the tests.

#include <cstdint>
#include <random>
#include <utility>

#include "image_record.h"

/// Recomputes the channel sums from the thumbnail.
inline void SetSumsFromThumb(ImageRecord& record) {
    int sums[3] = {0, 0, 0};
    for (int p = 0; p < kThumbPixels; ++p) {
        for (int c = 0; c < 3; ++c) {
            sums[c] += record.thumb[3 * p + c];
        }
    }
    record.nSumRed = static_cast<std::uint16_t>(sums[0]);
    record.nSumGreen = static_cast<std::uint16_t>(sums[1]);
    record.nSumBlue = static_cast<std::uint16_t>(sums[2]);
}

/// A colour record whose every pixel is (r, g, b).
inline ImageRecord UniformRecord(int r, int g, int b, int width = 1000, int height = 800) {
    ImageRecord record;
    record.nWidth = static_cast<std::uint16_t>(width);
    record.nHeight = static_cast<std::uint16_t>(height);
    record.bColor = 1;
    for (int p = 0; p < kThumbPixels; ++p) {
        record.thumb[3 * p] = static_cast<std::uint8_t>(r);
        record.thumb[3 * p + 1] = static_cast<std::uint8_t>(g);
        record.thumb[3 * p + 2] = static_cast<std::uint8_t>(b);
    }
    SetSumsFromThumb(record);
    return record;
}

/// A smooth random picture: a gradient with a little noise.
inline ImageRecord RandomRecord(std::mt19937& rng) {
    std::uniform_int_distribution<int> level(0, 255);
    std::uniform_int_distribution<int> slope(-12, 12);
    std::uniform_int_distribution<int> noise(-6, 6);
    ImageRecord record;
    record.nWidth = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(50, 4000)(rng));
    record.nHeight = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(50, 4000)(rng));
    record.bColor = 1;
    for (int c = 0; c < 3; ++c) {
        const int base = level(rng);
        const int dx = slope(rng);
        const int dy = slope(rng);
        for (int row = 0; row < kThumbSide; ++row) {
            for (int col = 0; col < kThumbSide; ++col) {
                const int v = base + dx * (col - 5) + dy * (row - 5) + noise(rng);
                record.thumb[3 * (row * kThumbSide + col) + c] =
                    static_cast<std::uint8_t>(v < 0     ? 0
                                              : v > 255 ? 255
                                                        : v);
            }
        }
    }
    SetSumsFromThumb(record);
    return record;
}

/// A near copy of `source`: per-pixel noise up to `spread`, a uniform shift
/// per channel up to `shift`, and sometimes mirrored or greyscale.
inline ImageRecord NearCopy(const ImageRecord& source, std::mt19937& rng, int spread, int shift,
                            bool mirror) {
    ImageRecord record = source;
    std::uniform_int_distribution<int> noise(-spread, spread);
    std::uniform_int_distribution<int> offset(-shift, shift);
    const int shifts[3] = {offset(rng), offset(rng), offset(rng)};
    for (int row = 0; row < kThumbSide; ++row) {
        for (int col = 0; col < kThumbSide; ++col) {
            const int from = row * kThumbSide + (mirror ? kThumbSide - 1 - col : col);
            for (int c = 0; c < 3; ++c) {
                const int v = source.thumb[3 * from + c] + shifts[c] + noise(rng);
                record.thumb[3 * (row * kThumbSide + col) + c] =
                    static_cast<std::uint8_t>(v < 0     ? 0
                                              : v > 255 ? 255
                                                        : v);
            }
        }
    }
    SetSumsFromThumb(record);
    return record;
}

/// `source` with every channel of every pixel moved by `shift` levels: the
/// pixel differences all agree with the difference of the sums.
inline ImageRecord Shifted(const ImageRecord& source, int shift) {
    ImageRecord record = source;
    for (std::uint8_t& level : record.thumb) {
        const int v = level + shift;
        level = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    SetSumsFromThumb(record);
    return record;
}

/// `source` turned clockwise by `quarterTurns`, sides swapped with each turn,
/// then mirrored left-right when `mirror`; moved pixel by pixel.
inline ImageRecord Turned(const ImageRecord& source, int quarterTurns, bool mirror = false) {
    ImageRecord record = source;
    for (int t = 0; t < quarterTurns; ++t) {
        const ImageRecord before = record;
        std::swap(record.nWidth, record.nHeight);
        for (int row = 0; row < kThumbSide; ++row) {
            for (int col = 0; col < kThumbSide; ++col) {
                // The top row becomes the right column.
                const int to = col * kThumbSide + (kThumbSide - 1 - row);
                for (int c = 0; c < 3; ++c) {
                    record.thumb[3 * to + c] = before.thumb[3 * (row * kThumbSide + col) + c];
                }
            }
        }
    }
    if (mirror) {
        const ImageRecord before = record;
        for (int row = 0; row < kThumbSide; ++row) {
            for (int col = 0; col < kThumbSide; ++col) {
                const int from = row * kThumbSide + (kThumbSide - 1 - col);
                for (int c = 0; c < 3; ++c) {
                    record.thumb[3 * (row * kThumbSide + col) + c] = before.thumb[3 * from + c];
                }
            }
        }
    }
    return record;
}

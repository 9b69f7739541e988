#pragma once

#include <cstdint>
#include <vector>

/// An owned 24-bit image: width x height pixels of 3 bytes (red, green, blue),
/// rows packed with no gap, top row first.
struct RgbBuffer {
    std::vector<std::uint8_t> pixels;
    std::uint32_t width = 0;
    std::uint32_t height = 0;

    bool empty() const { return pixels.empty(); }
    std::size_t stride() const { return std::size_t{width} * 3; }
    void release() {
        pixels = {};
        width = 0;
        height = 0;
    }
};

#pragma once
// Incompressible file contents, the same for the same seed, so a copy that
// lost or changed any byte shows.

#include <cstddef>
#include <random>
#include <string>

inline std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}

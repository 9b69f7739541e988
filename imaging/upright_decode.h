#pragma once
// Reading a picture to look at: upright, whatever way its file stores it.

#include <cstdint>
#include <string>

#include "rgb_buffer.h"

/// DecodeImageBySniffing, the picture then turned as the file's orientation
/// tag says, so that it shows upright. Any thread.
int DecodeUprightBySniffing(const std::string& path, RgbBuffer& out, std::uint32_t metafileSide);

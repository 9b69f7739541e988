// The resampler over random sizes, strides and modes. The weights of every
// output pixel must sum to one exactly, so a flat image stays flat whatever
// the kernel's negative lobes do.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"
#include "imaging.h"
#include "resampler.h"

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos = 0;
    std::uint32_t take(std::uint32_t bytes) {
        std::uint32_t v = 0;
        for (std::uint32_t i = 0; i < bytes; ++i) {
            v = (v << 8) | (pos < size ? data[pos++] : 0);
        }
        return v;
    }
};

void CheckWeights(std::uint32_t srcLength, std::uint32_t dstLength, ResizeMode mode) {
    imaging_detail::AxisWeights axis;
    if (!imaging_detail::ComputeAxisWeights(srcLength, dstLength, mode, axis)) {
        fuzz::Fail("weights refused for a supported mode");
    }
    if (axis.taps < 1 || static_cast<std::uint32_t>(axis.taps) > srcLength ||
        axis.first.size() != dstLength ||
        axis.weights.size() != std::size_t{dstLength} * axis.taps) {
        fuzz::Fail("weight table shape");
    }
    for (std::uint32_t i = 0; i < dstLength; ++i) {
        if (axis.first[i] < 0 || axis.first[i] + axis.taps > static_cast<int>(srcLength)) {
            fuzz::Fail("weights reach outside the source");
        }
        std::int64_t sum = 0;
        for (int k = 0; k < axis.taps; ++k) {
            sum += axis.weights[std::size_t{i} * axis.taps + k];
        }
        if (sum != imaging_detail::kWeightOne) {
            fuzz::Fail("weights do not sum to one");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{data, size};
    const std::uint32_t modeByte = in.take(1);
    const auto mode = static_cast<ResizeMode>(modeByte % 20);
    const bool supported = modeByte % 20 <= 13 || modeByte % 20 == 16 || modeByte % 20 == 17;
    const std::uint32_t srcWidth = in.take(2) % 257;
    const std::uint32_t srcHeight = in.take(2) % 257;
    const std::uint32_t dstWidth = in.take(2) % 257;
    const std::uint32_t dstHeight = in.take(2) % 257;
    const std::uint32_t padding = in.take(1) % 8;
    const std::uint32_t flags = in.take(1);

    // Long axes alone: one weight table, no pixels.
    const std::uint32_t longSrc = 1 + in.take(3) % 65'536;
    const std::uint32_t longDst = 1 + in.take(2) % 1024;
    if (supported) {
        CheckWeights(longSrc, longDst, mode);
    }

    const std::size_t srcStride = std::size_t{srcWidth} * 3 + padding;
    const std::size_t dstStride = std::size_t{dstWidth} * 3 + (flags & 7);
    std::vector<std::uint8_t> src(srcStride * srcHeight + 1);
    const bool flat = (flags & 0x80) != 0;
    const std::uint8_t level = static_cast<std::uint8_t>(in.take(1));
    for (std::size_t i = 0; i < src.size(); ++i) {
        const std::size_t at = in.pos + i;
        src[i] = flat ? level : (at < size ? data[at] : static_cast<std::uint8_t>(i * 31));
    }
    std::vector<std::uint8_t> dst(dstStride * dstHeight + 1, 0xA5);
    const bool ok = ResizeImage(src.data(), srcWidth, srcHeight, srcStride, dst.data(), dstWidth,
                                dstHeight, dstStride, mode);
    const bool valid = supported && srcWidth > 0 && srcHeight > 0 && dstWidth > 0 && dstHeight > 0;
    if (ok != valid) {
        fuzz::Fail("resize result");
    }
    if (!ok) {
        return 0;
    }
    if (supported) {
        CheckWeights(srcWidth, dstWidth, mode);
        CheckWeights(srcHeight, dstHeight, mode);
    }
    for (std::uint32_t y = 0; y < dstHeight; ++y) {
        const std::uint8_t* row = dst.data() + y * dstStride;
        if (flat && std::any_of(row, row + std::size_t{dstWidth} * 3,
                                [level](std::uint8_t v) { return v != level; })) {
            fuzz::Fail("a flat image did not stay flat");
        }
        // The gap after each row is not ours to write.
        if (std::any_of(row + std::size_t{dstWidth} * 3, row + dstStride,
                        [](std::uint8_t v) { return v != 0xA5; })) {
            fuzz::Fail("wrote into the row gap");
        }
    }
    return 0;
}

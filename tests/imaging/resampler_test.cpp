#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "imaging.h"
#include "resampler.h"

namespace {

using imaging_detail::AxisWeights;
using imaging_detail::ComputeAxisWeights;
using imaging_detail::kWeightOne;

const ResizeMode kAllModes[] = {
    ResizeMode::Box,      ResizeMode::Triangle, ResizeMode::Hamming,  ResizeMode::Gaussian,
    ResizeMode::Bell,     ResizeMode::BSpline,  ResizeMode::Cubic1,   ResizeMode::Cubic2,
    ResizeMode::Lanczos3, ResizeMode::Mitchell, ResizeMode::Sinc,     ResizeMode::Hermite,
    ResizeMode::Hanning,  ResizeMode::Catrom,   ResizeMode::Fallback, ResizeMode::PreReduce};

RgbBuffer Noise(std::uint32_t width, std::uint32_t height, unsigned seed) {
    std::mt19937 random(seed);
    RgbBuffer image;
    image.width = width;
    image.height = height;
    image.pixels.resize(std::size_t{width} * height * 3);
    for (auto& p : image.pixels) {
        p = static_cast<std::uint8_t>(random());
    }
    return image;
}

RgbBuffer Solid(std::uint32_t width, std::uint32_t height, std::uint8_t r, std::uint8_t g,
                std::uint8_t b) {
    RgbBuffer image;
    image.width = width;
    image.height = height;
    for (std::size_t i = 0; i < std::size_t{width} * height; ++i) {
        image.pixels.insert(image.pixels.end(), {r, g, b});
    }
    return image;
}

// Each test runs over every mode; a process per mode would cost more than the checks.
TEST(EveryMode, SameSizeReturnsTheInput) {
    const RgbBuffer input = Noise(13, 7, 1);
    for (const ResizeMode mode : kAllModes) {
        RgbBuffer output;
        ASSERT_TRUE(ResizeImage(input, output, 13, 7, mode));
        EXPECT_EQ(output.pixels, input.pixels) << static_cast<int>(mode);
    }
}

TEST(EveryMode, ConstantImageStaysConstant) {
    const RgbBuffer input = Solid(37, 23, 200, 3, 129);
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{10, 10}, {400, 400}, {37, 5},
                                                             {3, 23},  {1, 1},     {74, 46}};
    for (const ResizeMode mode : kAllModes) {
        for (const auto& [w, h] : sizes) {
            RgbBuffer output;
            ASSERT_TRUE(ResizeImage(input, output, w, h, mode));
            EXPECT_EQ(output.pixels, Solid(w, h, 200, 3, 129).pixels)
                << static_cast<int>(mode) << ": " << w << " x " << h;
        }
    }
}

TEST(EveryMode, WeightsOfEveryOutputSumToOneAndStayInside) {
    const std::pair<std::uint32_t, std::uint32_t> axes[] = {
        {1000, 10}, {3000, 400}, {400, 10}, {10, 400}, {7, 3}, {3, 7}, {1, 9}, {9, 1}, {401, 400}};
    for (const ResizeMode mode : kAllModes) {
        for (const auto& [from, to] : axes) {
            SCOPED_TRACE(static_cast<int>(mode));
            AxisWeights axis;
            ASSERT_TRUE(ComputeAxisWeights(from, to, mode, axis));
            ASSERT_EQ(axis.first.size(), to);
            for (std::uint32_t i = 0; i < to; ++i) {
                std::int64_t sum = 0;
                std::int64_t magnitude = 0;
                for (int k = 0; k < axis.taps; ++k) {
                    const std::int32_t w = axis.weights[std::size_t{i} * axis.taps + k];
                    sum += w;
                    magnitude += w < 0 ? -w : w;
                }
                EXPECT_EQ(sum, kWeightOne) << from << " -> " << to << " at " << i;
                // The integer accumulators must hold 255 times the weights' magnitude.
                EXPECT_LT(magnitude * 255 + kWeightOne, std::int64_t{1} << 31);
                EXPECT_GE(axis.first[i], 0);
                EXPECT_LE(axis.first[i] + axis.taps, static_cast<int>(from));
            }
        }
    }
}

TEST(EveryMode, DownscalingAveragesFineDetailAway) {
    // Every third column white: a kernel not widened by the scale factor
    // would sample a few columns instead of averaging them to a third.
    RgbBuffer stripes = Solid(397, 40, 0, 0, 0);
    for (std::uint32_t y = 0; y < 40; ++y) {
        for (std::uint32_t x = 2; x < 397; x += 3) {
            std::fill_n(stripes.pixels.begin() + (y * 397 + x) * 3, 3, 255);
        }
    }
    for (const ResizeMode mode : kAllModes) {
        RgbBuffer output;
        ASSERT_TRUE(ResizeImage(stripes, output, 10, 10, mode));
        const auto [low, high] = std::minmax_element(output.pixels.begin(), output.pixels.end());
        EXPECT_GE(*low, 80) << static_cast<int>(mode);
        EXPECT_LE(*high, 90) << static_cast<int>(mode);
    }
}

TEST(Resampler, AreaReductionAveragesExactly) {
    RgbBuffer input;
    input.width = 4;
    input.height = 1;
    input.pixels = {0, 10, 255, 100, 20, 255, 7, 0, 0, 9, 0, 1};
    RgbBuffer output;
    ASSERT_TRUE(ResizeImage(input, output, 2, 1, ResizeMode::PreReduce));
    EXPECT_EQ(output.pixels, (std::vector<std::uint8_t>{50, 15, 255, 8, 0, 1}));
}

TEST(Resampler, RingingKernelsClampInsteadOfWrapping) {
    // A hard edge makes Lanczos and sinc overshoot on both sides.
    RgbBuffer edge = Solid(40, 1, 0, 0, 0);
    for (std::uint32_t x = 20; x < 40; ++x) {
        std::fill_n(edge.pixels.begin() + x * 3, 3, 255);
    }
    for (const ResizeMode mode : {ResizeMode::Lanczos3, ResizeMode::Sinc, ResizeMode::Cubic1}) {
        RgbBuffer output;
        ASSERT_TRUE(ResizeImage(edge, output, 97, 1, mode));
        int dark = 0;
        int bright = 0;
        for (std::uint32_t x = 0; x < 97; ++x) {
            const std::uint8_t p = output.pixels[x * 3];
            dark += x < 40 && p == 0;
            bright += x > 57 && p == 255;
            // Overshoot wrapping to the other end would put extremes on the wrong side.
            EXPECT_FALSE(x < 40 && p > 128) << static_cast<int>(mode) << " at " << x;
            EXPECT_FALSE(x > 57 && p < 128) << static_cast<int>(mode) << " at " << x;
        }
        EXPECT_GT(dark, 0);
        EXPECT_GT(bright, 0);
    }
}

TEST(Resampler, RespectsStridesAndRefusesBadArguments) {
    // Rows padded to 8 bytes in and 16 out; padding must be neither read nor written.
    std::vector<std::uint8_t> src = {10, 20, 30, 40,  50,  60,  0xEE, 0xEE,
                                     70, 80, 90, 100, 110, 120, 0xEE, 0xEE};
    std::vector<std::uint8_t> dst(32, 0xAB);
    ASSERT_TRUE(ResizeImage(src.data(), 2, 2, 8, dst.data(), 2, 2, 16, ResizeMode::Gaussian));
    EXPECT_EQ(std::vector<std::uint8_t>(dst.begin(), dst.begin() + 6),
              std::vector<std::uint8_t>(src.begin(), src.begin() + 6));
    EXPECT_EQ(dst[6], 0xAB);
    EXPECT_EQ(dst[16], 70);
    ASSERT_TRUE(ResizeImage(src.data(), 2, 2, 8, dst.data(), 1, 1, 16, ResizeMode::PreReduce));
    EXPECT_EQ(dst[0], 55);
    EXPECT_EQ(dst[2], 75);

    std::uint8_t out[3];
    EXPECT_FALSE(ResizeImage(src.data(), 2, 2, 5, out, 1, 1, 3, ResizeMode::Box));
    EXPECT_FALSE(ResizeImage(src.data(), 0, 2, 8, out, 1, 1, 3, ResizeMode::Box));
    EXPECT_FALSE(ResizeImage(src.data(), 2, 2, 8, out, 1, 0, 3, ResizeMode::Box));
    EXPECT_FALSE(ResizeImage(src.data(), 2, 2, 8, out, 1, 1, 3, static_cast<ResizeMode>(14)));
    RgbBuffer empty;
    RgbBuffer result = Solid(1, 1, 1, 2, 3);
    EXPECT_FALSE(ResizeImage(empty, result, 5, 5, ResizeMode::Box));
    EXPECT_EQ(result.width, 1u);
}

}  // namespace

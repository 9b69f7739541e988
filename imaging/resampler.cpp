// Separable resampling with precomputed fixed-point weights. Downscaling
// widens the kernel by the scale factor, so every source pixel contributes.

#include "resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace imaging_detail {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Sinc(double x) {
    if (x == 0.0) {
        return 1.0;
    }
    x *= kPi;
    return std::sin(x) / x;
}

// Mitchell-Netravali family of cubics.
double Cubic(double x, double b, double c) {
    x = std::fabs(x);
    if (x < 1.0) {
        return ((12 - 9 * b - 6 * c) * x * x * x + (-18 + 12 * b + 6 * c) * x * x + (6 - 2 * b)) /
               6;
    }
    if (x < 2.0) {
        return ((-b - 6 * c) * x * x * x + (6 * b + 30 * c) * x * x + (-12 * b - 48 * c) * x +
                (8 * b + 24 * c)) /
               6;
    }
    return 0.0;
}

double Kernel(ResizeMode mode, double x) {
    const double ax = std::fabs(x);
    switch (mode) {
        case ResizeMode::Box:
            return x > -0.5 && x <= 0.5 ? 1.0 : 0.0;
        case ResizeMode::Triangle:
        case ResizeMode::Fallback:
            return ax < 1.0 ? 1.0 - ax : 0.0;
        case ResizeMode::Hamming:
            return ax < 3.0 ? Sinc(x) * (0.54 + 0.46 * std::cos(kPi * x / 3.0)) : 0.0;
        case ResizeMode::Hanning:
            return ax < 3.0 ? Sinc(x) * (0.5 + 0.5 * std::cos(kPi * x / 3.0)) : 0.0;
        case ResizeMode::Gaussian:
            // sigma 0.5
            return ax < 1.5 ? std::exp(-2.0 * x * x) : 0.0;
        case ResizeMode::Bell:
            if (ax < 0.5) {
                return 0.75 - ax * ax;
            }
            return ax < 1.5 ? 0.5 * (ax - 1.5) * (ax - 1.5) : 0.0;
        case ResizeMode::BSpline:
            return Cubic(x, 1.0, 0.0);
        case ResizeMode::Cubic1:
            return Cubic(x, 0.0, 1.0);
        case ResizeMode::Cubic2:
            return Cubic(x, 0.0, 0.75);
        case ResizeMode::Catrom:
            return Cubic(x, 0.0, 0.5);
        case ResizeMode::Mitchell:
            return Cubic(x, 1.0 / 3.0, 1.0 / 3.0);
        case ResizeMode::Lanczos3:
            return ax < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0;
        case ResizeMode::Sinc:
            return ax < 4.0 ? Sinc(x) : 0.0;
        case ResizeMode::Hermite:
            return ax < 1.0 ? (2.0 * ax - 3.0) * ax * ax + 1.0 : 0.0;
        case ResizeMode::PreReduce:
            return 0.0;  // area coverage, computed separately
    }
    return 0.0;
}

// Floating weights of one output position; returns the first source index.
int KernelWeights(std::uint32_t srcLength, double scale, ResizeMode mode, std::uint32_t i,
                  std::vector<double>& w) {
    w.clear();
    if (mode == ResizeMode::PreReduce) {
        // Exact area coverage of the output pixel's footprint.
        const double a = i * scale;
        const double b = std::min<double>((i + 1) * scale, srcLength);
        const int first = static_cast<int>(std::floor(a));
        const int last = std::min<int>(static_cast<int>(std::ceil(b)), static_cast<int>(srcLength));
        for (int x = first; x < last; ++x) {
            w.push_back(std::max(0.0, std::min<double>(b, x + 1) - std::max<double>(a, x)));
        }
        return first;
    }
    const double filterScale = std::max(scale, 1.0);
    const double support = KernelSupport(mode) * filterScale;
    const double center = (i + 0.5) * scale;
    const int first = std::max(0, static_cast<int>(std::floor(center - support + 0.5)));
    const int last =
        std::min(static_cast<int>(srcLength), static_cast<int>(std::floor(center + support + 0.5)));
    for (int x = first; x < last; ++x) {
        w.push_back(Kernel(mode, (x + 0.5 - center) / filterScale));
    }
    return first;
}

bool Supported(ResizeMode mode) {
    const int m = static_cast<int>(mode);
    return (m >= 0 && m <= 13) || m == 16 || m == 17;
}

// Horizontal pass over `rows` rows.
void ResampleRows(const std::uint8_t* src, std::size_t srcStride, std::uint32_t rows,
                  std::uint8_t* dst, std::size_t dstStride, std::uint32_t dstWidth,
                  const AxisWeights& axis) {
    constexpr std::int32_t kHalf = kWeightOne / 2;
    for (std::uint32_t y = 0; y < rows; ++y) {
        const std::uint8_t* in = src + y * srcStride;
        std::uint8_t* out = dst + y * dstStride;
        for (std::uint32_t x = 0; x < dstWidth; ++x) {
            const std::int32_t* w = axis.weights.data() + std::size_t{x} * axis.taps;
            const std::uint8_t* p = in + std::size_t(axis.first[x]) * 3;
            std::int32_t r = kHalf;
            std::int32_t g = kHalf;
            std::int32_t b = kHalf;
            for (int k = 0; k < axis.taps; ++k, p += 3) {
                r += w[k] * p[0];
                g += w[k] * p[1];
                b += w[k] * p[2];
            }
            out[3 * x] = static_cast<std::uint8_t>(std::clamp(r >> kWeightBits, 0, 255));
            out[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g >> kWeightBits, 0, 255));
            out[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(b >> kWeightBits, 0, 255));
        }
    }
}

// Vertical pass: each output row mixes whole source rows, byte by byte.
void ResampleColumns(const std::uint8_t* src, std::size_t srcStride, std::size_t rowBytes,
                     std::uint8_t* dst, std::size_t dstStride, std::uint32_t dstHeight,
                     const AxisWeights& axis) {
    std::vector<std::int32_t> acc(rowBytes);
    for (std::uint32_t y = 0; y < dstHeight; ++y) {
        std::fill(acc.begin(), acc.end(), kWeightOne / 2);
        const std::int32_t* w = axis.weights.data() + std::size_t{y} * axis.taps;
        const std::uint8_t* rowBase = src + std::size_t(axis.first[y]) * srcStride;
        for (int k = 0; k < axis.taps; ++k) {
            const std::int32_t weight = w[k];
            if (weight == 0) {
                continue;
            }
            const std::uint8_t* in = rowBase + std::size_t(k) * srcStride;
            std::int32_t* a = acc.data();
            for (std::size_t c = 0; c < rowBytes; ++c) {
                a[c] += weight * in[c];
            }
        }
        std::uint8_t* out = dst + y * dstStride;
        for (std::size_t c = 0; c < rowBytes; ++c) {
            out[c] = static_cast<std::uint8_t>(std::clamp(acc[c] >> kWeightBits, 0, 255));
        }
    }
}

void CopyRows(const std::uint8_t* src, std::size_t srcStride, std::uint32_t rows,
              std::size_t rowBytes, std::uint8_t* dst, std::size_t dstStride) {
    for (std::uint32_t y = 0; y < rows; ++y) {
        std::memcpy(dst + y * dstStride, src + y * srcStride, rowBytes);
    }
}

}  // namespace

double KernelSupport(ResizeMode mode) {
    switch (mode) {
        case ResizeMode::Box:
        case ResizeMode::PreReduce:
            return 0.5;
        case ResizeMode::Triangle:
        case ResizeMode::Fallback:
        case ResizeMode::Hermite:
            return 1.0;
        case ResizeMode::Gaussian:
        case ResizeMode::Bell:
            return 1.5;
        case ResizeMode::BSpline:
        case ResizeMode::Cubic1:
        case ResizeMode::Cubic2:
        case ResizeMode::Catrom:
        case ResizeMode::Mitchell:
            return 2.0;
        case ResizeMode::Hamming:
        case ResizeMode::Hanning:
        case ResizeMode::Lanczos3:
            return 3.0;
        case ResizeMode::Sinc:
            return 4.0;
    }
    return 0.0;
}

bool ComputeAxisWeights(std::uint32_t srcLength, std::uint32_t dstLength, ResizeMode mode,
                        AxisWeights& axis) {
    if (!Supported(mode) || srcLength == 0 || dstLength == 0) {
        return false;
    }
    const double scale = static_cast<double>(srcLength) / dstLength;
    std::vector<std::vector<std::int32_t>> fixed(dstLength);
    std::vector<std::int32_t> firsts(dstLength);
    std::vector<double> w;
    int taps = 1;
    for (std::uint32_t i = 0; i < dstLength; ++i) {
        int first = KernelWeights(srcLength, scale, mode, i, w);
        double total = 0;
        for (const double v : w) {
            total += v;
        }
        std::vector<std::int32_t>& q = fixed[i];
        if (w.empty() || total <= 0.0) {
            // Nothing under the kernel: take the nearest source pixel.
            first =
                static_cast<int>(std::min<double>(std::floor((i + 0.5) * scale), srcLength - 1));
            q.assign(1, kWeightOne);
        } else {
            q.resize(w.size());
            std::int64_t sum = 0;
            std::size_t largest = 0;
            for (std::size_t k = 0; k < w.size(); ++k) {
                q[k] = static_cast<std::int32_t>(std::lround(w[k] / total * kWeightOne));
                sum += q[k];
                if (q[k] > q[largest]) {
                    largest = k;
                }
            }
            // Rounding may leave the sum a little off one; the largest weight absorbs it.
            q[largest] += static_cast<std::int32_t>(kWeightOne - sum);
            // Zero weights at the ends only cost time.
            std::size_t lead = 0;
            while (lead + 1 < q.size() && q[lead] == 0) {
                ++lead;
            }
            std::size_t end = q.size();
            while (end > lead + 1 && q[end - 1] == 0) {
                --end;
            }
            q = std::vector<std::int32_t>(q.begin() + static_cast<std::ptrdiff_t>(lead),
                                          q.begin() + static_cast<std::ptrdiff_t>(end));
            first += static_cast<int>(lead);
        }
        firsts[i] = first;
        taps = std::max(taps, static_cast<int>(q.size()));
    }
    // Every output reads `taps` pixels; shift windows near the far edge back
    // so that none reads past it.
    axis.taps = std::min<int>(taps, static_cast<int>(srcLength));
    axis.first.assign(dstLength, 0);
    axis.weights.assign(std::size_t{dstLength} * axis.taps, 0);
    for (std::uint32_t i = 0; i < dstLength; ++i) {
        const int first = std::min(firsts[i], static_cast<int>(srcLength) - axis.taps);
        const int shift = firsts[i] - first;
        axis.first[i] = first;
        std::int32_t* row = axis.weights.data() + std::size_t{i} * axis.taps;
        for (std::size_t k = 0; k < fixed[i].size(); ++k) {
            row[shift + static_cast<int>(k)] = fixed[i][k];
        }
    }
    return true;
}

}  // namespace imaging_detail

using namespace imaging_detail;

bool ResizeImage(const std::uint8_t* src, std::uint32_t srcWidth, std::uint32_t srcHeight,
                 std::size_t srcStride, std::uint8_t* dst, std::uint32_t dstWidth,
                 std::uint32_t dstHeight, std::size_t dstStride, ResizeMode mode) {
    if (src == nullptr || dst == nullptr || srcWidth == 0 || srcHeight == 0 || dstWidth == 0 ||
        dstHeight == 0 || !Supported(mode) || srcStride < std::size_t{srcWidth} * 3 ||
        dstStride < std::size_t{dstWidth} * 3) {
        return false;
    }
    const bool horizontal = srcWidth != dstWidth;
    const bool vertical = srcHeight != dstHeight;
    try {
        if (!horizontal && !vertical) {
            CopyRows(src, srcStride, srcHeight, std::size_t{srcWidth} * 3, dst, dstStride);
            return true;
        }
        AxisWeights across;
        AxisWeights down;
        if ((horizontal && !ComputeAxisWeights(srcWidth, dstWidth, mode, across)) ||
            (vertical && !ComputeAxisWeights(srcHeight, dstHeight, mode, down))) {
            return false;
        }
        if (!vertical) {
            ResampleRows(src, srcStride, srcHeight, dst, dstStride, dstWidth, across);
            return true;
        }
        if (!horizontal) {
            ResampleColumns(src, srcStride, std::size_t{srcWidth} * 3, dst, dstStride, dstHeight,
                            down);
            return true;
        }
        // Both axes: run the cheaper order. The choice depends on the sizes
        // alone, so results stay reproducible.
        const double acrossFirst =
            double(srcHeight) * dstWidth * across.taps + double(dstHeight) * dstWidth * down.taps;
        const double downFirst =
            double(dstHeight) * srcWidth * down.taps + double(dstHeight) * dstWidth * across.taps;
        if (acrossFirst <= downFirst) {
            const std::size_t midStride = std::size_t{dstWidth} * 3;
            std::vector<std::uint8_t> mid(midStride * srcHeight);
            ResampleRows(src, srcStride, srcHeight, mid.data(), midStride, dstWidth, across);
            ResampleColumns(mid.data(), midStride, midStride, dst, dstStride, dstHeight, down);
        } else {
            const std::size_t midStride = std::size_t{srcWidth} * 3;
            std::vector<std::uint8_t> mid(midStride * dstHeight);
            ResampleColumns(src, srcStride, midStride, mid.data(), midStride, dstHeight, down);
            ResampleRows(mid.data(), midStride, dstHeight, dst, dstStride, dstWidth, across);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

bool ResizeImage(const RgbBuffer& src, RgbBuffer& dst, std::uint32_t width, std::uint32_t height,
                 ResizeMode mode) {
    if (src.empty() || width == 0 || height == 0 || src.pixels.size() < src.stride() * src.height) {
        return false;
    }
    RgbBuffer result;
    try {
        result.pixels.resize(std::size_t{width} * height * 3);
    } catch (const std::bad_alloc&) {
        return false;
    }
    result.width = width;
    result.height = height;
    if (!ResizeImage(src.pixels.data(), src.width, src.height, src.stride(), result.pixels.data(),
                     width, height, result.stride(), mode)) {
        return false;
    }
    dst = std::move(result);
    return true;
}

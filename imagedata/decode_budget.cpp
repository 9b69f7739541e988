#include "decode_budget.h"

#include <algorithm>

namespace {

// Bytes per pixel a decoder holds at its peak, beside our 3-byte packed copy:
// libpng's rows of up to four channels, a JPEG's CMYK buffer; a QImage of 32
// bits with at times a converted copy, ImageMagick's 16-bit RGBA pixel cache.
std::uint64_t libraryBytesPerPixel(ImageType type) {
    return type == ImageType::Jpeg || type == ImageType::Png ? 4 : 8;
}

// The smallest DCT scale (1, 1/2, 1/4, 1/8) keeping both sides at or above
// the minimum, as the JPEG decoder picks it.
std::uint64_t jpegScaledPixels(std::uint32_t width, std::uint32_t height,
                               const DecodeOptions& options) {
    std::uint64_t w = width;
    std::uint64_t h = height;
    if (options.minWidth > 0 || options.minHeight > 0) {
        for (std::uint64_t k = 8; k >= 2; k /= 2) {
            const std::uint64_t sw = (width + k - 1) / k;
            const std::uint64_t sh = (height + k - 1) / k;
            if (sw >= options.minWidth && sh >= options.minHeight) {
                w = sw;
                h = sh;
                break;
            }
        }
    }
    return w * h;
}

}  // namespace

DecodeBudget::Reservation::Reservation(DecodeBudget& budget, std::uint64_t bytes)
    : m_budget(budget), m_bytes(bytes) {
    m_budget.acquire(m_bytes);
}

DecodeBudget::Reservation::~Reservation() {
    m_budget.release(m_bytes);
}

void DecodeBudget::acquire(std::uint64_t bytes) {
    std::unique_lock lock(m_mutex);
    // One reservation larger than the whole budget runs alone.
    m_released.wait(lock, [&] { return m_held == 0 || m_held + bytes <= m_capacity; });
    m_held += bytes;
    m_peak = std::max(m_peak, m_held);
}

void DecodeBudget::release(std::uint64_t bytes) {
    {
        const std::lock_guard lock(m_mutex);
        m_held -= bytes;
    }
    m_released.notify_all();
}

std::uint64_t DecodeBudget::peak() const {
    const std::lock_guard lock(m_mutex);
    return m_peak;
}

DecodeBudget& DecodeBudget::ForBuilds() {
    static DecodeBudget budget(kBuildDecodeBudgetBytes);
    return budget;
}

std::uint64_t DecodeCostEstimate(ImageType type, std::uint32_t width, std::uint32_t height,
                                 std::uint64_t fileBytes, const DecodeOptions& options) {
    if (type == ImageType::Wmf || type == ImageType::Emf) {
        // Rendered into the metafile box, whatever the file declares.
        const std::uint64_t box = std::uint64_t{options.metafileWidth} * options.metafileHeight;
        return fileBytes + box * (3 + 8);
    }
    const std::uint64_t pixels = type == ImageType::Jpeg ? jpegScaledPixels(width, height, options)
                                                         : std::uint64_t{width} * height;
    return fileBytes + pixels * (3 + libraryBytesPerPixel(type));
}

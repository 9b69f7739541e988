#include "signature.h"

#include <algorithm>
#include <vector>

#include "image_loading.h"

namespace {

enum class PreReduction { ByRule, Always };

// Sizes over 16 bits are saturated: wrapping could give 0, which marks a deleted entry.
std::uint16_t RecordedSide(std::uint32_t side) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(side, 0xFFFF));
}

bool ReduceToThumb(const RgbBuffer& image, ResizeMode mode, ImageRecord& record) {
    return ResizeImage(image.pixels.data(), image.width, image.height, image.stride(), record.thumb,
                       kThumbSide, kThumbSide, kThumbSide * 3, mode);
}

void FinishRecord(const RgbBuffer& entered, bool thumbMade, ImageRecord& record) {
    if (!thumbMade) {
        record = ImageRecord{};
        return;
    }
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
    for (int i = 0; i < kThumbPixels; ++i) {
        red += record.thumb[3 * i];
        green += record.thumb[3 * i + 1];
        blue += record.thumb[3 * i + 2];
    }
    record.nSumRed = static_cast<std::uint16_t>(red);
    record.nSumGreen = static_cast<std::uint16_t>(green);
    record.nSumBlue = static_cast<std::uint16_t>(blue);
    record.nReserved = 0;
    record.bColor = static_cast<std::uint8_t>(IsColorImage(entered));
    record.nWidth = RecordedSide(entered.width);
    record.nHeight = RecordedSide(entered.height);
}

void Reduce(RgbBuffer& image, ResizeMode elongationMode, ResizeMode filter, ImageRecord& record,
            PreReduction preReduction) {
    record = ImageRecord{};
    if (image.empty() || image.width == 0 || image.height == 0) {
        return;
    }
    if (preReduction == PreReduction::ByRule && IsElongated(image.width, image.height)) {
        FinishRecord(image, ReduceToThumb(image, elongationMode, record), record);
        return;
    }
    if (preReduction == PreReduction::Always || NeedsPreReduction(image.width, image.height)) {
        RgbBuffer reduced;
        if (ResizeImage(image, reduced, kPreReducedSide, kPreReducedSide, ResizeMode::PreReduce)) {
            image = std::move(reduced);
        }
    }
    const bool made =
        ReduceToThumb(image, filter, record) || ReduceToThumb(image, ResizeMode::Fallback, record);
    FinishRecord(image, made, record);
}

}  // namespace

int IsColorImage(const RgbBuffer& image) {
    const std::size_t bytes =
        std::min(image.pixels.size(), std::size_t{image.width} * image.height * 3);
    const std::uint8_t* p = image.pixels.data();
    for (std::size_t i = 0; i + 2 < bytes; i += 3) {
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) {
            return 1;
        }
    }
    return 0;
}

bool IsElongated(std::uint32_t width, std::uint32_t height) {
    const double w = width;
    const double h = height;
    return w / h > kElongationLimit || h / w > kElongationLimit;
}

bool NeedsPreReduction(std::uint32_t width, std::uint32_t height) {
    const double w = width;
    const double h = height;
    // 2000 itself counts as large: a 3000 x 2000 photograph is meant to be pre-reduced.
    return ((w / h > 1.6 || h / w > 1.6) && w > 600 && h > 600) || (w >= 2000 && h >= 2000);
}

void MakeSignature(RgbBuffer& image, ResizeMode elongationMode, ResizeMode filter,
                   ImageRecord& record) {
    Reduce(image, elongationMode, filter, record, PreReduction::ByRule);
}

void MakeSingleImageSignature(const RgbBuffer& image, ResizeMode filter, ImageRecord& record) {
    record = ImageRecord{};
    if (image.empty() || image.width == 0 || image.height == 0) {
        return;
    }
    ResizeMode mode = filter;
    if (IsElongated(image.width, image.height)) {
        mode = ResizeMode::Fallback;
    } else if (NeedsPreReduction(image.width, image.height)) {
        mode = ResizeMode::PreReduce;
    }
    FinishRecord(image, ReduceToThumb(image, mode, record), record);
}

namespace {

// The least both sides may keep when the decoder delivers fewer pixels for an
// image that will be pre-reduced; 0 where every pixel is decoded.
std::uint32_t ReducedDecodeSide(ImageType type) {
    switch (type) {
        case ImageType::Jpeg:
        case ImageType::Raw:
            return kPreReducedSide;
        case ImageType::Heif:
        case ImageType::Avif:
        case ImageType::JpegXl:
            return kMinThumbnailSide;
        default:
            return 0;
    }
}

bool SignatureFromBytes(const std::vector<std::uint8_t>& bytes, ImageType type,
                        ResizeMode elongationMode, ResizeMode filter, ImageRecord& record,
                        DecodeBudget& budget) {
    DecodeOptions options;
    PreReduction preReduction = PreReduction::ByRule;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    const bool metafile = type == ImageType::Wmf || type == ImageType::Emf;
    // A header the decoder would refuse leaves the size at 0: only the file is reserved.
    if (!metafile && !ReadImageSize(bytes.data(), bytes.size(), type, width, height)) {
        width = height = 0;
    }
    // The header tells whether the pre-reduction will run; if so, the
    // decoder need only deliver that much.
    if (const std::uint32_t side = ReducedDecodeSide(type);
        side > 0 && width > 0 && !IsElongated(width, height) && NeedsPreReduction(width, height)) {
        options.minWidth = side;
        options.minHeight = side;
        preReduction = PreReduction::Always;
    }
    // Declared sizes, not file sizes, say what a decode costs; the build's
    // workers wait for each other rather than all decoding huge images at once.
    const DecodeBudget::Reservation reserved(
        budget, DecodeCostEstimate(type, width, height, bytes.size(), options));
    RgbBuffer image;
    if (!DecodeImageMemory(bytes.data(), bytes.size(), type, image, options)) {
        return false;
    }
    Reduce(image, elongationMode, filter, record, preReduction);
    return true;
}

}  // namespace

bool SignatureFromFile(const std::string& path, ResizeMode elongationMode, ResizeMode filter,
                       ImageRecord& record, ImageFormats formats, DecodeBudget& budget) {
    record = ImageRecord{};
    std::vector<std::uint8_t> bytes;
    if (!ReadImageFileBytes(path, bytes)) {
        SetLastImageError(ImagingLastError());
        return false;
    }
    const ImageType type = ImageTypeForPath(path, formats);
    if (type == ImageType::Unknown) {
        SetLastImageError(kImagingUnsupportedType);
        return false;
    }
    if (SignatureFromBytes(bytes, type, elongationMode, filter, record, budget)) {
        return true;
    }
    const ImageType content = ContentTypeAfterFailure(bytes.data(), bytes.size(), type, formats);
    if (content != ImageType::Unknown &&
        SignatureFromBytes(bytes, content, elongationMode, filter, record, budget)) {
        return true;
    }
    SetLastImageError(ImagingLastError());
    return false;
}

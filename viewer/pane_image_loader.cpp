#include "pane_image_loader.h"

#include <algorithm>
#include <future>
#include <system_error>
#include <vector>

#include "image_loading.h"

namespace {

// Reads `bytes` as `type`, upright; false when they do not decode as that type.
bool ReadAs(const std::vector<std::uint8_t>& bytes, ImageType type, FitSize area, FitRule rule,
            DisplayImage& image) {
    const Orientation orientation = ReadImageOrientation(bytes.data(), bytes.size(), type);
    const bool swapped = SwapsSides(orientation);
    DecodeOptions options;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // Metafiles have no size of their own before they are rendered.
    const bool sized = type != ImageType::Wmf && type != ImageType::Emf &&
                       ReadImageSize(bytes.data(), bytes.size(), type, width, height);
    if (sized) {
        if (swapped) {
            std::swap(width, height);
        }
        // The decoder works on the stored pixels, turned back from the shown ones.
        const FitSize target = rule({static_cast<int>(width), static_cast<int>(height)}, area);
        const auto side = [](int length) {
            return static_cast<std::uint32_t>(std::max(length, 1));
        };
        options.minWidth = side(swapped ? target.height : target.width);
        options.minHeight = side(swapped ? target.width : target.height);
    }
    RgbBuffer pixels;
    if (!DecodeImageMemory(bytes.data(), bytes.size(), type, pixels, options)) {
        return false;
    }
    image.pixels = OrientForDisplay(pixels, orientation);
    if (!sized) {
        width = image.pixels.width;
        height = image.pixels.height;
    }
    image.read = true;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    return true;
}

}  // namespace

DisplayImage ReadImageForArea(const std::string& path, FitSize area, FitRule rule) {
    DisplayImage image;
    std::vector<std::uint8_t> bytes;
    const ImageType type = ImageTypeForPath(path);
    if (type == ImageType::Unknown || !ReadImageFileBytes(path, bytes)) {
        return image;
    }
    if (ReadAs(bytes, type, area, rule, image)) {
        return image;
    }
    const ImageType content =
        ContentTypeAfterFailure(bytes.data(), bytes.size(), type, ImageFormats::All);
    if (content != ImageType::Unknown) {
        ReadAs(bytes, content, area, rule, image);
    }
    return image;
}

RgbBuffer FitImageToArea(const DisplayImage& image, FitSize area, FitRule rule, ResizeMode mode) {
    RgbBuffer fitted;
    const FitSize target = rule({image.width, image.height}, area);
    if (image.pixels.empty() || target.width <= 0 || target.height <= 0) {
        return fitted;
    }
    ResizeImage(image.pixels, fitted, static_cast<std::uint32_t>(target.width),
                static_cast<std::uint32_t>(target.height), mode);
    return fitted;
}

PaneLoad LoadPaneImage(const std::string& path, const std::string& placeholder, FitSize pane) {
    PaneLoad load;
    DisplayImage image = ReadImageForArea(path, pane, FitToPaneSize);
    if (image.read) {
        load.read = true;
        load.width = image.width;
        load.height = image.height;
    } else if (!placeholder.empty()) {
        image = ReadImageForArea(placeholder, pane, FitToPaneSize);
    }
    if (image.read) {
        load.fitted = FitImageToArea(image, pane, FitToPaneSize, ResizeMode::Lanczos3);
    }
    return load;
}

void LoadPanePair(const std::string& leftPath, FitSize leftPane, const std::string& rightPath,
                  FitSize rightPane, const std::string& placeholder, PaneLoad& left,
                  PaneLoad& right) {
    std::future<PaneLoad> pending;
    try {
        pending = std::async(std::launch::async,
                             [&] { return LoadPaneImage(rightPath, placeholder, rightPane); });
    } catch (const std::system_error&) {
        // No second thread to be had: read the sides one after the other.
    }
    left = LoadPaneImage(leftPath, placeholder, leftPane);
    right = pending.valid() ? pending.get() : LoadPaneImage(rightPath, placeholder, rightPane);
}

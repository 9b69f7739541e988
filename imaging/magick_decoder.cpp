// Targa, PCX, Photoshop and WMF through ImageMagick 6.

#include <Magick++.h>

#include <charconv>
#include <cmath>
#include <string>

#include "decoders.h"

namespace imaging_detail {

namespace {

constexpr double kMagickDefaultDpi = 72.0;

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool FailFromMessage(const std::string& what) {
    if (Contains(what, "improper image header") || Contains(what, "ImproperImageHeader") ||
        Contains(what, "not a ")) {
        return Fail(kImagingWrongFormat);
    }
    if (Contains(what, "end-of-file") || Contains(what, "EndOfFile") ||
        Contains(what, "insufficient image data") || Contains(what, "InsufficientImageData")) {
        return Fail(kImagingTruncated);
    }
    return Fail(kImagingCorrupt);
}

// Reads one frame. Warnings are thrown (not silenced) so that the corrupt-data
// ones, which ImageMagick reports while returning a half-filled image, fail.
void ReadFrame(Magick::Image& image, const Magick::Blob& blob) {
    try {
        image.read(blob);
    } catch (const Magick::WarningCorruptImage&) {
        throw;
    } catch (const Magick::Warning&) {
        // e.g. an unknown tag: the pixels are whole
    }
}

// The density at which a WMF fits the box; its size at 72 dpi comes from a ping.
bool WmfDensity(const Magick::Blob& blob, const DecodeOptions& options, double& density) {
    if (options.metafileWidth == 0 || options.metafileHeight == 0) {
        return Fail(kImagingBadArgument);
    }
    Magick::Image probe;
    probe.quiet(true);
    probe.magick("WMF");
    probe.ping(blob);
    if (probe.columns() == 0 || probe.rows() == 0) {
        return Fail(kImagingCorrupt);
    }
    std::uint32_t fitWidth = 0;
    std::uint32_t fitHeight = 0;
    FitIntoBox(static_cast<double>(probe.columns()), static_cast<double>(probe.rows()),
               options.metafileWidth, options.metafileHeight, fitWidth, fitHeight);
    if (!CheckDeclaredSize(fitWidth, fitHeight)) {
        return false;
    }
    density = kMagickDefaultDpi * std::min(options.metafileWidth / double(probe.columns()),
                                           options.metafileHeight / double(probe.rows()));
    return true;
}

// Fractional densities matter for large metafiles fitted into small boxes;
// Magick::Geometry would round them to whole numbers.
void SetDensity(Magick::Image& image, double density) {
    char number[32];
    const auto end =
        std::to_chars(number, number + sizeof number, density, std::chars_format::fixed, 4).ptr;
    const std::string text = std::string(number, end) + "x" + std::string(number, end);
    MagickCore::CloneString(&image.imageInfo()->density, text.c_str());
}

void UprightTarga(Magick::Image& image) {
    switch (image.orientation()) {
        case MagickCore::BottomLeftOrientation:
            image.flip();
            break;
        case MagickCore::TopRightOrientation:
            image.flop();
            break;
        case MagickCore::BottomRightOrientation:
            image.flip();
            image.flop();
            break;
        default:
            break;
    }
}

bool ExportRgb(Magick::Image& image, RgbBuffer& out) {
    const auto space = image.colorSpace();
    if (space != MagickCore::sRGBColorspace && space != MagickCore::RGBColorspace &&
        space != MagickCore::GRAYColorspace && space != MagickCore::UndefinedColorspace) {
        image.colorSpace(MagickCore::sRGBColorspace);
    }
    if (image.matte()) {
        // Transparent pixels are shown over white, as on paper.
        image.backgroundColor(Magick::Color("white"));
        image.alphaChannel(MagickCore::RemoveAlphaChannel);
    }
    const std::size_t width = image.columns();
    const std::size_t height = image.rows();
    if (!CheckDeclaredSize(width, height) || !AllocatePixels(out, static_cast<std::uint32_t>(width),
                                                             static_cast<std::uint32_t>(height))) {
        return false;
    }
    image.write(0, 0, width, height, "RGB", Magick::CharPixel, out.pixels.data());
    return true;
}

}  // namespace

void InitializeMagick() {
    Magick::InitializeMagick(nullptr);
    // We decode files on several threads ourselves; ImageMagick's own threads
    // make small files several times slower.
    Magick::ResourceLimits::thread(1);
    // Never spill pixel caches to temporary files: too large fails instead.
    Magick::ResourceLimits::disk(0);
}

bool DecodeWithMagick(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                      const DecodeOptions& options) {
    std::uint32_t declaredWidth = 0;
    std::uint32_t declaredHeight = 0;
    const char* magick = nullptr;
    switch (type) {
        case ImageType::Targa:
            magick = "TGA";
            if (!TargaHeaderSize(data, size, declaredWidth, declaredHeight)) {
                return false;
            }
            break;
        case ImageType::Pcx:
            magick = "PCX";
            if (!PcxHeaderSize(data, size, declaredWidth, declaredHeight)) {
                return false;
            }
            break;
        case ImageType::Photoshop:
            magick = "PSD";
            if (!PhotoshopHeaderSize(data, size, declaredWidth, declaredHeight)) {
                return false;
            }
            break;
        case ImageType::Wmf:
            magick = "WMF";
            if (!WmfHeaderValid(data, size)) {
                return Fail(kImagingWrongFormat);
            }
            if (!WmfRecordsWellFormed(data, size)) {
                return Fail(kImagingCorrupt);
            }
            break;
        default:
            return Fail(kImagingUnsupportedType);
    }
    try {
        const Magick::Blob blob(data, size);
        Magick::Image image;
        image.quiet(false);
        image.magick(magick);
        // The first frame is the merged picture of a Photoshop file.
        image.subRange(1);
        if (type == ImageType::Wmf) {
            double density = 0;
            if (!WmfDensity(blob, options, density)) {
                return false;
            }
            SetDensity(image, density);
            image.backgroundColor(Magick::Color("white"));
        }
        ReadFrame(image, blob);
        if (type == ImageType::Targa) {
            UprightTarga(image);
        }
        return ExportRgb(image, out);
    } catch (const Magick::ErrorResourceLimit&) {
        out.release();
        return Fail(kImagingTooLarge);
    } catch (const Magick::Exception& e) {
        out.release();
        return FailFromMessage(e.what());
    } catch (const std::bad_alloc&) {
        out.release();
        return Fail(kImagingOutOfMemory);
    } catch (const std::exception& e) {
        out.release();
        return FailFromMessage(e.what());
    }
}

}  // namespace imaging_detail

// The WMF player that ImageMagick loads reports bad records by printing to
// stderr and stdout through these two functions. Executables export ours (see
// CMakeLists.txt), so the player's calls land here and print nothing.
extern "C" {
void wmf_error(void*, char*, int, char*) {}
void wmf_printf(void*, char*, ...) {}
}

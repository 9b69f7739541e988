#include "image_loading.h"

#include <array>
#include <cctype>
#include <string_view>

namespace {
thread_local int m_nLastImageError = 0;
}  // namespace

ImageType ImageTypeForPath(const std::string& path, ImageFormats formats) {
    if (formats == ImageFormats::All) {
        if (const ImageType type = ImageTypeForExtension(path); IsModernImageType(type)) {
            return type;
        }
    }
    if (path.size() < 4) {
        return ImageType::Unknown;
    }
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    static constexpr std::array<std::pair<std::string_view, ImageType>, 14> kTable{{
        {".JPG", ImageType::Jpeg},
        {"JPEG", ImageType::Jpeg},
        {".JPE", ImageType::Jpeg},
        {".JIF", ImageType::Jpeg},
        {".GIF", ImageType::Gif},
        {".PNG", ImageType::Png},
        {".TIF", ImageType::Tiff},
        {"TIFF", ImageType::Tiff},
        {".BMP", ImageType::Bmp},
        {".TGA", ImageType::Targa},
        {".PCX", ImageType::Pcx},
        {".PSD", ImageType::Photoshop},
        {".WMF", ImageType::Wmf},
        {".EMF", ImageType::Emf},
    }};
    for (const auto& [ending, type] : kTable) {
        if (tail == ending) {
            return type;
        }
    }
    return ImageType::Unknown;
}

ImageType ContentTypeAfterFailure(const std::uint8_t* data, std::size_t size, ImageType tried,
                                  ImageFormats formats) {
    const ImageType content = SniffImageData(data, size);
    if (content == tried || (formats == ImageFormats::Classic && IsModernImageType(content))) {
        return ImageType::Unknown;
    }
    return content;
}

bool LoadImageFile(const std::string& path, RgbBuffer& out, const DecodeOptions& options,
                   ImageFormats formats) {
    std::vector<std::uint8_t> bytes;
    if (!ReadImageFileBytes(path, bytes)) {
        m_nLastImageError = ImagingLastError();
        return false;
    }
    const ImageType type = ImageTypeForPath(path, formats);
    if (type == ImageType::Unknown) {
        m_nLastImageError = kImagingUnsupportedType;
        return false;
    }
    if (DecodeImageMemory(bytes.data(), bytes.size(), type, out, options)) {
        return true;
    }
    const ImageType content = ContentTypeAfterFailure(bytes.data(), bytes.size(), type, formats);
    if (content != ImageType::Unknown &&
        DecodeImageMemory(bytes.data(), bytes.size(), content, out, options)) {
        return true;
    }
    m_nLastImageError = ImagingLastError();
    return false;
}

int LastImageError() {
    return m_nLastImageError;
}

void SetLastImageError(int code) {
    m_nLastImageError = code;
}

std::string ImageLoadErrorText(int code) {
    if (code == 36) {
        return "Unable to open TIFF file. Reading an LZW compressed TIFF file is not supported. "
               "Error: " +
               std::to_string(code);
    }
    return "Unable to open file. Error: " + std::to_string(code);
}

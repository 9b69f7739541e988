#pragma once
// Internal to the imaging library: one decoder per underlying library, and
// the helpers they share.

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging.h"

class QImage;

namespace imaging_detail {

/// Records a failure code for ImagingLastError() and returns false.
bool Fail(int code);
void SetLastError(int code);

/// Opens a regular file for reading (never a folder, FIFO or device); -1 on failure.
int OpenRegularFile(const std::string& path);

/// Refuses sizes that are empty or over kMaxImagePixels.
bool CheckDeclaredSize(std::uint64_t width, std::uint64_t height);

/// Sizes `out` for width x height pixels; false (out of memory) when that fails.
bool AllocatePixels(RgbBuffer& out, std::uint32_t width, std::uint32_t height);

/// RGBA pixels to RGB, transparent pixels shown over white, as on paper.
void CompositeOverWhite(const std::uint8_t* rgba, std::size_t pixels, std::uint8_t* rgb);

/// While alive, Qt messages emitted on this thread are dropped.
class QuietQtMessages {
  public:
    QuietQtMessages();
    ~QuietQtMessages();
    QuietQtMessages(const QuietQtMessages&) = delete;
    QuietQtMessages& operator=(const QuietQtMessages&) = delete;
};

void InitializeQtImageIo();
void InitializeMagick();

bool JpegSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
              std::uint32_t& height);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
                const DecodeOptions& options);

bool PngSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height);
bool DecodePng(const std::uint8_t* data, std::size_t size, RgbBuffer& out);

/// BMP, GIF, TIFF and WBMP through Qt's image reader.
bool QtImageSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
                 std::uint32_t& height);
bool DecodeWithQt(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out);

/// Packed RGB of a decoded QImage, transparent pixels over white.
bool QImageToRgb(const QImage& image, RgbBuffer& out);

/// Targa, PCX, Photoshop and WMF through ImageMagick.
bool DecodeWithMagick(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                      const DecodeOptions& options);

/// Header checks: the declared size, and for data of a length the header
/// fixes, whether the file holds it (readers would return half images).
bool BmpHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                   std::uint32_t& height);
bool WbmpHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                    std::uint32_t& height);
bool TargaHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                     std::uint32_t& height);
bool PcxHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                   std::uint32_t& height);
bool PhotoshopHeaderSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
                         std::uint32_t& height);
bool WmfHeaderValid(const std::uint8_t* data, std::size_t size);
bool WmfRecordsWellFormed(const std::uint8_t* data, std::size_t size);
bool EmfHeaderValid(const std::uint8_t* data, std::size_t size);

/// HEIC and AVIF through libheif (`type` says which the bytes must be).
bool HeifSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
              std::uint32_t& height);
bool DecodeHeif(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                const DecodeOptions& options);

bool WebpSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
              std::uint32_t& height);
bool DecodeWebp(const std::uint8_t* data, std::size_t size, RgbBuffer& out);

bool JxlSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height);
bool DecodeJxl(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options);

/// An entry of a TIFF structure's first image directory: its type, count and
/// value (a single short as itself, anything else as the 32-bit value field).
bool FindTiffTag(const std::uint8_t* data, std::size_t size, std::uint16_t tag, std::uint16_t& type,
                 std::uint32_t& count, std::uint32_t& value);

/// True for the first bytes of the containers camera raw files use (TIFF,
/// and the makers' own: ORF, RW2, RAF, CR3).
bool HasRawSignature(const std::uint8_t* data, std::size_t size);
bool RawSize(const std::uint8_t* data, std::size_t size, std::uint32_t& width,
             std::uint32_t& height);
bool DecodeRaw(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options);
Orientation RawOrientation(const std::uint8_t* data, std::size_t size);

/// EMF through libemf2svg and Qt SVG.
bool DecodeEmf(const std::uint8_t* data, std::size_t size, RgbBuffer& out,
               const DecodeOptions& options);

/// The size that fits width x height into boxWidth x boxHeight keeping the
/// aspect ratio, at least 1 x 1.
void FitIntoBox(double width, double height, std::uint32_t boxWidth, std::uint32_t boxHeight,
                std::uint32_t& outWidth, std::uint32_t& outHeight);

}  // namespace imaging_detail

#pragma once
// The imaging library: decoding of every supported image type into packed RGB,
// format recognition, and the resampler whose output the signatures depend on.
// Nothing here exposes a type of the libraries used inside.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "rgb_buffer.h"

/// The image types the programs read.
enum class ImageType {
    Unknown,
    Bmp,
    Jpeg,
    Tiff,
    Png,
    Pcx,
    Targa,
    Photoshop,
    Gif,
    Wbmp,
    Wmf,
    Emf,
    Heif,  ///< HEIC and other HEIF images
    Avif,
    WebP,
    JpegXl,
    Raw,  ///< camera raw files of every maker LibRaw reads
};

/// The photo formats of phones and cameras: read only when the caller asks
/// for every format.
bool IsModernImageType(ImageType type);

/// Resampling modes. 0 to 13 are the named kernels of the find-dups setup;
/// Fallback (a tent kernel) serves elongated images and fitting into panes,
/// PreReduce (exact area averaging) the cheap reduction of large images.
enum class ResizeMode {
    Box = 0,
    Triangle = 1,
    Hamming = 2,
    Gaussian = 3,
    Bell = 4,
    BSpline = 5,
    Cubic1 = 6,
    Cubic2 = 7,
    Lanczos3 = 8,
    Mitchell = 9,
    Sinc = 10,
    Hermite = 11,
    Hanning = 12,
    Catrom = 13,
    Fallback = 16,
    PreReduce = 17
};

/// How to decode.
struct DecodeOptions {
    /// Metafiles are rendered to fit this box, keeping their aspect ratio.
    std::uint32_t metafileWidth = 400, metafileHeight = 400;
    /// When > 0, the decoder may deliver fewer pixels than the image has, as
    /// long as both sides stay at or above these: a JPEG (also a camera's
    /// preview JPEG) at a DCT scale of 1/2, 1/4 or 1/8; a HEIF or AVIF file
    /// from its embedded thumbnail; a camera raw file from its preview or at
    /// half size; a JPEG XL file from its low-frequency pass. The result then
    /// has the image's aspect ratio but not its size.
    std::uint32_t minWidth = 0, minHeight = 0;
};

/// An embedded thumbnail stands in for the image only when its shorter side
/// has at least this many pixels.
inline constexpr std::uint32_t kMinThumbnailSide = 256;

/// Images declaring more pixels than this are refused before decoding.
inline constexpr std::uint64_t kMaxImagePixels = 200'000'000;
/// Files larger than this are not read.
inline constexpr std::uint64_t kMaxImageFileBytes = std::uint64_t{1} << 30;

/// Codes of ImagingLastError(). 2 and 5 are left out because they are the
/// sniffing loader's own results; 36 is left out because LZW TIFFs are read.
enum ImagingError : int {
    kImagingOk = 0,
    kImagingOutOfMemory = 1,
    kImagingCannotOpen = 3,       ///< missing, not a regular file, no permission
    kImagingReadFailed = 4,       ///< an I/O error while reading
    kImagingUnsupportedType = 6,  ///< a type outside the table
    kImagingEmptyFile = 7,        ///< zero bytes
    kImagingWrongFormat = 8,      ///< the content is not the type it was read as
    kImagingCorrupt = 9,          ///< the data is damaged
    kImagingTruncated = 10,       ///< the data ends early
    kImagingTooLarge =
        11,  ///< declared size over kMaxImagePixels or the file over kMaxImageFileBytes
    kImagingUnsupportedVariant = 12,  ///< a variant of the format no reader here handles
    kImagingRenderFailed = 13,        ///< a metafile could not be rendered
    kImagingBadArgument = 14,
};

/// Sets up the libraries once; every entry point calls it, so calling it is
/// optional. Call it after installing an application-wide Qt message handler:
/// it chains one that silences the image readers. Any thread.
void InitializeImaging();

/// Reads a whole file for decoding, refusing folders, devices and files over
/// kMaxImageFileBytes. False with the last error set. Any thread.
bool ReadImageFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

/// Decodes a file as the given type (no format guessing: content of another
/// type fails). On failure returns false, sets the last error and leaves `out`
/// untouched. EMF needs a QGuiApplication (for fonts). Any thread.
bool DecodeImageFile(const std::string& path, ImageType type, RgbBuffer& out,
                     const DecodeOptions& options = {});

/// DecodeImageFile on bytes already in memory. Any thread.
bool DecodeImageMemory(const std::uint8_t* data, std::size_t size, ImageType type, RgbBuffer& out,
                       const DecodeOptions& options = {});

/// Reads the declared width and height from the header alone (not for metafiles,
/// whose size depends on the rendering box). False with the last error set. Any thread.
bool ReadImageSize(const std::uint8_t* data, std::size_t size, ImageType type, std::uint32_t& width,
                   std::uint32_t& height);

/// The type named by the content's first bytes; Unknown when they do not tell. Any thread.
ImageType SniffImageData(const std::uint8_t* data, std::size_t size);

/// The type of the file name's extension (after the last "."), ignoring case;
/// Unknown for any other. Any thread.
ImageType ImageTypeForExtension(const std::string& path);

/// The type of a file: its content first, then its extension. Any thread.
ImageType SniffImageType(const std::string& path);

/// Decodes a file whose type is found by SniffImageType, rendering metafiles to
/// fit metafileSide x metafileSide. Returns 0 on success, 2 for an empty path,
/// 5 for an unrecognised type, else the last error code. Any thread.
int DecodeImageBySniffing(const std::string& path, RgbBuffer& out, std::uint32_t metafileSide);

/// The code of the last failure on the calling thread (kImagingOk after a success).
int ImagingLastError();

/// How a picture's stored pixels are turned for display: the values of the
/// EXIF orientation tag.
enum class Orientation {
    Normal = 1,
    MirrorHorizontal = 2,
    Rotate180 = 3,
    MirrorVertical = 4,
    Transpose = 5,   ///< mirrored along the top-left to bottom-right diagonal
    Rotate90 = 6,    ///< turned clockwise for display
    Transverse = 7,  ///< mirrored along the other diagonal
    Rotate270 = 8,   ///< turned anticlockwise for display
};

/// The orientation a JPEG, TIFF or camera raw file records (EXIF tag 0x0112
/// or the raw maker's own); Normal for every other type, for files without
/// the tag and for values outside 1..8. HEIF and JPEG XL files are decoded
/// upright already (their own rotation boxes and header field are applied by
/// the decoder), so they report Normal. Any thread.
Orientation ReadImageOrientation(const std::uint8_t* data, std::size_t size, ImageType type);

/// True when the orientation swaps width and height (values 5 to 8).
bool SwapsSides(Orientation orientation);

/// The picture turned as `orientation` says, so that it shows upright. Any thread.
RgbBuffer OrientForDisplay(const RgbBuffer& image, Orientation orientation);

/// Resamples packed 24-bit RGB. Same size in and out copies the input; an axis
/// whose length does not change is not filtered. Output bytes are clamped to
/// 0..255. False for empty sizes, strides shorter than a row, or an unknown mode.
/// Same results on every machine and library version. Any thread.
bool ResizeImage(const std::uint8_t* src, std::uint32_t srcWidth, std::uint32_t srcHeight,
                 std::size_t srcStride, std::uint8_t* dst, std::uint32_t dstWidth,
                 std::uint32_t dstHeight, std::size_t dstStride, ResizeMode mode);

/// ResizeImage into a new packed buffer; `dst` is untouched on failure. Any thread.
bool ResizeImage(const RgbBuffer& src, RgbBuffer& dst, std::uint32_t width, std::uint32_t height,
                 ResizeMode mode);

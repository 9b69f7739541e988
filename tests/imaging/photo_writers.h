#pragma once
// Files of the photo formats of phones and cameras, made by the tests from
// pictures with known pixels, through the formats' own encoders (a camera raw
// file is written by hand: nothing on the machine writes one).

#include <QImage>
#include <string>

/// HEIC (or AVIF) at high quality. With thumbnailSide > 0 an embedded
/// thumbnail made from `thumbnail` (the image itself when null), scaled to
/// fit a square of that side, as phones write one.
std::string HeifBytes(const QImage& image, bool avif, int thumbnailSide = 0,
                      const QImage& thumbnail = {});

/// Lossless WebP.
std::string WebpBytes(const QImage& image);

/// JPEG XL, lossless or lossy (the kind with a low-frequency pass); the
/// header's orientation set to `orientation` (1 to 8).
std::string JxlBytes(const QImage& image, bool lossless, int orientation = 1);

/// JPEG through Qt's writer.
std::string JpegBytes(const QImage& image, int quality = 95);

/// The JPEG with an Exif segment holding only the orientation tag.
std::string WithExifOrientation(const std::string& jpeg, int orientation);

/// A DNG whose sensor data (linear RGB, 8 bits) is `sensor` and whose
/// embedded preview is `preview` as a JPEG, tagged with `orientation`.
std::string DngBytes(const QImage& sensor, const QImage& preview, int orientation = 1);

/// The picture turned as an EXIF orientation of 1 to 8 would show it.
QImage ShownAs(const QImage& stored, int orientation);

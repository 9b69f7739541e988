#pragma once
// Minimal writers for the image types Qt cannot write, so tests make their
// own files with known pixels instead of carrying binaries.

#include <QImage>
#include <string>

/// Targa variants.
enum class TargaKind { BottomLeft, TopLeft, Grey, ColorMapped, RunLength };
std::string TargaBytes(const QImage& image, TargaKind kind);

/// PCX: 24-bit as three planes, or 8-bit with a 256-colour palette (greys of the red channel).
std::string PcxBytes(const QImage& image, bool eightBit);

/// Photoshop, uncompressed 8-bit RGB with its merged image.
std::string PhotoshopBytes(const QImage& image);

/// GIF from an image of at most 256 colours; `transparentIndex` >= 0 marks that palette entry.
std::string GifBytes(const QImage& image, int transparentIndex = -1);

/// WBMP: pixels brighter than mid-grey are white.
std::string WbmpBytes(const QImage& image);

/// Metafiles `width` x `height` logical units: the left half filled with
/// `left`, the right half left blank; WMF optionally with a line of text.
std::string WmfBytes(int width, int height, QRgb left, bool withText);
std::string EmfBytes(int width, int height, QRgb left);

/// A small picture with a different colour at every pixel: red grows with x,
/// green with y, blue with both.
QImage PatternImage(int width, int height);

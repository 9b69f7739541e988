#pragma once
// One small file of every supported type and variant, with the pixels a
// correct decoder must return.

#include <QImage>
#include <string>
#include <vector>

#include "imaging.h"
#include "temp_dir.h"

struct Sample {
    std::string name;  ///< file name inside the sample folder, with its extension
    ImageType type;
    std::string path;
    QImage expected;    ///< what decoding must give (RGB888)
    int tolerance = 0;  ///< per channel; lossy formats need some
};

/// Writes every raster sample (metafiles are tested on their own) into `dir`.
std::vector<Sample> WriteRasterSamples(const TempDir& dir);

/// Path of a committed sample under tests/data/images.
std::string CommittedSample(const std::string& name);

/// Largest per-channel difference between a decoded buffer and an image of
/// the same size, optionally only where the expected colour is flat; -1 when
/// the sizes differ.
int MaxDifference(const RgbBuffer& decoded, const QImage& expected, bool skipEdges = false);

/// A larger test picture made straight in Format_RGB32: QImage conversions of
/// large images run on Qt's thread pool, which the thread sanitizer cannot follow.
QImage Gradient32(int width, int height);

/// 32 x 16, left half red, right half blue: the committed samples' picture,
/// and the JPEG test picture.
QImage RedBlueImage();

#pragma once
// Images made by the tests themselves, written with Qt's image writer.

#include <QColor>
#include <QImage>
#include <string>

/// A horizontal gradient from `from` to `to`, with a diagonal line for structure.
QImage GradientImage(int width, int height, QColor from, QColor to);
/// An image of one colour.
QImage SolidImage(int width, int height, QColor color);
/// Writes the image in the format named by `format` ("JPG", "PNG", "BMP", "GIF",
/// "TIFF", ...); false on failure.
bool WriteImage(const QImage& image, const std::string& path, const char* format, int quality = 95);

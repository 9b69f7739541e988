#pragma once
// Reading an image for display: only as many pixels as the place it is shown
// in needs, then scaled to fit that place.

#include <string>

#include "imaging.h"
#include "pane_fit.h"

/// How a picture is fitted into an area: FitToPaneSize or FitToScreenSize.
using FitRule = FitSize (*)(FitSize source, FitSize area);

/// An image read for an area of the screen, turned upright as its file's
/// orientation says.
struct DisplayImage {
    bool read = false;  ///< the file was read and decoded
    /// The image's own pixel size as shown (what its file declares, sides
    /// swapped when the orientation turns it), not the decoded size.
    int width = 0;
    int height = 0;
    /// The decoded pixels: at least the size `rule` gives for the area the image
    /// was read for, smaller than the image itself when a JPEG could be decoded
    /// at a reduced scale.
    RgbBuffer pixels;
};

/// Reads `path` for display in `area`: decoded with no more pixels than the
/// size `rule` fits it to needs, as far as its type allows (see
/// DecodeOptions), by its content's type when its name's type fails, and
/// turned upright (ReadImageOrientation, OrientForDisplay). `read` is false
/// when the file cannot be read or decoded. Any thread.
DisplayImage ReadImageForArea(const std::string& path, FitSize area, FitRule rule);

/// Scales `image` to the size `rule` gives its own size in `area`, with `mode`.
/// Empty when the image is empty or the area has no room. Any thread.
RgbBuffer FitImageToArea(const DisplayImage& image, FitSize area, FitRule rule, ResizeMode mode);

/// What one image pane shows.
struct PaneLoad {
    bool read = false;  ///< the side's own file was read
    int width = 0;      ///< its pixel size when read
    int height = 0;
    /// The picture fitted to the pane: the image, or the placeholder when the
    /// image could not be read; empty when neither could.
    RgbBuffer fitted;
};

/// Reads `path` for a pane of `pane` pixels (FitToPaneSize, Lanczos3), falling
/// back to `placeholder` when it cannot be read. Any thread.
PaneLoad LoadPaneImage(const std::string& path, const std::string& placeholder, FitSize pane);

/// Both panes of a pair, the right one read on a second thread meanwhile.
/// User-interface thread (or any thread).
void LoadPanePair(const std::string& leftPath, FitSize leftPane, const std::string& rightPath,
                  FitSize rightPane, const std::string& placeholder, PaneLoad& left,
                  PaneLoad& right);

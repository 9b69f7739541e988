#pragma once

/// A width and height in pixels.
struct FitSize {
    int width = 0;
    int height = 0;
    bool operator==(const FitSize&) const = default;
};

/// The size an image of `source` pixels is scaled to in a pane of `pane` pixels:
/// bound by the pane width less 4 unless that makes it taller than the pane, then
/// by the pane height less 4; aspect ratio kept, integer arithmetic, small images
/// enlarged. A 100 x 50 image in a 264 x 164 pane becomes 260 x 130.
/// {0, 0} when the source is empty or the pane has no room; a very thin image
/// keeps at least one pixel in each direction. Any thread.
FitSize FitToPaneSize(FitSize source, FitSize pane);

/// The size the full-screen view shows an image at: as FitToPaneSize, except
/// that an image smaller than the area in both directions keeps its own size
/// (the full-screen view never enlarges). Any thread.
FitSize FitToScreenSize(FitSize source, FitSize area);

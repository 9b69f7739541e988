#include "pane_fit.h"

#include <algorithm>
#include <cstdint>

FitSize FitToPaneSize(FitSize source, FitSize pane) {
    if (source.width <= 0 || source.height <= 0 || pane.width <= 4 || pane.height <= 4) {
        return {};
    }
    // 64-bit products: a 30000-pixel side times a 4K pane overflows 32 bits.
    const std::int64_t srcW = source.width;
    const std::int64_t srcH = source.height;
    std::int64_t w = pane.width - 4;
    std::int64_t h = srcH * w / srcW;
    if (pane.height < h) {
        h = pane.height - 4;
        w = srcW * h / srcH;
    }
    return {static_cast<int>(std::max<std::int64_t>(w, 1)),
            static_cast<int>(std::max<std::int64_t>(h, 1))};
}

FitSize FitToScreenSize(FitSize source, FitSize area) {
    if (source.width > 0 && source.height > 0 && source.width < area.width &&
        source.height < area.height) {
        return source;
    }
    return FitToPaneSize(source, area);
}

#include "main_layout.h"

namespace {
int pullOnScreen(int pos, int size, int screen, int margin) {
    if (pos + size > screen) {
        pos = screen - size - margin;
        if (pos < 0) {
            pos = 10;
        }
    }
    return pos;
}
}  // namespace

TallLayout ComputeTallLayout(int x, int y, int width, int fullHeight, int screenWidth,
                             int screenHeight, bool largeView) {
    TallLayout t;
    const int dh = screenHeight - fullHeight - 50;
    if (largeView && dh >= 0) {
        t.dh = dh;
        t.dw = 2 * (130 * dh / 80);
        if (width + t.dw > screenWidth - 50) {
            t.dw = screenWidth - width - 50;
            t.dh = 80 * t.dw / 260;
        }
        // A screen narrower than the template would shrink the panes into
        // their neighbours; keep the template instead.
        if (t.dw < 0 || t.dh < 0) {
            t.dw = 0;
            t.dh = 0;
        }
        t.width = width + t.dw;
        t.height = fullHeight + t.dh;
        t.x = pullOnScreen(x, t.width, screenWidth, 40);
        t.y = pullOnScreen(y, t.height, screenHeight, 60);
        return t;
    }
    t.width = width;
    t.height = fullHeight;
    t.x = x;
    t.y = y;
    if (!largeView) {
        t.x = pullOnScreen(x, t.width, screenWidth, 40);
        t.y = pullOnScreen(y, t.height, screenHeight, 40);
    }
    return t;
}

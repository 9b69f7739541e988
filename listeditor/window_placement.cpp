#include "window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
}  // namespace

WindowPlacement PlacementOf(const QWidget& window) {
    const bool restored = !window.isMaximized() && !window.isMinimized();
    const QRect normal = restored ? window.geometry() : window.normalGeometry();
    WindowPlacement p;
    p.showCmd = window.isMaximized() ? kShowMaximized : kShowNormal;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    return p;
}

void ApplyPlacement(QWidget& window, const WindowPlacement& placement, QSize minimum) {
    const QRect rect(placement.left, placement.top, placement.right - placement.left,
                     placement.bottom - placement.top);
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    if (screen && rect.width() >= minimum.width() && rect.height() >= minimum.height() &&
        rect.width() <= 4 * screen->availableGeometry().width() &&
        rect.height() <= 4 * screen->availableGeometry().height()) {
        window.setGeometry(rect);
    }
    if (placement.showCmd == kShowMaximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

#pragma once

#include <QSize>

#include "editor_settings.h"

class QWidget;

/// The placement of a top-level window as it is stored.
WindowPlacement PlacementOf(const QWidget& window);

/// Puts a window where a stored placement says, unless the rectangle is
/// smaller than `minimum` or lies on no screen (a placement from another
/// screen setup must not put the window out of reach).
void ApplyPlacement(QWidget& window, const WindowPlacement& placement, QSize minimum);

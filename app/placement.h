#pragma once
// The main window keeps the classic fixed layout: every control sits at a
// rectangle of its template, in pixels of its parent.

#include <QRect>
#include <QWidget>
#include <utility>

#include "control_ids.h"

template <class T, class... Args>
T* PlaceControl(QWidget* parent, int id, const QRect& rect, Args&&... args) {
    auto* control = new T(std::forward<Args>(args)..., parent);
    SetControlId(control, id);
    control->setGeometry(rect);
    return control;
}

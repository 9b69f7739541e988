#include "pause_key_watcher.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

PauseKeyWatcher::PauseKeyWatcher(QWidget* window) : QObject(window), m_window(window) {
    // Application-wide, so the key counts whichever control has the focus.
    qApp->installEventFilter(this);
}

PauseKeyWatcher::~PauseKeyWatcher() {
    qApp->removeEventFilter(this);
}

bool PauseKeyWatcher::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::ApplicationDeactivate) {
        m_held = false;
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease &&
        type != QEvent::WindowDeactivate) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != m_window) {
        return false;
    }
    if (type == QEvent::WindowDeactivate) {
        // The release would go to another window.
        m_held = false;
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    // A held key repeats as release and press pairs; only a real release counts.
    if (key->key() == Qt::Key_P && !key->isAutoRepeat()) {
        m_held = type == QEvent::KeyPress;
    }
    return false;
}

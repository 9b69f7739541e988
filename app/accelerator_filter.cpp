#include "accelerator_filter.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "main_ids.h"

AcceleratorFilter::AcceleratorFilter(QWidget* window, std::function<bool()> active,
                                     std::function<void(int)> command)
    : QObject(window),
      m_window(window),
      m_active(std::move(active)),
      m_command(std::move(command)) {
    // Application-wide, so the keys are seen before the focused control acts on
    // them.
    qApp->installEventFilter(this);
}

AcceleratorFilter::~AcceleratorFilter() {
    qApp->removeEventFilter(this);
}

int AcceleratorFilter::commandFor(int key, Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers mods =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods == Qt::ControlModifier) {
        switch (key) {
            case Qt::Key_1:
                return MainId::LeftDelete;
            case Qt::Key_2:
                return MainId::RightDelete;
            case Qt::Key_Z:
                return MainId::MenuUndoDelete;
            default:
                return 0;
        }
    }
    if (mods != Qt::NoModifier) {
        return 0;
    }
    switch (key) {
        case Qt::Key_Delete:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return MainId::PressFocused;
        case Qt::Key_End:
            return MainId::Last;
        case Qt::Key_Home:
            return MainId::First;
        case Qt::Key_PageDown:
            return MainId::Next;
        case Qt::Key_PageUp:
            return MainId::Back;
        case Qt::Key_N:
            return MainId::MenuNotDuplicate;
        default:
            return 0;
    }
}

bool AcceleratorFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != m_window || !m_active()) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const int id = commandFor(key->key(), key->modifiers());
    if (id == 0) {
        return false;
    }
    if (event->type() == QEvent::ShortcutOverride) {
        // Claim the key so no shortcut takes it; the press follows.
        event->accept();
        return true;
    }
    m_command(id);
    return true;
}

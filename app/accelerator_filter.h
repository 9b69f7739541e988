#pragma once

#include <QObject>
#include <functional>

class QKeyEvent;
class QWidget;

/// The accelerator table of the pair viewer: Page Up/Down, Home, End,
/// Ctrl+1, Ctrl+2, Delete and Enter. Key presses in `window` reach it only
/// while `active()` says so (the "View dups" page); every other key, and every
/// key on other pages, goes to the focused control as usual.
class AcceleratorFilter : public QObject {
    Q_OBJECT
  public:
    AcceleratorFilter(QWidget* window, std::function<bool()> active,
                      std::function<void(int)> command);
    ~AcceleratorFilter() override;

    /// The command of a key press, 0 when the table has none.
    static int commandFor(int key, Qt::KeyboardModifiers modifiers);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_window;
    std::function<bool()> m_active;
    std::function<void(int)> m_command;
};

#pragma once

#include <QObject>

class QWidget;

/// Whether the "P" key is held down in a window. Desktops other than Windows
/// offer no global key state to ask, so the watcher follows the key's presses
/// and releases in that window instead; leaving the window forgets it.
/// User-interface thread.
class PauseKeyWatcher : public QObject {
    Q_OBJECT
  public:
    explicit PauseKeyWatcher(QWidget* window);
    ~PauseKeyWatcher() override;

    bool isHeld() const { return m_held; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* m_window;
    bool m_held = false;
};

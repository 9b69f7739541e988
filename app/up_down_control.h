#pragma once
// A spin arrow pair that steps an integer position and writes it into a buddy
// edit, as the classic up-down control does; typing in the edit does not go
// through here (the owner syncs the position from the text it accepts).

#include <QElapsedTimer>
#include <QWidget>

class QLineEdit;
class QToolButton;

class UpDownControl : public QWidget {
    Q_OBJECT
  public:
    UpDownControl(QLineEdit* buddy, QWidget* parent = nullptr);

    void setRange(int lo, int hi);
    int position() const { return m_position; }
    /// Moves the position without touching the buddy's text.
    void setPosition(int position);
    /// One step from an arrow (or arrow key) held for `heldMs`; writes the buddy.
    void step(int direction, qint64 heldMs = 0);

    /// Step size after an arrow was held this long: 1, and 2 from two seconds on.
    static int stepForHeld(qint64 heldMs);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void arrowPressed(int direction);

    QLineEdit* m_buddy;
    QToolButton* m_up;
    QToolButton* m_down;
    QElapsedTimer m_held;
    int m_min = 0;
    int m_max = 100;
    int m_position = 0;
};

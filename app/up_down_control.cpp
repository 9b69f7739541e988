#include "up_down_control.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

UpDownControl::UpDownControl(QLineEdit* buddy, QWidget* parent)
    : QWidget(parent), m_buddy(buddy), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    m_up->setObjectName("up");
    m_down->setObjectName("down");
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {m_up, m_down}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        b->setFocusPolicy(Qt::NoFocus);
    }
    // Auto-repeat re-emits pressed(), so the hold starts at the real mouse press.
    m_up->installEventFilter(this);
    m_down->installEventFilter(this);
    connect(m_up, &QToolButton::clicked, this, [this] { arrowPressed(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { arrowPressed(-1); });
    setFocusPolicy(Qt::NoFocus);
    // Arrow keys in the buddy step as well.
    m_buddy->installEventFilter(this);
}

void UpDownControl::setRange(int lo, int hi) {
    m_min = lo;
    m_max = hi;
    setPosition(m_position);
}

void UpDownControl::setPosition(int position) {
    m_position = std::clamp(position, m_min, m_max);
}

int UpDownControl::stepForHeld(qint64 heldMs) {
    return heldMs >= 2000 ? 2 : 1;
}

void UpDownControl::step(int direction, qint64 heldMs) {
    const int next = std::clamp(m_position + direction * stepForHeld(heldMs), m_min, m_max);
    if (next == m_position) {
        return;
    }
    m_position = next;
    m_buddy->setText(QString::number(m_position));
}

void UpDownControl::arrowPressed(int direction) {
    step(direction, m_held.isValid() ? m_held.elapsed() : 0);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        step(event->key() == Qt::Key_Up ? 1 : -1);
        return;
    }
    QWidget::keyPressEvent(event);
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == m_up || watched == m_down) && event->type() == QEvent::MouseButtonPress) {
        m_held.start();
    }
    if (watched == m_buddy && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
            step(key->key() == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

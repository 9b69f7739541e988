#include "full_screen_view.h"

#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <new>

#include "control_ids.h"
#include "imaging.h"
#include "prompter.h"

namespace {
constexpr int kMargin = 10;
}  // namespace

FullScreenFrame::FullScreenFrame(const RgbBuffer& source, Prompter& prompter, QWidget* parent)
    : QWidget(parent), m_source(source), m_prompter(prompter) {
    SetControlId(this, FullScreenId::Frame);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FullScreenFrame::resizeEvent(QResizeEvent*) {
    const qint64 srcW = m_source.width;
    const qint64 srcH = m_source.height;
    m_scaled.release();
    m_shownSize = {};
    if (srcW == 0 || srcH == 0 || width() <= 0 || height() <= 0) {
        return;
    }
    qint64 w = srcW;
    qint64 h = srcH;
    if (w > width() || h > height()) {
        w = width();
        h = srcH * w / srcW;
        if (h > height()) {
            h = height();
            w = srcW * h / srcH;
        }
        w = std::max<qint64>(1, w);
        h = std::max<qint64>(1, h);
        try {
            if (!ResizeImage(m_source, m_scaled, static_cast<std::uint32_t>(w),
                             static_cast<std::uint32_t>(h), ResizeMode::Fallback)) {
                m_scaled.release();
            }
        } catch (const std::bad_alloc&) {
            m_scaled.release();
        }
        if (m_scaled.empty()) {
            if (!m_reported) {
                m_reported = true;
                m_prompter.inform("Error", "Out of memory.", PromptIcon::Error);
            }
            return;
        }
    }
    m_shownSize = QSize(static_cast<int>(w), static_cast<int>(h));
    update();
}

void FullScreenFrame::paintEvent(QPaintEvent*) {
    if (m_shownSize.isEmpty()) {
        return;
    }
    const RgbBuffer& shown = m_scaled.empty() ? m_source : m_scaled;
    const QImage image(shown.pixels.data(), static_cast<int>(shown.width),
                       static_cast<int>(shown.height), static_cast<qsizetype>(shown.stride()),
                       QImage::Format_RGB888);
    QPainter painter(this);
    painter.drawImage(QPoint((width() - image.width()) / 2, (height() - image.height()) / 2),
                      image);
}

FullScreenView::FullScreenView(const RgbBuffer& source, Prompter& prompter, QWidget* parent)
    : QDialog(parent) {
    SetControlId(this, FullScreenId::Window);
    setWindowTitle("Image");
    m_frame = new FullScreenFrame(source, prompter, this);
    setWindowState(Qt::WindowMaximized);
    // Without a window manager to maximise it, it still covers the screen.
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        setGeometry(screen->availableGeometry());
    }
}

void FullScreenView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_frame->setGeometry(kMargin, kMargin, width() - 2 * kMargin, height() - 2 * kMargin);
}

void FullScreenView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

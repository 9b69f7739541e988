#include "preview_pane.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

PreviewPane::PreviewPane(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPane::setImage(RgbBuffer fitted) {
    m_fitted = std::move(fitted);
    update();
}

QSize PreviewPane::imageSize() const {
    return QSize(static_cast<int>(m_fitted.width), static_cast<int>(m_fitted.height));
}

void PreviewPane::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Button));
        if (!m_fitted.empty()) {
            const QImage image(m_fitted.pixels.data(), static_cast<int>(m_fitted.width),
                               static_cast<int>(m_fitted.height),
                               static_cast<qsizetype>(m_fitted.stride()), QImage::Format_RGB888);
            const QPoint at((width() - image.width()) / 2, (height() - image.height()) / 2);
            painter.drawImage(at, image);
        }
    }
    QFrame::paintEvent(event);
}

void PreviewPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit clicked();
    } else if (event->button() == Qt::RightButton) {
        emit menuRequested(event->globalPosition().toPoint());
    }
    event->accept();
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    emit resized();
}

QSize FitToPane(QSize source, QSize pane) {
    if (source.width() <= 0 || source.height() <= 0) {
        return {};
    }
    const qint64 srcW = source.width();
    const qint64 srcH = source.height();
    qint64 w = pane.width() - 4;
    qint64 h = srcH * w / srcW;
    if (pane.height() < h) {
        h = pane.height() - 4;
        w = srcW * h / srcH;
    }
    return QSize(static_cast<int>(std::max<qint64>(1, w)),
                 static_cast<int>(std::max<qint64>(1, h)));
}

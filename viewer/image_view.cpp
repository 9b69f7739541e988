#include "image_view.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPainter>

#include "control_ids.h"
#include "image_pane.h"

CImageView::CImageView(DisplayImage image, QWidget* parent)
    : QDialog(parent), m_source(std::move(image)), m_frame(new QFrame(this)) {
    SetControlId(this, ImageViewId::Window);
    SetControlId(m_frame, ImageViewId::Frame);
    setWindowTitle(QString());
    // The frame only marks the area; the window paints the picture itself.
    m_frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void CImageView::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    m_frame->setGeometry(10, 10, std::max(width() - 20, 0), std::max(height() - 20, 0));
    FitToScreen();
}

void CImageView::FitToScreen() {
    const FitSize area{m_frame->width(), m_frame->height()};
    m_fitted =
        ToDrawableImage(FitImageToArea(m_source, area, FitToScreenSize, ResizeMode::Gaussian));
    update();
}

QRect CImageView::pictureRect() const {
    return m_fitted.isNull() ? QRect() : CentredRect(m_fitted.size(), m_frame->geometry());
}

void CImageView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_fitted.isNull()) {
        painter.drawImage(pictureRect().topLeft(), m_fitted);
    }
}

void CImageView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

#include "image_pane.h"

#include <QPainter>
#include <QPen>

QImage ToDrawableImage(const RgbBuffer& rgb) {
    if (rgb.empty()) {
        return {};
    }
    QImage image(static_cast<int>(rgb.width), static_cast<int>(rgb.height), QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    for (std::uint32_t y = 0; y < rgb.height; ++y) {
        const std::uint8_t* in = rgb.pixels.data() + y * rgb.stride();
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (std::uint32_t x = 0; x < rgb.width; ++x, in += 3) {
            out[x] = qRgb(in[0], in[1], in[2]);
        }
    }
    return image;
}

QRect CentredRect(QSize picture, const QRect& area) {
    return QRect(area.left() + (area.width() - picture.width()) / 2,
                 area.top() + (area.height() - picture.height()) / 2, picture.width(),
                 picture.height());
}

ImagePane::ImagePane(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setContextMenuPolicy(Qt::CustomContextMenu);
}

void ImagePane::setPicture(const RgbBuffer& fitted) {
    m_picture = ToDrawableImage(fitted);
    m_crossed = false;
    update();
}

void ImagePane::setCrossed(bool crossed) {
    m_crossed = crossed;
    update();
}

QRect ImagePane::pictureRect() const {
    return m_picture.isNull() ? QRect() : CentredRect(m_picture.size(), rect());
}

void ImagePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (!m_picture.isNull()) {
        painter.drawImage(pictureRect().topLeft(), m_picture);
    }
    if (m_crossed) {
        painter.setPen(QPen(QColor(255, 0, 0), 8));
        const QRect r = rect();
        painter.drawLine(r.left() + 8, r.top() + 8, r.right() - 8, r.bottom() - 8);
        painter.drawLine(r.right() - 8, r.top() + 8, r.left() + 8, r.bottom() - 8);
    }
    drawFrame(&painter);
}

#include "test_images.h"

#include <QImageWriter>
#include <QPainter>

QImage GradientImage(int width, int height, QColor from, QColor to) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int x = 0; x < width; ++x) {
        const double t = width > 1 ? double(x) / (width - 1) : 0.0;
        const QColor c = QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * t,
                                          from.greenF() + (to.greenF() - from.greenF()) * t,
                                          from.blueF() + (to.blueF() - from.blueF()) * t);
        for (int y = 0; y < height; ++y) {
            image.setPixelColor(x, y, c);
        }
    }
    QPainter painter(&image);
    painter.setPen(QPen(Qt::black, std::max(1, width / 40)));
    painter.drawLine(0, 0, width - 1, height - 1);
    return image;
}

QImage SolidImage(int width, int height, QColor color) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(color);
    return image;
}

bool WriteImage(const QImage& image, const std::string& path, const char* format, int quality) {
    QImageWriter writer(QString::fromStdString(path), format);
    writer.setQuality(quality);
    return writer.write(image);
}

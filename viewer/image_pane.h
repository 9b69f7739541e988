#pragma once

#include <QFrame>
#include <QImage>

#include "pane_fit.h"
#include "rgb_buffer.h"

/// One image pane of the pair viewer: draws its fitted picture centred on the
/// button-face colour, and a red cross once its file has been removed. The
/// picture is scaled before it gets here; painting only draws it.
class ImagePane : public QFrame {
    Q_OBJECT
  public:
    explicit ImagePane(QWidget* parent = nullptr);

    /// Shows `fitted` (already the size the pane shows it at); an empty buffer
    /// clears the pane. Removes the cross.
    void setPicture(const RgbBuffer& fitted);
    /// The cross drawn over a pane whose file was deleted or moved.
    void setCrossed(bool crossed);
    bool crossed() const { return m_crossed; }
    bool hasPicture() const { return !m_picture.isNull(); }
    /// The size of the picture shown, {0, 0} without one.
    FitSize pictureSize() const { return {m_picture.width(), m_picture.height()}; }
    /// Where the picture is drawn, in pane coordinates.
    QRect pictureRect() const;
    /// The pane's size, which pictures are fitted to.
    FitSize paneSize() const { return {width(), height()}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage m_picture;
    bool m_crossed = false;
};

/// A packed RGB buffer as a 32-bit image for drawing; null for an empty buffer.
QImage ToDrawableImage(const RgbBuffer& rgb);

/// Where a picture of `picture` pixels is drawn centred in `area`.
QRect CentredRect(QSize picture, const QRect& area);

#pragma once

#include <QDialog>
#include <QImage>

#include "pane_image_loader.h"

class QFrame;

/// Control ids of the full-screen view.
namespace ImageViewId {
enum : int {
    Window = 105,
    Frame = 1004,
};
}  // namespace ImageViewId

/// The full-screen view of one image (dialog 105): maximised, the picture
/// centred in frame 1004 at most at its own size, closed by a left click.
/// The picture is fitted once per window size, not on every paint.
class CImageView : public QDialog {
    Q_OBJECT
  public:
    /// `image` is the side's image as read for the screen it is shown on.
    explicit CImageView(DisplayImage image, QWidget* parent = nullptr);

    /// The size the picture is shown at.
    FitSize pictureSize() const { return {m_fitted.width(), m_fitted.height()}; }
    /// Where the picture is drawn, in window coordinates.
    QRect pictureRect() const;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void FitToScreen();

    DisplayImage m_source;
    QImage m_fitted;
    QFrame* m_frame;
};

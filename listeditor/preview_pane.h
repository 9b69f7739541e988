#pragma once

#include <QFrame>
#include <QSize>

#include "rgb_buffer.h"

/// The preview frame (1023): paints a fitted image centred on the button-face
/// colour and reports clicks. User-interface thread.
class PreviewPane : public QFrame {
    Q_OBJECT
  public:
    explicit PreviewPane(QWidget* parent = nullptr);

    /// Shows `fitted` (an empty buffer shows the bare pane).
    void setImage(RgbBuffer fitted);
    QSize imageSize() const;

  signals:
    void clicked();
    void menuRequested(const QPoint& globalPos);
    void resized();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    RgbBuffer m_fitted;
};

/// The largest size of `source` that fits a pane of `pane`, as the preview
/// fits it: 4 pixels narrower than the pane, or 4 lower when that is too
/// tall. Small images come out enlarged. At least 1 x 1.
QSize FitToPane(QSize source, QSize pane);

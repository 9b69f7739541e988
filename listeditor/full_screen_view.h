#pragma once

#include <QDialog>
#include <QWidget>

#include "rgb_buffer.h"

class Prompter;

/// Control ids of the full-screen view.
namespace FullScreenId {
enum : int { Window = 105, Frame = 1213 };
}

/// The frame of the full-screen view (1213): the image scaled down to fit,
/// never enlarged, centred.
class FullScreenFrame : public QWidget {
    Q_OBJECT
  public:
    FullScreenFrame(const RgbBuffer& source, Prompter& prompter, QWidget* parent);
    /// The size the image is drawn at.
    QSize shownSize() const { return m_shownSize; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    const RgbBuffer& m_source;
    Prompter& m_prompter;
    RgbBuffer m_scaled;
    QSize m_shownSize;
    bool m_reported = false;
};

/// Shows one image maximised (dialog 105); a left click closes it.
class FullScreenView : public QDialog {
    Q_OBJECT
  public:
    FullScreenView(const RgbBuffer& source, Prompter& prompter, QWidget* parent = nullptr);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    FullScreenFrame* m_frame;
};

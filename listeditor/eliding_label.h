#pragma once

#include <QLabel>

/// A one-line label that, when narrower than its text, ends the text with an
/// ellipsis and shows the whole of it as a tool tip, instead of cutting it off
/// mid-letter. text() is always the whole text.
class ElidingLabel : public QLabel {
    Q_OBJECT
  public:
    using QLabel::QLabel;

    /// Whether the text is shortened at the current width.
    bool isElided() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

  private:
    QString shownText() const;
};

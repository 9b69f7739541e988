#pragma once

#include <QHash>
#include <QRect>
#include <QWidget>

class ImagePane;
class QLabel;
class QLineEdit;
class QPushButton;
class RunState;

/// The pair viewer's controls below the tab control: the two image panes
/// (1002, 1003), paths, dimension and size labels, source labels, the
/// Delete/Move buttons, "Next", "Back" and the pair information text. They are
/// reached only in the tall layout of "View dups", which grows and moves them
/// from their template rectangles. The left source label follows the run's
/// comparison mode, the Delete captions and Move buttons its move rule.
class ViewerPanel : public QWidget {
    Q_OBJECT
  public:
    /// Top of the panel in the main window's template, in client pixels.
    static constexpr int kTop = 340;

    explicit ViewerPanel(const RunState& run, QWidget* parent = nullptr);

    /// Places every control from its template rectangle grown by the tall
    /// layout's extra width `dw` and height `dh`; the panel itself becomes
    /// `width` x `height`.
    void layoutTall(int dw, int dh, int width, int height);
    /// The template rectangle of a viewer control, in client coordinates.
    QRect templateRect(int id) const { return m_template.value(id); }

    ImagePane* pane(int side) const { return side == 0 ? m_left : m_right; }
    /// The file title (1031, 1032) and dimensions label (1023, 1024) of a side.
    void setSideTexts(int side, const QString& title, const QString& dimensions);
    /// The size label of a side (1028, 1030).
    void setSizeText(int side, const QString& text);
    void setSourceLabelsVisible(bool visible);
    void setPairInfo(const QString& text);
    QPushButton* button(int id) const;
    /// Shows each "Move" button when "Show 'Move' controls" is on, its folder
    /// exists and its Delete button does not already move.
    void applyMoveButtonRule();

  private:
    void fitInfoRow(int side);
    void showLeftSource();
    void showMoveRule();

    const RunState& m_run;
    QHash<int, QRect> m_template;
    ImagePane* m_left = nullptr;
    ImagePane* m_right = nullptr;
    QLabel* m_leftSource = nullptr;
    QLabel* m_rightSource = nullptr;
    QLabel* m_pairInfo = nullptr;
};

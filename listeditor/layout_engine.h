#pragma once
// Keeps the controls of a resizable window in place by a fixed table of rules:
// each edge of a control follows an edge of the client area or of another
// control.

#include <QRect>
#include <vector>

class QWidget;

/// How one edge of a control follows its reference.
struct LayoutAnchor {
    enum Kind { Offset = 1, Proportional = 2, KeepWidth = 3, KeepHeight = 4 };
    enum Edge { Left = 1, Top = 2, Right = 3, Bottom = 4, CenterX = 5, CenterY = 6 };
    int kind = Offset;
    int reference = 0;  ///< a control id, or 0 for the client area
    int edge = Left;
};

/// One control and the anchors of its left, top, right and bottom edges.
struct LayoutRule {
    int id = 0;
    LayoutAnchor left;
    LayoutAnchor top;
    LayoutAnchor right;
    LayoutAnchor bottom;
};

/// A rectangle by its four edges, right and bottom exclusive.
struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static EdgeRect fromQRect(const QRect& r) {
        return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
    }
    QRect toQRect() const { return QRect(left, top, right - left, bottom - top); }
    bool empty() const { return right <= left || bottom <= top; }
    bool intersects(const EdgeRect& o) const;
    bool operator==(const EdgeRect&) const = default;
};

/// Moves the controls of one window by a rule table. User-interface thread.
class LayoutEngine {
  public:
    /// Records the client rectangle (or `reference` when given) and every
    /// control's rectangle; rules naming no existing control are skipped.
    /// `rules` must outlive the engine.
    void InstallLayout(QWidget* window, const QRect* reference, const LayoutRule* rules, int count);
    /// Places every control for the window's current client size; a visible
    /// control that would overlap an earlier visible one is collapsed to an
    /// empty rectangle.
    void ApplyLayout();

    /// The rectangle the last ApplyLayout gave the control with `id` (empty if none).
    EdgeRect placed(int id) const;
    bool collapsed(int id) const;

  private:
    struct Item {
        const LayoutRule* rule = nullptr;
        QWidget* control = nullptr;
        EdgeRect initial;
        EdgeRect computed;
        bool takesPart = false;
        bool collapsed = false;
    };
    const Item* find(int id) const;
    EdgeRect initialOf(int reference) const;
    EdgeRect currentOf(int reference, const EdgeRect& client) const;
    int edgeValue(const LayoutAnchor& anchor, int ownInitial, bool vertical, const Item& item,
                  const EdgeRect& client) const;

    QWidget* m_window = nullptr;
    EdgeRect m_initialClient;
    std::vector<Item> m_items;
};

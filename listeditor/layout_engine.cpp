#include "layout_engine.h"

#include <QWidget>
#include <algorithm>

#include "control_ids.h"

namespace {

int edgeOf(const EdgeRect& r, int edge) {
    switch (edge) {
        case LayoutAnchor::Left:
            return r.left;
        case LayoutAnchor::Top:
            return r.top;
        case LayoutAnchor::Right:
            return r.right;
        case LayoutAnchor::Bottom:
            return r.bottom;
        case LayoutAnchor::CenterX:
            return (r.left + r.right) / 2;
        case LayoutAnchor::CenterY:
            return (r.top + r.bottom) / 2;
        default:
            return 0;
    }
}

int extentOf(const EdgeRect& r, bool vertical) {
    return vertical ? r.bottom - r.top : r.right - r.left;
}

}  // namespace

bool EdgeRect::intersects(const EdgeRect& o) const {
    if (empty() || o.empty()) {
        return false;
    }
    return std::max(left, o.left) < std::min(right, o.right) &&
           std::max(top, o.top) < std::min(bottom, o.bottom);
}

void LayoutEngine::InstallLayout(QWidget* window, const QRect* reference, const LayoutRule* rules,
                                 int count) {
    m_window = window;
    m_initialClient = EdgeRect::fromQRect(reference ? *reference : window->rect());
    m_items.clear();
    for (int i = 0; i < count; ++i) {
        QWidget* control = FindControl<QWidget>(window, rules[i].id);
        if (!control) {
            continue;
        }
        const EdgeRect r = EdgeRect::fromQRect(control->geometry());
        m_items.push_back({&rules[i], control, r, r, false, false});
    }
}

const LayoutEngine::Item* LayoutEngine::find(int id) const {
    for (const Item& item : m_items) {
        if (item.rule->id == id) {
            return &item;
        }
    }
    return nullptr;
}

EdgeRect LayoutEngine::initialOf(int reference) const {
    if (reference == 0) {
        return m_initialClient;
    }
    const Item* item = find(reference);
    return item ? item->initial : m_initialClient;
}

EdgeRect LayoutEngine::currentOf(int reference, const EdgeRect& client) const {
    if (reference == 0) {
        return client;
    }
    const Item* item = find(reference);
    return item ? item->computed : client;
}

int LayoutEngine::edgeValue(const LayoutAnchor& anchor, int ownInitial, bool vertical,
                            const Item& item, const EdgeRect& client) const {
    switch (anchor.kind) {
        case LayoutAnchor::KeepWidth:
            return item.initial.right + item.computed.left - item.initial.left;
        case LayoutAnchor::KeepHeight:
            return item.initial.bottom + item.computed.top - item.initial.top;
        default:
            break;
    }
    const EdgeRect initialRef = initialOf(anchor.reference);
    const EdgeRect newRef = currentOf(anchor.reference, client);
    const int offset = ownInitial - edgeOf(initialRef, anchor.edge);
    if (anchor.kind == LayoutAnchor::Proportional) {
        const int initialExtent = std::max(1, extentOf(initialRef, vertical));
        return edgeOf(newRef, anchor.edge) + extentOf(newRef, vertical) * offset / initialExtent;
    }
    return edgeOf(newRef, anchor.edge) + offset;
}

void LayoutEngine::ApplyLayout() {
    if (!m_window) {
        return;
    }
    const EdgeRect client = EdgeRect::fromQRect(m_window->rect());
    for (Item& item : m_items) {
        const LayoutRule& r = *item.rule;
        // Each edge may lean on the ones computed before it, as kinds 3 and 4 do.
        item.computed.left = edgeValue(r.left, item.initial.left, false, item, client);
        item.computed.top = edgeValue(r.top, item.initial.top, true, item, client);
        item.computed.right = edgeValue(r.right, item.initial.right, false, item, client);
        item.computed.bottom = edgeValue(r.bottom, item.initial.bottom, true, item, client);
        item.takesPart = item.control->isVisibleTo(m_window);
        item.collapsed = false;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        Item& item = m_items[i];
        if (item.takesPart) {
            for (std::size_t j = 0; j < i; ++j) {
                if (m_items[j].takesPart && item.computed.intersects(m_items[j].computed)) {
                    item.collapsed = true;
                    item.computed = {};
                    break;
                }
            }
        }
        item.control->setGeometry(item.computed.toQRect());
    }
}

EdgeRect LayoutEngine::placed(int id) const {
    const Item* item = find(id);
    return item ? item->computed : EdgeRect{};
}

bool LayoutEngine::collapsed(int id) const {
    const Item* item = find(id);
    return item && item->collapsed;
}

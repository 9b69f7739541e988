#pragma once
// Every button, menu item and accelerator of the main window ends up here as
// its command id; each command class installs the handlers of its ids.

#include <functional>
#include <unordered_map>

/// Command ids to handlers. User-interface thread.
class CommandRouter {
  public:
    /// Installs (or replaces) the handler of a command id.
    void setHandler(int id, std::function<void()> handler) { m_handlers[id] = std::move(handler); }
    /// Runs the handler of `id`; ids without one do nothing.
    void run(int id) const {
        const auto it = m_handlers.find(id);
        if (it != m_handlers.end() && it->second) {
            it->second();
        }
    }

  private:
    std::unordered_map<int, std::function<void()>> m_handlers;
};

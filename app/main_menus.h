#pragma once

#include <QHash>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;
class QWidget;

/// The main window's menu bar (resource 137) and its three context menus
/// (141 right pane, 142 left pane, 149 log view). One action per command id,
/// shared by every menu that shows the command; each action's objectName is
/// its id ("id32806"). Choosing an item emits command(id).
class MainMenus : public QObject {
    Q_OBJECT
  public:
    explicit MainMenus(QWidget* window);

    QMenuBar* menuBar() const { return m_bar; }
    /// The action of a command id, or null.
    QAction* action(int id) const { return m_actions.value(id); }
    /// A popup of the menu bar by its title without the mnemonic ("File").
    QMenu* popup(const QString& title) const;
    /// Context menu 141, 142 or 149; null for any other number.
    QMenu* contextMenu(int resourceId) const { return m_context.value(resourceId); }

  signals:
    void command(int id);

  private:
    QAction* makeAction(int id, const char* text);
    QMenu* addPopup(const char* title, std::initializer_list<int> ids);

    QWidget* m_window;
    QMenuBar* m_bar;
    QHash<int, QAction*> m_actions;
    QHash<QString, QMenu*> m_popups;
    QHash<int, QMenu*> m_context;
    QActionGroup* m_sortGroup;
    QActionGroup* m_deleteModeGroup;
};

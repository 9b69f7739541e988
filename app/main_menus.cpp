#include "main_menus.h"

#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "control_ids.h"

namespace {

struct Command {
    int id;
    const char* text;
};

// Every command of the menus with its text.
const Command kCommands[] = {
    {32806, "Open (Primary image data file)..."},
    {32818, "Open (Secondary image data file)..."},
    {32794, "Open Dups.log (view images)"},
    {32798, "Open log file (view images)..."},
    {32802, "Open Image list..."},
    {32803, "SaveAs (Primary image data file)..."},
    {32821, "SaveAs (Secondary image data file)..."},
    {32830, "SaveAs log file..."},
    {32804, "Exit"},
    {32823, "Fast rebuild (Primary image data file)"},
    {32824, "Fast rebuild (Secondary image data file)"},
    {32829, "Find dups setup (method and restrictions)..."},
    {32782, "Open Dups.log (text only)"},
    {32805, "Open log file (text only)..."},
    {32828, "No sort on % match"},
    {32825, "Sort high-to-low % match"},
    {32826, "Sort low-to-high % match"},
    {32813, "Large size dropdown view"},
    {32809, "Show 'Find dups' (after Get data)"},
    {32807, "Show 'View Dups' (after Find dups)"},
    {32835, "Show file sizes"},
    {32834, "Beep on deleting file"},
    {32843, "Remind to save datafile"},
    {32827, "Manual delete"},
    {32815, "Semi-auto delete"},
    {32814, "Automatic delete"},
    {32799, "Pause on 'No delete' in Automatic mode"},
    {32832, "Deletes are permanent"},
    {32842, "Show 'Move' controls"},
    {32838, "'Move' instead of 'Delete'"},
    {32839, "'Move' to folder setup..."},
    {32816, "Automatic and Semi-auto delete setup..."},
    {32844, "Folder preferences..."},
    {32781, "Run Windows Explorer..."},
    {32796, "Help"},
    {32797, "About"},
    // Pane menus.
    {32792, "Full screen"},
    {32836, "Open image"},
    {32811, "Properties"},
    {32793, "Delete"},
    {32840, "Move"},
    {32790, "Full screen "},
    {32837, "Open image"},
    {32812, "Properties"},
    {32791, "Delete"},
    {32841, "Move"},
};

constexpr int kSeparator = 0;

const int kCheckable[] = {32813, 32809, 32807, 32835, 32834, 32843, 32799, 32832, 32842, 32838};
// Checked in the menu resource itself; the update rules take over when a popup opens.
const int kCheckedAtStart[] = {32809, 32807, 32799};

}  // namespace

MainMenus::MainMenus(QWidget* window)
    : QObject(window),
      m_window(window),
      m_bar(new QMenuBar(window)),
      m_sortGroup(new QActionGroup(this)),
      m_deleteModeGroup(new QActionGroup(this)) {
    SetControlId(m_bar, 137);
    for (const Command& c : kCommands) {
        makeAction(c.id, c.text);
    }
    for (int id : kCheckable) {
        m_actions[id]->setCheckable(true);
    }
    for (int id : kCheckedAtStart) {
        m_actions[id]->setChecked(true);
    }
    for (int id : {32828, 32825, 32826}) {
        m_actions[id]->setCheckable(true);
        m_sortGroup->addAction(m_actions[id]);
    }
    for (int id : {32827, 32815, 32814}) {
        m_actions[id]->setCheckable(true);
        m_deleteModeGroup->addAction(m_actions[id]);
    }

    addPopup("&File", {32806, 32818, kSeparator, 32794, 32798, kSeparator, 32802, kSeparator, 32803,
                       32821, 32830, kSeparator, 32804});
    addPopup("&Data", {32806, 32818, kSeparator, 32803, 32821, kSeparator, 32823, 32824});
    addPopup("F&ind", {32829});
    addPopup("&View", {32794, 32798, kSeparator, 32782, 32805, kSeparator, 32830, kSeparator, 32828,
                       32825, 32826, kSeparator, 32813});
    addPopup("&Options",
             {32809,      32807, 32813,      32835, 32834,      32843, kSeparator, 32827,
              32815,      32814, 32799,      32832, kSeparator, 32842, 32838,      32839,
              kSeparator, 32816, kSeparator, 32828, 32825,      32826, kSeparator, 32844});
    addPopup("&Tools", {32781});
    addPopup("&Help", {32796, 32797});

    const auto context = [this](int resourceId, std::initializer_list<int> ids) {
        auto* menu = new QMenu(m_window);
        SetControlId(menu, resourceId);
        for (int id : ids) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(m_actions[id]);
            }
        }
        m_context.insert(resourceId, menu);
    };
    context(142, {32792, 32836, 32811, kSeparator, 32793, 32840});
    context(141, {32790, 32837, 32812, kSeparator, 32791, 32841});
    context(149, {32794, 32782, 32798, 32805, 32830, kSeparator, 32828, 32825, 32826, kSeparator,
                  32813});
}

QAction* MainMenus::makeAction(int id, const char* text) {
    auto* a = new QAction(QString::fromLatin1(text), this);
    SetControlId(a, id);
    connect(a, &QAction::triggered, this, [this, id] { emit command(id); });
    m_actions.insert(id, a);
    return a;
}

QMenu* MainMenus::addPopup(const char* title, std::initializer_list<int> ids) {
    QMenu* menu = m_bar->addMenu(QString::fromLatin1(title));
    for (int id : ids) {
        if (id == kSeparator) {
            menu->addSeparator();
        } else {
            menu->addAction(m_actions[id]);
        }
    }
    m_popups.insert(QString::fromLatin1(title).remove('&'), menu);
    return menu;
}

QMenu* MainMenus::popup(const QString& title) const {
    return m_popups.value(title);
}

#include "review_commands.h"

#include <QAction>
#include <QMenu>

#include "command_router.h"
#include "datafile_slot.h"
#include "main_ids.h"
#include "main_menus.h"
#include "not_dup_list.h"
#include "pair_viewer.h"
#include "prompter.h"

namespace {
constexpr const char* kNotDupCaption = "Not a duplicate";
}  // namespace

ReviewCommands::ReviewCommands(PairViewer& viewer, CommandRouter& commands, MainMenus& menus,
                               Prompter& prompter, std::string notDupListPath)
    : m_viewer(viewer), m_prompter(prompter), m_listPath(std::move(notDupListPath)) {
    commands.setHandler(MainId::MenuNotDuplicate, [this] { MarkShownPairNotDuplicate(); });
    commands.setHandler(MainId::MenuForgetNotDuplicates, [this] { ForgetNotDuplicates(); });
    QAction* notDuplicate = menus.action(MainId::MenuNotDuplicate);
    const auto update = [this, notDuplicate] { notDuplicate->setEnabled(shownPairJudgeable()); };
    for (QMenu* menu : {menus.popup("View"), menus.contextMenu(MainId::LeftPaneMenu),
                        menus.contextMenu(MainId::RightPaneMenu)}) {
        QObject::connect(menu, &QMenu::aboutToShow, notDuplicate, update);
    }
}

bool ReviewCommands::shownPairJudgeable() const {
    if (m_viewer.selectedPair() < 0) {
        return false;
    }
    for (int s : {kLeftSide, kRightSide}) {
        const std::string& path = m_viewer.side(s).path;
        if (path.empty() || path == kDeletedEntry) {
            return false;
        }
    }
    return true;
}

void ReviewCommands::MarkShownPairNotDuplicate() {
    if (!shownPairJudgeable()) {
        return;
    }
    const std::string& left = m_viewer.side(kLeftSide).path;
    const std::string& right = m_viewer.side(kRightSide).path;
    std::string problem;
    if (MarkNotDuplicate(m_listPath, left, right, problem) == NotDupChange::Failed) {
        m_prompter.inform(kNotDupCaption, "Unable to mark the pair not a duplicate: " + problem,
                          PromptIcon::Error);
        return;
    }
    m_viewer.OnNext();
}

void ReviewCommands::ForgetNotDuplicates() {
    NotDupList list;
    std::string problem;
    const NotDupReadResult read = ReadNotDupList(m_listPath, list, problem);
    std::string question;
    if (read == NotDupReadResult::Invalid) {
        // Clearing is the way out of a damaged list, so it is offered, not refused.
        question = "The list of pairs marked not a duplicate is damaged (" + problem +
                   ").\n\nForget it and start a new list?";
    } else if (list.count() == 0) {
        m_prompter.inform(kNotDupCaption, "No pairs are marked not a duplicate.",
                          PromptIcon::Information);
        return;
    } else {
        const int n = list.count();
        question = "Forget the " + std::to_string(n) + (n == 1 ? " pair" : " pairs") +
                   " marked not a duplicate?\n\nLater searches will show them again.";
    }
    if (m_prompter.message(kNotDupCaption, question, PromptButtons::YesNo, PromptIcon::Question) !=
        PromptAnswer::Yes) {
        return;
    }
    if (!SaveNotDupList(m_listPath, NotDupList())) {
        m_prompter.inform(kNotDupCaption, "Unable to write " + m_listPath, PromptIcon::Error);
    }
}

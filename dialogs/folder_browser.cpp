#include "folder_browser.h"

#include "prompter.h"

CFolderBrowser::CFolderBrowser(Prompter& prompter, std::string initialFolder)
    : m_strInitialFolder(std::move(initialFolder)), m_prompter(prompter) {}

int CFolderBrowser::DoBrowse() {
    m_strChosenFolder = m_strInitialFolder;
    const std::optional<std::string> chosen =
        m_prompter.chooseFolder(FolderDialogSpec{m_strTitle, m_strInitialFolder});
    if (!chosen || chosen->empty()) {
        return 2;
    }
    m_strChosenFolder = *chosen;
    return 1;
}

#include "app_prompter.h"

#include "dialog_kit.h"
#include "folder_browse_dialog.h"

std::optional<std::string> AppPrompter::chooseFolder(const FolderDialogSpec& spec) {
    FolderBrowseDialog dialog(qs(spec.title), qs(spec.initialFolder), parentWidget());
    if (dialog.exec() != QDialog::Accepted || dialog.chosenFolder().isEmpty()) {
        return std::nullopt;
    }
    return ss(dialog.chosenFolder());
}

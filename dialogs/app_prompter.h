#pragma once

#include "qt_prompter.h"

/// The program's prompter: Qt's message boxes and file dialogs, and the
/// program's own folder chooser with its status line.
class AppPrompter : public QtPrompter {
  public:
    using QtPrompter::QtPrompter;
    std::optional<std::string> chooseFolder(const FolderDialogSpec& spec) override;
};

#pragma once

#include <QString>

#include "prompter.h"

class QWidget;

/// Converts "Desc|*.a;*.b|Other|*.c||" into Qt's "Desc (*.a *.b);;Other (*.c)".
QString QtFileFilter(const std::string& filter);

/// Real prompter: Qt message boxes and file dialogs, parented to a window.
class QtPrompter : public Prompter {
  public:
    explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QWidget* parentWidget() const { return m_parent; }

    PromptAnswer message(const std::string& caption, const std::string& text, PromptButtons buttons,
                         PromptIcon icon) override;
    std::optional<std::string> openFile(const FileDialogSpec& spec) override;
    std::vector<std::string> openFiles(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFile(const FileDialogSpec& spec) override;
    std::optional<std::string> chooseFolder(const FolderDialogSpec& spec) override;

  private:
    QWidget* m_parent;
};

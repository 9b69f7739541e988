#pragma once
// The engine's questions and messages on a terminal without a user to ask.

#include <cstdio>
#include <string>
#include <vector>

#include "prompter.h"

/// Answers every question with its first button (OK or Yes) and prints it on
/// one line, so a full path list goes on with the first 32,000 images. Plain
/// messages are kept for the command, which reports them with its outcome.
/// File and folder dialogs answer "cancelled". The main thread only.
class ConsolePrompter : public Prompter {
  public:
    explicit ConsolePrompter(std::FILE* out = stderr) : m_out(out) {}

    PromptAnswer message(const std::string& caption, const std::string& text, PromptButtons buttons,
                         PromptIcon icon) override;
    std::optional<std::string> openFile(const FileDialogSpec&) override { return std::nullopt; }
    std::vector<std::string> openFiles(const FileDialogSpec&) override { return {}; }
    std::optional<std::string> saveFile(const FileDialogSpec&) override { return std::nullopt; }
    std::optional<std::string> chooseFolder(const FolderDialogSpec&) override {
        return std::nullopt;
    }

    /// The plain messages since the last call, joined on one line ("" if none).
    std::string takeMessages();

  private:
    std::FILE* m_out;
    std::vector<std::string> m_messages;
};

/// `text` with its line breaks turned into blanks. Any thread.
std::string OneLine(const std::string& text);

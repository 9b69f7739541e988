#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "prompter.h"

/// Test double: answers from a queue filled by the test and records every call.
/// An empty queue answers Cancel (or nothing) and counts the call as unexpected.
class ScriptedPrompter : public Prompter {
  public:
    enum class Kind { Message, OpenFile, OpenFiles, SaveFile, ChooseFolder };

    struct Call {
        Kind kind = Kind::Message;
        std::string caption;  // message caption or dialog title
        std::string text;     // message text
        PromptButtons buttons = PromptButtons::Ok;
        PromptIcon icon = PromptIcon::None;
        FileDialogSpec file;
        FolderDialogSpec folder;
    };

    void answerMessage(PromptAnswer answer);
    void answerOpenFile(std::optional<std::string> path);
    void answerOpenFiles(std::vector<std::string> paths);
    void answerSaveFile(std::optional<std::string> path);
    void answerChooseFolder(std::optional<std::string> folder);

    PromptAnswer message(const std::string& caption, const std::string& text, PromptButtons buttons,
                         PromptIcon icon) override;
    std::optional<std::string> openFile(const FileDialogSpec& spec) override;
    std::vector<std::string> openFiles(const FileDialogSpec& spec) override;
    std::optional<std::string> saveFile(const FileDialogSpec& spec) override;
    std::optional<std::string> chooseFolder(const FolderDialogSpec& spec) override;

    const std::vector<Call>& calls() const { return m_calls; }
    /// Texts of all message boxes shown so far, in order.
    std::vector<std::string> messageTexts() const;
    int unexpectedCalls() const { return m_unexpected; }
    bool allAnswersUsed() const { return m_answers.empty(); }
    void clear();

  private:
    struct Answer {
        Kind kind;
        PromptAnswer answer = PromptAnswer::Cancel;
        std::optional<std::string> path;
        std::vector<std::string> paths;
    };
    std::optional<Answer> take(Kind kind);
    std::optional<std::string> pathAnswer(Kind kind);
    Call& record(Kind kind, const std::string& caption);

    std::deque<Answer> m_answers;
    std::vector<Call> m_calls;
    int m_unexpected = 0;
};

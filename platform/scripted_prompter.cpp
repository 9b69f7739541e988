#include "scripted_prompter.h"

void ScriptedPrompter::answerMessage(PromptAnswer answer) {
    m_answers.push_back({Kind::Message, answer, std::nullopt, {}});
}
void ScriptedPrompter::answerOpenFile(std::optional<std::string> path) {
    m_answers.push_back({Kind::OpenFile, PromptAnswer::Ok, std::move(path), {}});
}
void ScriptedPrompter::answerOpenFiles(std::vector<std::string> paths) {
    m_answers.push_back({Kind::OpenFiles, PromptAnswer::Ok, std::nullopt, std::move(paths)});
}
void ScriptedPrompter::answerSaveFile(std::optional<std::string> path) {
    m_answers.push_back({Kind::SaveFile, PromptAnswer::Ok, std::move(path), {}});
}
void ScriptedPrompter::answerChooseFolder(std::optional<std::string> folder) {
    m_answers.push_back({Kind::ChooseFolder, PromptAnswer::Ok, std::move(folder), {}});
}

// A scripted answer of another kind than asked for is a test error: it is not
// consumed, and the call counts as unexpected.
std::optional<ScriptedPrompter::Answer> ScriptedPrompter::take(Kind kind) {
    if (m_answers.empty() || m_answers.front().kind != kind) {
        ++m_unexpected;
        return std::nullopt;
    }
    Answer a = std::move(m_answers.front());
    m_answers.pop_front();
    return a;
}

// Calls are filled member by member: gcc 12 at -O3 took brace-initialised
// empty dialog specs for uninitialised strings.
ScriptedPrompter::Call& ScriptedPrompter::record(Kind kind, const std::string& caption) {
    Call& call = m_calls.emplace_back();
    call.kind = kind;
    call.caption = caption;
    return call;
}

std::optional<std::string> ScriptedPrompter::pathAnswer(Kind kind) {
    std::optional<Answer> a = take(kind);
    if (!a || !a->path) {
        return std::nullopt;
    }
    return std::move(*a->path);
}

PromptAnswer ScriptedPrompter::message(const std::string& caption, const std::string& text,
                                       PromptButtons buttons, PromptIcon icon) {
    Call& call = record(Kind::Message, caption);
    call.text = text;
    call.buttons = buttons;
    call.icon = icon;
    auto a = take(Kind::Message);
    if (a) {
        return a->answer;
    }
    return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
}

std::optional<std::string> ScriptedPrompter::openFile(const FileDialogSpec& spec) {
    record(Kind::OpenFile, spec.title).file = spec;
    return pathAnswer(Kind::OpenFile);
}

std::vector<std::string> ScriptedPrompter::openFiles(const FileDialogSpec& spec) {
    record(Kind::OpenFiles, spec.title).file = spec;
    auto a = take(Kind::OpenFiles);
    return a ? a->paths : std::vector<std::string>{};
}

std::optional<std::string> ScriptedPrompter::saveFile(const FileDialogSpec& spec) {
    record(Kind::SaveFile, spec.title).file = spec;
    return pathAnswer(Kind::SaveFile);
}

std::optional<std::string> ScriptedPrompter::chooseFolder(const FolderDialogSpec& spec) {
    record(Kind::ChooseFolder, spec.title).folder = spec;
    return pathAnswer(Kind::ChooseFolder);
}

std::vector<std::string> ScriptedPrompter::messageTexts() const {
    std::vector<std::string> texts;
    for (const Call& c : m_calls) {
        if (c.kind == Kind::Message) {
            texts.push_back(c.text);
        }
    }
    return texts;
}

void ScriptedPrompter::clear() {
    m_answers.clear();
    m_calls.clear();
    m_unexpected = 0;
}

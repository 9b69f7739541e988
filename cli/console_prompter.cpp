#include "console_prompter.h"

PromptAnswer ConsolePrompter::message(const std::string&, const std::string& text,
                                      PromptButtons buttons, PromptIcon) {
    if (buttons == PromptButtons::Ok) {
        m_messages.push_back(OneLine(text));
        return PromptAnswer::Ok;
    }
    std::fprintf(m_out, "twinly-cli: %s\n", OneLine(text).c_str());
    std::fflush(m_out);
    return buttons == PromptButtons::OkCancel ? PromptAnswer::Ok : PromptAnswer::Yes;
}

std::string ConsolePrompter::takeMessages() {
    std::string joined;
    for (const std::string& text : m_messages) {
        joined += (joined.empty() ? "" : " ") + text;
    }
    m_messages.clear();
    return joined;
}

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            line += ' ';
        } else {
            line += c;
        }
    }
    return line;
}

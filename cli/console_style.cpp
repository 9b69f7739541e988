#include "console_style.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

std::string ConsoleStyle::paint(Tone tone, const std::string& text) const {
    if (!escapes || tone == Tone::Plain) {
        return text;
    }
    const char* colour = tone == Tone::Error ? "\x1b[1;31m" : "\x1b[1;33m";
    return colour + text + "\x1b[0m";
}

ConsoleStyle DecideConsoleStyle(bool terminal, const char* noColor, const char* term) {
    ConsoleStyle style;
    style.terminal = terminal;
    const bool plainAsked = noColor != nullptr && noColor[0] != '\0';
    const bool dumb = term == nullptr || term[0] == '\0' || std::strcmp(term, "dumb") == 0;
    style.escapes = terminal && !plainAsked && !dumb;
    return style;
}

const ConsoleStyle& StderrStyle() {
    static const ConsoleStyle style = DecideConsoleStyle(
        ::isatty(STDERR_FILENO) == 1, std::getenv("NO_COLOR"), std::getenv("TERM"));
    return style;
}

void Report(Tone tone, const std::string& message) {
    const std::string line = StderrStyle().paint(tone, "twinly-cli:") + " " + message + "\n";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}

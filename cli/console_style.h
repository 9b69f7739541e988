#pragma once
// What standard error may carry: a bar redrawn in place only on a terminal,
// colours and control sequences only where the user has not asked for plain
// text (NO_COLOR, TERM=dumb) and a terminal will show them.

#include <string>

enum class Tone { Plain, Error, Warning };

struct ConsoleStyle {
    bool terminal = false;  ///< progress may be redrawn in place with "\r"
    bool escapes = false;   ///< colours and "\x1b[K" may be written

    /// `text` in the colour of `tone`, or as it is without escapes.
    std::string paint(Tone tone, const std::string& text) const;
};

/// The style for a stream that is (or is not) a terminal, given the values of
/// NO_COLOR and TERM (null when unset). Any thread.
ConsoleStyle DecideConsoleStyle(bool terminal, const char* noColor, const char* term);

/// The style of this process's stderr, decided once from the environment.
/// Any thread.
const ConsoleStyle& StderrStyle();

/// Prints "twinly-cli: " and `message` on stderr, the prefix in the tone's
/// colour. Any thread.
void Report(Tone tone, const std::string& message);

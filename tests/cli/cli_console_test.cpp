// What standard error looks like: a bar redrawn in place with the time left
// on a terminal, plain text for NO_COLOR, TERM=dumb and anything not a terminal.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli_process.h"
#include "console_style.h"
#include "progress_line.h"
#include "temp_dir.h"
#include "test_images.h"

namespace fs = std::filesystem;

namespace {

// The text a bar line shows, without its control characters.
std::string visible(std::string line) {
    for (const std::string control : {"\r", "\n", "\x1b[K"}) {
        for (std::size_t at; (at = line.find(control)) != std::string::npos;) {
            line.erase(at, control.size());
        }
    }
    return line;
}

BarFacts halfWay() {
    BarFacts facts;
    facts.label = "Comparing";
    facts.unit = "pairs";
    facts.work = 2500000000.0;
    facts.allWork = 5000000000.0;
    facts.seconds = 12.0;
    facts.secondsLeft = 12.4;
    facts.found = 731;
    return facts;
}

}  // namespace

TEST(CliConsole, EscapesOnlyOnATerminalThatTakesThem) {
    struct Case {
        bool terminal;
        const char* noColor;
        const char* term;
        bool escapes;
    };
    const Case cases[] = {
        {true, nullptr, "xterm-256color", true},
        {true, "", "xterm", true},
        {true, "1", "xterm", false},
        {true, "0", "xterm", false},
        {true, nullptr, "dumb", false},
        {true, nullptr, nullptr, false},
        {false, nullptr, "xterm", false},
    };
    for (const Case& c : cases) {
        const ConsoleStyle style = DecideConsoleStyle(c.terminal, c.noColor, c.term);
        EXPECT_EQ(style.terminal, c.terminal);
        EXPECT_EQ(style.escapes, c.escapes)
            << (c.noColor ? c.noColor : "unset") << " " << (c.term ? c.term : "unset");
        const std::string painted = style.paint(Tone::Error, "twinly-cli:");
        EXPECT_EQ(painted.find('\x1b') != std::string::npos, c.escapes) << painted;
        EXPECT_NE(painted.find("twinly-cli:"), std::string::npos);
    }
}

TEST(CliConsole, TimeLeftFollowsTheRecentPace) {
    TimeLeftEstimate estimate;
    estimate.add(0.5, 5);
    EXPECT_FALSE(estimate.secondsLeft(100)) << "too early to tell";
    TimeLeftEstimate idle;
    idle.add(3.0, 0);
    EXPECT_FALSE(idle.secondsLeft(100)) << "no work done yet";

    // 10 units a second for 30 s, then 20 a second: once the window holds
    // only the faster pace, the estimate uses it alone.
    double work = 0;
    for (int tenth = 1; tenth <= 300; ++tenth) {
        work += 1;
        estimate.add(tenth / 10.0, work);
    }
    ASSERT_TRUE(estimate.secondsLeft(1000));
    EXPECT_NEAR(*estimate.secondsLeft(1000), 70.0, 0.01);
    for (int tenth = 301; tenth <= 550; ++tenth) {
        work += 2;
        estimate.add(tenth / 10.0, work);
    }
    EXPECT_NEAR(*estimate.secondsLeft(1000), (1000 - work) / 20.0, 0.01);
    EXPECT_EQ(*estimate.secondsLeft(work), 0.0);
}

TEST(CliConsole, BarLineFitsEveryWidthAndKeepsTheTimeLeftLongest) {
    const ConsoleStyle plain = DecideConsoleStyle(true, "1", "xterm");
    const ConsoleStyle coloured = DecideConsoleStyle(true, nullptr, "xterm");
    for (int columns = 20; columns <= 200; columns += 5) {
        const std::string line = BarLine(halfWay(), columns, plain);
        EXPECT_EQ(line.front(), '\r');
        EXPECT_EQ(line.find('\x1b'), std::string::npos);
        // Blanks to the edge clear what a longer line left there.
        EXPECT_EQ(visible(line).size(), static_cast<std::size_t>(columns - 1)) << line;
        const std::string escaped = BarLine(halfWay(), columns, coloured);
        EXPECT_LE(visible(escaped).size(), static_cast<std::size_t>(columns - 1)) << escaped;
        EXPECT_NE(escaped.find("\x1b[K"), std::string::npos);
        if (columns >= 60) {
            EXPECT_NE(line.find("0:12 left  731 found"), std::string::npos) << columns << line;
        }
    }
    const std::string wide = visible(BarLine(halfWay(), 200, plain));
    EXPECT_EQ(wide.substr(0, wide.find_last_not_of(' ') + 1),
              "Comparing [############............] 50%  2500000000/5000000000 pairs  "
              "208333333 pairs/s  0:12 left  731 found");
    const std::string narrow = visible(BarLine(halfWay(), 70, plain));
    EXPECT_EQ(narrow.substr(0, narrow.find_last_not_of(' ') + 1),
              "Comparing [####....] 50%  208333333 pairs/s  0:12 left  731 found");

    BarFacts done = halfWay();
    done.work = done.allWork;
    done.last = true;
    const std::string last = BarLine(done, 200, coloured);
    EXPECT_EQ(last.back(), '\n');
    EXPECT_EQ(last.find("left"), std::string::npos);
    EXPECT_NE(last.find("100%"), std::string::npos);
    EXPECT_NE(last.find("  0:12  731 found"), std::string::npos) << last;
}

TEST(CliConsole, ClockTextGrowsHoursOnlyWhenNeeded) {
    EXPECT_EQ(ClockText(0.4), "0:00");
    EXPECT_EQ(ClockText(7), "0:07");
    EXPECT_EQ(ClockText(754), "12:34");
    EXPECT_EQ(ClockText(3723), "1:02:03");
    EXPECT_EQ(ClockText(-3), "0:00");
}

TEST(CliConsole, TheToolWritesEscapesOnlyToATerminalThatTakesThem) {
    TempDir dir;
    const std::string folder = dir.path().string() + "/pics";
    fs::create_directories(folder);
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(WriteImage(GradientImage(40 + i, 30, Qt::red, Qt::blue),
                               folder + "/" + std::to_string(i) + ".png", "PNG"));
    }
    const std::vector<std::string> build = {"build", folder, "-o", dir.file("a.dup")};
    const std::vector<std::string> fail = {"info", dir.file("none.dup")};
    const std::vector<std::string> colour = {"TERM=xterm", "NO_COLOR", "COLUMNS=60"};

    const CliResult colourBuild = RunCli(build, {"", colour, true});
    ASSERT_EQ(colourBuild.status, 0) << colourBuild.err;
    EXPECT_NE(colourBuild.err.find("\rReading ["), std::string::npos) << colourBuild.err;
    EXPECT_NE(colourBuild.err.find("\x1b[K"), std::string::npos);
    // Every redraw fits the 60 columns, so none wraps onto a new line.
    const std::string bar = colourBuild.err.substr(0, colourBuild.err.find('\n'));
    std::size_t from = 0;
    for (std::size_t to; (to = bar.find('\r', from + 1)) != std::string::npos; from = to) {
        EXPECT_LE(visible(bar.substr(from, to - from)).size(), 59u);
    }
    const CliResult colourFail = RunCli(fail, {"", colour, true});
    EXPECT_EQ(colourFail.status, 1);
    EXPECT_NE(colourFail.err.find("\x1b[1;31mtwinly-cli:\x1b[0m cannot read"), std::string::npos)
        << colourFail.err;

    const std::vector<std::vector<std::string>> plainTerminals = {{"TERM=xterm", "NO_COLOR=1"},
                                                                  {"TERM=dumb", "NO_COLOR"}};
    for (const auto& environment : plainTerminals) {
        const CliResult plainBuild = RunCli(build, {"", environment, true});
        ASSERT_EQ(plainBuild.status, 0) << plainBuild.err;
        EXPECT_NE(plainBuild.err.find("\rReading ["), std::string::npos) << plainBuild.err;
        EXPECT_EQ(plainBuild.err.find('\x1b'), std::string::npos) << plainBuild.err;
        const CliResult plainFail = RunCli(fail, {"", environment, true});
        EXPECT_EQ(plainFail.err.find('\x1b'), std::string::npos) << plainFail.err;
        EXPECT_NE(plainFail.err.find("twinly-cli: cannot read"), std::string::npos);
    }

    // Not a terminal: one plain line per tenth, whatever TERM says.
    const CliResult piped = RunCli(build, {"", colour, false});
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(piped.err.find('\r'), std::string::npos);
    EXPECT_NE(piped.err.find("Reading: 100% (4/4 images)\n"), std::string::npos) << piped.err;
}

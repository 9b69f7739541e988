// The shell completion and the manual page follow the command line the tool
// really parses, so neither can drift when an option is added.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

#include "cli_options.h"
#include "cli_process.h"
#include "temp_dir.h"

namespace {

const std::string kCompletionDir = std::string(TWINLY_SOURCE_DIR) + "/resources/completion";

struct CommandName {
    const char* name;
    CliCommand command;
};
const CommandName kCommandNames[] = {{"build", CliCommand::Build},
                                     {"rebuild", CliCommand::Rebuild},
                                     {"find", CliCommand::Find},
                                     {"info", CliCommand::Info},
                                     {"ignore", CliCommand::Ignore}};

std::set<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::set<std::string> out;
    for (std::string word; in >> word;) {
        out.insert(word);
    }
    return out;
}

std::set<std::string> optionsOf(CliCommand command) {
    const std::vector<std::string> names = CommandOptionNames(command);
    return {names.begin(), names.end()};
}

// What bash completion offers for the words typed so far (the last one being
// completed), run in `folder`.
std::set<std::string> bashOffers(const std::vector<std::string>& typed,
                                 const std::string& folder = ".") {
    std::string script = "cd '" + folder + "' && source '" + kCompletionDir +
                         "/twinly-cli.bash' && COMP_WORDS=(twinly-cli";
    for (const std::string& word : typed) {
        script += " '" + word + "'";
    }
    script += "); COMP_CWORD=" + std::to_string(typed.size()) +
              "; _twinly_cli; printf '%s\\n' \"${COMPREPLY[@]}\"";
    const CliResult run = RunCli({"--norc", "--noprofile", "-c", script}, {"/bin/bash"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return words(run.out);
}

// The values the parser accepts for a choice option, from its own complaint.
std::set<std::string> choicesOf(const std::string& option) {
    const ParsedCommandLine parsed =
        ParseCommandLine({"find", "a.dup", "-o", "b.log", option, "?"});
    const std::size_t from = parsed.error.find("one of ");
    const std::size_t to = parsed.error.find(", not ");
    EXPECT_NE(from, std::string::npos) << parsed.error;
    std::string list = parsed.error.substr(from + 7, to - from - 7);
    std::replace(list.begin(), list.end(), ',', ' ');
    return words(list);
}

// `name` stands in `text` not as the start of a longer name.
bool namesWhole(const std::string& text, const std::string& name) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at + 1)) {
        const char next = at + name.size() < text.size() ? text[at + name.size()] : ' ';
        if (std::isalpha(static_cast<unsigned char>(next)) == 0 && next != '\\') {
            return true;
        }
    }
    return false;
}

std::string readSource(const std::string& relative) {
    return ReadFileBytes(std::string(TWINLY_SOURCE_DIR) + "/" + relative);
}

}  // namespace

TEST(CliDocs, BashCompletionOffersTheCommandsOptionsAndChoicesTheParserTakes) {
    EXPECT_EQ(bashOffers({""}),
              (std::set<std::string>{"build", "rebuild", "find", "info", "ignore"}));
    EXPECT_EQ(bashOffers({"ignore", ""}),
              (std::set<std::string>{"add", "remove", "list", "clear"}));
    EXPECT_EQ(bashOffers({"--"}), (std::set<std::string>{"--help", "--version"}));
    for (const CommandName& command : kCommandNames) {
        EXPECT_EQ(bashOffers({command.name, "input", "-"}), optionsOf(command.command))
            << command.name;
    }
    for (const std::string option : {"--method", "--restrict", "--format"}) {
        EXPECT_EQ(bashOffers({"find", "a.dup", option, ""}), choicesOf(option)) << option;
        // "--method=" reaches the completion as three words.
        EXPECT_EQ(bashOffers({"find", "a.dup", option, "=", ""}), choicesOf(option)) << option;
    }
    EXPECT_EQ(bashOffers({"find", "a.dup", "--method", "=", "va"}),
              (std::set<std::string>{"variance"}));
}

TEST(CliDocs, BashCompletionOffersTheFilesEachPlaceTakes) {
    TempDir dir;
    for (const char* name :
         {"a.dup", "B.DUP", "c.lst", "d.log", "e.csv", "f.JPG", "g.tiff", "h.txt", "sub/x.dup"}) {
        dir.write(name, "");
    }
    const std::string folder = dir.path().string();
    const std::set<std::string> data = {"a.dup", "B.DUP", "sub"};
    EXPECT_EQ(bashOffers({"find", ""}, folder), data);
    EXPECT_EQ(bashOffers({"find", "a.dup", "--secondary", ""}, folder), data);
    EXPECT_EQ(bashOffers({"info", ""}, folder), data);
    EXPECT_EQ(bashOffers({"rebuild", "a.dup", "-o", ""}, folder), data);
    EXPECT_EQ(bashOffers({"build", ""}, folder), (std::set<std::string>{"c.lst", "sub"}));
    EXPECT_EQ(bashOffers({"find", "a.dup", "--single", ""}, folder),
              (std::set<std::string>{"f.JPG", "g.tiff", "sub"}));
    EXPECT_EQ(bashOffers({"find", "a.dup", "--output", ""}, folder),
              (std::set<std::string>{"d.log", "e.csv", "sub"}));
    EXPECT_EQ(bashOffers({"find", "a.dup", "--limit", ""}, folder), std::set<std::string>{});
}

TEST(CliDocs, ZshCompletionIsValidAndNamesEachCommandsOptions) {
    const CliResult syntax = RunCli({"-n", kCompletionDir + "/_twinly-cli"}, {"/usr/bin/zsh"});
    EXPECT_EQ(syntax.status, 0) << syntax.err;
    const std::string text = readSource("resources/completion/_twinly-cli");
    for (const CommandName& command : kCommandNames) {
        const std::size_t start = text.find(std::string("                ") + command.name + ")");
        ASSERT_NE(start, std::string::npos) << command.name;
        const std::string block = text.substr(start, text.find(";;", start) - start);
        std::set<std::string> named;
        for (std::size_t at = block.find("--"); at != std::string::npos;
             at = block.find("--", at + 2)) {
            std::size_t end = at + 2;
            while (end < block.size() &&
                   (std::islower(static_cast<unsigned char>(block[end])) || block[end] == '-')) {
                ++end;
            }
            named.insert(block.substr(at, end - at));
        }
        if (block.find("{-o+,--output=}") != std::string::npos) {
            named.insert("-o");
        }
        EXPECT_EQ(named, optionsOf(command.command)) << command.name;
    }
}

TEST(CliDocs, ManualPageDescribesEveryOption) {
    const std::string page = readSource("resources/man/twinly-cli.1.in");
    for (const CommandName& command : kCommandNames) {
        EXPECT_NE(page.find(std::string(".BI ") + command.name), std::string::npos) << command.name;
        for (std::string option : CommandOptionNames(command.command)) {
            // roff spells a hyphen "\-".
            std::string spelled;
            for (const char c : option) {
                spelled += c == '-' ? std::string("\\-") : std::string(1, c);
            }
            EXPECT_TRUE(namesWhole(page, spelled)) << option;
        }
    }
}

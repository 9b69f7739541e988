#pragma once
// The command line of twinly-cli: its commands, their options and the usage text.

#include <optional>
#include <string>
#include <vector>

#include "compare.h"
#include "image_suffix.h"

enum class CliCommand { Help, Version, Build, Rebuild, Find, Info, Ignore };
enum class PairFormat { Log, Csv, Json, Groups };

/// Everything a command line can ask for; the defaults are the program's
/// first-start settings.
struct CliOptions {
    CliCommand command = CliCommand::Help;
    std::string input;  ///< SOURCE, DATA.dup, (the first) PRIMARY.dup or the ignore action
    /// find: every PRIMARY.dup, `input` first; the others: `input` alone.
    std::vector<std::string> inputs;
    std::string output;
    bool recursive = false;
    bool noSplit = false;  ///< build, rebuild: one data file of at most 32,000 images
    int threads = 0;       ///< 0: one per core
    bool quiet = false;
    /// build, rebuild: which files are images; unset follows the stored switch.
    std::optional<ImageFormats> formats;

    std::string secondary;  ///< find: a second data file
    std::string single;     ///< find: one image
    std::string lowText = "98.0";
    std::string highText = "100";
    FindSettings settings = FirstStartFindSettings();
    int dupsLimit = 1000;
    PairFormat format = PairFormat::Log;

    bool records = false;    ///< info: every record too
    bool useNotDups = true;  ///< find: leave out the pairs marked not duplicate

    std::vector<std::string> paths;  ///< ignore: the two images after add or remove

    static FindSettings FirstStartFindSettings() {
        FindSettings settings;
        settings.adjustAmount = 5;
        return settings;
    }
};

/// A parsed command line, or why it is not one.
struct ParsedCommandLine {
    CliOptions options;
    std::string error;  ///< empty when the command line is valid
};

/// Parses the arguments after the program name. Any thread.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& args);

/// Every option `command` takes, as typed ("-o", "--output", "--threads", ...,
/// "--help"), in the order of the usage text. Any thread.
std::vector<std::string> CommandOptionNames(CliCommand command);

/// The usage text, ending in a line break. Any thread.
const char* UsageText();
